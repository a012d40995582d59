#include "billing/frmListCourse.h"
#include "library/Database.h"
#include "library/KeyToolbar.h"
#include "library/ListView.h"
#include "platform/Report.h"
#include "platform/frmViewReport.h"
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

void key(int qtKey) {
    QTest::keyClick(focus(), Qt::Key(qtKey));
}

// Types into the focused box as a teacher does, then presses the key.
void type(const QString& text, int qtKey = Qt::Key_Return) {
    auto* box = qobject_cast<QLineEdit*>(focus());
    QVERIFY(box);
    QCOMPARE(box->selectedText(), box->text()); // typing replaces the whole value
    QTest::keyClicks(box, text);
    key(qtKey);
}

QString column(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 1; i <= ListView::count(list); ++i)
        texts << ListView::item(list, i)->text(column);
    return texts.join(u'|');
}

QVariant stored(const QString& column, int i) {
    return Fixture::value(QStringLiteral("SELECT ") + column +
                              QStringLiteral(" FROM StudentCourse WHERE CourseNo = ? AND "
                                             "StdID = ?"),
                          {classNo, pupil(i)});
}

// The report viewer the last key opened; null when none opened.
std::unique_ptr<frmViewReport> takeViewer() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<frmViewReport*>(top))
            return std::unique_ptr<frmViewReport>(viewer);
    return nullptr;
}

void failWrites() {
    Connection::shared().exec(
        QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON StudentCourse BEGIN "
                       "SELECT RAISE(ABORT, 'disk full'); END"));
}

} // namespace

