#include "billing/frmListCourse.h"
#include "library/Database.h"
#include "library/KeyToolbar.h"
#include "library/ListView.h"
#include "platform/Report.h"
#include "platform/frmViewReport.h"
#include "results/PointGradeStore.h"
#include "results/frmGrade.h"
#include "results/frmPoint.h"
#include "shell/WindowRegistry.h"
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

QString column(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 1; i <= ListView::count(list); ++i)
        texts << ListView::item(list, i)->text(column);
    return texts.join(u'|');
}

// A column of the class's registrations by student code, as SQL quotes its values.
QString cells(const QString& column) {
    return Fixture::value(QStringLiteral("SELECT group_concat(quote(") + column +
                              QStringLiteral("), ',') FROM (SELECT * FROM StudentCourse WHERE "
                                             "CourseNo = ? ORDER BY StdID)"),
                          {classNo})
        .toString();
}

// The report viewer the last key opened; null when none opened.
std::unique_ptr<frmViewReport> takeViewer() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<frmViewReport*>(top))
            return std::unique_ptr<frmViewReport>(viewer);
    return nullptr;
}

void failWrites(bool fail) {
    Connection::shared().exec(fail ? QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON "
                                                    "StudentCourse BEGIN SELECT RAISE(ABORT, "
                                                    "'disk full'); END")
                                   : QStringLiteral("DROP TRIGGER refuse"));
}

} // namespace

class TstPointsGrades : public QObject {
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
        checkLayout(window);
        QApplication::setActiveWindow(window);
        std::ignore = QTest::qWaitForWindowActive(window);
        window->setFocus();
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

