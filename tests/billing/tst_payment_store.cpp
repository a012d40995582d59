#include "billing/PaymentStore.h"
#include "core/Database.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "support/TestSupport.h"

#include <QTest>
#include <optional>

namespace {

Money baht(double value) {
    return Money::fromBaht(value);
}

QList<PaymentLine> lines(double first, double second, double third) {
    return {{1, QStringLiteral("6900001"), baht(first)},
            {2, QStringLiteral("6900002"), baht(second)},
            {3, QStringLiteral("6900003"), baht(third)}};
}

QString text(const QString& sql) {
    return Fixture::value(sql).toString();
}

// The paid amounts of the pupil's registrations in class order, as stored.
QString paid() {
    return text(QStringLiteral("SELECT group_concat(ifnull(CoursePayAmt, 'null'), '|') FROM "
                               "(SELECT CoursePayAmt FROM StudentCourse ORDER BY CourseNo)"));
}

// The bill counter as "ShopBiLLYY|ShopBiLLNo" ("-" for no year).
QString counter() {
    return text(
        QStringLiteral("SELECT ifnull(ShopBiLLYY, '-') || '|' || ShopBiLLNo FROM CtrlSetup"));
}

// Bills and bill lines stored.
int written() {
    return Fixture::count(QStringLiteral("Statement")) +
           Fixture::count(QStringLiteral("StatementSub"));
}

PaymentResult post(const QString& docNo, const QList<PaymentLine>& paymentLines,
                   std::optional<Money> confirmed = {}) {
    return PaymentStore::post({QStringLiteral("6900001"), docNo, paymentLines,
                               QStringLiteral("20261206"), QStringLiteral("admin"), confirmed},
                              Seams::today());
}

} // namespace

class tst_payment_store : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;

