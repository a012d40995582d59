#include "billing/frmListCourse.h"
#include "library/KeyToolbar.h"
#include "library/ListView.h"
#include "library/Seams.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

class tst_frmListCourse : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;

    static QStringList rowTexts(QTreeWidget* list, int index) {
        QStringList texts;
        QTreeWidgetItem* row = ListView::item(list, index);
        for (int c = 0; c < list->columnCount(); ++c)
            texts << row->text(c);
        return texts;
    }
    static QStringList courseKeys(QComboBox* box) {
        QStringList keys;
        for (int i = 0; i < box->count(); ++i)
            keys << box->itemText(i).section(QLatin1Char('@'), 1);
        return keys;
    }
    // What a caller does: show the picker through the seam and read its results.
    static std::pair<bool, QString> pick(ScriptedDialogs& dialogs, int key) {
        dialogs.then([key](QDialog& dialog) {
            dialog.show();
            auto& picker = static_cast<frmListCourse&>(dialog);
            QTest::keyClick(picker.ListView1, Qt::Key(key));
            return dialog.result();
        });
        frmListCourse picker;
        Seams::showModal(picker);
        return {picker.IsOK, picker.CourseNo};
    }

private slots:
    void init() {
        db = std::make_unique<TestDatabase>(); // working date 06/12/2026
    }
    void cleanup() { db.reset(); }

    void noOpenCourse() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("ปิดแล้ว"), QStringLiteral("0"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(100));
        frmListCourse picker;
        picker.show();
        QCOMPARE(picker.windowTitle(), QStringLiteral("วิชาที่เปิดสอน"));
        QCOMPARE(picker.lblTitle->text(), QStringLiteral(" วิชาที่เปิดสอน "));
        QCOMPARE(picker.Toolbar1->button(QStringLiteral("OK"))->text(),
                 QStringLiteral("   เลือก   "));
        QCOMPARE(picker.cboCouse->count(), 0);
        QCOMPARE(ListView::count(picker.ListView1), 0);
        QCOMPARE(picker.ListView1->headerItem()->text(2), QStringLiteral("วันที่เรียน"));

        QTest::keyClick(picker.ListView1, Qt::Key_F2);
        QVERIFY(picker.isVisible());
        QVERIFY(!picker.IsOK);
        QTest::keyClick(picker.ListView1, Qt::Key_Escape);
        QVERIFY(!picker.isVisible());
        QCOMPARE(picker.result(), int(QDialog::Rejected));
        QVERIFY(!picker.IsOK);
    }

    void offersOpenCoursesOnly() {
        Fixture::course(QStringLiteral("C05"), QStringLiteral("จบวันนี้"), QStringLiteral("1"),
                        QStringLiteral("20261206"));
        Fixture::course(QStringLiteral("C02"), QStringLiteral("จบเมื่อวาน"), QStringLiteral("1"),
                        QStringLiteral("20261205"));
        Fixture::course(QStringLiteral("C03"), QStringLiteral("ไม่มีวันจบ"));
        Fixture::course(QStringLiteral("C04"), QStringLiteral("ปิด"), QStringLiteral("0"),
                        QStringLiteral("20271231"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("ภาษาอังกฤษ"), QStringLiteral("1"),
                        QStringLiteral("20270331"));
        frmListCourse picker;
        QCOMPARE(
            courseKeys(picker.cboCouse),
            (QStringList{QStringLiteral("C01"), QStringLiteral("C03"), QStringLiteral("C05")}));
        QCOMPARE(picker.cboCouse->itemText(0).section(QLatin1Char('@'), 0, 0).trimmed(),
                 QStringLiteral("ภาษาอังกฤษ (01/01/69 - 31/03/70)"));
        QCOMPARE(picker.cboCouse->itemText(0).count(QLatin1Char(' ')), 150 + 3);
        QCOMPARE(picker.GetCourseID(), QStringLiteral("C01"));
    }

    void listsClassesOfChosenCourse() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สแรก"));
        Fixture::course(QStringLiteral("C02"), QStringLiteral("คอร์สสอง"));
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C01"), Money::fromBaht(12500),
                          QStringLiteral("ม.2"));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money::fromBaht(900),
                          QStringLiteral("ม.1"), QStringLiteral("ฟิสิกส์"), QStringLiteral("20250601"),
                          QStringLiteral("20250930"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1000));
        Fixture::classRow(QStringLiteral("6900004"), QStringLiteral("C02"), Money::fromBaht(1));
        Fixture::value(QStringLiteral("UPDATE CourseTable SET DateEnd = NULL, CourseTime = NULL "
                                      "WHERE CourseNo = '6900003'"));

        frmListCourse picker;
        QTreeWidget* list = picker.ListView1;
        // Level, then class number; a finished class is listed too.
        QCOMPARE(ListView::count(list), 3);
        QCOMPARE(ListView::rowTag(ListView::item(list, 1)), QStringLiteral("6900001"));
        QCOMPARE(ListView::rowTag(ListView::item(list, 2)), QStringLiteral("6900002"));
        QCOMPARE(rowTexts(list, 2),
                 (QStringList{QStringLiteral("ม.1"), QStringLiteral("ฟิสิกส์"),
                              QStringLiteral("01/06/68 - 30/09/68 (ส-อา)"),
                              QStringLiteral("09.00-12.00"), QStringLiteral("900.00")}));
        // No end date: the working date stands in; no time: empty.
        QCOMPARE(rowTexts(list, 3), (QStringList{QStringLiteral("ม.2"), QStringLiteral("คณิตศาสตร์"),
                                                 QStringLiteral("01/12/69 - 06/12/69 (ส-อา)"),
                                                 QString(), QStringLiteral("12,500.00")}));
        QCOMPARE(ListView::selectedIndex(list), 1);

        picker.show();
        picker.cboCouse->setCurrentIndex(1);
        QCOMPARE(ListView::count(list), 1);
        QCOMPARE(ListView::rowTag(ListView::item(list, 1)), QStringLiteral("6900004"));
    }

    void confirmsWithKeyAndDoubleClick() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สแรก"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1000));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money::fromBaht(1000));
        {
            frmListCourse picker;
            picker.show();
            QTest::keyClick(picker.ListView1, Qt::Key_F2);
            QVERIFY(picker.IsOK);
            QCOMPARE(picker.CourseNo, QStringLiteral("6900001"));
            QCOMPARE(picker.result(), int(QDialog::Accepted));
        }
        frmListCourse picker;
        picker.show();
        QTreeWidgetItem* second = ListView::item(picker.ListView1, 2);
        const QRect rect = picker.ListView1->visualItemRect(second);
        QTest::mouseClick(picker.ListView1->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(picker.ListView1->viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(picker.IsOK);
        QCOMPARE(picker.CourseNo, QStringLiteral("6900002"));
    }

    void emptyListKeepsDialogOpen() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("ยังไม่มีห้อง"));
        frmListCourse picker;
        picker.show();
        QCOMPARE(picker.cboCouse->count(), 1);
        picker.pressButton(QStringLiteral("OK"));
        QTest::keyClick(picker.cboCouse, Qt::Key_F2);
        QVERIFY(picker.isVisible());
        QVERIFY(!picker.IsOK);
        QCOMPARE(picker.CourseNo, QString());
    }

    void twoUsesInARow() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สแรก"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1000));
        ScriptedDialogs dialogs;
        QCOMPARE(pick(dialogs, Qt::Key_F2), std::make_pair(true, QStringLiteral("6900001")));
        QCOMPARE(pick(dialogs, Qt::Key_Escape).first, false);
        QCOMPARE(dialogs.shown, 2);
    }
};

QTEST_MAIN(tst_frmListCourse)
#include "tst_frmListCourse.moc"