    // Each write binds the typed text's value, whatever the locale, into its one cell.
    void writesStoreTheTypedValueInItsCell() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const std::pair<const char*, const char*> typed[] = {{"7.5", "7.5"},
                                                             {"1,000", "1000"},
                                                             {"", "0"},
                                                             {"abc", "0"},
                                                             {"1234567890", "1234567890"}};
        // The cells set in all classes: two full marks before, then also TestMax3, one test
        // point before, then also pupil 3's TestPoint9, one final point, then also pupil 4's.
        const QString setCells = QStringLiteral(
            "SELECT (SELECT total(TestMax1 IS NOT NULL) + total(TestMax3 IS NOT NULL) + "
            "total(TestMax4 IS NOT NULL) FROM CourseTable) + (SELECT total(TestPoint3 IS NOT NULL) "
            "+ total(TestPoint9 IS NOT NULL) + total(CoursePoint IS NOT NULL) FROM StudentCourse)");
        for (const auto& [text, shown] : typed) {
            const QString t = QString::fromLatin1(text);
            QCOMPARE(PointGradeStore::writeTestMax(classNo, 3, t), QString::fromLatin1(shown));
            QCOMPARE(PointGradeStore::writeTestPoint(classNo, pupil(3), 9, t),
                     QString::fromLatin1(shown));
            QCOMPARE(PointGradeStore::writeCoursePoint(classNo, pupil(4), t),
                     QString::fromLatin1(shown));
            const double value = QString::fromLatin1(shown).toDouble();
            QCOMPARE(Fixture::value(QStringLiteral("SELECT TestMax3 FROM CourseTable WHERE "
                                                   "CourseNo = ?"),
                                    {classNo}),
                     QVariant(value));
            QCOMPARE(cells(QStringLiteral("TestPoint9")) + u'#' +
                         cells(QStringLiteral("CoursePoint")),
                     QStringLiteral("NULL,NULL,%1,NULL,NULL#NULL,80.0,NULL,%1,NULL")
                         .arg(QString::number(value, 'f', 1)));
            QCOMPARE(Fixture::value(setCells).toInt(), 7);
        }
    }

    // Columns are named only by tests 1 to 9; grades are stored as typed; the class list keeps
    // a registration whose pupil is gone.
    void testNumbersGradesAndClassList() {
        for (int test : {0, 10, -1}) {
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, PointGradeStore::writeTestMax(
                                                            classNo, test, QStringLiteral("5")));
            QVERIFY_THROWS_EXCEPTION(
                std::out_of_range,
                PointGradeStore::writeTestPoint(classNo, pupil(1), test, QStringLiteral("5")));
        }
        for (int test = 1; test <= 9; ++test)
            PointGradeStore::writeTestPoint(classNo, pupil(1), test, QString::number(test));
        QCOMPARE(Fixture::value(QStringLiteral("SELECT TestPoint1 || TestPoint5 || TestPoint9 "
                                               "FROM StudentCourse WHERE StdID = ?"),
                                {pupil(1)}),
                 QVariant(QStringLiteral("1.05.09.0")));
        const std::pair<int, QString> grades[] = {{1, QString()},
                                                  {3, QStringLiteral("B'")},
                                                  {4, QStringLiteral(" A ")},
                                                  {5, QStringLiteral("'); --")}};
        for (const auto& [i, grade] : grades)
            PointGradeStore::writeCourseGrade(classNo, pupil(i), grade);
        QCOMPARE(cells(QStringLiteral("CourseGrade")),
                 QStringLiteral("'','A','B''',' A ','''); --'"));
        QCOMPARE(
            Fixture::count(QStringLiteral("StudentCourse"), QStringLiteral("CourseGrade <> ''")),
            4);
        QCOMPARE(Fixture::count(QStringLiteral("QStudentCourse2"), QStringLiteral("CourseNo = ?"),
                                {classNo}),
                 5);
    }

    // Choosing a class fills the labels and test 1's full marks; leaving the test number
    // brings it into 1..9 with its full marks; "Point" checks the class and the test number.
    void pointsClassChoiceAndTestNumber() {
        registerTaskWindows();
        std::unique_ptr<QWidget> grades(createRegisteredWindow(QStringLiteral("mnuGrade")));
        QVERIFY(qobject_cast<frmGrade*>(grades.get()));
        m_window.reset(createRegisteredWindow(QStringLiteral("mnuPoint")));
        frmPoint& w = open<frmPoint>();
        QCOMPARE(focus(), w.txtTime);
        QVERIFY(!w.Picture1->isEnabled() && !w.toolbar()->isAvailable(QStringLiteral("Report")));
        QTest::keyClick(focus(), Qt::Key_F5);
        QTest::keyClick(focus(), Qt::Key_F2);
        QCOMPARE(m_messages->errors, QStringList{noCourse});
        QVERIFY(!takeViewer());

        chooseClass(w, classNo);
        QCOMPARE(QStringList({w.lblCourse->text(), w.lblLevel->text(), w.lblSubject->text(),
                              w.courseNo(), w.txtTime->text(), w.txtMaxPoint->text()})
                     .join(u'|'),
                 QStringLiteral("คอร์สเข้ม ม.1|ม.1|คณิตศาสตร์|6900001|1|50"));
        QCOMPARE(ListView::count(w.ListView1), 0);
        QTest::keyClick(focus(), Qt::Key_F9); // the picker cancelled: nothing changes
        QCOMPARE(w.courseNo() + w.txtMaxPoint->text(), classNo + u"50"_s);

        const std::pair<const char*, const char*> leaving[] = {
            {"4", "4|40"}, {"0", "1|50"}, {"x", "1|50"}, {"9", "9|"}};
        for (const auto& [typed, shown] : leaving) {
            w.txtTime->setFocus();
            type(QString::fromLatin1(typed), Qt::Key_Down);
            QCOMPARE(focus(), w.txtMaxPoint);
            QCOMPARE(w.txtTime->text() + u'|' + w.txtMaxPoint->text(), QString::fromLatin1(shown));
        }
        QTest::keyClick(focus(), Qt::Key_Up);
        QCOMPARE(focus(), w.txtTime);
        // Still in the box: the number is not yet brought into 1..9.
        w.txtTime->setText(QStringLiteral("0"));
        QTest::keyClick(focus(), Qt::Key_F2);
        QCOMPARE(m_messages->errors.last(),
                 QStringLiteral("การสอบครั้งที่ ไม่ถูกต้อง (ต้องมีค่าอยู่ระหว่าง 1-9)"));
        QVERIFY(!w.Picture1->isEnabled());
    }

    // Enter stores a pupil's points and moves on; Up, Down and a click only move.
    void pointsTypedRowAfterRow() {
        frmPoint& w = open<frmPoint>();
        chooseClass(w, classNo);
        type(QStringLiteral("3"));
        type(QStringLiteral("20")); // Enter in the full marks presses "Point"
        QCOMPARE(
            Fixture::value(u"SELECT TestMax3 FROM CourseTable WHERE CourseNo = ?"_s, {classNo}),
            QVariant(20.0));
        QCOMPARE(column(w.ListView1, 0) + u'#' + column(w.ListView1, 1).section(u'|', 0, 1),
                 u"6900011|6900012|6900013|6900014|6900015#|นักเรียนคนที่ 2"_s);
        QVERIFY(w.Picture1->isEnabled() && !w.txtTime->isEnabled() &&
                w.toolbar()->isAvailable(QStringLiteral("Report")) &&
                !w.toolbar()->isAvailable(QStringLiteral("Point")));
        checkLayout(&w);
        const std::tuple<const char*, int, const char*> walk[] = {
            {"", Qt::Key_Return, "6900011 txtPoint 0*"}, // as loaded
            {"", Qt::Key_Down, "6900012 txtPoint 12.5*"},
            {"15", Qt::Key_Return, "6900013 txtPoint 0*"},
            {"9", Qt::Key_Down, "6900014 txtPoint 0*"},
            {"8", Qt::Key_Up, "6900013 txtPoint 0*"},
            {"", Qt::Key_Down, "6900014 txtPoint 0*"},
            {"", Qt::Key_Down, "6900015 txtPoint 0*"},
            {"", Qt::Key_Down, "6900015 txtPoint 0*"},
            {"1,0a00", Qt::Key_Return, "6900015 txtPoint 1,000"}};
        for (const auto& [typed, key, after] : walk) {
            if (QString::fromLatin1(typed) + QString::fromLatin1(after) != u"6900011 txtPoint 0*"_s)
                type(QString::fromLatin1(typed), key);
            QCOMPARE(editor(w.lblStdID), QString::fromUtf8(after));
        }
        QCOMPARE(column(w.ListView1, 3), QStringLiteral("0|15|0|0|1000"));
        QCOMPARE(cells(QStringLiteral("TestPoint3")), QStringLiteral("NULL,15.0,NULL,NULL,1000.0"));
        // A click on another row discards the typed points.
        QTest::keyClicks(w.txtPoint, QStringLiteral("7"));
        const QRect first = w.ListView1->visualItemRect(ListView::item(w.ListView1, 1));
        QTest::mouseClick(w.ListView1->viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(editor(w.lblStdID), QStringLiteral("6900011 txtPoint 0*"));
        // A failing write keeps the typed value and the row.
        failWrites(true);
        type(QStringLiteral("33"));
        QVERIFY(m_messages->errors.last().contains(QStringLiteral("disk full")));
        QCOMPARE(editor(w.lblStdID), QStringLiteral("6900011 txtPoint 33"));
        QCOMPARE(cells(QStringLiteral("TestPoint3")), QStringLiteral("NULL,15.0,NULL,NULL,1000.0"));

        QTest::keyClick(focus(), Qt::Key_Escape);
        QCOMPARE(ListView::count(w.ListView1), 0);
        QCOMPARE(w.lblStdID->text() + w.lblStdName->text(), QString());
        QCOMPARE(focus(), w.txtTime);
        QCOMPARE(w.courseNo() + w.txtTime->text() + w.txtMaxPoint->text(), classNo + u"320"_s);
        w.txtMaxPoint->clear(); // empty full marks write 0
        QTest::keyClick(focus(), Qt::Key_F2);
        QCOMPARE(
            Fixture::value(u"SELECT TestMax3 FROM CourseTable WHERE CourseNo = ?"_s, {classNo}),
            QVariant(0.0));
        QTest::keyClick(focus(), Qt::Key_Escape);
        QTest::keyClick(focus(), Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    // The list loads with the class; Enter walks points, grade, next row's points; each box
    // stores when it is left, for the row it was loaded from.
    void gradesTypedRowAfterRow() {
        frmGrade& w = open<frmGrade>();
        QTest::keyClick(focus(), Qt::Key_F2);
        QCOMPARE(m_messages->errors, QStringList{noCourse});
        chooseClass(w, classNo);
        QCOMPARE(column(w.ListView1, 2) + u'#' + column(w.ListView1, 3), u"0|80|0|0|0#|A|||"_s);
        QVERIFY(w.Picture1->isEnabled() && !w.toolbar()->isAvailable(QStringLiteral("Grade")));
        checkLayout(&w);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const std::tuple<const char*, int, const char*> walk[] = {
            {"7.5", Qt::Key_Return, "6900011 txtGrade "},
            {"B'", Qt::Key_Return, "6900012 txtPoint 80*"},
            {"75", Qt::Key_Down, "6900012 txtGrade A*"},
            {"A ", Qt::Key_Up, "6900012 txtPoint 75*"},
            {"1,000", Qt::Key_Up, "6900011 txtPoint 7.5*"},
            {"", Qt::Key_Up, "6900011 txtPoint 7.5*"}};
        for (const auto& [typed, key, after] : walk) {
            type(QString::fromLatin1(typed), key);
            QCOMPARE(editor(w.lblStdID), QString::fromLatin1(after));
        }
        // A click on another row stores the typed points for the row that was being edited.
        QTest::keyClicks(w.txtPoint, QStringLiteral("66"));
        const QRect fourth = w.ListView1->visualItemRect(ListView::item(w.ListView1, 4));
        QTest::mouseClick(w.ListView1->viewport(), Qt::LeftButton, {}, fourth.center());
        QCOMPARE(editor(w.lblStdID), QStringLiteral("6900014 txtPoint 0*"));
        for (const char* typed : {"", "C", "50", "D"})
            type(QString::fromLatin1(typed));
        QCOMPARE(editor(w.lblStdID), QStringLiteral("6900015 txtGrade D*")); // the last row
        QCOMPARE(cells(QStringLiteral("CoursePoint")) + u'#' + cells(QStringLiteral("CourseGrade")),
                 QStringLiteral("66.0,1000.0,NULL,0.0,50.0#'B''','A ','','C','D'"));
        QCOMPARE(column(w.ListView1, 2) + u'#' + column(w.ListView1, 3),
                 QStringLiteral("66|1000|0|0|50#B'|A ||C|D"));

        failWrites(true);
        type(QStringLiteral("F"));
        QCOMPARE(m_messages->errors.size(), 2);
        QCOMPARE(editor(w.lblStdID) + u'#' + column(w.ListView1, 3),
                 QStringLiteral("6900015 txtGrade F#B'|A ||C|D"));
        // Esc leaves the box (storing it) and keeps the list; a second Esc closes the window.
        failWrites(false);
        QTest::keyClick(focus(), Qt::Key_Escape);
        QCOMPARE(cells(QStringLiteral("CourseGrade")), QStringLiteral("'B''','A ','','C','F'"));
        QVERIFY(!w.Picture1->isEnabled() && w.toolbar()->isAvailable(QStringLiteral("Grade")) &&
                !w.toolbar()->isAvailable(QStringLiteral("Report")));
        QCOMPARE(ListView::count(w.ListView1), 5);
        QTest::keyClick(focus(), Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    // F5 shows each window's report with its title and formula fields; an empty list, nothing.
    void reports() {
        frmPoint& points = open<frmPoint>();
        chooseClass(points, emptyClass);
        QTest::keyClick(focus(), Qt::Key_F2);
        QVERIFY(points.Picture1->isEnabled());
        QTest::keyClick(focus(), Qt::Key_F5);
        QVERIFY(!takeViewer());
        QTest::keyClick(focus(), Qt::Key_Escape);
        chooseClass(points, classNo);
        points.txtTime->setText(QStringLiteral("3"));
        points.txtMaxPoint->setText(QStringLiteral("20"));
        QTest::keyClick(focus(), Qt::Key_F2);
        QTest::keyClick(focus(), Qt::Key_F5);
        std::unique_ptr<frmViewReport> viewer = takeViewer();
        QVERIFY(viewer);
        const Report& rep8 = viewer->report();
        QCOMPARE(QStringList({rep8.fileName(), viewer->windowTitle(),
                              rep8.formulaValue(QStringLiteral("lblComp")),
                              rep8.formulaValue(QStringLiteral("lblTitle")),
                              rep8.formulaValue(QStringLiteral("lblCourse")),
                              rep8.formulaValue(QStringLiteral("xTestMax")),
                              rep8.formulaValue(QStringLiteral("xTime"))})
                     .join(u'|'),
                 u"rep8.rpt|ผลการทดสอบครั้งที่ 3|โรงเรียน 'ทดสอบ'|ผลการทดสอบครั้งที่ 3|"
                 u"คอร์สเข้ม ม.1         ระดับ ม.1         วิชา คณิตศาสตร์|20|3"_s);
        QCOMPARE(rep8.dataSource().RecordCount(), 5);
        QVERIFY(rep8.dataSource().hasField(QStringLiteral("TestPoint9")));
        QVERIFY(rep8.toPlainText().contains(QStringLiteral("12.5")));
        viewer.reset();

        frmGrade& grades = open<frmGrade>();
        chooseClass(grades, emptyClass);
        QTest::keyClick(focus(), Qt::Key_F5);
        QVERIFY(!takeViewer());
        QTest::keyClick(focus(), Qt::Key_Escape);
        chooseClass(grades, classNo);
        QTest::keyClick(focus(), Qt::Key_F5);
        viewer = takeViewer();
        QVERIFY(viewer);
        const Report& rep9 = viewer->report();
        QCOMPARE(QStringList({rep9.fileName(), rep9.formulaValue(QStringLiteral("lblTitle")),
                              rep9.formulaValue(QStringLiteral("lblCourse"))})
                     .join(u'|'),
                 u"rep9.rpt|ผลการเรียนคอร์สเข้ม ม.1|ระดับ ม.1         วิชา คณิตศาสตร์"_s);
        const QString text = rep9.toPlainText();
        QVERIFY(text.contains(QStringLiteral("นักเรียนคนที่ 2")) &&
                text.contains(QStringLiteral("80")));
    }
};

QTEST_MAIN(TstPointsGrades)
#include "tst_points_grades.moc"
