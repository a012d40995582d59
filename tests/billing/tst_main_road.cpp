#include "billing/frmBiLLCancel.h"
#include "billing/frmCourseTable.h"
#include "billing/frmPay.h"
#include "billing/frmPayAmt.h"
#include "billing/frmRegister.h"
#include "core/SampleData.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/frmListCourse.h"
#include "shell/StartUp.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

void typeAndEnter(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->setText(text);
    QTest::keyClick(box, Qt::Key_Return);
}

void chooseCourse(QComboBox* box, const QString& courseId) {
    for (int i = 0; i < box->count(); ++i) {
        if (Library::GetItemKey(box->itemData(i).toString()) == courseId)
            box->setCurrentIndex(i);
    }
}

// Every row of a table as "a|b|c" lines, in the given order.
QString rowsOf(const QString& columns, const QString& from) {
    QString line = columns;
    line.replace(QLatin1Char(' '), QStringLiteral(" || '|' || "));
    return Fixture::value(QStringLiteral("SELECT group_concat(line, ' / ') FROM (SELECT ") + line +
                          QStringLiteral(" AS line FROM ") + from + QLatin1Char(')'))
        .toString();
}

} // namespace

class tst_main_road : public QObject {
    Q_OBJECT

private slots:
    // From the demo school: plan a class, register two pupils, take one fee in part
    // and one in full with printed bills, cancel one bill, and check every row written.
    void planRegisterPayPrintAndCancel() {
        TestDatabase db;
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        SampleData::load(QStringLiteral(VADEL_SOURCE_DIR "/sample/demo.sql"));
        StartUp::openDatabase();

        {
            frmCourseTable timetable;
            showActive(&timetable);
            chooseCourse(timetable.cboCouse, QStringLiteral("C003"));
            timetable.pressButton(QStringLiteral("New"));
            timetable.cboLevel->setCurrentText(QStringLiteral("ม.6"));
            timetable.cboSubject->setCurrentText(QStringLiteral("คณิตศาสตร์"));
            timetable.txtCourseDate->setText(QStringLiteral("ส-อา"));
            timetable.txtCourseTime->setText(QStringLiteral("09.00-12.00"));
            timetable.dtpStartDate->setDate(QDate(2026, 12, 12));
            timetable.dtpEndDate->setDate(QDate(2027, 3, 27));
            timetable.txtHour->setText(QStringLiteral("30"));
            timetable.txtRoom->setText(QStringLiteral("201"));
            timetable.txtCoursePrice->setText(QStringLiteral("3,500"));
            typeAndEnter(timetable.txtTechID[0], QStringLiteral("003"));
            messages.answer({Library::vbYes});
            timetable.pressButton(QStringLiteral("Save"));
        }

        {
            frmRegister registration;
            showActive(&registration);
            for (const QString& pupil : {QStringLiteral("6900001"), QStringLiteral("6900002")}) {
                typeAndEnter(registration.txtStdID, pupil);
                dialogs.then([](QDialog& dialog) {
                    auto& picker = dynamic_cast<frmListCourse&>(dialog);
                    picker.show(); // the course box answers only while it is seen
                    chooseCourse(picker.cboCouse, QStringLiteral("C003"));
                    for (int row = 1; row <= ListView::count(picker.ListView1); ++row)
                        if (ListView::rowTag(ListView::item(picker.ListView1, row)) ==
                            QStringLiteral("6900011"))
                            ListView::select(picker.ListView1, row);
                    picker.pressButton(QStringLiteral("OK"));
                    return picker.result();
                });
                registration.pressButton(QStringLiteral("New"));
                QCOMPARE(ListView::count(registration.ListView1), 1);
            }
        }

        frmPay pay;
        showActive(&pay);
        QList<QStringList> lastBill;
        Seams::setPrintListener(
            [&lastBill](const QString&, const QList<QStringList>& pages) { lastBill = pages; });
        QList<bool> printTicked;
        auto payFor = [&](const QString& pupil, const QString& amount) {
            typeAndEnter(pay.txtStdID, pupil);
            typeAndEnter(pay.txtPay, amount);
            dialogs.then([&printTicked](QDialog& dialog) {
                auto& amountDialog = dynamic_cast<frmPayAmt&>(dialog);
                printTicked << amountDialog.Check1->isChecked();
                amountDialog.pressButton(QStringLiteral("OK"));
                return amountDialog.result();
            });
            messages.answer({Library::vbYes});
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        };
        payFor(QStringLiteral("6900001"), QStringLiteral("1000"));
        payFor(QStringLiteral("6900002"), QStringLiteral("3500"));
        QCOMPARE(messages.errors, QStringList());
        QCOMPARE(printTicked, (QList<bool>{true, true}));
        QCOMPARE(QDir(db.pdfFolder()).entryList(QDir::Files).size(), 2);

        QCOMPARE(rowsOf(QStringLiteral("CourseNo CourseID CourseLevel Subject CourseDate "
                                       "CoursePrice DateStart DateEnd RoomNo"),
                        QStringLiteral("CourseTable WHERE CourseNo = '6900011'")),
                 QStringLiteral("6900011|C003|ม.6|คณิตศาสตร์|ส-อา|3500.0|20261212|20270327|201"));
        QCOMPARE(rowsOf(QStringLiteral("CourseNo TechID TechRateAmt"),
                        QStringLiteral("TeacherCourse WHERE CourseNo = '6900011'")),
                 QStringLiteral("6900011|003|450.0"));
        QCOMPARE(rowsOf(QStringLiteral("StdID CourseNo CourseRegDate CoursePayAmt CoursePayDate"),
                        QStringLiteral("StudentCourse WHERE CourseNo = '6900011' ORDER BY StdID")),
                 QStringLiteral("6900001|6900011|20261206|1000.0|20261206 / "
                                "6900002|6900011|20261206|3500.0|20261206"));
        QCOMPARE(rowsOf(QStringLiteral("StmID StmDate StdID StmNetAmt StmDocNo IsCancel UserID "
                                       "UserCancelID"),
                        QStringLiteral("Statement WHERE StmID > '69000041' ORDER BY StmID")),
                 QStringLiteral("69000042|20261206|6900001|1000.0|69-00042|0|admin| / "
                                "69000043|20261206|6900002|3500.0|69-00043|0|admin|"));
        QCOMPARE(rowsOf(QStringLiteral("StmID StmItem CourseNo StmAmt StmOBal"),
                        QStringLiteral("StatementSub WHERE StmID > '69000041' ORDER BY StmID")),
                 QStringLiteral("69000042|1|6900011|1000.0|3500.0 / "
                                "69000043|1|6900011|3500.0|3500.0"));
        QCOMPARE(rowsOf(QStringLiteral("ShopBiLLYY ShopBiLLNo"), QStringLiteral("CtrlSetup")),
                 QStringLiteral("69|00043"));

        // The part-paid class is still owed; the one paid in full is gone from the list.
        typeAndEnter(pay.txtStdID, QStringLiteral("6900001"));
        QCOMPARE(ListView::item(pay.ListView1, 1)->text(5), QStringLiteral("2,500.00"));
        typeAndEnter(pay.txtStdID, QStringLiteral("6900002"));
        QCOMPARE(ListView::count(pay.ListView1), 0);

        Seams::setPrintListener({});
        // The bill printed in full.
        QCOMPARE(lastBill.size(), 1);
        for (const QString& expected :
             {QStringLiteral("สถาบันกวดวิชาปัญญาเลิศ"),
              QStringLiteral("เลขที่ 69-00043    วันที่ 06/12/2569"),
              QStringLiteral("1|ติวเข้มเข้ามหาวิทยาลัย|ม.6|คณิตศาสตร์|3,500.00|3,500.00|0.00"),
              QStringLiteral("รวมทั้งสิ้น|3,500.00"), QStringLiteral("(สามพันห้าร้อยบาทถ้วน)")})
            QVERIFY2(lastBill.first().contains(expected), qPrintable(expected));

        // Take the full payment's bill back: the paid totals are again what the valid bills say.
        {
            frmBiLLCancel cancel;
            showActive(&cancel);
            QCOMPARE(ListView::count(cancel.ListView1), 2);
            ListView::select(cancel.ListView1, 2);
            QCOMPARE(ListView::item(cancel.ListView1, 2)->text(0), QStringLiteral("69-00043"));
            messages.answer({Library::vbYes});
            QTest::keyClick(cancel.ListView1, Qt::Key_F4);
            QCOMPARE(ListView::count(cancel.ListView1), 1);
        }
        QCOMPARE(messages.errors, QStringList());
        QCOMPARE(rowsOf(QStringLiteral("StmID IsCancel UserCancelID"),
                        QStringLiteral("Statement WHERE StmID > '69000041' ORDER BY StmID")),
                 QStringLiteral("69000042|0| / 69000043|1|admin"));
        QCOMPARE(rowsOf(QStringLiteral("StdID CourseNo CoursePayAmt valid"),
                        QStringLiteral("(SELECT sc.*, (SELECT total(ss.StmAmt) FROM StatementSub "
                                       "ss JOIN Statement st ON st.StmID = ss.StmID WHERE "
                                       "st.IsCancel = '0' AND st.StdID = sc.StdID AND "
                                       "ss.CourseNo = sc.CourseNo) AS valid FROM StudentCourse sc "
                                       "WHERE CourseNo = '6900011' ORDER BY StdID)")),
                 QStringLiteral("6900001|6900011|1000.0|1000.0 / 6900002|6900011|0.0|0.0"));
        showActive(&pay);
        typeAndEnter(pay.txtStdID, QStringLiteral("6900002"));
        QCOMPARE(ListView::item(pay.ListView1, 1)->text(5), QStringLiteral("3,500.00"));
    }
};

QTEST_MAIN(tst_main_road)
#include "tst_main_road.moc"
