// Two processes post payments, register and remove registrations on one database file
// at once, for VADEL_STRESS_SECONDS (60 when unset); then the file must hold exactly what
// they reported: no duplicate key, every paid amount the sum of its bill lines, no bill
// without lines, and as many bills and registrations as succeeded.

#include "billing/PaymentPosting.h"
#include "billing/Registration.h"
#include "core/Database.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <cstdio>

namespace {

constexpr int pupils = 40;
constexpr int classes = 8;
// The fee of a class: classes 1 to 4 cost more than a minute of payments can pay off, so
// that payments go on all along; 5 and 6 are paid off soon, the desks racing for the last
// baht; 7 and 8 are free, so that registrations on them come and go.
Money fee(int klass) {
    return Money::fromSatang(klass <= 4 ? 100'000'000'00 + klass : klass <= 6 ? 500'00 + klass : 0);
}
const QString workingDate = QStringLiteral("20261206");

QString pupil(int n) {
    return QStringLiteral("69%1").arg(n, 5, 10, QLatin1Char('0'));
}

QString klass(int n) {
    return QStringLiteral("69%1").arg(n, 5, 10, QLatin1Char('0'));
}

// What one worker did; printed as "name=count" pairs for the test to add up.
struct Tally {
    QMap<QString, qint64> counts;
    void add(const char* name, qint64 by = 1) { counts[QString::fromLatin1(name)] += by; }
    QString text() const {
        QStringList pairs;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            pairs << it.key() + u'=' + QString::number(it.value());
        return pairs.join(u' ');
    }
};

// A payment on some of the pupil's unpaid classes as listed now: a part of a balance,
// or more than the balance, or one class on two lines that together pay a part of it or
// more than all of it.
Payment somePayment(QRandomGenerator& random, const QString& stdId) {
    Payment payment{stdId,
                    QStringLiteral("69-%1").arg(random.bounded(100000), 5, 10, QLatin1Char('0')),
                    {},
                    workingDate,
                    QStringLiteral("stress"),
                    {}};
    Query owed = Connection::shared().exec(
        QStringLiteral("SELECT CourseNo, CoursePrice - CoursePayAmt FROM QStudentCourse "
                       "WHERE StdID = ? AND CoursePayAmt < CoursePrice ORDER BY CourseNo"),
        {stdId});
    int item = 0;
    auto line = [&](const QString& courseNo, qint64 satang) {
        payment.lines << PaymentLine{++item, courseNo, Money::fromSatang(satang)};
    };
    while (owed.next()) {
        const QString courseNo = owed.value(0).toString();
        const qint64 balance = Money::fromVariant(owed.value(1)).satang();
        const qint64 part = 1 + random.bounded(static_cast<int>(std::min<qint64>(balance, 100000)));
        switch (random.bounded(12)) {
        case 0:
            ++item; // a row left at zero
            break;
        case 1:
            line(courseNo, balance + 1);
            break;
        case 2:
            line(courseNo, part);
            line(courseNo, part);
            break;
        case 3:
            line(courseNo, balance / 2 + 1);
            line(courseNo, balance / 2 + 1);
            break;
        default:
            line(courseNo, part);
        }
    }
    return payment;
}

int runWorker(const QString& path, int seconds, quint32 seed) {
    Seams::setDatabasePath(path);
    QRandomGenerator random(seed);
    Tally tally;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000LL) {
        const QString stdId = pupil(random.bounded(1, pupils + 1));
        const QString courseNo = klass(random.bounded(1, classes + 1));
        try {
            switch (random.bounded(3)) {
            case 0:
                tally.add(Registration::add(stdId, courseNo, workingDate) ==
                                  Registration::Addition::Added
                              ? "added"
                              : "twice");
                break;
            case 1: {
                const Registration::RemoveResult removal = Registration::remove(stdId, courseNo);
                tally.add(removal.outcome == Registration::Removal::Removed ? "removed"
                          : removal.outcome == Registration::Removal::Paid  ? "keptPaid"
                                                                            : "gone");
                break;
            }
            default: {
                const PaymentResult result = PaymentPosting::post(somePayment(random, stdId));
                if (result.status == PaymentResult::Status::Posted) {
                    tally.add("posted");
                    tally.add("satang", result.total.satang());
                } else {
                    tally.add(result.status == PaymentResult::Status::CourseChanged ? "refused"
                                                                                    : "empty");
                }
            }
            }
        } catch (const DbError& error) {
            // A desk that waited out the busy timeout for the other's write is told so and
            // has written nothing; any other error is a fault.
            const bool waitedOut =
                error.message().startsWith(QStringLiteral("database is locked\nBEGIN"));
            tally.add(waitedOut ? "waitedOut" : "errors");
            std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        }
    }
    Connection::shared().close();
    std::printf("%s\n", qPrintable(tally.text()));
    return 0;
}

