#include "billing/CourseTableStore.h"
#include "core/Seams.h"
#include "frame/DateBox.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/frmListCourse.h"
#include "report/Report.h"
#include "report/viewer/frmViewReport.h"
#include "results/LessonStore.h"
#include "results/frmTimeStamp.h"
#include "results/frmTimeStampSub.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString classNo = QStringLiteral("6900001");

// A lesson of the class stored directly: its code, date, number and hours.
void stored(const QString& stmId, const QString& date, double item, double hours = 3) {
    Fixture::value(QStringLiteral("INSERT INTO [TimeStamp] (StmID, CourseNo, StmDate, StmItem, "
                                  "StmTime1, StmTime2, StmHour) VALUES (?, ?, ?, ?, '09.00', "
                                  "'12.00', ?)"),
                   {stmId, classNo, date, item, hours});
}

// The pupils marked absent, by code.
QString absent() {
    return Fixture::value(QStringLiteral("SELECT group_concat(StdID) FROM (SELECT StdID FROM "
                                         "TimeStampStudent WHERE StmStatus = '0' ORDER BY StdID)"))
        .toString();
}

// Each row of a list as "text|text|..." joined by " / ".
QString rows(QTreeWidget* list, int columns) {
    return listRows(list, columns).join(QStringLiteral(" / "));
}

} // namespace

class tst_lessons : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<ScriptedDialogs> dialogs;

