#include "billing/frmListCourse.h"
#include "library/ListView.h"
#include "library/Seams.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QTest>
#include <QTreeWidget>

namespace {

QStringList rowTexts(QTreeWidget* list, int index) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c)
        texts << ListView::item(list, index)->text(c);
    return texts;
}

// What a caller does: show the picker through the seam, then read its results.
std::pair<bool, QString> pick(ScriptedDialogs& dialogs, int key) {
    dialogs.then([key](QDialog& dialog) {
        dialog.show();
        QTest::keyClick(static_cast<frmListCourse&>(dialog).ListView1, Qt::Key(key));
        return dialog.result();
    });
    frmListCourse picker;
    Seams::showModal(picker);
    return {picker.IsOK, picker.CourseNo};
}

} // namespace

class tst_frmListCourse : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;

private slots:
    void init() { db = std::make_unique<TestDatabase>(); } // working date 06/12/2026
    void cleanup() { db.reset(); }

    void noOpenCourse() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("ปิดแล้ว"), QStringLiteral("0"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(100));
        frmListCourse picker;
        picker.show();
        QCOMPARE(picker.cboCouse->count() + ListView::count(picker.ListView1), 0);
        QTest::keyClick(picker.ListView1, Qt::Key_F2);
        QVERIFY(picker.isVisible() && !picker.IsOK);
        QTest::keyClick(picker.ListView1, Qt::Key_Escape);
        QVERIFY(!picker.isVisible() && !picker.IsOK);
    }

    void offersOpenCoursesOnly() {
        Fixture::course(QStringLiteral("C05"), QStringLiteral("จบวันนี้"), QStringLiteral("1"),
                        QStringLiteral("20261206"));
        Fixture::course(QStringLiteral("C02"), QStringLiteral("จบเมื่อวาน"), QStringLiteral("1"),
                        QStringLiteral("20261205"));
        Fixture::course(QStringLiteral("C03"), QStringLiteral("ไม่มีวันจบ"));
        Fixture::course(QStringLiteral("C04"), QStringLiteral("ปิด"), QStringLiteral("0"),
                        QStringLiteral("20271231"));
        frmListCourse picker;
        QStringList keys;
        for (int i = 0; i < picker.cboCouse->count(); ++i)
            keys << picker.cboCouse->itemText(i).section(QLatin1Char('@'), 1);
        QCOMPARE(keys, (QStringList{QStringLiteral("C03"), QStringLiteral("C05")}));
        QCOMPARE(picker.GetCourseID(), QStringLiteral("C03"));
    }

    void listsClassesOfFirstCourse() {
        Fixture::course(QStringLiteral("C02"), QStringLiteral("คอร์สสอง"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สแรก"));
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
        // By level, then number; a finished class too; no end date shows the working date.
        QCOMPARE(ListView::count(list), 3);
        QCOMPARE(ListView::rowTag(ListView::item(list, 1)), QStringLiteral("6900001"));
        QCOMPARE(rowTexts(list, 2),
                 (QStringList{QStringLiteral("ม.1"), QStringLiteral("ฟิสิกส์"),
                              QStringLiteral("01/06/68 - 30/09/68 (ส-อา)"),
                              QStringLiteral("09.00-12.00"), QStringLiteral("900.00")}));
        QCOMPARE(rowTexts(list, 3), (QStringList{QStringLiteral("ม.2"), QStringLiteral("คณิตศาสตร์"),
                                                 QStringLiteral("01/12/69 - 06/12/69 (ส-อา)"),
                                                 QString(), QStringLiteral("12,500.00")}));
        QCOMPARE(ListView::selectedIndex(list), 1);
        picker.show();
        picker.cboCouse->setCurrentIndex(1);
        QCOMPARE(ListView::rowTag(ListView::item(list, 1)), QStringLiteral("6900004"));
    }

    void confirmsAndKeepsEmptyListOpen() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สแรก"));
        Fixture::course(QStringLiteral("C02"), QStringLiteral("ยังไม่มีห้อง"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1000));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money::fromBaht(1000));
        frmListCourse picker;
        picker.show();
        const QRect second = picker.ListView1->visualItemRect(ListView::item(picker.ListView1, 2));
        QTest::mouseClick(picker.ListView1->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(picker.ListView1->viewport(), Qt::LeftButton, {}, second.center());
        QVERIFY(picker.IsOK);
        QCOMPARE(picker.CourseNo, QStringLiteral("6900002"));

        frmListCourse empty;
        empty.show();
        empty.cboCouse->setCurrentIndex(1);
        QCOMPARE(ListView::count(empty.ListView1), 0);
        QTest::keyClick(empty.cboCouse, Qt::Key_F2);
        QVERIFY(empty.isVisible() && !empty.IsOK);
    }

    void twoUsesInARow() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สแรก"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1000));
        ScriptedDialogs dialogs;
        QCOMPARE(pick(dialogs, Qt::Key_F2), std::make_pair(true, QStringLiteral("6900001")));
        QCOMPARE(pick(dialogs, Qt::Key_Escape).first, false);
    }
};

QTEST_MAIN(tst_frmListCourse)
#include "tst_frmListCourse.moc"
