#include "billing/BillStore.h"
#include "billing/PaymentStore.h"
#include "billing/frmBiLLCancel.h"
#include "billing/frmDate.h"
#include "billing/frmPay.h"
#include "core/Database.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "results/frmQuery.h"
#include "shell/SchoolDataStore.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString somchai = QStringLiteral("6900001");
const QString somsri = QStringLiteral("6900002");

// Every registration's paid amount and date, then every bill's total and flags.
QString stored() {
    return Fixture::value(
               QStringLiteral("SELECT (SELECT group_concat(r, ' ') FROM (SELECT StdID || ':' || "
                              "CourseNo || ':' || CoursePayAmt || ':' || CoursePayDate AS r FROM "
                              "StudentCourse ORDER BY StdID, CourseNo)) || ' / ' || (SELECT "
                              "group_concat(r, ' ') FROM (SELECT StmID || ':' || StmNetAmt || ':' "
                              "|| IsCancel || ':' || UserCancelID AS r FROM Statement ORDER BY "
                              "StmID)) || ' / ' || (SELECT count(*) FROM StatementSub)"))
        .toString();
}

QString post(const QString& stdId, const QString& docNo, const QList<PaymentLine>& lines) {
    return PaymentStore::post({stdId, docNo, lines, Library::gToday, Library::gUserID, {}},
                              Seams::today())
        .stmId;
}

QString column(QTreeWidget* list, int col) {
    QStringList texts;
    for (int i = 1; i <= ListView::count(list); ++i)
        texts << ListView::item(list, i)->text(col);
    return texts.join(QLatin1Char('|'));
}

} // namespace

class tst_bill_cancel : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    QString threeLines;

