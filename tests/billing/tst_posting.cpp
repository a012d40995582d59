#include "billing/PaymentPosting.h"
#include "library/Database.h"
#include "library/Library.h"
#include "support/TestSupport.h"

#include <QTest>

namespace {

Money baht(double value) {
    return Money::fromBaht(value);
}

// A pupil registered on three classes of 1,500, 2,000 and 800 baht, 300 already paid on the first.
void threeClasses() {
    Fixture::school();
    Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิตศาสตร์เข้มข้น"));
    Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), baht(1500));
    Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), baht(2000));
    Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C01"), baht(800));
    Fixture::student(QStringLiteral("6900001"), QStringLiteral("เด็กชายสมชาย ใจดี"));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"), baht(300));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900003"));
}

QList<PaymentLine> lines(double first, double second, double third) {
    return {{1, QStringLiteral("6900001"), baht(first)},
            {2, QStringLiteral("6900002"), baht(second)},
            {3, QStringLiteral("6900003"), baht(third)}};
}

Money paid(const QString& courseNo) {
    return Money::fromVariant(Fixture::value(
        QStringLiteral("SELECT CoursePayAmt FROM StudentCourse WHERE StdID = ? AND CourseNo = ?"),
        {QStringLiteral("6900001"), courseNo}));
}

QString setupValue(const QString& column) {
    return Fixture::value(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM CtrlSetup"))
        .toString();
}

PaymentResult post(const QString& docNo, const QList<PaymentLine>& paymentLines) {
    PaymentPosting posting(QStringLiteral("6900001"), docNo, paymentLines);
    return posting.post();
}

} // namespace

class TestPosting : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;

