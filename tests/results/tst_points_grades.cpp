#include "core/Database.h"
#include "frame/KeyToolbar.h"
#include "frame/ListView.h"
#include "reference/frmListCourse.h"
#include "report/Report.h"
#include "report/viewer/frmViewReport.h"
#include "results/PointGradeStore.h"
#include "results/frmGrade.h"
#include "results/frmPoint.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString classNo = QStringLiteral("6900001");
const QString emptyClass = QStringLiteral("6900002");
const QString noCourse = QStringLiteral("คอร์สการเรียน ไม่ถูกต้อง");

// A step for ScriptedDialogs: confirms the class with that number in the picker by F2,
// a key that belongs to the picker and not to the window that opened it.
std::function<int(QDialog&)> pickClass(const QString& courseNo) {
    return [courseNo](QDialog& dialog) {
        auto& picker = dynamic_cast<frmListCourse&>(dialog);
        for (int i = 1; i <= ListView::count(picker.ListView1); ++i)
            if (ListView::rowTag(ListView::item(picker.ListView1, i)) == courseNo)
                ListView::select(picker.ListView1, i);
        picker.show();
        QApplication::setActiveWindow(&picker);
        picker.ListView1->setFocus();
        QTest::keyClick(picker.ListView1, Qt::Key_F2);
        return picker.result();
    };
}

QString pupil(int i) {
    return QStringLiteral("69000%1").arg(10 + i);
}

QWidget* focus() {
    return QApplication::focusWidget();
}

// Types into the focused box as a teacher does, then presses the key.
void type(const QString& text, int key = Qt::Key_Return) {
    QTest::keyClicks(focus(), text);
    QTest::keyClick(focus(), Qt::Key(key));
}

// The pupil in the editor, the box with the focus and its text ("*": all of it selected).
QString editor(const QLabel* stdId) {
    auto* box = qobject_cast<QLineEdit*>(focus());
    QString text = box ? box->text() : QString();
    if (box && !text.isEmpty() && box->selectedText() == text)
        text += u'*';
    return stdId->text() + u' ' + (focus() ? focus()->objectName() : QString()) + u' ' + text;
}

// Types each value, presses its key and compares the editor then.
void walk(const QLabel* stdId,
          std::initializer_list<std::tuple<const char*, int, const char*>> steps) {
    for (const auto& [typed, key, after] : steps) {
        type(QString::fromLatin1(typed), key);
        QCOMPARE(editor(stdId), QString::fromLatin1(after));
    }
}

QString column(QTreeWidget* list, int column) {
    return listColumn(list, column).join(u'|');
}

// A column of the class's registrations by student code, as SQL quotes its values.
QString cells(const QString& column) {
    return Fixture::value(QStringLiteral("SELECT group_concat(quote(") + column +
                              QStringLiteral("), ',') FROM (SELECT * FROM StudentCourse WHERE "
                                             "CourseNo = ? ORDER BY StdID)"),
                          {classNo})
        .toString();
}

// Full marks of the class's tests 1 to 4, as SQL quotes them.
QString maxima() {
    return Fixture::value(u"SELECT quote(TestMax1) || ',' || quote(TestMax2) || ',' || "
                          u"quote(TestMax3) || ',' || quote(TestMax4) FROM CourseTable WHERE "
                          u"CourseNo = ?"_s,
                          {classNo})
        .toString();
}

void clickRow(QTreeWidget* list, int index) {
    const QRect row = list->visualItemRect(ListView::item(list, index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
}

// Presses F5. The report shown, as its file, caption, the formula values and its text joined
// by "|"; empty when no report was shown.
QString pressReport(const QStringList& formulas) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    std::unique_ptr<frmViewReport> viewer(reportViewers().value(0));
    if (!viewer)
        return {};
    QStringList shown{viewer->report().fileName(), viewer->windowTitle()};
    for (const QString& name : formulas)
        shown << viewer->report().formulaValue(name);
    return (shown << viewer->report().toPlainText()).join(u'|');
}

void failWrites(bool fail) {
    Connection::shared().exec(fail ? QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON "
                                                    "StudentCourse BEGIN SELECT RAISE(ABORT, "
                                                    "'disk full'); END")
                                   : QStringLiteral("DROP TRIGGER refuse"));
}

} // namespace