private slots:
    // Somchai paid 500, 700 and 250 on one bill (69-00002) over 100 paid before on each of
    // three classes; Somsri paid 400 on one bill (69-00001).
    void init() {
        db = std::make_unique<TestDatabase>();
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิตศาสตร์เข้มข้น"));
        Fixture::student(somchai, QStringLiteral("เด็กชายสมชาย ใจดี"));
        Fixture::student(somsri, QStringLiteral("เด็กหญิงสมศรี ใจงาม"));
        const QStringList classes{QStringLiteral("6900001"), QStringLiteral("6900002"),
                                  QStringLiteral("6900003")};
        for (const QString& no : classes) {
            Fixture::classRow(no, QStringLiteral("C01"), Money::fromBaht(2000));
            Fixture::registration(somchai, no, Money::fromBaht(100), QStringLiteral("20261201"));
        }
        Fixture::registration(somsri, classes[0], Money(), QStringLiteral("20261201"));
        threeLines = post(somchai, QStringLiteral("69-00002"),
                          {{1, classes[0], Money::fromBaht(500)},
                           {2, classes[1], Money::fromBaht(700)},
                           {3, classes[2], Money::fromBaht(250)}});
        post(somsri, QStringLiteral("69-00001"), {{1, classes[0], Money::fromBaht(400)}});
    }
    void cleanup() { db.reset(); }

    void cancellationWrites() {
        const QString before = stored();
        // A failure at the second reversal leaves no trace.
        Fixture::exec(
            QStringLiteral("CREATE TEMP TRIGGER failing BEFORE UPDATE ON StudentCourse WHEN "
                           "NEW.CourseNo = '6900002' BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        QVERIFY_THROWS_EXCEPTION(DbError, BillStore::cancel(threeLines, QStringLiteral("69-00002"),
                                                            somchai, QStringLiteral("clerk")));
        QCOMPARE(stored(), before);
        Fixture::exec(QStringLiteral("DROP TRIGGER failing"));
        // Each line taken off its registration, whose paid date is gone with the only bill
        // on it; totals, lines and the other bill kept.
        const QString after =
            QStringLiteral("6900001:6900001:100.0: 6900001:6900002:100.0: "
                           "6900001:6900003:100.0: 6900002:6900001:400.0:20261206 / "
                           "69000001:1450.0:1:clerk 69000002:400.0:0: / 4");
        QCOMPARE(BillStore::cancel(threeLines, QStringLiteral("69-00002"), somchai,
                                   QStringLiteral("clerk")),
                 BillStore::Outcome::Cancelled);
        QCOMPARE(stored(), after);
        // Cancelled already, gone, or another bill under the code shown: refused, and never
        // reversed twice.
        const std::tuple<QString, QString, QString, BillStore::Outcome> refused[] = {
            {threeLines, QStringLiteral("69-00002"), somchai, BillStore::Outcome::AlreadyCancelled},
            {QStringLiteral("69009999"), QStringLiteral("69-00002"), somchai,
             BillStore::Outcome::Gone},
            {QStringLiteral("69000002"), QStringLiteral("69-00009"), somsri,
             BillStore::Outcome::Gone},
            {QStringLiteral("69000002"), QStringLiteral("69-00001"), somchai,
             BillStore::Outcome::Gone},
        };
        for (const auto& [stmId, docNo, stdId, outcome] : refused)
            QCOMPARE(BillStore::cancel(stmId, docNo, stdId, QStringLiteral("boss")), outcome);
        QCOMPARE(stored(), after);

        // 0.70 and 0.10 paid on a fee of 0.80: cancelling the 0.10 leaves exactly 0.10 owing.
        Fixture::classRow(QStringLiteral("6900009"), QStringLiteral("C01"), Money::fromSatang(80));
        Fixture::registration(somsri, QStringLiteral("6900009"));
        const PaymentLine seventy{1, QStringLiteral("6900009"), Money::fromSatang(70)};
        post(somsri, QString(), {seventy});
        BillStore::cancel(post(somsri, QString(), {{1, seventy.courseNo, Money::fromSatang(10)}}),
                          QString(), somsri, QStringLiteral("clerk"));
        QCOMPARE(Fixture::value(QStringLiteral("SELECT CoursePayAmt FROM StudentCourse WHERE "
                                               "CourseNo = '6900009'")),
                 QVariant(0.70));
    }

    // The enquiry shows as paid date that of the registration's latest bill still valid: a
    // later bill cancelled gives the earlier one's date back, whatever the pupil's other
    // classes were paid on; with no valid bill left there is none.
    void paidDateIsThatOfTheLatestValidBill() {
        Fixture::classRow(QStringLiteral("6900005"), QStringLiteral("C01"), Money::fromBaht(2000));
        Fixture::registration(somsri, QStringLiteral("6900005"));
        const auto payOn = [](const QString& day, const QString& courseNo, int baht) {
            return PaymentStore::post({somsri,
                                       QString(),
                                       {{1, courseNo, Money::fromBaht(baht)}},
                                       day,
                                       Library::gUserID,
                                       {}},
                                      Seams::today())
                .stmId;
        };
        const QString first = payOn(QStringLiteral("20261201"), QStringLiteral("6900005"), 1000);
        const QString second = payOn(QStringLiteral("20261205"), QStringLiteral("6900005"), 500);
        payOn(QStringLiteral("20261207"), QStringLiteral("6900001"), 100);

        frmQuery enquiry;
        showActive(&enquiry);
        const auto paidShown = [&enquiry] {
            enquiry.txtStdID->setFocus();
            enquiry.txtStdID->setText(somsri);
            pressKey(Qt::Key_Return);
            QStringList rows;
            for (int i = 1; i <= ListView::count(enquiry.ListView1); ++i)
                rows << ListView::item(enquiry.ListView1, i)->text(6) + u'@' +
                            ListView::item(enquiry.ListView1, i)->text(7);
            return rows.join(u'|');
        };
        QCOMPARE(paidShown(), QStringLiteral("500.00@07/12/2569|1,500.00@05/12/2569"));
        const QStringList shownAfter = {QStringLiteral("500.00@07/12/2569|1,000.00@01/12/2569"),
                                        QStringLiteral("500.00@07/12/2569|0.00@ ")};
        for (const QString& stmId : {second, first}) {
            QCOMPARE(BillStore::cancel(stmId, QString(), somsri, QStringLiteral("clerk")),
                     BillStore::Outcome::Cancelled);
            QCOMPARE(paidShown(), shownAfter.at(stmId == first));
        }
        QCOMPARE(Fixture::value(QStringLiteral("SELECT CoursePayDate FROM StudentCourse WHERE "
                                               "StdID = ? AND CourseNo = '6900005'"),
                                {somsri}),
                 QVariant(QString()));
        // Only the later bill taken back: the earlier one's date.
        const QString third = payOn(QStringLiteral("20261202"), QStringLiteral("6900005"), 300);
        payOn(QStringLiteral("20261203"), QStringLiteral("6900005"), 200);
        const QString fifth = payOn(QStringLiteral("20261208"), QStringLiteral("6900005"), 50);
        QCOMPARE(BillStore::cancel(fifth, QString(), somsri, QStringLiteral("clerk")),
                 BillStore::Outcome::Cancelled);
        QCOMPARE(paidShown(), QStringLiteral("500.00@07/12/2569|500.00@03/12/2569"));
        QCOMPARE(BillStore::cancel(third, QString(), somsri, QStringLiteral("clerk")),
                 BillStore::Outcome::Cancelled);
        QCOMPARE(paidShown(), QStringLiteral("500.00@07/12/2569|200.00@03/12/2569"));
    }

    // The dialog starts at the working date each time; only OK gives a date.
    void dateDialog() {
        Library::gToday = QStringLiteral("20261130");
        const std::tuple<QDate, QString, QDate> cases[] = {
            {QDate(), QStringLiteral("OK"), QDate(2026, 11, 30)},
            {QDate(2027, 1, 15), QStringLiteral("Cancel"), QDate()},
            {QDate(2026, 10, 2), QStringLiteral("OK"), QDate(2026, 10, 2)},
        };
        for (const auto& [moveTo, button, selDate] : cases) {
            frmDate dialog;
            QCOMPARE(dialog.MonthView1->selectedDate(), QDate(2026, 11, 30));
            if (moveTo.isValid())
                dialog.MonthView1->setSelectedDate(moveTo);
            dialog.pressButton(button);
            QCOMPARE(dialog.IsOK, selDate.isValid());
            QCOMPARE(dialog.SelDate, selDate);
        }
        frmDate dialog;
        checkLayout(&dialog);
    }

    void window() {
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        // Not listed: a cancelled bill and a bill of a pupil no longer stored; one of the day
        // before.
        Fixture::exec(QStringLiteral(
            "INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, IsCancel) VALUES "
            "('69000091', '20261206', '6900001', 5, '69-00003', '1'), ('69000092', '20261206', "
            "'6999999', 5, '69-00004', '0'), ('69000093', '20261205', '6900002', 75.5, '69-00005', "
            "'0')"));
        // The window opens on the clock's day, whatever the working date.
        Library::gToday = QStringLiteral("20261205");
        frmBiLLCancel window;
        checkLayout(&window);
        showActive(&window);
        QTreeWidget* list = window.ListView1;
        QCOMPARE(column(list, 0) + column(list, 1) + column(list, 2) + column(list, 3) +
                     column(list, 4),
                 QStringLiteral("69-00001|69-0000206/12/2569|06/12/25696900002|6900001"
                                "เด็กหญิงสมศรี ใจงาม|เด็กชายสมชาย ใจดี400.00|1,450.00"));

        // F2, F3 and F9 do nothing; No to the question changes nothing; Yes cancels the bill.
        const QString before = stored();
        ListView::select(list, 2);
        list->setFocus();
        for (int code : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F9, Qt::Key_F4})
            pressKey(code);
        QCOMPARE(messages.questions,
                 QStringList{QStringLiteral("ต้องการยกเลิกใบเสร็จเลขที่ 69-00002  หรือไม่")});
        QCOMPARE(stored() + column(list, 0), before + QStringLiteral("69-00001|69-00002"));
        messages.answer({Library::vbYes});
        pressKey(Qt::Key_F4);
        QCOMPARE(column(list, 0), QStringLiteral("69-00001"));
        QCOMPARE(ListView::selectedIndex(list), 1);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT UserCancelID FROM Statement WHERE "
                                               "IsCancel = '1' AND StmID = ?"),
                                {threeLines}),
                 QVariant(QStringLiteral("admin")));
        {
            frmPay pay;
            showActive(&pay);
            pay.txtStdID->setFocus();
            pay.txtStdID->setText(somchai);
            pressKey(Qt::Key_Return);
            QCOMPARE(column(pay.ListView1, 5), QStringLiteral("1,900.00|1,900.00|1,900.00"));
        }
        showActive(&window);

        // Cancelled at another desk after listing: refused with a message, and the row goes.
        Fixture::exec(
            QStringLiteral("INSERT INTO Statement VALUES ('69000094', '20261206', '6900002', 9, "
                           "'69-00006', '0', 'admin', '')"));
        window.LoadList(QDate(2026, 12, 6));
        const QTreeWidgetItem* first = ListView::item(list, 1);
        BillStore::cancel(ListView::rowTag(first), first->text(0), first->text(2),
                          QStringLiteral("boss"));
        messages.answer({Library::vbYes, Library::vbYes});
        pressKey(Qt::Key_F4);
        // A failing write: an error box, the bill valid and listed.
        Fixture::exec(QStringLiteral("CREATE TEMP TRIGGER failing BEFORE UPDATE ON Statement BEGIN "
                                     "SELECT RAISE(ABORT, 'disk full'); END"));
        pressKey(Qt::Key_F4);
        Fixture::exec(QStringLiteral("DROP TRIGGER failing"));
        QCOMPARE(messages.errors.size(), 2);
        QCOMPARE(messages.errors.first(), QStringLiteral("ใบเสร็จเลขที่ 69-00001 ถูกยกเลิกไปแล้ว"));
        QVERIFY(messages.errors.last().startsWith(QStringLiteral("ยกเลิกใบเสร็จไม่ได้\n")));
        QCOMPARE(column(list, 0), QStringLiteral("69-00006"));
        QCOMPARE(Fixture::count(QStringLiteral("Statement"), QStringLiteral("IsCancel = '1'")), 3);

        // Another day through the date dialog; the dialog cancelled leaves the list.
        auto pick = [](const QDate& day, const QString& button) {
            return [day, button](QDialog& shown) {
                auto& dialog = dynamic_cast<frmDate&>(shown);
                dialog.MonthView1->setSelectedDate(day);
                dialog.pressButton(button);
                return dialog.result();
            };
        };
        dialogs.then(pick(QDate(2026, 12, 5), QStringLiteral("OK")));
        dialogs.then(pick(QDate(2026, 12, 6), QStringLiteral("Cancel")));
        window.pressButton(QStringLiteral("Date"));
        window.pressButton(QStringLiteral("Date"));
        QCOMPARE(column(list, 0) + column(list, 1), QStringLiteral("69-0000505/12/2569"));
    }

    // Another desk purges the day's bills, or clears all data, and posts new bills: the new
    // bills never take a removed bill's code, and cancelling a removed bill's row says it is
    // gone, writes nothing and takes the row off the list. Bill numbers start again after
    // clearing all data.
    void staleRowsCancelNothingElse() {
        ScriptedMessages messages;
        frmBiLLCancel window;
        showActive(&window);
        QCOMPARE(listTags(window.ListView1), (QStringList{QStringLiteral("69000002"), threeLines}));
        QCOMPARE(SchoolDataStore::PurgeStatements(QStringLiteral("20261206")), 2);
        const QString fresh = post(somsri, QStringLiteral("69-00001"),
                                   {{1, QStringLiteral("6900001"), Money::fromBaht(300)}});
        QCOMPARE(fresh, QStringLiteral("69000003"));
        const QString before = stored();

        window.ListView1->setFocus();
        messages.answer({Library::vbYes, Library::vbYes});
        pressKey(Qt::Key_F4);
        pressKey(Qt::Key_F4);
        QCOMPARE(
            messages.errors,
            (QStringList{QStringLiteral("ไม่พบใบเสร็จเลขที่ 69-00001 แล้ว อาจถูกลบไปแล้ว ไม่ได้ยกเลิก"),
                         QStringLiteral("ไม่พบใบเสร็จเลขที่ 69-00002 แล้ว อาจถูกลบไปแล้ว ไม่ได้ยกเลิก")}));
        QCOMPARE(stored(), before);
        QCOMPARE(ListView::count(window.ListView1), 0);

        SchoolDataStore::ClearAllData();
        QCOMPARE(Fixture::value(QStringLiteral("SELECT ShopBiLLNo FROM CtrlSetup")),
                 QVariant(QStringLiteral("00000")));
        Fixture::student(somsri, QStringLiteral("เด็กหญิงสมศรี ใจงาม"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิตศาสตร์เข้มข้น"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(2000));
        Fixture::registration(somsri, QStringLiteral("6900001"));
        QCOMPARE(post(somsri, QString(), {{1, QStringLiteral("6900001"), Money::fromBaht(1)}}),
                 QStringLiteral("69000004"));
    }
};

QTEST_MAIN(tst_bill_cancel)
#include "tst_bill_cancel.moc"