private slots:
    // Class 6900001 of the course "คอร์ส 'เข้ม'" with three teachers and 20 pupils.
    void init() {
        db = std::make_unique<TestDatabase>(); // clock 06/12/2026 09:00
        messages = std::make_unique<ScriptedMessages>();
        dialogs = std::make_unique<ScriptedDialogs>();
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์ส 'เข้ม'"));
        Fixture::classRow(classNo, QStringLiteral("C01"), Money::fromBaht(3000));
        for (int i = 1; i <= 4; ++i)
            Fixture::teacher(QStringLiteral("T0%1").arg(i), QStringLiteral("ครู %1").arg(i));
        for (const char* id : {"T01", "T02", "T03"})
            Fixture::value(QStringLiteral("INSERT INTO TeacherCourse (CourseNo, TechID) "
                                          "VALUES (?, ?)"),
                           {classNo, QLatin1String(id)});
        for (int i = 1; i <= 20; ++i) {
            const QString id = QStringLiteral("69000%1").arg(i, 2, 10, QLatin1Char('0'));
            Fixture::student(id, QStringLiteral("นักเรียน %1").arg(i));
            Fixture::registration(id, classNo);
        }
    }
    void cleanup() {
        dialogs.reset();
        messages.reset();
        db.reset();
    }

    void proposalsAndChecks() {
        struct Proposal {
            QList<double> items, hours;
            const char* item;
            const char* hour;
        };
        const QList<Proposal> proposals{{{}, {}, "1", "1"},
                                        {{1, 2, 4}, {2, 3, 2}, "5", "3"},
                                        {{1}, {1.5}, "2", "2"},
                                        {{1}, {2.5}, "2", "2"},
                                        {{1}, {3.5}, "2", "4"}};
        for (const Proposal& p : proposals) {
            Fixture::value(QStringLiteral("DELETE FROM [TimeStamp]"));
            for (int i = 0; i < p.items.size(); ++i)
                stored(QStringLiteral("202500000%1").arg(i), QStringLiteral("20251201"),
                       p.items.at(i), p.hours.at(i));
            frmTimeStampSub dialog;
            dialog.doAdd(classNo);
            QCOMPARE(dialog.txtItem->text() + u'|' + dialog.txtHour->text(),
                     QLatin1String(p.item) + u'|' + QLatin1String(p.hour));
        }
        frmTimeStampSub dialog;
        dialog.doAdd(classNo);
        QCOMPARE(dialog.dtpDate->text() + u'|' + dialog.txtTime1->text() + u'|' +
                     dialog.txtTime2->text(),
                 QStringLiteral("06/12/2569|09.00|"));
        QCOMPARE(ListView::count(dialog.ListView1), 23);
        QCOMPARE(ListView::item(dialog.ListView1, 23)->checkState(0), Qt::Checked);
        QVERIFY(!rows(dialog.ListView1, 4).contains(QStringLiteral("ไม่มา")));

        // Each check stops the save with its message and the focus on its field;
        // lesson 1 is taken in this class (the one stored last above).
        struct Check {
            QLineEdit* field;
            const char* value;
            const char* message;
        };
        const QList<Check> checks{
            {dialog.txtItem, "0", "ครั้งที่  ไม่ถูกต้อง"},
            {dialog.txtItem, "", "ครั้งที่  ไม่ถูกต้อง"},
            {dialog.txtItem, "abc", "ครั้งที่  ไม่ถูกต้อง"},
            {dialog.txtTime1, "  ", "เวลา ไม่ถูกต้อง"},
            {dialog.txtTime2, "", "เวลา ไม่ถูกต้อง"},
            {dialog.txtHour, "0", "จำนวนเวลาที่สอน ไม่ถูกต้อง"},
            {dialog.txtItem, "1", "ครั้งที่  ซ้ำ"},
        };
        showActive(&dialog);
        dialog.txtTime2->setText(QStringLiteral(" abc "));
        for (const Check& check : checks) {
            const QString before = check.field->text();
            check.field->setText(QString::fromUtf8(check.value));
            dialog.ListView1->setFocus();
            messages->clear();
            pressKey(Qt::Key_F2);
            QCOMPARE(messages->all, QStringList{QString::fromUtf8(check.message)});
            QCOMPARE(QApplication::focusWidget(), check.field);
            check.field->setText(before);
        }
        // No to the question writes nothing and keeps the dialog open; Yes saves,
        // a time being any text, trimmed.
        messages->clear();
        messages->answer({Library::vbNo, Library::vbYes});
        dialog.txtHour->setFocus();
        pressKey(Qt::Key_Return);
        QCOMPARE(messages->questions, QStringList{QStringLiteral("ต้องการบันทึกข้อมูล  หรือไม่")});
        QVERIFY(dialog.isVisible() && !dialog.IsSaved);
        QCOMPARE(Fixture::count(QStringLiteral("TimeStamp")), 1);
        pressKey(Qt::Key_Return);
        QVERIFY(dialog.IsSaved && !dialog.isVisible());
        QCOMPARE(Fixture::count(QStringLiteral("TimeStamp"), QStringLiteral("StmTime2 = 'abc'")),
                 1);
    }

    // Enter in the date box takes the date and moves on as in every other box; F2 with a
    // date that names no day says so and writes nothing.
    void lessonDate() {
        frmTimeStampSub dialog;
        dialog.doAdd(classNo);
        showActive(&dialog);
        dialog.dtpDate->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("150170"));
        pressKey(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.txtTime1);
        QCOMPARE(dialog.dtpDate->date(), QDate(2027, 1, 15));
        dialog.dtpDate->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("31/12/257"));
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->all, QStringList{QStringLiteral("วันที่ ไม่ถูกต้อง")});
        QVERIFY(dialog.isVisible() && !dialog.IsSaved);
        QCOMPARE(Fixture::count(QStringLiteral("TimeStamp")), 0);
    }

    void editingALesson() {
        LessonStore::save({{},
                           classNo,
                           QStringLiteral("20261201"),
                           4,
                           QStringLiteral("13.00"),
                           QStringLiteral("15.00"),
                           2,
                           {{QStringLiteral("T01")}, {QStringLiteral("T03"), false}},
                           {{QStringLiteral("6900001"), false}, {QStringLiteral("6900002")}}},
                          QStringLiteral("admin"), Seams::today());
        const QString stmId = QStringLiteral("2026000001");
        Fixture::value(QStringLiteral("UPDATE TimeStampStudent SET StmStatus = NULL WHERE StdID "
                                      "= '6900002'"));
        // T03 is replaced by T04 on the class; pupils 3 to 20 joined after the lesson.
        Fixture::value(
            QStringLiteral("UPDATE TeacherCourse SET TechID = 'T04' WHERE TechID = 'T03'"));
        frmTimeStampSub dialog;
        dialog.doEdit(classNo, stmId);
        QCOMPARE(dialog.txtItem->text() + u'|' + dialog.txtTime1->text() + u'|' +
                     dialog.dtpDate->text() + u'|' + dialog.txtHour->text(),
                 QStringLiteral("4|13.00|01/12/2569|2"));
        QCOMPARE(rows(dialog.ListView1, 4).section(QStringLiteral(" / "), 0, 4),
                 QStringLiteral("อาจารย์|T01|ครู 1|  / อาจารย์|T02|ครู 2|ไม่มา / อาจารย์|T04|ครู 4|ไม่มา / "
                                "นักศึกษา|6900001|นักเรียน 1|ไม่มา / นักศึกษา|6900002|นักเรียน 2| "));
        // Ticking and unticking a row; the lesson's own number is no duplicate.
        showActive(&dialog);
        dialog.txtItem->setFocus();
        QTreeWidgetItem* pupil = ListView::item(dialog.ListView1, 5);
        pupil->setCheckState(0, Qt::Unchecked);
        QCOMPARE(pupil->text(3) + u'|' + QString::number(ListView::selectedIndex(dialog.ListView1)),
                 QStringLiteral("ขาด|5"));
        ListView::item(dialog.ListView1, 4)->setCheckState(0, Qt::Checked);
        // A failed write keeps the dialog open and the lesson as it was.
        Fixture::value(QStringLiteral("CREATE TEMP TRIGGER fifth BEFORE INSERT ON TimeStampStudent "
                                      "WHEN NEW.StdID = '6900005' BEGIN SELECT RAISE(ABORT, "
                                      "'disk full'); END"));
        messages->answer({Library::vbYes, Library::vbYes});
        pressKey(Qt::Key_F2);
        QVERIFY(messages->errors.value(0).startsWith(QStringLiteral("บันทึกการลงเวลาไม่ได้\n")));
        QVERIFY(dialog.isVisible() && !dialog.IsSaved);
        QCOMPARE(absent(), QStringLiteral("6900001"));
        Fixture::value(QStringLiteral("DROP TRIGGER fifth"));
        pressKey(Qt::Key_F2);
        QVERIFY(dialog.IsSaved && !dialog.isVisible());
        // The replaced teacher keeps the lesson's row beside the newcomer's.
        QCOMPARE(Fixture::value(
                     QStringLiteral("SELECT group_concat(TechID || StmStatus) FROM (SELECT * FROM "
                                    "TimeStampTeacher ORDER BY TechID)"))
                     .toString(),
                 QStringLiteral("T011,T020,T030,T040"));
        QCOMPARE(absent().left(16), QStringLiteral("6900002,6900003,"));

        // A lesson deleted elsewhere is never written back, by F2 or Enter.
        frmTimeStampSub late;
        late.doEdit(classNo, stmId);
        showActive(&late);
        LessonStore::remove(stmId);
        messages->clear();
        messages->answer({Library::vbYes});
        late.txtItem->setFocus();
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->errors, QStringList{QStringLiteral("ไม่พบการลงเวลานี้แล้ว (ถูกลบไปแล้ว)")});
        messages->clear();
        frmTimeStampSub gone;
        gone.doEdit(classNo, stmId);
        showActive(&gone);
        gone.txtHour->setFocus();
        pressKey(Qt::Key_Return);
        pressKey(Qt::Key_F2);
        for (frmTimeStampSub* dialog : {&late, &gone})
            QVERIFY(!dialog->toolbar()->isAvailable(QStringLiteral("Save")) && dialog->isVisible());
        QCOMPARE(messages->all, QStringList());
        QCOMPARE(Fixture::count(QStringLiteral("TimeStamp")) +
                     Fixture::count(QStringLiteral("TimeStampStudent")),
                 0);
    }

    // Numbers are shown in full and only what the readers read back is stored: lesson
    // 999999 proposes 1000000, which saves; 14 digits are refused. A new lesson of a class
    // deleted meanwhile is not written.
    void lessonNumbersAndDeletedClasses() {
        stored(QStringLiteral("2026000001"), QStringLiteral("20261201"), 999999, 1234567);
        frmTimeStampSub dialog;
        dialog.doAdd(classNo);
        QCOMPARE(dialog.txtItem->text() + u'|' + dialog.txtHour->text(),
                 QStringLiteral("1000000|1234567"));
        showActive(&dialog);
        dialog.txtTime2->setText(QStringLiteral("12.00"));
        const std::tuple<QLineEdit*, QString, QString> refused[] = {
            {dialog.txtItem, QStringLiteral("12345678901234"), QStringLiteral("ครั้งที่  ไม่ถูกต้อง")},
            {dialog.txtHour, QStringLiteral("99999999999999"),
             QStringLiteral("จำนวนเวลาที่สอน ไม่ถูกต้อง")},
        };
        for (const auto& [field, typed, message] : refused) {
            const QString before = field->text();
            field->setText(typed);
            dialog.ListView1->setFocus();
            messages->clear();
            pressKey(Qt::Key_F2);
            QCOMPARE(messages->all, QStringList{message});
            QCOMPARE(QApplication::focusWidget(), field);
            field->setText(before);
        }
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
        QVERIFY(dialog.IsSaved);
        frmTimeStampSub again;
        again.doEdit(classNo, dialog.StmID);
        QCOMPARE(again.txtItem->text() + u'|' + again.txtHour->text(),
                 QStringLiteral("1000000|1234567"));
        frmTimeStamp window;
        QVERIFY(window.ShowClass(classNo));
        QCOMPARE(listColumn(window.ListView1, 1) + listColumn(window.ListView1, 3),
                 (QStringList{QStringLiteral("999999"), QStringLiteral("1000000"),
                              QStringLiteral("1234567"), QStringLiteral("1234567")}));

        // The class is deleted at another desk while its first lesson is typed.
        const QString emptyClass = QStringLiteral("6900002");
        Fixture::classRow(emptyClass, QStringLiteral("C01"), Money());
        Fixture::value(QStringLiteral("INSERT INTO TeacherCourse (CourseNo, TechID) VALUES (?, "
                                      "'T01')"),
                       {emptyClass});
        frmTimeStampSub late;
        late.doAdd(emptyClass);
        showActive(&late);
        late.txtTime2->setText(QStringLiteral("12.00"));
        QCOMPARE(CourseTableStore::remove(emptyClass), CourseTableStore::DeleteResult::Deleted);
        messages->clear();
        messages->answer({Library::vbYes});
        late.txtItem->setFocus();
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->errors,
                 QStringList{QStringLiteral("ไม่พบวิชาเรียน 6900002 อาจถูกลบไปแล้ว ไม่ได้บันทึก")});
        QVERIFY(!late.IsSaved && late.isVisible());
        QCOMPARE(Fixture::count(QStringLiteral("TimeStamp"), QStringLiteral("CourseNo = ?"),
                                {emptyClass}) +
                     Fixture::count(QStringLiteral("TimeStampTeacher"),
                                    QStringLiteral("TechID = 'T01'")),
                 1);
    }

    // A lesson number or hours with more digits than are stored, or with a separator out of
    // place, is refused, never rounded; after the largest lesson number that can be stored the
    // dialog proposes none rather than one it refuses.
    void numbersStoredAsTyped() {
        stored(QStringLiteral("2026000001"), QStringLiteral("20261201"), 9999999999999, 2);
        frmTimeStampSub dialog;
        dialog.doAdd(classNo);
        QCOMPARE(dialog.txtItem->text() + u'|' + dialog.txtHour->text(), QStringLiteral("|2"));
        showActive(&dialog);
        dialog.txtTime2->setText(QStringLiteral("12.00"));
        const QString refusal =
            QStringLiteral("%1 ไม่ถูกต้อง: %2\nบันทึกได้เป็นตัวเลขไม่เกิน 15 หลัก ใช้จุลภาคคั่นทุกสามหลัก");
        const std::tuple<QLineEdit*, const char*, QString> cases[] = {
            {dialog.txtItem, "1.0000000000000001", QStringLiteral("ครั้งที่ ")},
            {dialog.txtItem, "1,0000", QStringLiteral("ครั้งที่ ")},
            {dialog.txtHour, "1.0000000000000001", QStringLiteral("จำนวนเวลาที่สอน")},
            {dialog.txtHour, "1,5", QStringLiteral("จำนวนเวลาที่สอน")}};
        dialog.txtItem->setText(QStringLiteral("2"));
        for (const auto& [field, typed, caption] : cases) {
            const QString before = field->text();
            field->setText(QString::fromLatin1(typed));
            dialog.ListView1->setFocus();
            messages->clear();
            pressKey(Qt::Key_F2);
            QCOMPARE(messages->all, QStringList{refusal.arg(caption, QString::fromLatin1(typed))});
            QCOMPARE(QApplication::focusWidget(), field);
            field->setText(before);
        }
        QCOMPARE(Fixture::count(QStringLiteral("TimeStamp")), 1);
        // What can be stored whole is stored as typed.
        dialog.txtItem->setText(QStringLiteral("1,000.5"));
        messages->clear();
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
        QVERIFY(dialog.IsSaved);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT StmItem || '|' || StmHour FROM [TimeStamp] "
                                               "WHERE StmID = ?"),
                                {dialog.StmID})
                     .toString(),
                 QStringLiteral("1000.5|2.0"));
    }

    // Across the new year with the working date left at the old one: a new lesson's code
    // begins with the clock's year.
    void lessonCodeFollowsTheClock() {
        db->setNow(QDateTime(QDate(2027, 1, 2), QTime(8, 0)));
        Library::gToday = QStringLiteral("20261231");
        frmTimeStampSub dialog;
        dialog.doAdd(classNo);
        showActive(&dialog);
        dialog.txtTime2->setText(QStringLiteral("12.00"));
        messages->answer({Library::vbYes});
        dialog.txtItem->setFocus();
        pressKey(Qt::Key_F2);
        QVERIFY(dialog.IsSaved);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT group_concat(StmID) FROM [TimeStamp]"))
                     .toString(),
                 QStringLiteral("2027000001"));
    }

    // Rows loaded before another desk deleted their lesson and a third saved a new one: the
    // edit and the delete find their lesson gone, say so and leave the new lesson alone.
    void staleLessonRows() {
        auto saveNew = [](double item) {
            Lesson lesson{{},
                          classNo,
                          QStringLiteral("20261206"),
                          item,
                          QStringLiteral("09.00"),
                          QStringLiteral("10.00"),
                          1,
                          {{QStringLiteral("T01")}},
                          {}};
            return LessonStore::save(lesson, QStringLiteral("desk3"), Seams::today()).stmId;
        };
        const QString first = saveNew(1);
        const QString second = saveNew(2);
        frmTimeStamp window;
        QVERIFY(window.ShowClass(classNo));
        showActive(&window);
        frmTimeStampSub late;
        late.doEdit(classNo, second);
        for (const QString& stmId : {first, second})
            QVERIFY(LessonStore::remove(stmId));
        const QString third = saveNew(3);
        const QString fourth = saveNew(4);
        auto newLessons = [&]() -> QString {
            return Fixture::value(QStringLiteral("SELECT group_concat(StmID || ':' || StmItem || "
                                                 "':' || UserID) FROM [TimeStamp]"))
                       .toString() +
                   QString::number(Fixture::count(QStringLiteral("TimeStampTeacher")));
        };
        const QString before = newLessons();
        QCOMPARE(before, third + QStringLiteral(":3.0:desk3,") + fourth +
                             QStringLiteral(":4.0:desk3") + QStringLiteral("2"));

        showActive(&late);
        late.txtItem->setText(QStringLiteral("9"));
        late.txtItem->setFocus();
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
        showActive(&window);
        ListView::select(window.ListView1, 1);
        window.ListView1->setFocus();
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F4);
        QCOMPARE(messages->errors, QStringList(2, QStringLiteral("ไม่พบการลงเวลานี้แล้ว (ถูกลบไปแล้ว)")));
        QCOMPARE(newLessons(), before);
        QCOMPARE(listColumn(window.ListView1, 1), QStringList{QStringLiteral("2")});
        // F3 on the row left, whose lesson is gone too: said so, and no empty dialog opens.
        const int shown = dialogs->shown;
        messages->clear();
        pressKey(Qt::Key_F3);
        QCOMPARE(messages->errors, QStringList{QStringLiteral("ไม่พบการลงเวลานี้แล้ว (ถูกลบไปแล้ว)")});
        QCOMPARE(dialogs->shown, shown);
        QCOMPARE(newLessons(), before);
    }

    void lessonList() {
        Fixture::course(QStringLiteral("C02"), QStringLiteral("อื่น"));
        stored(QStringLiteral("2026000001"), QStringLiteral("20270105"), 3);
        stored(QStringLiteral("2026000002"), QStringLiteral("20270103"), 2);
        stored(QStringLiteral("2026000003"), QStringLiteral("20270103"), 1);
        Fixture::value(QStringLiteral("INSERT INTO TimeStampStudent (StmID, StdID, StmStatus) "
                                      "VALUES ('2026000003', '6900001', NULL), ('2026000003', "
                                      "'6900002', '0')"));
        QPointer<frmTimeStamp> owner = new frmTimeStamp;
        frmTimeStamp& window = *owner;
        showActive(&window);
        // Nothing to add, edit or delete before a class is chosen.
        for (int code : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4})
            pressKey(code);
        QCOMPARE(dialogs->shown + messages->all.size(), 0);
        dialogs->then([](QDialog& dialog) {
            auto& picker = static_cast<frmListCourse&>(dialog);
            ListView::select(picker.ListView1, 1);
            picker.pressButton(QStringLiteral("OK"));
            return picker.result();
        });
        pressKey(Qt::Key_F9);
        QCOMPARE(window.CourseNo(), classNo);
        QCOMPARE(window.lblCourse->text() + u'|' + window.lblHour->text(),
                 QStringLiteral("คอร์ส 'เข้ม'|30"));
        QCOMPARE(
            rows(window.ListView1, 6),
            QStringLiteral("03/01/2570|1|09.00 - 12.00|3|20|1 / 03/01/2570|2|09.00 - 12.00|3|20|0 "
                           "/ 05/01/2570|3|09.00 - 12.00|3|20|0"));

        // A new lesson, five pupils unticked, 1.5 hours under a comma-decimal locale:
        // appended at the end without re-sorting.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        dialogs->then([this](QDialog& dialog) {
            auto& lesson = static_cast<frmTimeStampSub&>(dialog);
            showActive(&lesson);
            lesson.txtItem->setFocus();
            for (int i = 4; i <= 8; ++i)
                ListView::item(lesson.ListView1, i)->setCheckState(0, Qt::Unchecked);
            lesson.txtHour->setText(QStringLiteral("1.5"));
            lesson.txtTime2->setText(QStringLiteral("10.30"));
            messages->answer({Library::vbYes});
            pressKey(Qt::Key_F2);
            return lesson.result();
        });
        pressKey(Qt::Key_F2);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(rows(window.ListView1, 6).section(QStringLiteral(" / "), 3),
                 QStringLiteral("06/12/2569|4|09.00 - 10.30|1.5|20|15"));

        // The attendance report: the title with the course name as typed.
        ListView::select(window.ListView1, 1);
        window.pressButton(QStringLiteral("Report"));
        std::unique_ptr<frmViewReport> viewer(reportViewers().value(0));
        QVERIFY2(viewer, qPrintable(messages->all.join(u'\n')));
        const QString report = viewer->report().toPlainText();
        QVERIFY2(report.contains(QStringLiteral("รายงานจำนวนนักศึกษาที่เข้าชั้นเรียนคอร์สคอร์ส 'เข้ม'  "
                                                "ระดับ ม.1  วิชา คณิตศาสตร์")),
                 qPrintable(report));
        QVERIFY(report.contains(QStringLiteral("ครั้งที่ 1   วันที่ 03/01/2570   เวลา 09.00 - 12.00   "
                                               "3 ชั่วโมง   เข้าเรียน 1 คน จาก 2 คน")));
        // One line per pupil per lesson, each starting with the lesson's date.
        const QRegularExpression pupilLine(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}\\|"));
        QCOMPARE(report.split(u'\n').filter(pupilLine).size(), 22);
        viewer.reset();

        // Delete: No (the default) keeps the lesson; Yes removes it with its rows.
        showActive(&window);
        ListView::select(window.ListView1, 1);
        window.ListView1->setFocus();
        messages->clear();
        messages->answer({Library::vbNo, Library::vbYes});
        pressKey(Qt::Key_F4);
        pressKey(Qt::Key_F4);
        QCOMPARE(messages->questions.value(0),
                 QStringLiteral("ต้องการลบการลงเวลา วันที่ 03/01/2570 ครั้งที่ 1  หรือไม่"));
        QCOMPARE(Fixture::count(QStringLiteral("TimeStampStudent"), QStringLiteral("StmID = ?"),
                                {QStringLiteral("2026000003")}) +
                     Fixture::count(QStringLiteral("TimeStamp")),
                 3);
        QCOMPARE(ListView::selectedIndex(window.ListView1), 1);
        QCOMPARE(ListView::count(window.ListView1), 3);

        // Esc clears the class first and closes the window second.
        pressKey(Qt::Key_Escape);
        QVERIFY(window.CourseNo().isEmpty() && window.lblCourse->text().isEmpty());
        QCOMPARE(ListView::count(window.ListView1), 0);
        QVERIFY(window.isVisible());
        pressKey(Qt::Key_Escape);
        QTRY_VERIFY(!owner);
    }
};

QTEST_MAIN(tst_lessons)
#include "tst_lessons.moc"
