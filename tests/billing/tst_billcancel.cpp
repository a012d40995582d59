#include "billing/BillCancellation.h"
#include "billing/PaymentPosting.h"
#include "billing/frmBiLLCancel.h"
#include "billing/frmDate.h"
#include "billing/frmPay.h"
#include "library/Database.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

Money baht(double value) {
    return Money::fromBaht(value);
}

const QString somchai = QStringLiteral("6900001");
const QString somsri = QStringLiteral("6900002");

QString text(const QString& sql) {
    return Fixture::value(sql).toString();
}

void exec(const QString& sql) {
    Connection::shared().exec(sql);
}

// Every registration as "pupil:class:paid:paid on", in key order.
QString registrations() {
    return text(QStringLiteral(
        "SELECT group_concat(r, ' ') FROM (SELECT StdID || ':' || CourseNo || ':' || CoursePayAmt "
        "|| ':' || CoursePayDate AS r FROM StudentCourse ORDER BY StdID, CourseNo)"));
}

// Every bill and bill line as stored.
QString bills() {
    return text(QStringLiteral(
        "SELECT group_concat(r, ' ') FROM (SELECT StmID || ':' || StmNetAmt || ':' || IsCancel || "
        "':' || UserCancelID AS r FROM Statement ORDER BY StmID)"));
}
QString billLines() {
    return text(QStringLiteral(
        "SELECT group_concat(r, ' ') FROM (SELECT StmID || ':' || StmItem || ':' || CourseNo || "
        "':' || StmAmt || ':' || StmOBal AS r FROM StatementSub ORDER BY StmID, StmItem)"));
}

QString post(const QString& stdId, const QList<PaymentLine>& lines,
             const QString& docNo = QStringLiteral("69-00009")) {
    return PaymentPosting(stdId, docNo, lines).post().stmId;
}

// One column of every row, joined with "|".
QString column(QTreeWidget* list, int col) {
    QStringList texts;
    for (int i = 1; i <= ListView::count(list); ++i)
        texts << ListView::item(list, i)->text(col);
    return texts.join(QLatin1Char('|'));
}

void key(int code) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(code));
}

// The date dialog moves its calendar to the day, then presses the button.
std::function<int(QDialog&)> pickDate(const QDate& day, const QString& button) {
    return [day, button](QDialog& shown) {
        auto& dialog = dynamic_cast<frmDate&>(shown);
        dialog.MonthView1->setSelectedDate(day);
        dialog.pressButton(button);
        return dialog.result();
    };
}

} // namespace

class TestBillCancel : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    QString threeLines, otherBill;

