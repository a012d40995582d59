#include "billing/BillCancellation.h"
#include "billing/PaymentPosting.h"
#include "library/Database.h"
#include "support/TestSupport.h"

#include <QTest>

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

QString post(const QString& stdId, const QList<PaymentLine>& lines) {
    return PaymentPosting(stdId, QStringLiteral("69-00001"), lines).post().stmId;
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
        threeLines = post(somchai, {{1, QStringLiteral("6900001"), baht(500)},
                                    {2, QStringLiteral("6900002"), baht(700)},
                                    {3, QStringLiteral("6900003"), baht(250)}});
        otherBill = post(somsri, {{1, QStringLiteral("6900001"), baht(400)}});
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
};

QTEST_MAIN(TestBillCancel)
#include "tst_billcancel.moc"