class TstPointsGrades : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_window;

    template <typename Window> Window& open() {
        auto* window = new Window;
        m_window.reset(window);
        checkLayout(window);
        QApplication::setActiveWindow(window);
        std::ignore = QTest::qWaitForWindowActive(window);
        return *window;
    }

    template <typename Window> void chooseClass(Window& w, const QString& courseNo) {
        m_dialogs->then(pickClass(courseNo));
        w.setFocus();
        key(Qt::Key_F9);
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

    void windowsAreOpenedFromTheirMenuItems() {
        registerTaskWindows();
        std::unique_ptr<QWidget> points(createRegisteredWindow(QStringLiteral("mnuPoint")));
        std::unique_ptr<QWidget> grades(createRegisteredWindow(QStringLiteral("mnuGrade")));
        QVERIFY(qobject_cast<frmPoint*>(points.get()) && qobject_cast<frmGrade*>(grades.get()));
        QVERIFY(isSingleInstanceWindow(QStringLiteral("mnuPoint")) &&
                isSingleInstanceWindow(QStringLiteral("mnuGrade")));
    }

    // Choosing a class fills the labels and test 1's full marks; the test number stays in 1..9
    // and brings its full marks; "Point" checks the class and the test number first.
    void pointsClassChoiceAndTestNumber() {
        frmPoint& w = open<frmPoint>();
        QCOMPARE(w.titleLabel()->text(), QStringLiteral(" ลงคะแนน "));
        QVERIFY(!w.Picture1->isEnabled() && !w.toolbar()->isAvailable(QStringLiteral("Report")));
        w.txtTime->setFocus();
        key(Qt::Key_F5);
        key(Qt::Key_F2);
        QCOMPARE(m_messages->errors, QStringList{noCourse});
        QVERIFY(!takeViewer());

        chooseClass(w, classNo);
        QCOMPARE(w.lblCourse->text() + u'|' + w.lblLevel->text() + u'|' + w.lblSubject->text(),
                 QStringLiteral("คอร์สเข้ม ม.1|ม.1|คณิตศาสตร์"));
        QCOMPARE(w.courseNo(), classNo);
        QCOMPARE(w.txtTime->text() + u'|' + w.txtMaxPoint->text(), QStringLiteral("1|50"));
        QCOMPARE(ListView::count(w.ListView1), 0);
        key(Qt::Key_F9); // the picker cancelled: nothing changes
        QCOMPARE(w.lblCourse->text() + w.txtMaxPoint->text(), QStringLiteral("คอร์สเข้ม ม.150"));

        const std::pair<const char*, const char*> leaving[] = {
            {"4", "4|40"}, {"0", "1|50"}, {"x", "1|50"}, {"2", "2|"}, {"9", "9|"}};
        for (const auto& [typed, shown] : leaving) {
            w.txtTime->setFocus();
            type(QString::fromLatin1(typed), Qt::Key_Down);
            QCOMPARE(focus(), w.txtMaxPoint);
            QCOMPARE(w.txtTime->text() + u'|' + w.txtMaxPoint->text(), QString::fromLatin1(shown));
        }
        key(Qt::Key_Up);
        QCOMPARE(focus(), w.txtTime);
        // Still in the box: the number is not yet brought into 1..9.
        m_messages->clear();
        w.txtTime->setText(QStringLiteral("0"));
        key(Qt::Key_F2);
        QCOMPARE(m_messages->errors,
                 QStringList{QStringLiteral("การสอบครั้งที่ ไม่ถูกต้อง (ต้องมีค่าอยู่ระหว่าง 1-9)")});
        QVERIFY(!w.Picture1->isEnabled());
    }

    // Enter walks the rows storing each pupil's points; Up and Down only move; Esc twice.
    void pointsTypedRowAfterRow() {
        frmPoint& w = open<frmPoint>();
        chooseClass(w, classNo);
        w.txtTime->setFocus();
        type(QStringLiteral("3"), Qt::Key_Return);
        type(QStringLiteral("20"), Qt::Key_Return); // Enter in the full marks presses "Point"
        QCOMPARE(Fixture::value(QStringLiteral("SELECT TestMax3 FROM CourseTable WHERE CourseNo "
                                               "= ?"),
                                {classNo}),
                 QVariant(20.0));
        QCOMPARE(column(w.ListView1, 0),
                 QStringList({pupil(1), pupil(2), pupil(3), pupil(4), pupil(5)}).join(u'|'));
        QCOMPARE(column(w.ListView1, 1).section(u'|', 0, 1), QStringLiteral("|นักเรียนคนที่ 2"));
        QCOMPARE(column(w.ListView1, 3), QStringLiteral("0|12.5|0|0|0"));
        QVERIFY(w.Picture1->isEnabled() && !w.txtTime->isEnabled() && !w.txtMaxPoint->isEnabled() &&
                w.toolbar()->isAvailable(QStringLiteral("Report")) &&
                !w.toolbar()->isAvailable(QStringLiteral("Course")) &&
                !w.toolbar()->isAvailable(QStringLiteral("Point")));
        checkLayout(&w);
        QCOMPARE(focus(), w.txtPoint);
        QCOMPARE(w.lblStdID->text(), pupil(1));

        key(Qt::Key_Down);
        QCOMPARE(w.lblStdID->text() + w.lblStdName->text(),
                 pupil(2) + QStringLiteral("นักเรียนคนที่ 2"));
        type(QStringLiteral("15"));
        QCOMPARE(stored(QStringLiteral("TestPoint3"), 2), QVariant(15.0));
        QCOMPARE(column(w.ListView1, 3), QStringLiteral("0|15|0|0|0"));
        QCOMPARE(w.lblStdID->text(), pupil(3));
        QCOMPARE(ListView::selectedIndex(w.ListView1), 3);
        // Typed and left by Down, Up or a click: nothing is stored.
        type(QStringLiteral("9"), Qt::Key_Down);
        type(QStringLiteral("8"), Qt::Key_Up);
        QCOMPARE(w.txtPoint->text(), QStringLiteral("0"));
        QTest::keyClicks(w.txtPoint, QStringLiteral("7"));
        const QRect row5 = w.ListView1->visualItemRect(ListView::item(w.ListView1, 5));
        QTest::mouseClick(w.ListView1->viewport(), Qt::LeftButton, {}, row5.center());
        QCOMPARE(focus(), w.txtPoint);
        QCOMPARE(w.lblStdID->text(), pupil(5));
        QCOMPARE(column(w.ListView1, 3), QStringLiteral("0|15|0|0|0"));
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse"), QStringLiteral("TestPoint3 > 0")),
                 1);
        // The last row stores and stays; thousands separators and letters.
        QTest::keyClicks(w.txtPoint, QStringLiteral("1,0a00"));
        key(Qt::Key_Return);
        QCOMPARE(stored(QStringLiteral("TestPoint3"), 5), QVariant(1000.0));
        QCOMPARE(w.lblStdID->text() + u'|' + w.txtPoint->text(),
                 pupil(5) + QStringLiteral("|1,000"));
        QCOMPARE(column(w.ListView1, 3), QStringLiteral("0|15|0|0|1000"));

        // A failing write keeps the typed value, and the editor on its row.
        failWrites();
        w.txtPoint->selectAll();
        type(QStringLiteral("33"));
        QCOMPARE(m_messages->errors.size(), 1);
        QVERIFY(m_messages->errors.at(0).contains(QStringLiteral("disk full")));
        QCOMPARE(w.lblStdID->text() + u'|' + w.txtPoint->text(), pupil(5) + QStringLiteral("|33"));
        QCOMPARE(stored(QStringLiteral("TestPoint3"), 5), QVariant(1000.0));

        key(Qt::Key_Escape);
        QCOMPARE(ListView::count(w.ListView1), 0);
        QCOMPARE(w.lblStdID->text() + w.lblStdName->text(), QString());
        QVERIFY(!w.Picture1->isEnabled() && w.toolbar()->isAvailable(QStringLiteral("Point")));
        QCOMPARE(focus(), w.txtTime);
        QCOMPARE(w.courseNo() + w.txtTime->text() + w.txtMaxPoint->text(),
                 classNo + QStringLiteral("320"));
        // Empty full marks write 0.
        w.txtMaxPoint->clear();
        key(Qt::Key_F2);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT TestMax3 FROM CourseTable WHERE CourseNo "
                                               "= ?"),
                                {classNo}),
                 QVariant(0.0));
        key(Qt::Key_Escape);
        key(Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    void pointsReport() {
        frmPoint& w = open<frmPoint>();
        chooseClass(w, emptyClass);
        key(Qt::Key_F2);
        QVERIFY(w.Picture1->isEnabled());
        QCOMPARE(w.lblStdID->text() + w.txtPoint->text(), QString());
        key(Qt::Key_F5);
        QVERIFY(!takeViewer());
        key(Qt::Key_Escape);

        chooseClass(w, classNo);
        w.txtTime->setText(QStringLiteral("3"));
        w.txtMaxPoint->setText(QStringLiteral("20"));
        key(Qt::Key_F2);
        key(Qt::Key_F5);
        std::unique_ptr<frmViewReport> viewer = takeViewer();
        QVERIFY(viewer);
        const Report& report = viewer->report();
        QCOMPARE(report.fileName(), QStringLiteral("rep8.rpt"));
        QCOMPARE(viewer->windowTitle(), QStringLiteral("ผลการทดสอบครั้งที่ 3"));
        const std::pair<const char*, QString> formulas[] = {
            {"lblComp", QStringLiteral("โรงเรียน 'ทดสอบ'")},
            {"lblTitle", QStringLiteral("ผลการทดสอบครั้งที่ 3")},
            {"lblCourse", QStringLiteral("คอร์สเข้ม ม.1         ระดับ ม.1         วิชา คณิตศาสตร์")},
            {"xTestMax", QStringLiteral("20")},
            {"xTime", QStringLiteral("3")}};
        for (const auto& [name, value] : formulas)
            QCOMPARE(report.formulaValue(QString::fromLatin1(name)), value);
        // Every column of the class's rows, and the chosen test's points shown.
        const Recordset& rows = report.dataSource();
        QCOMPARE(rows.RecordCount(), 5);
        QVERIFY(rows.hasField(QStringLiteral("TestPoint9")) &&
                rows.hasField(QStringLiteral("CourseGrade")));
        QVERIFY(report.toPlainText().contains(QStringLiteral("12.5")));
    }

    // The list loads with the class; Enter walks points, grade, next row's points; each box
    // stores when it is left, for the row it was loaded from.
    void gradesTypedRowAfterRow() {
        frmGrade& w = open<frmGrade>();
        QCOMPARE(w.titleLabel()->text(), QStringLiteral(" ลงเกรด "));
        w.setFocus();
        key(Qt::Key_F2);
        QCOMPARE(m_messages->errors, QStringList{noCourse});
        chooseClass(w, classNo);
        QCOMPARE(column(w.ListView1, 0).section(u'|', 0, 1), pupil(1) + u'|' + pupil(2));
        QCOMPARE(column(w.ListView1, 2) + u'#' + column(w.ListView1, 3),
                 QStringLiteral("0|80|0|0|0#|A|||"));
        QVERIFY(w.Picture1->isEnabled() && w.toolbar()->isAvailable(QStringLiteral("Report")) &&
                !w.toolbar()->isAvailable(QStringLiteral("Grade")));
        checkLayout(&w);
        QCOMPARE(focus(), w.txtPoint);

        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        type(QStringLiteral("7.5"));
        QCOMPARE(stored(QStringLiteral("CoursePoint"), 1), QVariant(7.5));
        QCOMPARE(focus(), w.txtGrade);
        type(QStringLiteral("B'"));
        QCOMPARE(stored(QStringLiteral("CourseGrade"), 1), QVariant(QStringLiteral("B'")));
        QCOMPARE(focus(), w.txtPoint);
        QCOMPARE(w.lblStdID->text() + u'|' + w.txtPoint->text() + u'|' + w.txtGrade->text(),
                 pupil(2) + QStringLiteral("|80|A"));
        // Up in the grade box stores it and goes back to the points of the same row.
        type(QStringLiteral("75"), Qt::Key_Down);
        type(QStringLiteral("A "), Qt::Key_Up);
        QCOMPARE(focus(), w.txtPoint);
        QCOMPARE(w.lblStdID->text(), pupil(2));
        QCOMPARE(stored(QStringLiteral("CourseGrade"), 2), QVariant(QStringLiteral("A ")));
        // Up in the points box stores and moves to the row above; on the first row it stays.
        type(QStringLiteral("1,000"), Qt::Key_Up);
        QCOMPARE(stored(QStringLiteral("CoursePoint"), 2), QVariant(1000.0));
        QCOMPARE(w.lblStdID->text(), pupil(1));
        key(Qt::Key_Up);
        QCOMPARE(focus(), w.txtPoint);
        QCOMPARE(w.lblStdID->text(), pupil(1));
        QCOMPARE(column(w.ListView1, 2) + u'#' + column(w.ListView1, 3),
                 QStringLiteral("7.5|1000|0|0|0#B'|A |||"));
        // A click on another row stores the typed points for the row that was being edited.
        QTest::keyClicks(w.txtPoint, QStringLiteral("66"));
        const QRect row4 = w.ListView1->visualItemRect(ListView::item(w.ListView1, 4));
        QTest::mouseClick(w.ListView1->viewport(), Qt::LeftButton, {}, row4.center());
        QCOMPARE(stored(QStringLiteral("CoursePoint"), 1), QVariant(66.0));
        QVERIFY(stored(QStringLiteral("CoursePoint"), 4).isNull());
        QCOMPARE(focus(), w.txtPoint);
        QCOMPARE(w.lblStdID->text(), pupil(4));
        // The last row: the grade is stored and the focus stays.
        key(Qt::Key_Down);
        type(QStringLiteral("C"));
        type(QStringLiteral("50"));
        type(QStringLiteral("D"));
        QCOMPARE(focus(), w.txtGrade);
        QCOMPARE(w.lblStdID->text(), pupil(5));
        QCOMPARE(stored(QStringLiteral("CourseGrade"), 5), QVariant(QStringLiteral("D")));
        QCOMPARE(m_messages->errors.size(), 1);

        // A failing write keeps the typed grade and the row.
        failWrites();
        type(QStringLiteral("F"));
        QCOMPARE(m_messages->errors.size(), 2);
        QCOMPARE(w.txtGrade->text() + u'|' + column(w.ListView1, 3),
                 QStringLiteral("F|B'|A ||C|D"));

        // Esc keeps the list; a second Esc closes the window.
        Connection::shared().exec(QStringLiteral("DROP TRIGGER refuse"));
        key(Qt::Key_Escape);
        QCOMPARE(stored(QStringLiteral("CourseGrade"), 5), QVariant(QStringLiteral("F")));
        QVERIFY(!w.Picture1->isEnabled() && w.toolbar()->isAvailable(QStringLiteral("Grade")) &&
                w.toolbar()->isAvailable(QStringLiteral("Course")) &&
                !w.toolbar()->isAvailable(QStringLiteral("Report")));
        QCOMPARE(ListView::count(w.ListView1), 5);
        QCOMPARE(w.lblStdID->text(), pupil(5));
        w.setFocus();
        key(Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    void gradesReport() {
        frmGrade& w = open<frmGrade>();
        chooseClass(w, emptyClass);
        QVERIFY(w.Picture1->isEnabled());
        key(Qt::Key_F5);
        QVERIFY(!takeViewer());
        key(Qt::Key_Escape);
        chooseClass(w, classNo);
        key(Qt::Key_F5);
        std::unique_ptr<frmViewReport> viewer = takeViewer();
        QVERIFY(viewer);
        const Report& report = viewer->report();
        QCOMPARE(report.fileName(), QStringLiteral("rep9.rpt"));
        QCOMPARE(report.formulaValue(QStringLiteral("lblTitle")),
                 QStringLiteral("ผลการเรียนคอร์สเข้ม ม.1"));
        QCOMPARE(report.formulaValue(QStringLiteral("lblCourse")),
                 QStringLiteral("ระดับ ม.1         วิชา คณิตศาสตร์"));
        QCOMPARE(report.dataSource().RecordCount(), 5);
        const QString text = report.toPlainText();
        QVERIFY(text.contains(QStringLiteral("นักเรียนคนที่ 2")) &&
                text.contains(QStringLiteral("80")));
    }
};

QTEST_MAIN(TstPointsGrades)
#include "tst_points_grades.moc"