qint64 number(const char* sql) {
    return Fixture::value(QString::fromLatin1(sql)).toLongLong();
}

} // namespace

class TestStress : public QObject {
    Q_OBJECT

private slots:
    void twoDesksPostRegisterAndRemoveOnOneFile() {
        TestDatabase database;
        Fixture::school();
        Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = '1'"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สเข้ม"));
        for (int c = 1; c <= classes; ++c)
            Fixture::classRow(klass(c), QStringLiteral("C01"), fee(c));
        for (int p = 1; p <= pupils; ++p)
            Fixture::student(pupil(p), QStringLiteral("นักเรียน %1").arg(p));
        Connection::shared().close();

        const int seconds = qEnvironmentVariableIsSet("VADEL_STRESS_SECONDS")
                                ? qEnvironmentVariableIntValue("VADEL_STRESS_SECONDS")
                                : 60;
        QVERIFY(seconds > 0);
        QList<QProcess*> workers;
        for (int seed : {11, 29}) {
            auto* worker = new QProcess(this);
            worker->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            worker->start(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--stress-worker"), database.path(),
                           QString::number(seconds), QString::number(seed)});
            workers << worker;
        }
        Tally total;
        for (QProcess* worker : std::as_const(workers)) {
            QVERIFY(worker->waitForFinished((seconds + 60) * 1000));
            QCOMPARE(worker->exitCode(), 0);
            const QString line = QString::fromUtf8(worker->readAllStandardOutput()).trimmed();
            qInfo("%s", qPrintable(line));
            for (const QString& pair : line.split(u' '))
                total.add(qPrintable(pair.section(u'=', 0, 0)), pair.section(u'=', 1).toLongLong());
        }
        const QMap<QString, qint64>& did = total.counts;
        QCOMPARE(did.value(QStringLiteral("errors")), 0);
        for (const char* happened : {"added", "removed", "posted", "refused", "keptPaid"})
            QVERIFY2(did.value(QString::fromLatin1(happened)) > 0, happened);

        QCOMPARE(Fixture::value(QStringLiteral("PRAGMA integrity_check")).toString(),
                 QStringLiteral("ok"));
        // No duplicate key.
        QCOMPARE(number("SELECT COUNT(*) - COUNT(DISTINCT StmID) FROM Statement"), 0);
        QCOMPARE(number("SELECT COUNT(*) FROM (SELECT 1 FROM StatementSub GROUP BY StmID, StmItem "
                        "HAVING COUNT(*) > 1)"),
                 0);
        QCOMPARE(number("SELECT COUNT(*) FROM (SELECT 1 FROM StudentCourse GROUP BY StdID, "
                        "CourseNo HAVING COUNT(*) > 1)"),
                 0);
        // Every paid amount is the sum of its lines, within the fee; no line without its
        // registration; no bill without lines, each bill the sum of its lines.
        QCOMPARE(number("SELECT COUNT(*) FROM StudentCourse sc JOIN CourseTable ct ON "
                        "ct.CourseNo = sc.CourseNo WHERE sc.CoursePayAmt > ct.CoursePrice OR "
                        "round(sc.CoursePayAmt * 100) <> (SELECT round(ifnull(SUM(ss.StmAmt), 0) "
                        "* 100) FROM StatementSub ss JOIN Statement st ON st.StmID = ss.StmID "
                        "WHERE st.IsCancel = '0' AND st.StdID = sc.StdID AND "
                        "ss.CourseNo = sc.CourseNo)"),
                 0);
        QCOMPARE(number("SELECT COUNT(*) FROM StatementSub ss JOIN Statement st ON "
                        "st.StmID = ss.StmID WHERE NOT EXISTS (SELECT 1 FROM StudentCourse sc "
                        "WHERE sc.StdID = st.StdID AND sc.CourseNo = ss.CourseNo)"),
                 0);
        QCOMPARE(number("SELECT COUNT(*) FROM Statement st WHERE round(st.StmNetAmt * 100) IS "
                        "NOT (SELECT round(SUM(StmAmt) * 100) FROM StatementSub "
                        "WHERE StmID = st.StmID)"),
                 0);
        // Exactly what the desks were told was done.
        QCOMPARE(number("SELECT COUNT(*) FROM Statement"), did.value(QStringLiteral("posted")));
        QCOMPARE(number("SELECT round(SUM(StmNetAmt) * 100) FROM Statement"),
                 did.value(QStringLiteral("satang")));
        QCOMPARE(number("SELECT COUNT(*) FROM StudentCourse"),
                 did.value(QStringLiteral("added")) - did.value(QStringLiteral("removed")));
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 5 && args.at(1) == QStringLiteral("--stress-worker"))
        return runWorker(args.at(2), args.at(3).toInt(), args.at(4).toUInt());
    TestStress test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stress.moc"
