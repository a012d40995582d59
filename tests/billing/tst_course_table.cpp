#include "billing/frmCourseTable.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/frmFindTech.h"
#include "report/Report.h"
#include "report/viewer/frmViewReport.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

class tst_course_table : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    QPointer<frmCourseTable> window;
    std::unique_ptr<ScriptedMessages> messages;

    static bool focusIn(QWidget* box) {
        return box == QApplication::focusWidget() || box->isAncestorOf(QApplication::focusWidget());
    }
    static QString tags(QTreeWidget* list) { return listTags(list).join(u' '); }

    frmCourseTable* open() {
        window = new frmCourseTable;
        checkLayout(window);
        QApplication::setActiveWindow(window);
        std::ignore = QTest::qWaitForWindowActive(window);
        return window;
    }
    static void typeCode(frmCourseTable* w, int row, const QString& code) {
        w->txtTechID[row]->setFocus();
        QTest::keyClicks(w->txtTechID[row], code);
        pressKey(Qt::Key_Return);
    }

private slots:
    void init() {
        db = std::make_unique<TestDatabase>(); // clock and working date 06/12/2026
        messages = std::make_unique<ScriptedMessages>();
        for (const char16_t* level : {u"ม.1", u"ม.2", u"ม.3"})
            Fixture::level(QString::fromUtf16(level));
        Fixture::subject(QStringLiteral("คณิตศาสตร์"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สเทอม 2"), QStringLiteral("1"),
                        QStringLiteral("20270331"));
        Fixture::teacher(QStringLiteral("001"), QStringLiteral("สมชาย"), Money::fromBaht(300));
        Fixture::teacher(QStringLiteral("002"), QStringLiteral("สมหญิง"), Money::fromBaht(450));
        Fixture::teacher(QStringLiteral("003"), QStringLiteral("มานี"), Money::fromBaht(600));
    }
    void cleanup() {
        delete window;
        messages.reset();
        db.reset();
    }

    void listFilterSwapAndReport() {
        Fixture::school(QStringLiteral("โรงเรียน 'ทดสอบ'"));
        Fixture::course(QStringLiteral("C02"), QStringLiteral("อีกคอร์ส"));
        const QString c = QStringLiteral("C01"), y = QStringLiteral("ม.1"),
                      s = QStringLiteral("ฟิสิกส์");
        Fixture::classRow(QStringLiteral("6900001"), c, Money::fromBaht(1000),
                          QStringLiteral("ม.2"));
        Fixture::classRow(QStringLiteral("6900002"), c, Money(), y, s, QStringLiteral("20260101"),
                          QStringLiteral("20260701"));
        Fixture::classRow(QStringLiteral("6900003"), c, Money(), y, s, QStringLiteral("20260101"),
                          QStringLiteral("20271231"));
        Fixture::classRow(QStringLiteral("6900004"), c, Money(), y, s, QStringLiteral("20270101"),
                          QStringLiteral("20270301"));
        Fixture::classRow(QStringLiteral("6900005"), QStringLiteral("C02"), Money());
        const QString names[] = {QStringLiteral("นายหนึ่ง"), QStringLiteral("นายสอง"),
                                 QStringLiteral("นายสาม")};
        for (int i : {1, 0, 2}) {
            const QString id = QStringLiteral("690000%1").arg(i + 1);
            Fixture::student(id, names[i]);
            Fixture::registration(id, QStringLiteral("690000%1").arg(i == 2 ? 2 : 1));
        }
        frmCourseTable* w = open();
        QCOMPARE(w->dtpDate1->date(), QDate(2026, 6, 6));
        // Start or end inside the range, by level; a class spanning the range is left out.
        QCOMPARE(tags(w->ListView1), QStringLiteral("6900002 6900001"));
        QTreeWidgetItem* row = ListView::item(w->ListView1, 2);
        QCOMPARE(row->text(4) + u'|' + row->text(5) + u'|' + row->text(7),
                 QStringLiteral("1,000.00|01/12/2569|30"));
        // The report of the selected class: its students, with the school's name.
        ListView::select(w->ListView1, 2);
        w->ListView1->setFocus();
        pressKey(Qt::Key_F5);
        std::unique_ptr<frmViewReport> viewer;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<frmViewReport*>(top))
                viewer.reset(found);
        QVERIFY(viewer);
        const QString text = viewer->report().toPlainText();
        QVERIFY(text.contains(names[0]) && text.contains(names[1]) && !text.contains(names[2]));
        QVERIFY(text.indexOf(QStringLiteral("|6900001|")) < text.indexOf(names[1]));
        QVERIFY(text.contains(QStringLiteral("โรงเรียน 'ทดสอบ'")));
        viewer.reset();
        // A from date after the to date: the pickers swap at the reload.
        w->dtpDate1->setDate(QDate(2027, 2, 1));
        QCOMPARE(w->dtpDate1->date(), QDate(2026, 12, 6));
        QCOMPARE(w->dtpDate2->date(), QDate(2027, 2, 1));
        QCOMPARE(tags(w->ListView1), QStringLiteral("6900004 6900001"));
        // A class without pupils: its course, level and subject head the report all the same.
        ListView::select(w->ListView1, 1);
        w->pressButton(QStringLiteral("Report"));
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<frmViewReport*>(top))
                viewer.reset(found);
        QVERIFY(viewer);
        const QString empty = viewer->report().toPlainText();
        for (const QString& shown : {QStringLiteral("คอร์สเทอม 2"), y, s, QStringLiteral("6900004")})
            QVERIFY2(empty.contains(shown), qPrintable(shown));
        viewer.reset();
        w->cboCouse->setCurrentIndex(1);
        QCOMPARE(tags(w->ListView1), QStringLiteral("6900005"));
    }

    // A date is read when the box is left or a key acts, never half typed; the range then
    // puts itself in order once, keeping both dates, also after paging a calendar past the
    // other date. A date that names no day is said at the save and nothing is written.
    void typedDatesAndTheRange() {
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money());
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money(),
                          QStringLiteral("ม.1"), QStringLiteral("คณิตศาสตร์"),
                          QStringLiteral("20270101"), QStringLiteral("20270301"));
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C01"), Money(),
                          QStringLiteral("ม.1"), QStringLiteral("คณิตศาสตร์"),
                          QStringLiteral("20260101"), QStringLiteral("20260701"));
        frmCourseTable* w = open();
        const auto range = [w]() -> QString {
            return w->dtpDate1->text() + u'-' + w->dtpDate2->text() + u' ' + tags(w->ListView1);
        };
        QCOMPARE(range(), QStringLiteral("06/06/2569-06/12/2569 6900001 6900003"));
        w->dtpDate2->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("31122569"));
        QCOMPARE(w->dtpDate1->date(), QDate(2026, 6, 6));
        QCOMPARE(w->dtpDate2->date(), QDate(2026, 12, 6));
        pressKey(Qt::Key_Tab);
        QCOMPARE(range(), QStringLiteral("06/06/2569-31/12/2569 6900001 6900003"));
        w->dtpDate1->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("28/02/70"));
        pressKey(Qt::Key_Tab);
        QCOMPARE(range(), QStringLiteral("31/12/2569-28/02/2570 6900001 6900002"));

        // The to date's calendar paged back three months, past the from date, then chosen.
        QDateEdit* to = w->dtpDate2;
        QTest::mouseClick(to, Qt::LeftButton, {}, QPoint(to->width() - 4, to->height() / 2));
        auto* days = to->calendarWidget()->findChild<QAbstractItemView*>();
        QVERIFY(days && days->isVisible());
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(days, Qt::Key_PageUp);
        QCOMPARE(range(), QStringLiteral("31/12/2569-28/02/2570 6900001 6900002"));
        QTest::keyClick(days, Qt::Key_Return);
        QCOMPARE(range(), QStringLiteral("28/11/2569-31/12/2569 6900001"));

        w->pressButton(QStringLiteral("New"));
        w->cboLevel->setCurrentIndex(0);
        w->cboSubject->setCurrentIndex(0);
        w->dtpStartDate->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("31/12/257"));
        messages->answer({Library::vbYes, Library::vbYes});
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->all, QStringList{QStringLiteral("วันที่ ไม่ถูกต้อง")});
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 3);
        QVERIFY(focusIn(w->dtpStartDate));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("31122569"));
        pressKey(Qt::Key_F2);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT DateStart FROM CourseTable WHERE CourseNo "
                                               "= '6900004'")),
                 QStringLiteral("20261231"));
    }

    void noOpenCourseAndSixMonths() {
        Library::gToday = QStringLiteral("20260831");
        Fixture::value(QStringLiteral("UPDATE Course SET CourseStatus = '0'"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money());
        frmCourseTable* w = open();
        QCOMPARE(w->dtpDate1->date(), QDate(2026, 2, 28));
        QCOMPARE(w->cboCouse->count() + ListView::count(w->ListView1), 0);
        w->pressButton(QStringLiteral("Report")); // nothing on an empty list
        // Save refuses a class without a course, after the level and subject checks.
        w->pressButton(QStringLiteral("New"));
        w->cboLevel->setCurrentIndex(0);
        w->cboSubject->setCurrentIndex(0);
        messages->answer({Library::vbYes});
        w->pressButton(QStringLiteral("Save"));
        QCOMPARE(messages->all, QStringList{QStringLiteral("คอร์ส ว่างไม่ได้")});
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 1);
    }

    void keysPerMode() {
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1000));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money());
        Fixture::value(QStringLiteral("INSERT INTO TeacherCourse VALUES ('6900002', '001', 300)"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("เด็กหญิงทดสอบ"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
        frmCourseTable* w = open();
        w->ListView1->setFocus();
        pressKey(Qt::Key_F2);
        QCOMPARE(w->mode(), int(frmCourseTable::Add));
        QVERIFY(w->Frame1->isVisible() && !w->ListView1->isVisible() && !w->cboCouse->isEnabled());
        QCOMPARE(w->txtCourseNo->text(), QStringLiteral("6900003"));
        QVERIFY(focusIn(w->cboLevel));
        checkLayout(w);
        // Enter moves on; combos and pickers keep their arrows; text boxes take Down and Up.
        const std::tuple<QWidget*, QList<int>, QWidget*> moves[] = {
            {w->cboLevel, {Qt::Key_Return, Qt::Key_Down}, w->cboSubject},
            {w->cboSubject, {Qt::Key_Return, Qt::Key_Down}, w->txtCourseTime},
            {w->txtCourseTime, {Qt::Key_Up}, w->txtCourseDate},
            {w->dtpEndDate, {Qt::Key_Return}, w->txtHour},
            {w->txtCoursePrice, {Qt::Key_Return}, w->txtTechID[0]},
            {w->txtRate[3], {Qt::Key_Return}, w->cboLevel}};
        for (const auto& [from, keys, to] : moves) {
            from->setFocus();
            for (int code : keys)
                pressKey(code);
            QVERIFY2(focusIn(to), qPrintable(to->objectName()));
        }
        pressKey(Qt::Key_F3);
        pressKey(Qt::Key_F4);
        QCOMPARE(w->mode(), int(frmCourseTable::Add));
        QVERIFY(messages->all.isEmpty()); // no save on Enter, no delete on F4
        pressKey(Qt::Key_Escape);
        QVERIFY(w->mode() == frmCourseTable::Browse && w->ListView1->isVisible());
        pressKey(Qt::Key_F3);
        QCOMPARE(w->mode(), int(frmCourseTable::Edit));
        QCOMPARE(w->txtCourseNo->text() + w->cboLevel->currentText() + w->txtHour->text(),
                 QStringLiteral("6900001ม.130"));
        pressKey(Qt::Key_Escape);
        // F4: No keeps the class, a registered class is refused, a free one goes with its teachers.
        messages->answer({Library::vbNo, Library::vbYes});
        pressKey(Qt::Key_F4);
        pressKey(Qt::Key_F4);
        QVERIFY(messages->questions.size() == 2 && messages->errors.size() == 1);
        QCOMPARE(ListView::count(w->ListView1), 2);
        ListView::select(w->ListView1, 2);
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F4);
        QCOMPARE(tags(w->ListView1), QStringLiteral("6900001"));
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")) +
                     Fixture::count(QStringLiteral("TeacherCourse")),
                 1);
        Fixture::value(QStringLiteral("DELETE FROM CourseTable"));
        pressKey(Qt::Key_F3); // the class is gone: said so, and no panel opens
        QCOMPARE(w->mode(), int(frmCourseTable::Browse));
        QCOMPARE(messages->errors.size(), 2);
        QCOMPARE(messages->errors.last(), QStringLiteral("ไม่พบวิชาเรียน 6900001 อาจถูกลบไปแล้ว"));
        // Deleting it says it is gone and takes the row off the list.
        messages->clear();
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F4);
        QCOMPARE(messages->errors, QStringList{QStringLiteral("ไม่พบวิชาเรียน 6900001 อาจถูกลบไปแล้ว")});
        QCOMPARE(ListView::count(w->ListView1), 0);
        pressKey(Qt::Key_Escape);
        QTRY_VERIFY(window.isNull());
    }

    void saveAndValidations() {
        frmCourseTable* w = open();
        w->pressButton(QStringLiteral("New"));
        // Level, then subject: refused with the focus on the empty box.
        for (QComboBox* box : {w->cboLevel, w->cboSubject}) {
            w->txtCourseDate->setFocus();
            pressKey(Qt::Key_F2);
            QVERIFY(focusIn(box));
            box->setCurrentIndex(box == w->cboLevel ? 1 : 0);
        }
        QCOMPARE(messages->errors,
                 (QStringList{QStringLiteral("ระดับ ว่างไม่ได้"), QStringLiteral("วิชา ว่างไม่ได้")}));
        w->txtCourseDate->setText(QStringLiteral("จ'พ"));
        w->dtpStartDate->setDate(QDate(2026, 12, 20));
        w->txtHour->setText(QStringLiteral("1.5"));
        // The fee box takes digits only, formats on leaving and shows the bare number on entering.
        w->txtCoursePrice->setFocus();
        QTest::keyClicks(w->txtCoursePrice, QStringLiteral("12x500"));
        pressKey(Qt::Key_Return);
        QCOMPARE(w->txtCoursePrice->text(), QStringLiteral("12,500.00"));
        pressKey(Qt::Key_Up);
        QCOMPARE(w->txtCoursePrice->selectedText(), QStringLiteral("12500.00"));
        // A fee shows whole with its separators; one beyond what can be stored stays as typed
        // and is refused at saving.
        w->txtCoursePrice->setText(QStringLiteral("1000000000000"));
        pressKey(Qt::Key_Return);
        QCOMPARE(w->txtCoursePrice->text(), QStringLiteral("1,000,000,000,000.00"));
        pressKey(Qt::Key_Up);
        w->txtCoursePrice->setText(QStringLiteral("10000000000000"));
        pressKey(Qt::Key_Return);
        QCOMPARE(w->txtCoursePrice->text(), QStringLiteral("10000000000000"));
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), Money::rangeMessage());
        QVERIFY(focusIn(w->txtCoursePrice) && messages->questions.isEmpty());
        w->txtCoursePrice->setText(QStringLiteral("12500"));
        messages->answer({Library::vbNo, Library::vbYes});
        pressKey(Qt::Key_F2);
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 0);
        QCOMPARE(w->txtCourseDate->text(), QStringLiteral("จ'พ"));
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->questions.size(), 2);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT CourseID || CourseLevel || CourseDate || "
                                               "CoursePrice || DateStart || DateEnd || TimeHour "
                                               "FROM CourseTable WHERE CourseNo = '6900001'")),
                 QStringLiteral("C01ม.2จ'พ12500.020261220202612061.5"));
        // Appended to the list; "New" again for the next class.
        QCOMPARE(ListView::item(w->ListView1, 1)->text(4), QStringLiteral("12,500.00"));
        QCOMPARE(w->txtCourseNo->text() + w->txtCourseDate->text() + w->cboLevel->currentText(),
                 QStringLiteral("6900002"));
        QVERIFY(focusIn(w->cboLevel));
        // Edit: a failure keeps the panel open and the stored class as it was; the retry goes
        // through and the window returns to browse.
        Fixture::value(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TeacherCourse "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        pressKey(Qt::Key_Escape);
        pressKey(Qt::Key_F3);
        w->cboLevel->setCurrentIndex(2);
        w->txtTechID[0]->setText(QStringLiteral("001"));
        messages->answer({Library::vbYes, Library::vbYes});
        pressKey(Qt::Key_F2);
        QVERIFY(messages->errors.size() == 4 && w->Frame1->isVisible());
        QCOMPARE(Fixture::value(QStringLiteral("SELECT CourseLevel FROM CourseTable")).toString(),
                 QStringLiteral("ม.2"));
        Fixture::value(QStringLiteral("DROP TRIGGER refuse"));
        pressKey(Qt::Key_F2);
        QCOMPARE(w->mode(), int(frmCourseTable::Browse));
        QCOMPARE(ListView::item(w->ListView1, 1)->text(0), QStringLiteral("ม.3"));
        // Deleted meanwhile: an error, nothing written, back to browse.
        pressKey(Qt::Key_F3);
        Fixture::value(QStringLiteral("DELETE FROM CourseTable"));
        Fixture::value(QStringLiteral("DELETE FROM TeacherCourse"));
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->errors.size(), 5);
        QCOMPARE(w->mode(), int(frmCourseTable::Browse));
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")) +
                     Fixture::count(QStringLiteral("TeacherCourse")),
                 0);
    }

    // Across the new year with the working date left at the old one: a class is numbered in
    // the clock's year, when New is pressed and when it is saved.
    void numbersFollowTheClock() {
        db->setNow(QDateTime(QDate(2027, 1, 2), QTime(8, 0)));
        Library::gToday = QStringLiteral("20261231");
        frmCourseTable* w = open();
        w->pressButton(QStringLiteral("New"));
        QCOMPARE(w->txtCourseNo->text(), QStringLiteral("7000001"));
        Fixture::classRow(QStringLiteral("7000001"), QStringLiteral("C01"), Money());
        w->cboLevel->setCurrentIndex(1);
        w->cboSubject->setCurrentIndex(0);
        messages->answer({Library::vbYes});
        w->pressButton(QStringLiteral("Save"));
        QCOMPARE(Fixture::value(QStringLiteral("SELECT group_concat(CourseNo) FROM CourseTable"))
                     .toString(),
                 QStringLiteral("7000001,7000002"));
        QCOMPARE(messages->errors, QStringList());
    }

    void teacherRows() {
        ScriptedDialogs dialogs;
        frmCourseTable* w = open();
        w->pressButton(QStringLiteral("New"));
        w->cboLevel->setCurrentIndex(0);
        w->cboSubject->setCurrentIndex(0);
        typeCode(w, 0, QStringLiteral("0a01"));
        QCOMPARE(w->lblName[0]->text() + w->txtRate[0]->text(), QStringLiteral("สมชาย300"));
        QTest::keyClicks(w->txtRate[0], QStringLiteral("1,200.00"));
        typeCode(w, 1, QStringLiteral("001"));
        QCOMPARE(messages->errors, QStringList{QStringLiteral("รหัสอาจารย์  ซ้ำ")});
        QCOMPARE(w->txtTechID[1]->text(), QString());
        w->txtRate[1]->setText(QStringLiteral("50"));
        typeCode(w, 1, QStringLiteral("999")); // unknown: emptied without a message
        QCOMPARE(w->txtTechID[1]->text() + w->txtRate[1]->text(), QString());
        typeCode(w, 2, QStringLiteral("003"));
        dialogs.then([](QDialog& dialog) {
            static_cast<frmFindTech&>(dialog).IsSelected = true;
            static_cast<frmFindTech&>(dialog).SelectedID = QStringLiteral("002");
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(w->cmdListTech[3], Qt::LeftButton);
        QCOMPARE(w->lblName[3]->text() + w->txtRate[3]->text(), QStringLiteral("สมหญิง450"));
        QTest::mouseClick(w->cmdListTech[3], Qt::LeftButton); // cancelled: row unchanged
        QCOMPARE(w->txtTechID[3]->text(), QStringLiteral("002"));
        QCOMPARE(messages->errors.size(), 1);
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
        QCOMPARE(
            Fixture::value(QStringLiteral("SELECT group_concat(t) FROM (SELECT TechID || '=' || "
                                          "TechRateAmt AS t FROM TeacherCourse ORDER BY rowid)")),
            QStringLiteral("001=1200.0,003=600.0,002=450.0"));
        QCOMPARE(w->txtTechID[0]->text(), QStringLiteral("001")); // "New" keeps the rows

        // Reloaded without the gap; passing through a row keeps the class's rate.
        pressKey(Qt::Key_Escape);
        pressKey(Qt::Key_F3);
        QCOMPARE(w->txtTechID[1]->text() + w->txtTechID[3]->text(), QStringLiteral("003"));
        w->txtTechID[0]->setFocus();
        pressKey(Qt::Key_Return);
        QCOMPARE(w->txtRate[0]->text(), QStringLiteral("1,200.00"));
        w->txtTechID[0]->setFocus();
        w->txtTechID[0]->clear();
        pressKey(Qt::Key_Return); // left empty: the row is emptied
        QCOMPARE(w->txtRate[0]->text(), QString());
        typeCode(w, 0, QStringLiteral("001")); // changed code: the standard rate again
        QCOMPARE(w->txtRate[0]->text(), QStringLiteral("300"));
        // A duplicate still in its box when saving is caught before the question.
        w->txtTechID[1]->clear();
        w->txtTechID[1]->setFocus();
        QTest::keyClicks(w->txtTechID[1], QStringLiteral("002"));
        messages->clear();
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->all, QStringList{QStringLiteral("รหัสอาจารย์  ซ้ำ")});
    }

    // A class of large amounts edited in its room alone keeps its fee, rate and hours whole;
    // digits typed with a separator out of place are refused, never stored as 0.
    void largeAmountsAndMisplacedSeparators() {
        const std::int64_t amounts[] = {123456789012, 999999999999990};
        for (int i = 0; i < 2; ++i) {
            const QString courseNo = QStringLiteral("690000%1").arg(i + 1);
            Fixture::classRow(courseNo, QStringLiteral("C01"), Money::fromSatang(amounts[i]));
            Fixture::exec(QStringLiteral("INSERT INTO TeacherCourse (CourseNo, TechID, "
                                         "TechRateAmt) VALUES (?, '001', ?)"),
                          {courseNo, Money::fromSatang(amounts[i]).toVariant()});
        }
        Fixture::exec(QStringLiteral("UPDATE CourseTable SET TimeHour = 1234.5 WHERE CourseNo = "
                                     "'6900001'"));
        const QString stored = QStringLiteral(
            "SELECT group_concat(t, ' / ') FROM (SELECT printf('%.2f=%.2f:%s:', CoursePrice, "
            "TechRateAmt, TimeHour) || RoomNo AS t FROM CourseTable c JOIN TeacherCourse t ON "
            "t.CourseNo = c.CourseNo ORDER BY c.CourseNo)");
        // Wide enough for the list to show such fees whole.
        frmCourseTable* w = window = new frmCourseTable;
        w->resize(1600, 700);
        showActive(w);
        for (int row = 1; row <= 2; ++row) {
            ListView::select(w->ListView1, row);
            w->ListView1->setFocus();
            pressKey(Qt::Key_F3);
            QCOMPARE(w->mode(), int(frmCourseTable::Edit));
            w->txtRoom->setText(QStringLiteral("ห้อง %1").arg(row));
            messages->answer({Library::vbYes});
            pressKey(Qt::Key_F2);
            QCOMPARE(w->mode(), int(frmCourseTable::Browse));
        }
        QCOMPARE(messages->errors, QStringList());
        QCOMPARE(Fixture::value(stored).toString(),
                 QStringLiteral("1234567890.12=1234567890.12:1234.5:ห้อง 1 / "
                                "9999999999999.90=9999999999999.90:30.0:ห้อง 2"));
        QCOMPARE(ListView::item(w->ListView1, 2)->text(4), QStringLiteral("9,999,999,999,999.90"));

        const QString refusal =
            QStringLiteral("%1 ไม่ถูกต้อง: %2\nบันทึกได้เป็นตัวเลขไม่เกิน 15 หลัก ใช้จุลภาคคั่นทุกสามหลัก");
        pressKey(Qt::Key_F3);
        const std::tuple<QLineEdit*, const char*, const char16_t*> cases[] = {
            {w->txtCoursePrice, "1,0000", u"ค่าเรียน"},
            {w->txtRate[0], "1,20", u"อัตราค่าสอน"},
            {w->txtHour, "1,5", u"จำนวนเวลาเรียน"}};
        for (const auto& [box, typed, caption] : cases) {
            const QString before = box->text();
            messages->clear();
            box->setFocus();
            QTest::keyClicks(box, QString::fromLatin1(typed));
            pressKey(Qt::Key_Return);
            QCOMPARE(box->text(), QString::fromLatin1(typed));
            pressKey(Qt::Key_F2);
            QCOMPARE(messages->all, QStringList{refusal.arg(QString::fromUtf16(caption),
                                                            QString::fromLatin1(typed))});
            QVERIFY(focusIn(box));
            box->setText(before);
        }
        QCOMPARE(Fixture::value(stored).toString(),
                 QStringLiteral("1234567890.12=1234567890.12:1234.5:ห้อง 1 / "
                                "9999999999999.90=9999999999999.90:30.0:ห้อง 2"));
    }
};

QTEST_MAIN(tst_course_table)
#include "tst_course_table.moc"
