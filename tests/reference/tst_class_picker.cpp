#include "frame/DialogSeams.h"
#include "frame/KeyToolbar.h"
#include "frame/ListView.h"
#include "reference/frmListCourse.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTreeWidget>

class tst_class_picker : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;

private slots:
    void init() { db = std::make_unique<TestDatabase>(); } // working date 06/12/2026
    void cleanup() { db.reset(); }

    void openCoursesClassesAndPicks() {
        Fixture::course(QStringLiteral("C05"), QStringLiteral("จบวันนี้"), QStringLiteral("1"),
                        QStringLiteral("20261206"));
        Fixture::course(QStringLiteral("C02"), QStringLiteral("จบเมื่อวาน"), QStringLiteral("1"),
                        QStringLiteral("20261205"));
        Fixture::course(QStringLiteral("C03"), QStringLiteral("ไม่มีวันจบ"));
        Fixture::course(QStringLiteral("C04"), QStringLiteral("ปิด"), QStringLiteral("0"),
                        QStringLiteral("20271231"));
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C03"), Money::fromBaht(12500),
                          QStringLiteral("ม.2"));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C03"), Money::fromBaht(900),
                          QStringLiteral("ม.1"), QStringLiteral("ฟิสิกส์"), QStringLiteral("20250601"),
                          QStringLiteral("20250930"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C03"), Money::fromBaht(1000));
        Fixture::classRow(QStringLiteral("6900004"), QStringLiteral("C05"), Money::fromBaht(1));
        Fixture::value(QStringLiteral("UPDATE CourseTable SET DateEnd = NULL, CourseTime = NULL "
                                      "WHERE CourseNo = '6900003'"));
        frmListCourse picker;
        QTreeWidget* list = picker.ListView1;
        // The box shows the course, its code only read.
        QCOMPARE(picker.cboCouse->count(), 2);
        QCOMPARE(picker.cboCouse->currentText(), QStringLiteral("ไม่มีวันจบ"));
        QCOMPARE(picker.GetCourseID(), QStringLiteral("C03"));
        // By level, then number; a finished class too; no end date shows the working date.
        QTreeWidgetItem* last = ListView::item(list, 3);
        QCOMPARE(ListView::rowTag(ListView::item(list, 2)) + u'|' + ListView::rowTag(last),
                 QStringLiteral("6900002|6900003"));
        QCOMPARE(last->text(2) + u'|' + last->text(4),
                 QStringLiteral("01/12/69 - 06/12/69 (ส-อา)|12,500.00"));
        checkLayout(&picker);
        picker.cboCouse->setCurrentIndex(1);
        // A double click confirms the class.
        const QPoint at = list->visualItemRect(ListView::item(list, 1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(picker.IsOK && !picker.isVisible());
        QCOMPARE(picker.CourseNo, QStringLiteral("6900004"));
        // What a caller does, twice in a row: show the picker through the seam, read its results.
        ScriptedDialogs dialogs;
        const auto pick = [&dialogs](int key) {
            dialogs.then([key](QDialog& dialog) {
                dialog.show();
                QTest::keyClick(static_cast<frmListCourse&>(dialog).ListView1, Qt::Key(key));
                return dialog.result();
            });
            frmListCourse again;
            Seams::showModal(again);
            return std::make_pair(again.IsOK, again.CourseNo);
        };
        // F2 and Enter confirm the class, Esc cancels.
        QCOMPARE(pick(Qt::Key_F2), std::make_pair(true, QStringLiteral("6900001")));
        QCOMPARE(pick(Qt::Key_Return), std::make_pair(true, QStringLiteral("6900001")));
        QCOMPARE(pick(Qt::Key_Escape).first, false);
    }

    // The picker opens in the class list on the first class of the first course, its
    // focus marked: Down walks the classes of that course, never another course's.
    void opensOnTheClassList() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิต"));
        Fixture::course(QStringLiteral("C02"), QStringLiteral("ฟิสิกส์"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(100));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money::fromBaht(100),
                          QStringLiteral("ม.2"));
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C02"), Money::fromBaht(100));
        frmListCourse picker;
        QCOMPARE(picker.toolbar()->button(QStringLiteral("OK"))->toolTip(),
                 QStringLiteral("[F2] - เลือกรายการ"));
        showActive(&picker);
        QCOMPARE(QApplication::focusWidget(), picker.ListView1);
        QCOMPARE(ListView::selectedIndex(picker.ListView1), 1);
        // The chosen class shows in the highlight colour while the list has the focus only.
        const auto rowColour = [&picker] {
            const QRect row = picker.ListView1->visualItemRect(ListView::item(picker.ListView1, 1));
            return picker.ListView1->viewport()->grab().toImage().pixelColor(row.left() + 1,
                                                                             row.center().y());
        };
        const auto highlighted = [&picker](const QColor& colour) {
            const QColor highlight = picker.palette().color(QPalette::Highlight);
            return qAbs(colour.red() - highlight.red()) + qAbs(colour.green() - highlight.green()) +
                       qAbs(colour.blue() - highlight.blue()) <
                   24;
        };
        QVERIFY(highlighted(rowColour()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QVERIFY(!highlighted(rowColour()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        pressKey(Qt::Key_Down);
        pressKey(Qt::Key_F2);
        QVERIFY(picker.IsOK);
        QCOMPARE(picker.CourseNo, QStringLiteral("6900002"));

        // The course box is reached by Tab, and shows that it has the focus.
        frmListCourse again;
        showActive(&again);
        const QImage plain = again.cboCouse->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), again.cboCouse);
        QVERIFY(again.cboCouse->grab().toImage() != plain);
        pressKey(Qt::Key_Down);
        QCOMPARE(again.GetCourseID(), QStringLiteral("C02"));
    }

    void nothingToConfirm() {
        // No open course at all; then an open course without classes.
        Fixture::course(QStringLiteral("C01"), QStringLiteral("ปิดแล้ว"), QStringLiteral("0"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(100));
        for (int courses : {0, 1}) {
            frmListCourse picker;
            picker.show();
            QCOMPARE(picker.cboCouse->count() + ListView::count(picker.ListView1), courses);
            QTest::keyClick(picker.ListView1, Qt::Key_F2);
            QVERIFY(picker.isVisible() && !picker.IsOK);
            QTest::keyClick(picker.cboCouse, Qt::Key_Escape);
            QVERIFY(!picker.isVisible() && !picker.IsOK);
            if (!courses)
                Fixture::course(QStringLiteral("C02"), QStringLiteral("ยังไม่มีห้อง"));
        }
    }
};

QTEST_MAIN(tst_class_picker)
#include "tst_class_picker.moc"