private slots:
    void init() {
        db = std::make_unique<TestDatabase>();
        threeClasses();
    }
    void cleanup() { db.reset(); }

    void threeRowsMakeOneBillWithGaps() {
        const PaymentResult result = post(QStringLiteral("69-00001"), lines(500, 0, 250));
        QCOMPARE(result.status, PaymentResult::Status::Posted);
        QCOMPARE(result.stmId, QStringLiteral("69000001"));
        QCOMPARE(result.total, baht(750));

        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 1);
        const QString bill = QStringLiteral(
            "SELECT StmDate || '|' || StdID || '|' || StmNetAmt || '|' || StmDocNo || '|' || "
            "IsCancel || '|' || UserID || '|' || UserCancelID FROM Statement WHERE StmID = ?");
        QCOMPARE(Fixture::value(bill, {result.stmId}).toString(),
                 QStringLiteral("20261206|6900001|750.0|69-00001|0|admin|"));
        const QString sub =
            QStringLiteral("SELECT group_concat(StmItem || ':' || CourseNo || ':' || StmAmt || ':' "
                           "|| StmOBal, ' ') "
                           "FROM (SELECT * FROM StatementSub WHERE StmID = ? ORDER BY StmItem)");
        QCOMPARE(Fixture::value(sub, {result.stmId}).toString(),
                 QStringLiteral("1:6900001:500.0:1200.0 3:6900003:250.0:800.0"));

        QCOMPARE(paid(QStringLiteral("6900001")), baht(800));
        QCOMPARE(paid(QStringLiteral("6900002")), Money());
        QCOMPARE(paid(QStringLiteral("6900003")), baht(250));
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse"),
                                QStringLiteral("CoursePayDate = ?"), {QStringLiteral("20261206")}),
                 3);
    }

    void billKeysFollowTheLargestKey() {
        QCOMPARE(post(QStringLiteral("x"), lines(1, 0, 0)).stmId, QStringLiteral("69000001"));
        QCOMPARE(post(QStringLiteral("x"), lines(1, 0, 0)).stmId, QStringLiteral("69000002"));
        // A new Buddhist year does not restart the series: the first bill's year stays.
        db->setNow(QDateTime(QDate(2027, 1, 3), QTime(8, 0)));
        QCOMPARE(post(QStringLiteral("x"), lines(1, 0, 0)).stmId, QStringLiteral("69000003"));
        Connection::shared().exec(
            QStringLiteral("UPDATE Statement SET StmID = '69000041' WHERE StmID = '69000003'"));
        QCOMPARE(post(QStringLiteral("x"), lines(1, 0, 0)).stmId, QStringLiteral("69000042"));
    }

    void firstBillTakesTheYearOfTheClock() {
        db->setNow(QDateTime(QDate(2027, 1, 3), QTime(8, 0)));
        QCOMPARE(post(QStringLiteral("x"), lines(1, 0, 0)).stmId, QStringLiteral("70000001"));
    }

    void billCounterFollowsTheConfirmedNumber() {
        auto setAutoRun = [](const QVariant& value) {
            Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = ?"),
                                      {value});
        };
        // Automatic numbering off ("0" or no value): the counter is not written.
        setAutoRun(QStringLiteral("0"));
        post(QStringLiteral("69-00007"), lines(1, 0, 0));
        QVERIFY(Fixture::value(QStringLiteral("SELECT ShopBiLLYY FROM CtrlSetup")).isNull());
        QCOMPARE(setupValue(QStringLiteral("ShopBiLLNo")), QStringLiteral("00000"));
        setAutoRun(QVariant());
        post(QStringLiteral("69-00008"), lines(1, 0, 0));
        QCOMPARE(setupValue(QStringLiteral("ShopBiLLNo")), QStringLiteral("00000"));

        setAutoRun(QStringLiteral("1"));
        post(QStringLiteral("69-00120"), lines(1, 0, 0));
        QCOMPARE(setupValue(QStringLiteral("ShopBiLLYY")), QStringLiteral("69"));
        QCOMPARE(setupValue(QStringLiteral("ShopBiLLNo")), QStringLiteral("00120"));
        // A hand-typed number of another form: its first two and last five characters.
        post(QStringLiteral("A-77/12345"), lines(1, 0, 0));
        QCOMPARE(setupValue(QStringLiteral("ShopBiLLYY")), QStringLiteral("A-"));
        QCOMPARE(setupValue(QStringLiteral("ShopBiLLNo")), QStringLiteral("12345"));
    }

    void addressTextJoinsTelephoneAndFax() {
        const QString addr = QStringLiteral("1 ถนนสุขุมวิท\r\nกรุงเทพฯ");
        QCOMPARE(PaymentPosting::addressText(addr, QStringLiteral("  "), QString()), addr);
        QCOMPARE(PaymentPosting::addressText(addr, QStringLiteral("02-1"), QString()),
                 addr + QStringLiteral("\r\nโทร. 02-1"));
        QCOMPARE(PaymentPosting::addressText(addr, QString(), QStringLiteral("02-2")),
                 addr + QStringLiteral("\r\n  แฟกซ์. 02-2"));
        QCOMPARE(PaymentPosting::addressText(addr, QStringLiteral("02-1 "), QStringLiteral("02-2")),
                 addr + QStringLiteral("\r\nโทร. 02-1   แฟกซ์. 02-2"));
        const PaymentResult result = post(QStringLiteral("x"), lines(1, 0, 0));
        QCOMPARE(result.addressText,
                 QStringLiteral("1 ถนนสุขุมวิท\r\nกรุงเทพฯ 10110\r\nโทร. 02-123-4567"));
    }

    void failureAtSecondRegistrationLeavesNoTrace() {
        Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = '1'"));
        PaymentPosting posting(QStringLiteral("6900001"), QStringLiteral("69-00001"),
                               lines(500, 700, 250));
        QList<int> seen;
        posting.beforeRegistrationUpdate = [&seen](int item) {
            seen << item;
            if (seen.size() == 2)
                throw DbError(QStringLiteral("disk full"));
        };
        QVERIFY_THROWS_EXCEPTION(DbError, posting.post());
        QCOMPARE(seen, (QList<int>{1, 2}));
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 0);
        QCOMPARE(Fixture::count(QStringLiteral("StatementSub")), 0);
        QCOMPARE(paid(QStringLiteral("6900001")), baht(300));
        QCOMPARE(paid(QStringLiteral("6900002")), Money());
        QVERIFY(Fixture::value(QStringLiteral("SELECT ShopBiLLYY FROM CtrlSetup")).isNull());
        QCOMPARE(setupValue(QStringLiteral("ShopBiLLNo")), QStringLiteral("00000"));
        // The connection is usable again and the same payment can be posted.
        QCOMPARE(post(QStringLiteral("69-00001"), lines(500, 700, 250)).total, baht(1450));
    }

    void changedRegistrationsAreRefused() {
        // Another workstation paid 1,000 of the first class meanwhile: 500 is now too much.
        Connection::shared().exec(QStringLiteral(
            "UPDATE StudentCourse SET CoursePayAmt = 1300 WHERE CourseNo = '6900001'"));
        QCOMPARE(post(QStringLiteral("x"), lines(500, 0, 250)).status,
                 PaymentResult::Status::CourseChanged);
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 0);
        QCOMPARE(Fixture::count(QStringLiteral("StatementSub")), 0);
        QCOMPARE(paid(QStringLiteral("6900003")), Money());
        // Exactly the balance left is still accepted, and the line records it as owed before.
        const PaymentResult exact = post(QStringLiteral("x"), lines(200, 0, 0));
        QCOMPARE(exact.status, PaymentResult::Status::Posted);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT StmOBal FROM StatementSub")).toDouble(),
                 200.0);

        // A registration removed meanwhile.
        Connection::shared().exec(
            QStringLiteral("DELETE FROM StudentCourse WHERE CourseNo = '6900003'"));
        QCOMPARE(post(QStringLiteral("x"), lines(0, 100, 250)).status,
                 PaymentResult::Status::CourseChanged);
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 1);
        QCOMPARE(paid(QStringLiteral("6900002")), Money());
    }
};

QTEST_MAIN(TestPosting)
#include "tst_posting.moc"