class tst_points_grades : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_window;

    // Opens the window as the main window does (the focus given to the window).
    template <typename Window> Window& open() {
        auto* window = new Window;
        m_window.reset(window);
        showActive(window);
        (window->focusWidget() ? window->focusWidget() : window)->setFocus();
        return *window;
    }

    void chooseClass(QWidget& w, const QString& courseNo) {
        m_dialogs->then(pickClass(courseNo));
        QTest::keyClick(focus(), Qt::Key_F9);
        QApplication::setActiveWindow(&w); // as when the picker closes
    }

private slots:
    void init() {
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        Fixture::school(QStringLiteral("โรงเรียน 'ทดสอบ'"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สเข้ม ม.1"));
        Fixture::classRow(classNo, QStringLiteral("C01"), Money::fromBaht(2000));
        Fixture::classRow(emptyClass, QStringLiteral("C01"), Money::fromBaht(2000),
                          QStringLiteral("ม.2"), QStringLiteral("อังกฤษ"));
        // Registered in another order than their codes; the first has no student row.
        for (int i : {3, 1, 5, 2, 4}) {
            if (i != 1)
                Fixture::student(pupil(i), QStringLiteral("นักเรียนคนที่ %1").arg(i));
            Fixture::registration(pupil(i), classNo);
        }
        // Another class of two of them, which no write of this class may touch.
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C01"), Money());
        Fixture::registration(pupil(3), QStringLiteral("6900003"));
        Fixture::registration(pupil(4), QStringLiteral("6900003"));
        Fixture::value(QStringLiteral("UPDATE CourseTable SET TestMax1 = 50, TestMax4 = 40 "
                                      "WHERE CourseNo = ?"),
                       {classNo});
        Fixture::value(QStringLiteral("UPDATE StudentCourse SET TestPoint3 = 12.5, "
                                      "CoursePoint = 80, CourseGrade = 'A' WHERE StdID = ?"),
                       {pupil(2)});
    }

    void cleanup() {
        m_window.reset();
        QLocale::setDefault(QLocale::c());
        m_dialogs.reset();
        m_messages.reset();
        m_db.reset();
    }

    // Each write binds the typed text's value, whatever the locale, into its one cell; columns
    // are named only by tests 1 to 9; a grade is stored as typed.
    void writesStoreTheTypedValueInItsCell() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        // Set before: TestMax1, TestMax4, one TestPoint3 and one CoursePoint.
        const QString setCells = QStringLiteral(
            "SELECT (SELECT total(TestMax1 IS NOT NULL) + total(TestMax3 IS NOT NULL) + "
            "total(TestMax4 IS NOT NULL) FROM CourseTable) + (SELECT total(TestPoint3 IS NOT NULL) "
            "+ total(TestPoint9 IS NOT NULL) + total(CoursePoint IS NOT NULL) FROM StudentCourse)");
        for (const auto& [typed, shown] : {std::pair{"7.5", "7.5"},
                                           {"1,000", "1000"},
                                           {"", "0"},
                                           {"abc", "0"},
                                           {"1234567890", "1234567890"}}) {
            const QString t = QString::fromLatin1(typed);
            QCOMPARE(PointGradeStore::writeTestMax(classNo, 3, t).shown + u'|' +
                         PointGradeStore::writeTestPoint(classNo, pupil(3), 9, t).shown + u'|' +
                         PointGradeStore::writeCoursePoint(classNo, pupil(4), t).shown,
                     QStringLiteral("%1|%1|%1").arg(QString::fromLatin1(shown)));
            const QString value = QString::number(QString::fromLatin1(shown).toDouble(), 'f', 1);
            QCOMPARE(Fixture::value(u"SELECT quote(TestMax3) FROM CourseTable WHERE CourseNo = ?"_s,
                                    {classNo})
                             .toString() +
                         u'#' + cells(QStringLiteral("TestPoint9")) + u'#' +
                         cells(QStringLiteral("CoursePoint")),
                     u"%1#NULL,NULL,%1,NULL,NULL#NULL,80.0,NULL,%1,NULL"_s.arg(value));
            QCOMPARE(Fixture::value(setCells).toInt(), 7); // and nothing in the other class
        }
        // A number is stored as typed or not at all; a row deleted meanwhile is not written.
        using PointGradeStore::Outcome;
        const auto outcomes = [](const QString& courseNo, const QString& stdId, const QString& t) {
            return QList<Outcome>{PointGradeStore::writeTestMax(courseNo, 3, t).outcome,
                                  PointGradeStore::writeTestPoint(courseNo, stdId, 9, t).outcome,
                                  PointGradeStore::writeCoursePoint(courseNo, stdId, t).outcome};
        };
        const QString before = maxima() + u'#' + cells(u"TestPoint9"_s) + cells(u"CoursePoint"_s);
        for (const char* typed : {"1234567890123456", "0.1234567890123456", "12,34", "1.2.3",
                                  "1,0000", " 99999999999999999999 "})
            QCOMPARE(outcomes(classNo, pupil(3), QString::fromLatin1(typed)),
                     QList<Outcome>(3, Outcome::Refused));
        QCOMPARE(maxima() + u'#' + cells(u"TestPoint9"_s) + cells(u"CoursePoint"_s), before);
        QCOMPARE(outcomes(classNo, pupil(3), u"123456789012345"_s),
                 QList<Outcome>(3, Outcome::Stored));
        QCOMPARE(PointGradeStore::writeTestPoint(classNo, pupil(3), 9, u"0.000001234"_s).shown,
                 u"1.234e-06"_s);
        QCOMPARE(
            PointGradeStore::writeTestPoint(classNo, pupil(3), 9, u"123,456,789.012345"_s).shown,
            u"123456789.012345"_s);
        QCOMPARE(outcomes(u"6999999"_s, pupil(3), u"5"_s), QList<Outcome>(3, Outcome::Gone));
        QCOMPARE(outcomes(classNo, u"6999999"_s, u"5"_s),
                 QList<Outcome>({Outcome::Stored, Outcome::Gone, Outcome::Gone}));
        QCOMPARE(PointGradeStore::writeCourseGrade(classNo, u"6999999"_s, u"A"_s), Outcome::Gone);
        QCOMPARE(Fixture::count(u"StudentCourse"_s, u"StdID = '6999999' OR TestPoint9 = 5"_s), 0);
        QCOMPARE(Fixture::count(u"CourseTable"_s, u"CourseNo = '6999999'"_s), 0);
        for (int test : {0, 10}) {
            QVERIFY_THROWS_EXCEPTION(std::out_of_range,
                                     PointGradeStore::writeTestMax(classNo, test, u"5"_s));
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, PointGradeStore::writeTestPoint(
                                                            classNo, pupil(1), test, u"5"_s));
        }
        const std::pair<int, QString> grades[] = {
            {1, QString()}, {3, u"B'"_s}, {4, u" A "_s}, {5, u"'); --"_s}};
        for (const auto& [i, grade] : grades)
            PointGradeStore::writeCourseGrade(classNo, pupil(i), grade);
        QCOMPARE(cells(QStringLiteral("CourseGrade")), u"'','A','B''',' A ','''); --'"_s);
        QCOMPARE(Fixture::count(u"StudentCourse"_s, u"CourseGrade <> ''"_s), 4);
    }

    // Choosing a class fills the labels and test 1's full marks; leaving the test number brings
    // it into 1..9 with its full marks; "Point" writes the full marks and lists the class; Enter
    // stores a pupil's points and moves on, Up, Down and a click only move; F5 the report.
    void pointsTypedRowAfterRow() {
        frmPoint& w = open<frmPoint>();
        QCOMPARE(focus(), w.txtTime);
        QCOMPARE(pressReport({}), QString()); // disabled
        QTest::keyClick(focus(), Qt::Key_F2);
        chooseClass(w, emptyClass);
        QTest::keyClick(focus(), Qt::Key_F2);
        QVERIFY(w.Picture1->isEnabled() && !w.txtTime->isEnabled());
        QCOMPARE(editor(w.lblStdID) + pressReport({}), QStringLiteral(" txtPoint "));
        QTest::keyClick(focus(), Qt::Key_Escape);
        chooseClass(w, classNo);
        QCOMPARE(QStringList({w.lblCourse->text(), w.lblLevel->text(), w.lblSubject->text(),
                              w.courseNo(), w.txtTime->text(), w.txtMaxPoint->text(),
                              column(w.ListView1, 0)})
                     .join(u'|'),
                 u"คอร์สเข้ม ม.1|ม.1|คณิตศาสตร์|6900001|1|50|"_s);
        QTest::keyClick(focus(), Qt::Key_F9); // the picker cancelled: nothing changes
        QCOMPARE(w.courseNo() + w.txtMaxPoint->text(), classNo + u"50"_s);
        for (const auto& [typed, shown] :
             {std::pair{"4", "4|40"}, {"0", "1|50"}, {"x", "1|50"}, {"9", "9|"}}) {
            w.txtTime->setFocus();
            type(QString::fromLatin1(typed), Qt::Key_Down);
            QCOMPARE(w.txtTime->text() + u'|' + w.txtMaxPoint->text(), QString::fromLatin1(shown));
        }
        // Set while the full marks have the focus: never brought into 1..9 by leaving the box.
        w.txtTime->setText(QStringLiteral("0"));
        QTest::keyClick(focus(), Qt::Key_F2);
        QCOMPARE(m_messages->errors,
                 QStringList({noCourse, u"การสอบครั้งที่ ไม่ถูกต้อง (ต้องมีค่าอยู่ระหว่าง 1-9)"_s}));
        w.txtTime->setText(QStringLiteral("3"));
        w.txtMaxPoint->setFocus();
        type(QStringLiteral("20")); // Enter in the full marks presses "Point"
        QCOMPARE(maxima(), u"50.0,NULL,20.0,40.0"_s);
        QCOMPARE(column(w.ListView1, 0) + u'#' + column(w.ListView1, 1).section(u'|', 0, 1),
                 u"6900011|6900012|6900013|6900014|6900015#|นักเรียนคนที่ 2"_s);
        QVERIFY(w.toolbar()->isAvailable(u"Report"_s) && !w.toolbar()->isAvailable(u"Point"_s));
        QCOMPARE(editor(w.lblStdID), u"6900011 txtPoint 0*"_s);
        walk(w.lblStdID, {{"", Qt::Key_Down, "6900012 txtPoint 12.5*"},
                          {"15", Qt::Key_Return, "6900013 txtPoint 0*"},
                          {"9", Qt::Key_Down, "6900014 txtPoint 0*"},
                          {"8", Qt::Key_Up, "6900013 txtPoint 0*"},
                          {"", Qt::Key_Down, "6900014 txtPoint 0*"},
                          {"", Qt::Key_Down, "6900015 txtPoint 0*"},
                          {"", Qt::Key_Down, "6900015 txtPoint 0*"},
                          {"1,0a00", Qt::Key_Return, "6900015 txtPoint 1,000"}});
        QCOMPARE(column(w.ListView1, 3), u"0|15|0|0|1000"_s);
        QCOMPARE(cells(u"TestPoint3"_s), u"NULL,15.0,NULL,NULL,1000.0"_s);
        QTest::keyClicks(w.txtPoint, QStringLiteral("7"));
        clickRow(w.ListView1, 1);
        QCOMPARE(editor(w.lblStdID), u"6900011 txtPoint 0*"_s);
        const QString shown = pressReport({u"lblComp"_s, u"lblTitle"_s, u"lblCourse"_s,
                                           u"xTestMax"_s, u"xTime"_s, u"TestPoint9"_s});
        QVERIFY2(shown.startsWith(u"rep8.rpt|ผลการทดสอบครั้งที่ 3|โรงเรียน 'ทดสอบ'|ผลการทดสอบครั้งที่ 3|"
                                  u"คอร์สเข้ม ม.1         ระดับ ม.1         วิชา คณิตศาสตร์|20|3|"_s),
                 qPrintable(shown));
        QVERIFY(shown.contains(u"1000"_s));

        failWrites(true); // a failing write keeps the typed value and the row
        type(QStringLiteral("33"));
        QVERIFY(m_messages->errors.last().contains(QStringLiteral("disk full")));
        QCOMPARE(editor(w.lblStdID) + u'#' + cells(u"TestPoint3"_s),
                 u"6900011 txtPoint 33#NULL,15.0,NULL,NULL,1000.0"_s);
        QTest::keyClick(focus(), Qt::Key_Escape);
        QCOMPARE(w.lblStdID->text() + w.lblStdName->text() + column(w.ListView1, 0), QString());
        QCOMPARE(focus(), w.txtTime);
        QCOMPARE(w.courseNo() + w.txtTime->text() + w.txtMaxPoint->text(), classNo + u"320"_s);
        // Empty full marks write 0 (typed there: leaving the test number would load them).
        w.txtMaxPoint->setFocus();
        w.txtMaxPoint->clear();
        QTest::keyClick(focus(), Qt::Key_F2);
        QCOMPARE(maxima(), u"50.0,NULL,0.0,40.0"_s);
        QTest::keyClick(focus(), Qt::Key_Escape);
        QTest::keyClick(focus(), Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    // The list loads with the class; Enter walks points, grade, next row's points; each box
    // stores when it is left, for the row it was loaded from; F5 the report.
    void gradesTypedRowAfterRow() {
        frmGrade& w = open<frmGrade>();
        QTest::keyClick(focus(), Qt::Key_F2);
        QCOMPARE(m_messages->errors, QStringList{noCourse});
        chooseClass(w, emptyClass);
        QCOMPARE(editor(w.lblStdID) + pressReport({}), QStringLiteral("  "));
        QVERIFY(w.Picture1->isEnabled());
        QTest::keyClick(focus(), Qt::Key_Escape);
        chooseClass(w, classNo);
        QCOMPARE(column(w.ListView1, 2) + u'#' + column(w.ListView1, 3), u"0|80|0|0|0#|A|||"_s);
        QVERIFY(!w.toolbar()->isAvailable(QStringLiteral("Grade")));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        walk(w.lblStdID, {{"7.5", Qt::Key_Return, "6900011 txtGrade "},
                          {"B'", Qt::Key_Return, "6900012 txtPoint 80*"},
                          {"75", Qt::Key_Down, "6900012 txtGrade A*"},
                          {"A ", Qt::Key_Up, "6900012 txtPoint 75*"},
                          {"1,000", Qt::Key_Up, "6900011 txtPoint 7.5*"},
                          {"66", Qt::Key_Up, "6900011 txtPoint 66*"}});
        // A click on another row stores the typed points for the row that was being edited.
        QTest::keyClicks(w.txtPoint, QStringLiteral("61"));
        clickRow(w.ListView1, 4);
        QCOMPARE(editor(w.lblStdID), u"6900014 txtPoint 0*"_s);
        for (const char* typed : {"", "C", "50", "D"})
            type(QString::fromLatin1(typed));
        QCOMPARE(editor(w.lblStdID), u"6900015 txtGrade D*"_s); // the last row
        QCOMPARE(cells(u"CoursePoint"_s) + u'#' + cells(u"CourseGrade"_s),
                 u"61.0,1000.0,NULL,NULL,50.0#'B''','A ','','C','D'"_s);
        QCOMPARE(column(w.ListView1, 2) + u'#' + column(w.ListView1, 3),
                 u"61|1000|0|0|50#B'|A ||C|D"_s);
        const QString shown = pressReport({u"lblComp"_s, u"lblTitle"_s, u"lblCourse"_s});
        QVERIFY2(shown.startsWith(u"rep9.rpt|ผลการเรียนคอร์สเข้ม ม.1|โรงเรียน 'ทดสอบ'|"
                                  u"ผลการเรียนคอร์สเข้ม ม.1|ระดับ ม.1         วิชา คณิตศาสตร์|"_s),
                 qPrintable(shown));
        QVERIFY(shown.contains(u"B'"_s) && shown.contains(u"นักเรียนคนที่ 2"_s));

        failWrites(true); // a failing write keeps the typed value and the row
        type(QStringLiteral("F"));
        QCOMPARE(editor(w.lblStdID) + u'#' + column(w.ListView1, 3),
                 u"6900015 txtGrade F#B'|A ||C|D"_s);
        failWrites(false);
        // Esc leaves the box (storing it) and keeps the list; a second Esc closes the window.
        QTest::keyClick(focus(), Qt::Key_Escape);
        QCOMPARE(cells(u"CourseGrade"_s), u"'B''','A ','','C','F'"_s);
        QVERIFY(!w.Picture1->isEnabled() && w.toolbar()->isAvailable(u"Grade"_s) &&
                !w.toolbar()->isAvailable(u"Report"_s));
        QCOMPARE(ListView::count(w.ListView1) + m_messages->errors.size(), 7);
        QTest::keyClick(focus(), Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    // The load and report keys, and a click on their buttons, act on what the box with the
    // focus holds, as leaving it would take it.
    void actionsTakeTheBoxBeingTyped() {
        frmPoint& p = open<frmPoint>();
        chooseClass(p, classNo);
        p.txtTime->setFocus();
        QTest::keyClicks(focus(), u"4"_s);
        QTest::keyClick(focus(), Qt::Key_F2); // test 4 keeps its own full marks
        QCOMPARE(maxima() + u'|' + p.txtMaxPoint->text(), u"50.0,NULL,NULL,40.0|40"_s);
        QTest::keyClick(focus(), Qt::Key_Escape);
        QCOMPARE(focus(), p.txtTime);
        QTest::keyClicks(focus(), u"1"_s);
        QTest::mouseClick(p.toolbar()->widgetForAction(p.toolbar()->button(u"Point"_s)),
                          Qt::LeftButton);
        QCOMPARE(maxima() + u'|' + p.txtMaxPoint->text(), u"50.0,NULL,NULL,40.0|50"_s);
        QVERIFY(p.toolbar()->isAvailable(u"Report"_s));

        frmGrade& g = open<frmGrade>();
        chooseClass(g, classNo);
        QCOMPARE(focus(), g.txtPoint);
        QTest::keyClicks(focus(), u"77.25"_s);
        QVERIFY(pressReport({}).contains(u"77.25"_s));
        type(QString());
        QTest::keyClicks(focus(), u"Q+"_s);
        QVERIFY(pressReport({}).contains(u"Q+"_s));
        QCOMPARE(cells(u"CoursePoint"_s).section(u',', 0, 0) + u'|' +
                     cells(u"CourseGrade"_s).section(u',', 0, 0),
                 u"77.25|'Q+'"_s);
    }

    // What another desk stores while this desk has the class on screen stays: a box is written
    // only when the clerk changed it, however it is left (Enter, Up, Down, a click, Esc); the
    // full marks left unchanged show as stored when the list loads.
    void unchangedBoxesWriteNothing() {
        const auto deskB = [](const QString& set, int i) {
            Fixture::exec(u"UPDATE StudentCourse SET "_s + set +
                              u" WHERE CourseNo = ? AND StdID = ?"_s,
                          {classNo, pupil(i)});
        };
        frmGrade& g = open<frmGrade>();
        chooseClass(g, classNo);
        deskB(u"CoursePoint = 88, CourseGrade = 'A'"_s, 1);
        deskB(u"CoursePoint = 90, CourseGrade = 'B+'"_s, 3);
        walk(g.lblStdID, {{"", Qt::Key_Return, "6900011 txtGrade "},
                          {"", Qt::Key_Return, "6900012 txtPoint 80*"},
                          {"77", Qt::Key_Return, "6900012 txtGrade A*"},
                          {"", Qt::Key_Down, "6900013 txtPoint 0*"},
                          {"", Qt::Key_Down, "6900013 txtGrade "},
                          {"", Qt::Key_Up, "6900013 txtPoint 0*"},
                          {"", Qt::Key_Up, "6900012 txtPoint 77*"}});
        clickRow(g.ListView1, 3);
        QTest::keyClick(focus(), Qt::Key_Escape);
        QCOMPARE(cells(u"CoursePoint"_s) + u'#' + cells(u"CourseGrade"_s),
                 u"88.0,77.0,90.0,NULL,NULL#'A','A','B+','',''"_s);
        QCOMPARE(m_messages->all, QStringList());

        frmPoint& p = open<frmPoint>();
        chooseClass(p, classNo);
        QCOMPARE(p.txtMaxPoint->text(), u"50"_s);
        Fixture::exec(u"UPDATE CourseTable SET TestMax1 = 30 WHERE CourseNo = ?"_s, {classNo});
        p.txtMaxPoint->setFocus();
        QTest::keyClick(focus(), Qt::Key_Return); // "Point"
        QCOMPARE(maxima() + u'|' + p.txtMaxPoint->text(), u"30.0,NULL,NULL,40.0|30"_s);
        deskB(u"TestPoint1 = 18"_s, 1);
        walk(p.lblStdID, {{"", Qt::Key_Return, "6900012 txtPoint 0*"},
                          {"12", Qt::Key_Return, "6900013 txtPoint 0*"}});
        QCOMPARE(cells(u"TestPoint1"_s), u"18.0,12.0,NULL,NULL,NULL"_s);
        QCOMPARE(m_messages->all, QStringList());
    }

    // A number that cannot be stored as typed is refused with a message and stays selected in
    // its box. A value typed for a registration deleted meanwhile is said, and its row leaves
    // the list, the editor taking the row now in its place; full marks of a class deleted
    // meanwhile are said and no list loads.
    void refusedNumbersAndRowsGoneMeanwhile() {
        const auto removeRegistration = [](int i) {
            Fixture::exec(u"DELETE FROM StudentCourse WHERE StdID = ? AND CourseNo = ?"_s,
                          {pupil(i), classNo});
        };
        const QString refused = u" ไม่ถูกต้อง: %1\nบันทึกได้เป็นตัวเลขไม่เกิน 15 หลัก ใช้จุลภาคคั่นทุกสามหลัก"_s;
        const auto gone = [](int i) {
            return u"ไม่พบการลงทะเบียนของนักศึกษา %1 ในคอร์สนี้ อาจถูกลบไปแล้ว ไม่ได้บันทึก"_s.arg(pupil(i));
        };

        frmPoint& p = open<frmPoint>();
        chooseClass(p, classNo);
        p.txtMaxPoint->setFocus();
        type(QStringLiteral("1,2"));
        QCOMPARE(editor(p.lblStdID), u" txtMaxPoint 1,2*"_s);
        QVERIFY(!p.Picture1->isEnabled());
        type(QStringLiteral("30"));
        QCOMPARE(editor(p.lblStdID), u"6900011 txtPoint 0*"_s);
        type(QStringLiteral("12,34"));
        QCOMPARE(editor(p.lblStdID), u"6900011 txtPoint 12,34*"_s);
        removeRegistration(2);
        walk(p.lblStdID, {{"", Qt::Key_Down, "6900012 txtPoint 0*"},
                          {"15", Qt::Key_Return, "6900013 txtPoint 0*"},
                          {"8", Qt::Key_Return, "6900014 txtPoint 0*"}});
        QCOMPARE(column(p.ListView1, 0) + u'#' + column(p.ListView1, 3),
                 u"6900011|6900013|6900014|6900015#0|8|0|0"_s);
        QCOMPARE(cells(u"TestPoint1"_s), u"NULL,8.0,NULL,NULL"_s);
        QCOMPARE(m_messages->errors, QStringList({u"คะแนนเต็ม"_s + refused.arg(u"1,2"_s),
                                                  u"คะแนน"_s + refused.arg(u"12,34"_s), gone(2)}));

        m_messages->clear();
        frmGrade& g = open<frmGrade>();
        chooseClass(g, classNo);
        removeRegistration(4);
        walk(g.lblStdID, {{"1,2345", Qt::Key_Return, "6900011 txtPoint 1,2345*"},
                          {"70", Qt::Key_Return, "6900011 txtGrade "},
                          {"B", Qt::Key_Return, "6900013 txtPoint 0*"},
                          {"", Qt::Key_Return, "6900013 txtGrade "},
                          {"", Qt::Key_Return, "6900014 txtPoint 0*"},
                          {"65", Qt::Key_Return, "6900015 txtPoint 0*"},
                          {"", Qt::Key_Return, "6900015 txtGrade "}});
        removeRegistration(5);
        walk(g.lblStdID, {{"C", Qt::Key_Return, "6900013 txtPoint 0*"}});
        QCOMPARE(column(g.ListView1, 0) + u'#' + column(g.ListView1, 2) + u'#' +
                     column(g.ListView1, 3),
                 u"6900011|6900013#70|0#B|"_s);
        QCOMPARE(cells(u"CoursePoint"_s) + u'#' + cells(u"CourseGrade"_s), u"70.0,NULL#'B',''"_s);
        // Leaving the box by a click on another row says so too.
        removeRegistration(3);
        QTest::keyClicks(g.txtPoint, QStringLiteral("5"));
        clickRow(g.ListView1, 1);
        QCOMPARE(editor(g.lblStdID) + u'#' + column(g.ListView1, 0),
                 u"6900011 txtPoint 70*#6900011"_s);
        QCOMPARE(m_messages->errors,
                 QStringList({u"คะแนน"_s + refused.arg(u"1,2345"_s), gone(4), gone(5), gone(3)}));

        m_messages->clear();
        frmPoint& again = open<frmPoint>();
        chooseClass(again, classNo);
        Fixture::exec(u"DELETE FROM CourseTable WHERE CourseNo = ?"_s, {classNo});
        QTest::keyClick(focus(), Qt::Key_F2);
        QCOMPARE(m_messages->errors, QStringList{u"ไม่พบวิชาเรียน 6900001 อาจถูกลบไปแล้ว ไม่ได้บันทึก"_s});
        QVERIFY(!again.Picture1->isEnabled() && ListView::count(again.ListView1) == 0);
    }
};

QTEST_MAIN(tst_points_grades)
#include "tst_points_grades.moc"