private slots:
    // A pupil registered on three classes of 1,500, 2,000 and 800, 300 already paid on the first.
    void init() {
        db = std::make_unique<TestDatabase>();
        Fixture::school();
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิตศาสตร์เข้มข้น"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("เด็กชายสมชาย ใจดี"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), baht(1500));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), baht(2000));
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C01"), baht(800));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"), baht(300));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900003"));
    }
    void cleanup() { db.reset(); }

    void threeRowsMakeOneBillWithGaps() {
        const PaymentResult result = post(QStringLiteral("69-00001"), lines(500, 0, 250));
        QCOMPARE(result.status, PaymentResult::Status::Posted);
        QCOMPARE(result.stmId, QStringLiteral("69000001"));
        QCOMPARE(result.total, baht(750));
        // The bill's address: the school's, then its telephone and fax when set.
        QCOMPARE(result.addressText,
                 QStringLiteral("1 ถนนสุขุมวิท\r\nกรุงเทพฯ 10110\r\nโทร. 02-123-4567"));
        const QString addr = QStringLiteral("1 ถนนสุขุมวิท\r\nกรุงเทพฯ");
        const auto addressText = &PaymentStore::addressText;
        QCOMPARE(addressText(addr, QStringLiteral("  "), QString()), addr);
        QCOMPARE(addressText(addr, QStringLiteral("02-1"), QString()),
                 addr + QStringLiteral("\r\nโทร. 02-1"));
        QCOMPARE(addressText(addr, QString(), QStringLiteral("02-2")),
                 addr + QStringLiteral("\r\n  แฟกซ์. 02-2"));
        QCOMPARE(addressText(addr, QStringLiteral("02-1 "), QStringLiteral("02-2")),
                 addr + QStringLiteral("\r\nโทร. 02-1   แฟกซ์. 02-2"));

        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 1);
        QCOMPARE(text(QStringLiteral("SELECT StmID || '|' || StmDate || '|' || StdID || '|' || "
                                     "StmNetAmt || '|' || StmDocNo || '|' || IsCancel || '|' || "
                                     "UserID || '|' || UserCancelID FROM Statement")),
                 QStringLiteral("69000001|20261206|6900001|750.0|69-00001|0|admin|"));
        QCOMPARE(
            text(QStringLiteral("SELECT group_concat(StmID || ':' || StmItem || ':' || CourseNo "
                                "|| ':' || StmAmt || ':' || StmOBal, ' ') FROM "
                                "(SELECT * FROM StatementSub ORDER BY StmItem)")),
            QStringLiteral("69000001:1:6900001:500.0:1200.0 69000001:3:6900003:250.0:800.0"));
        QCOMPARE(paid(), QStringLiteral("800.0|0.0|250.0"));
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse"),
                                QStringLiteral("CoursePayDate = ?"), {QStringLiteral("20261206")}),
                 3);
    }

    void billKeysAndCounter() {
        auto next = [] { return post(QStringLiteral("x"), lines(1, 0, 0)).stmId; };
        QCOMPARE(next(), QStringLiteral("69000001"));
        QCOMPARE(next(), QStringLiteral("69000002"));
        // A new Buddhist year does not restart the series: the first bill's year stays.
        db->setNow(QDateTime(QDate(2027, 1, 3), QTime(8, 0)));
        QCOMPARE(next(), QStringLiteral("69000003"));
        Connection::shared().exec(
            QStringLiteral("UPDATE Statement SET StmID = '69000041' WHERE StmID = '69000003'"));
        QCOMPARE(next(), QStringLiteral("69000042"));
        // The very first bill takes the year of the clock.
        Connection::shared().exec(QStringLiteral("DELETE FROM Statement"));
        QCOMPARE(next(), QStringLiteral("70000001"));

        auto postWith = [](const QVariant& autoRun, const QString& docNo) {
            Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = ?"),
                                      {autoRun});
            post(docNo, lines(1, 0, 0));
            return counter();
        };
        // Automatic numbering off ("0" or no value): the counter is not written.
        QCOMPARE(postWith(QStringLiteral("0"), QStringLiteral("69-00007")),
                 QStringLiteral("-|00000"));
        QCOMPARE(postWith(QVariant(), QStringLiteral("69-00008")), QStringLiteral("-|00000"));
        QCOMPARE(postWith(QStringLiteral("1"), QStringLiteral("69-00120")),
                 QStringLiteral("69|00120"));
        // A hand-typed number of another form: its first two and last five characters.
        QCOMPARE(postWith(QStringLiteral("1"), QStringLiteral("A-77/12345")),
                 QStringLiteral("A-|12345"));
    }

    // Two desks confirm the proposal 69-00042 at once: the second bill gets the counter's next
    // number; a number typed is kept as typed. The proposal after the year's last number is
    // refused with nothing written, a typed number still taken.
    void proposedBillNumberTakenMeanwhile() {
        Connection::shared().exec(QStringLiteral(
            "UPDATE CtrlSetup SET ShopBiLLAutoRun = '1', ShopBiLLYY = '69', ShopBiLLNo = '00041'"));
        auto confirm = [](const QString& docNo, const QString& proposed) -> QString {
            const PaymentResult bill = PaymentStore::post({QStringLiteral("6900001"),
                                                           docNo,
                                                           lines(1, 0, 0),
                                                           QStringLiteral("20261206"),
                                                           QStringLiteral("admin"),
                                                           {},
                                                           proposed},
                                                          Seams::today());
            return bill.docNo + QLatin1Char(' ') +
                   text(QStringLiteral("SELECT StmDocNo FROM Statement WHERE StmID = '") +
                        bill.stmId + QStringLiteral("'")) +
                   QLatin1Char(' ') + counter();
        };
        const QString proposal = QStringLiteral("69-00042");
        QCOMPARE(confirm(proposal, proposal), QStringLiteral("69-00042 69-00042 69|00042"));
        QCOMPARE(confirm(proposal, proposal), QStringLiteral("69-00043 69-00043 69|00043"));
        QCOMPARE(confirm(QStringLiteral("69-00040"), proposal),
                 QStringLiteral("69-00040 69-00040 69|00040"));

        Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLNo = '99999'"));
        const int before = written();
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 confirm(QStringLiteral("69-99999"), QStringLiteral("69-99999")));
        QCOMPARE(written(), before);
        QCOMPARE(counter(), QStringLiteral("69|99999"));
        QCOMPARE(confirm(QStringLiteral("69-A0001"), QString()),
                 QStringLiteral("69-A0001 69-A0001 69|A0001"));
    }

    void failureAtSecondRegistrationLeavesNoTrace() {
        Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = '1'"));
        // The disk fails when the second class's paid amount is written.
        Connection::shared().exec(
            QStringLiteral("CREATE TEMP TRIGGER diskFull BEFORE UPDATE ON StudentCourse "
                           "WHEN NEW.CourseNo = '6900002' BEGIN SELECT RAISE(ABORT, 'disk full'); "
                           "END"));
        QVERIFY_THROWS_EXCEPTION(DbError, post(QStringLiteral("69-00001"), lines(500, 700, 250)));
        QCOMPARE(written(), 0);
        QCOMPARE(paid(), QStringLiteral("300.0|0.0|0.0"));
        QCOMPARE(counter(), QStringLiteral("-|00000"));
        // The connection is usable again and the same payment can be posted.
        Connection::shared().exec(QStringLiteral("DROP TRIGGER diskFull"));
        QCOMPARE(post(QStringLiteral("69-00001"), lines(500, 700, 250)).total, baht(1450));
        QCOMPARE(paid(), QStringLiteral("800.0|700.0|250.0"));
    }

    void paymentsOfNothingOrOfAnotherTotalAreRefused() {
        using Status = PaymentResult::Status;
        const struct {
            QList<PaymentLine> lines;
            double confirmed;
            Status status;
        } cases[] = {
            {lines(0, 0, 0), 0, Status::NothingToPay},
            {lines(-5, 0, 0), 1500, Status::NothingToPay},
            {lines(500, 0, 0), 1500, Status::TotalChanged},
            {lines(500, 0, 250), 500, Status::TotalChanged},
        };
        Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = '1'"));
        for (const auto& c : cases)
            QCOMPARE(post(QStringLiteral("69-00001"), c.lines, baht(c.confirmed)).status, c.status);
        QCOMPARE(written(), 0);
        QCOMPARE(paid(), QStringLiteral("300.0|0.0|0.0"));
        QCOMPARE(counter(), QStringLiteral("-|00000"));
    }

    void changedRegistrationsAreRefused() {
        // Another workstation paid 1,000 of the first class meanwhile: 500 is now too much.
        Connection::shared().exec(QStringLiteral(
            "UPDATE StudentCourse SET CoursePayAmt = 1300 WHERE CourseNo = '6900001'"));
        QCOMPARE(post(QStringLiteral("x"), lines(500, 0, 250)).status,
                 PaymentResult::Status::CourseChanged);
        QCOMPARE(written(), 0);
        QCOMPARE(paid(), QStringLiteral("1300.0|0.0|0.0"));
        // Exactly the balance left is still accepted, and the line records it as owed before.
        QCOMPARE(post(QStringLiteral("x"), lines(200, 0, 0)).status, PaymentResult::Status::Posted);
        QCOMPARE(text(QStringLiteral("SELECT StmOBal || '' FROM StatementSub")),
                 QStringLiteral("200.0"));

        // A registration removed meanwhile.
        Connection::shared().exec(
            QStringLiteral("DELETE FROM StudentCourse WHERE CourseNo = '6900003'"));
        QCOMPARE(post(QStringLiteral("x"), lines(0, 100, 250)).status,
                 PaymentResult::Status::CourseChanged);
        QCOMPARE(written(), 2);
        QCOMPARE(paid(), QStringLiteral("1500.0|0.0"));
    }

    void linesOfOneClassShareItsBalance() {
        auto twice = [](double first, double second) {
            return QList<PaymentLine>{{1, QStringLiteral("6900001"), baht(first)},
                                      {2, QStringLiteral("6900001"), baht(second)}};
        };
        // 700 + 700 against 1,200 owed: refused as a whole.
        QCOMPARE(post(QStringLiteral("x"), twice(700, 700)).status,
                 PaymentResult::Status::CourseChanged);
        QCOMPARE(written(), 0);
        // 700 + 500 pays the balance exactly; the second line owed what the first left.
        QCOMPARE(post(QStringLiteral("x"), twice(700, 500)).total, baht(1200));
        QCOMPARE(text(QStringLiteral("SELECT group_concat(StmAmt || '/' || StmOBal, ' ') FROM "
                                     "(SELECT * FROM StatementSub ORDER BY StmItem)")),
                 QStringLiteral("700.0/1200.0 500.0/500.0"));
        QCOMPARE(paid(), QStringLiteral("1500.0|0.0|0.0"));
    }

    void amountsBeyondExactStorageAreErrors() {
        // Stored by another tool: a fee too large to be read back exactly, an infinite paid
        // amount. Posting on either is an error and writes nothing.
        for (const char* update : {"UPDATE CourseTable SET CoursePrice = 1e16 WHERE "
                                   "CourseNo = '6900002'",
                                   "UPDATE StudentCourse SET CoursePayAmt = 9e999 WHERE "
                                   "CourseNo = '6900002'"}) {
            Connection::shared().exec(QString::fromLatin1(update));
            QVERIFY_THROWS_EXCEPTION(DbError, post(QStringLiteral("x"), lines(0, 100, 0)));
            QCOMPARE(written(), 0);
        }
        // A bill whose lines add up beyond the exact range is refused too.
        Connection::shared().exec(QStringLiteral(
            "UPDATE CourseTable SET CoursePrice = 9999999999999.99 WHERE CourseNo <> '6900002'"));
        const Money most = Money::fromSatang(Money::maxSatang - 30000);
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 post(QStringLiteral("x"), {{1, QStringLiteral("6900001"), most},
                                                            {3, QStringLiteral("6900003"), most}}));
        QCOMPARE(written(), 0);
    }
};

QTEST_MAIN(tst_payment_store)
#include "tst_payment_store.moc"