private slots:
    // Somchai paid one bill on three classes (500, 700, 250); Somsri paid one on the first class.
    void init() {
        db = std::make_unique<TestDatabase>();
        Fixture::school();
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิตศาสตร์เข้มข้น"));
        Fixture::student(somchai, QStringLiteral("เด็กชายสมชาย ใจดี"));
        Fixture::student(somsri, QStringLiteral("เด็กหญิงสมศรี ใจงาม"));
        for (const QString& no :
             {QStringLiteral("6900001"), QStringLiteral("6900002"), QStringLiteral("6900003")}) {
            Fixture::classRow(no, QStringLiteral("C01"), baht(2000));
            Fixture::registration(somchai, no, baht(100), QStringLiteral("20261201"));
        }
        Fixture::registration(somsri, QStringLiteral("6900001"), Money(),
                              QStringLiteral("20261201"));
        threeLines = post(somchai,
                          {{1, QStringLiteral("6900001"), baht(500)},
                           {2, QStringLiteral("6900002"), baht(700)},
                           {3, QStringLiteral("6900003"), baht(250)}},
                          QStringLiteral("69-00002"));
        otherBill =
            post(somsri, {{1, QStringLiteral("6900001"), baht(400)}}, QStringLiteral("69-00001"));
    }
    void cleanup() { db.reset(); }

    void cancelTakesEveryLineOffOnce() {
        const QString linesBefore = billLines();
        QCOMPARE(BillCancellation::cancel(threeLines, QStringLiteral("clerk")),
                 BillCancellation::Outcome::Cancelled);
        // The three registrations lowered by each line; the pay date, the bill's total and
        // its lines and the other pupil's bill unchanged.
        QCOMPARE(registrations(),
                 QStringLiteral("6900001:6900001:100.0:20261206 6900001:6900002:100.0:20261206 "
                                "6900001:6900003:100.0:20261206 6900002:6900001:400.0:20261206"));
        QCOMPARE(bills(), QStringLiteral("69000001:1450.0:1:clerk 69000002:400.0:0:"));
        QCOMPARE(billLines(), linesBefore);

        // Cancelled meanwhile at another desk: refused, and reversed once only.
        QCOMPARE(BillCancellation::cancel(threeLines, QStringLiteral("admin")),
                 BillCancellation::Outcome::NotValid);
        QCOMPARE(BillCancellation::cancel(QStringLiteral("69009999"), QStringLiteral("admin")),
                 BillCancellation::Outcome::NotValid);
        QCOMPARE(bills(), QStringLiteral("69000001:1450.0:1:clerk 69000002:400.0:0:"));
        QCOMPARE(text(QStringLiteral("SELECT sum(CoursePayAmt) FROM StudentCourse")),
                 QStringLiteral("700"));

        // A registration removed since the payment has nothing to take back; no floor under zero.
        exec(QStringLiteral("DELETE FROM StudentCourse WHERE StdID = '6900002'"));
        exec(QStringLiteral("UPDATE StudentCourse SET CoursePayAmt = 300 WHERE CourseNo = "
                            "'6900001'"));
        QCOMPARE(BillCancellation::cancel(otherBill, QStringLiteral("admin")),
                 BillCancellation::Outcome::Cancelled);
        QCOMPARE(text(QStringLiteral("SELECT group_concat(CoursePayAmt, '|') FROM StudentCourse")),
                 QStringLiteral("300.0|100.0|100.0"));
    }

    void failureAtSecondReversalLeavesNoTrace() {
        const QString before = registrations() + bills();
        exec(QStringLiteral("CREATE TEMP TRIGGER failing BEFORE UPDATE ON StudentCourse "
                            "WHEN NEW.CourseNo = '6900002' BEGIN SELECT RAISE(ABORT, 'disk full'); "
                            "END"));
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 BillCancellation::cancel(threeLines, QStringLiteral("clerk")));
        QCOMPARE(registrations() + bills(), before);
        // The connection goes on: the same cancellation works once the fault is gone.
        exec(QStringLiteral("DROP TRIGGER failing"));
        QCOMPARE(BillCancellation::cancel(threeLines, QStringLiteral("clerk")),
                 BillCancellation::Outcome::Cancelled);
        QCOMPARE(text(QStringLiteral("SELECT sum(CoursePayAmt) FROM StudentCourse")),
                 QStringLiteral("700"));
    }

    // 0.70 and 0.10 paid on a fee of 0.80: cancelling the 0.10 leaves exactly 0.10 owing.
    void satangStayExact() {
        Fixture::classRow(QStringLiteral("6900009"), QStringLiteral("C01"), baht(0.80));
        Fixture::registration(somsri, QStringLiteral("6900009"));
        post(somsri, {{1, QStringLiteral("6900009"), baht(0.70)}});
        const QString tenSatang = post(somsri, {{1, QStringLiteral("6900009"), baht(0.10)}});
        BillCancellation::cancel(tenSatang, QStringLiteral("admin"));
        const QString owing = QStringLiteral(
            "SELECT CoursePrice - CoursePayAmt FROM StudentCourse sc JOIN CourseTable ct "
            "ON ct.CourseNo = sc.CourseNo WHERE sc.CourseNo = '6900009'");
        QCOMPARE(Money::fromVariant(Fixture::value(owing)), Money::fromSatang(10));
        QCOMPARE(Fixture::value(QStringLiteral("SELECT CoursePayAmt FROM StudentCourse WHERE "
                                               "CourseNo = '6900009'"))
                     .toDouble(),
                 0.70);
    }

    // The dialog starts at the working date each time it opens; only OK gives a date.
    void dateDialog() {
        Library::gToday = QStringLiteral("20261130");
        const std::tuple<QDate, QString, bool, QDate> cases[] = {
            {QDate(), QStringLiteral("OK"), true, QDate(2026, 11, 30)},
            {QDate(2027, 1, 15), QStringLiteral("Cancel"), false, QDate()},
            {QDate(2026, 10, 2), QStringLiteral("OK"), true, QDate(2026, 10, 2)},
        };
        for (const auto& [moveTo, button, isOK, selDate] : cases) {
            frmDate dialog;
            QCOMPARE(dialog.MonthView1->selectedDate(), QDate(2026, 11, 30));
            QVERIFY(!dialog.IsOK);
            if (moveTo.isValid())
                dialog.MonthView1->setSelectedDate(moveTo);
            dialog.pressButton(button);
            QCOMPARE(dialog.IsOK, isOK);
            QCOMPARE(dialog.SelDate, selDate);
        }
        frmDate dialog;
        checkLayout(&dialog);
    }

    void windowListsAndCancels() {
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        // Not listed: a cancelled bill, a bill of a pupil no longer stored; one of the day before.
        exec(QStringLiteral("INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, "
                            "IsCancel, UserCancelID) "
                            "VALUES "
                            "('69000091', '20261206', '6900001', 5, '69-00003', '1', ''), "
                            "('69000092', '20261206', '6999999', 5, '69-00004', '0', ''), "
                            "('69000093', '20261205', '6900002', 75.5, '69-00005', '0', '')"));
        // The window opens on the clock's day, whatever the working date.
        Library::gToday = QStringLiteral("20261205");
        frmBiLLCancel window;
        checkLayout(&window);
        showActive(&window);
        QTreeWidget* list = window.ListView1;
        QCOMPARE(column(list, 0), QStringLiteral("69-00001|69-00002"));
        QTreeWidgetItem* row = ListView::item(list, 2);
        QCOMPARE(QStringList({row->text(1), row->text(2), row->text(3), row->text(4)}),
                 QStringList({QStringLiteral("06/12/2569"), somchai,
                              QStringLiteral("เด็กชายสมชาย ใจดี"), QStringLiteral("1,450.00")}));

        // F2, F3 and F9 do nothing; No to the question changes nothing.
        ListView::select(list, 2);
        list->setFocus();
        for (int code : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F9, Qt::Key_F4})
            key(code);
        QCOMPARE(messages.questions,
                 QStringList{QStringLiteral("ต้องการยกเลิกใบเสร็จเลขที่ 69-00002  หรือไม่")});
        QCOMPARE(ListView::count(list), 2);
        QCOMPARE(bills(), QStringLiteral("69000001:1450.0:0: 69000002:400.0:0: 69000091:5.0:1: "
                                         "69000092:5.0:0: 69000093:75.5:0:"));

        // Yes: the row goes, the one left is selected, and the classes are owing again.
        messages.answer({Library::vbYes});
        key(Qt::Key_F4);
        QCOMPARE(column(list, 0), QStringLiteral("69-00001"));
        QCOMPARE(ListView::selectedIndex(list), 1);
        QCOMPARE(text(QStringLiteral("SELECT IsCancel || UserCancelID FROM Statement WHERE StmID "
                                     "= '69000001'")),
                 QStringLiteral("1admin"));
        {
            frmPay pay;
            showActive(&pay);
            pay.txtStdID->setFocus();
            pay.txtStdID->setText(somchai);
            key(Qt::Key_Return);
            QCOMPARE(column(pay.ListView1, 5), QStringLiteral("1,900.00|1,900.00|1,900.00"));
        }

        // Another day through the date dialog; the dialog cancelled leaves the list.
        dialogs.then(pickDate(QDate(2026, 12, 5), QStringLiteral("OK")));
        dialogs.then(pickDate(QDate(2026, 12, 1), QStringLiteral("Cancel")));
        window.pressButton(QStringLiteral("Date"));
        window.pressButton(QStringLiteral("Date"));
        QCOMPARE(dialogs.shown, 2);
        QCOMPARE(column(list, 0) + column(list, 1), QStringLiteral("69-0000505/12/2569"));
        QCOMPARE(messages.errors, QStringList());
    }

    void windowRefusesOrFailsCleanly() {
        ScriptedMessages messages;
        frmBiLLCancel window;
        showActive(&window);
        QTreeWidget* list = window.ListView1;
        // Cancelled at another desk after listing: refused, reversed once, and the row goes.
        BillCancellation::cancel(threeLines, QStringLiteral("desk2"));
        ListView::select(list, 2);
        list->setFocus();
        messages.answer({Library::vbYes, Library::vbYes});
        key(Qt::Key_F4);
        QCOMPARE(messages.errors, QStringList{QStringLiteral("ใบเสร็จเลขที่ 69-00002 ถูกยกเลิกไปแล้ว")});
        QCOMPARE(column(list, 0), QStringLiteral("69-00001"));
        QCOMPARE(text(QStringLiteral("SELECT sum(CoursePayAmt) FROM StudentCourse")),
                 QStringLiteral("700"));
        // A failing write: an error box, the bill valid and still listed.
        exec(QStringLiteral("CREATE TEMP TRIGGER failing BEFORE UPDATE ON StudentCourse BEGIN "
                            "SELECT RAISE(ABORT, 'disk full'); END"));
        key(Qt::Key_F4);
        QCOMPARE(messages.errors.size(), 2);
        QVERIFY(messages.errors.last().startsWith(QStringLiteral("ยกเลิกใบเสร็จไม่ได้\n")));
        QCOMPARE(column(list, 0), QStringLiteral("69-00001"));
        QCOMPARE(bills(), QStringLiteral("69000001:1450.0:1:desk2 69000002:400.0:0:"));
        exec(QStringLiteral("DROP TRIGGER failing"));
    }
};

QTEST_MAIN(TestBillCancel)
#include "tst_billcancel.moc"
