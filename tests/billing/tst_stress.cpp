// Two processes post payments, register and remove registrations on one database file
// at once, for VADEL_STRESS_SECONDS (60 when unset) in all, half on a new school and half on
// a school of the previous version with records in it, which the desks upgrade as they
// open it; meanwhile they cancel bills, edit and delete other income and expenses and
// lessons through rows they loaded a while before, as a window shows them, and add and
// delete classes that lessons are being typed for; on the older school each desk first
// deletes the newest record of each kind it loaded and adds another. Then the file must hold
// exactly what they reported: no duplicate key, every paid amount the sum of its valid bill
// lines, no bill cancelled twice, no bill without lines, no code of a deleted record given
// again and no record changed by a write meant for a deleted one, no lesson without its class
// and no attendance row without its lesson, and as many bills, registrations, expenses and
// lessons as succeeded.

#include "billing/BillStore.h"
#include "billing/CourseTableStore.h"
#include "billing/ExpenseStore.h"
#include "billing/PaymentStore.h"
#include "billing/RegistrationStore.h"
#include "core/Database.h"
#include "core/Schema.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "results/LessonStore.h"
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

// Rows a desk loaded a while ago, as its windows list them; some are gone by the time the
// desk acts on them.
struct Loaded {
    QList<QVariantList> bills;        // StmID, StmDocNo, StdID
    QList<QVariantList> expenses;     // ExpID, ExpDesc
    QList<QVariantList> lessons;      // StmID, CourseNo, StmTime1
    QList<QVariantList> spareClasses; // CourseNo

    static QList<QVariantList> rows(const char* sql) {
        Query query = Connection::shared().exec(QString::fromLatin1(sql));
        QList<QVariantList> result;
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.columns()->count(); ++i)
                row << query.value(i);
            result << row;
        }
        return result;
    }
    void load() {
        bills = rows("SELECT StmID, StmDocNo, StdID FROM Statement WHERE IsCancel = '0'");
        expenses = rows("SELECT ExpID, ExpDesc FROM Expense");
        lessons = rows("SELECT StmID, CourseNo, StmTime1 FROM [TimeStamp]");
        spareClasses = rows("SELECT CourseNo FROM CourseTable WHERE CourseID = 'SPARE'");
    }
    static QVariantList take(QRandomGenerator& random, QList<QVariantList>& list) {
        return list.isEmpty() ? QVariantList()
                              : list.takeAt(random.bounded(static_cast<int>(list.size())));
    }
};

// A deleted record's code and the mark it was added with, for the checks afterwards.
void noteDeleted(const char* kind, const QString& code, const QString& mark) {
    Connection::shared().exec(
        QStringLiteral("INSERT INTO StressDeleted (Kind, Code, Mark) VALUES (?, ?, ?)"),
        {QString::fromLatin1(kind), code, mark});
}

// A new record's code, which no deleted record of its kind may have had.
void noteAdded(Tally& tally, const char* kind, const QString& code) {
    if (Connection::shared()
            .scalar(QStringLiteral("SELECT 1 FROM StressDeleted WHERE Kind = ? AND Code = ?"),
                    {QString::fromLatin1(kind), code})
            .isValid())
        tally.add("codeGivenAgain");
}

Lesson lessonOf(const QString& courseNo, double item, const QString& mark) {
    Lesson lesson{{},          courseNo,
                  workingDate, item,
                  mark,        QStringLiteral("12.00"),
                  2,           {{QStringLiteral("T01")}},
                  {}};
    Query pupils = Connection::shared().exec(
        QStringLiteral("SELECT StdID FROM StudentCourse WHERE CourseNo = ?"), {courseNo});
    while (pupils.next())
        lesson.students << Lesson::Person{pupils.value(0).toString(),
                                          pupils.value(0).toInt() % 3 != 0};
    return lesson;
}

void cancelBill(QRandomGenerator& random, Loaded& loaded, Tally& tally) {
    const QVariantList bill = Loaded::take(random, loaded.bills);
    if (bill.isEmpty())
        return;
    const BillStore::Outcome outcome =
        BillStore::cancel(bill.at(0).toString(), bill.at(1).toString(), bill.at(2).toString(),
                          QStringLiteral("stress"));
    tally.add(outcome == BillStore::Outcome::Cancelled          ? "cancelled"
              : outcome == BillStore::Outcome::AlreadyCancelled ? "cancelledBefore"
                                                                : "billGone");
}

void expenseWork(QRandomGenerator& random, Loaded& loaded, Tally& tally, const QString& mark) {
    switch (random.bounded(3)) {
    case 0:
        noteAdded(tally, "expense",
                  ExpenseStore::add({QString(), mark, Money::fromSatang(100), Money()}, workingDate,
                                    QStringLiteral("stress"), Seams::today()));
        tally.add("expenseAdded");
        return;
    case 1: {
        const QVariantList row = Loaded::take(random, loaded.expenses);
        if (row.isEmpty())
            return;
        // The mark the row was added with stays first, whatever edits follow.
        const bool found = ExpenseStore::update({row.at(0).toString(),
                                                 row.at(1).toString() + QStringLiteral(" edited"),
                                                 Money::fromSatang(200), Money::fromSatang(1)},
                                                QStringLiteral("stress"));
        tally.add(found ? "expenseEdited" : "expenseGone");
        return;
    }
    default: {
        const QVariantList row = Loaded::take(random, loaded.expenses);
        if (row.isEmpty())
            return;
        const QString expId = row.at(0).toString();
        if (ExpenseStore::remove(expId)) {
            noteDeleted("expense", expId, row.at(1).toString().section(u' ', 0, 0));
            tally.add("expenseDeleted");
        } else {
            tally.add("expenseGone");
        }
    }
    }
}

void lessonWork(QRandomGenerator& random, Loaded& loaded, Tally& tally, const QString& mark,
                double item) {
    switch (random.bounded(3)) {
    case 0: {
        // A class loaded earlier, now and then a spare one that may have been deleted since.
        const qsizetype spares = loaded.spareClasses.size();
        const QString courseNo =
            spares > 0 && random.bounded(2) == 0
                ? loaded.spareClasses.at(random.bounded(static_cast<int>(spares))).at(0).toString()
                : klass(random.bounded(1, classes + 1));
        const LessonStore::SaveOutcome saved = LessonStore::save(
            lessonOf(courseNo, item, mark), QStringLiteral("stress"), Seams::today());
        if (saved.result == LessonStore::SaveResult::Saved)
            noteAdded(tally, "lesson", saved.stmId);
        tally.add(saved.result == LessonStore::SaveResult::Saved       ? "lessonAdded"
                  : saved.result == LessonStore::SaveResult::ClassGone ? "classGone"
                                                                       : "lessonRefused");
        return;
    }
    case 1: {
        const QVariantList row = Loaded::take(random, loaded.lessons);
        if (row.isEmpty())
            return;
        Lesson lesson = lessonOf(row.at(1).toString(), item, row.at(2).toString());
        lesson.stmId = row.at(0).toString();
        lesson.time2 = QStringLiteral("edited");
        const LessonStore::SaveResult result =
            LessonStore::save(lesson, QStringLiteral("stress"), Seams::today()).result;
        tally.add(result == LessonStore::SaveResult::Saved  ? "lessonEdited"
                  : result == LessonStore::SaveResult::Gone ? "lessonGone"
                                                            : "lessonRefused");
        return;
    }
    default: {
        const QVariantList row = Loaded::take(random, loaded.lessons);
        if (row.isEmpty())
            return;
        const QString stmId = row.at(0).toString();
        if (LessonStore::remove(stmId)) {
            noteDeleted("lesson", stmId, row.at(2).toString());
            tally.add("lessonDeleted");
        } else {
            tally.add("lessonGone");
        }
    }
    }
}

void classWork(QRandomGenerator& random, Loaded& loaded, Tally& tally) {
    if (random.bounded(2) == 0) {
        CourseClass spare;
        spare.courseId = QStringLiteral("SPARE");
        spare.teachers = {{QStringLiteral("T01"), Money()}};
        noteAdded(tally, "class", CourseTableStore::add(spare, Seams::today()));
        tally.add("classAdded");
        return;
    }
    const QVariantList row = Loaded::take(random, loaded.spareClasses);
    if (row.isEmpty())
        return;
    const CourseTableStore::DeleteResult result = CourseTableStore::remove(row.at(0).toString());
    if (result == CourseTableStore::DeleteResult::Deleted)
        noteDeleted("class", row.at(0).toString(), {});
    tally.add(result == CourseTableStore::DeleteResult::Deleted ? "classDeleted"
              : result == CourseTableStore::DeleteResult::InUse ? "classInUse"
                                                                : "classGoneBefore");
}

// The newest expense, lesson and spare class loaded are deleted and another of each added,
// under marks of their own; the rows stay loaded, for edits meant for the deleted records.
void replaceNewest(const Loaded& loaded, Tally& tally, const QString& mark, double item) {
    auto newest = [](const QList<QVariantList>& rows) {
        QVariantList found;
        for (const QVariantList& row : rows)
            if (found.isEmpty() || row.at(0).toString() > found.at(0).toString())
                found = row;
        return found;
    };
    if (const QVariantList expense = newest(loaded.expenses);
        !expense.isEmpty() && ExpenseStore::remove(expense.at(0).toString())) {
        noteDeleted("expense", expense.at(0).toString(), expense.at(1).toString());
        tally.add("expenseDeleted");
    }
    noteAdded(
        tally, "expense",
        ExpenseStore::add({QString(), mark + QLatin1Char('e'), Money::fromSatang(100), Money()},
                          workingDate, QStringLiteral("stress"), Seams::today()));
    tally.add("expenseAdded");
    if (const QVariantList lesson = newest(loaded.lessons);
        !lesson.isEmpty() && LessonStore::remove(lesson.at(0).toString())) {
        noteDeleted("lesson", lesson.at(0).toString(), lesson.at(2).toString());
        tally.add("lessonDeleted");
    }
    const LessonStore::SaveOutcome saved =
        LessonStore::save(lessonOf(klass(1), item, mark + QLatin1Char('l')),
                          QStringLiteral("stress"), Seams::today());
    if (saved.result == LessonStore::SaveResult::Saved) {
        noteAdded(tally, "lesson", saved.stmId);
        tally.add("lessonAdded");
    } else {
        tally.add("lessonRefused");
    }
    if (const QVariantList spare = newest(loaded.spareClasses);
        !spare.isEmpty() && CourseTableStore::remove(spare.at(0).toString()) ==
                                CourseTableStore::DeleteResult::Deleted) {
        noteDeleted("class", spare.at(0).toString(), {});
        tally.add("classDeleted");
    }
    CourseClass added;
    added.courseId = QStringLiteral("SPARE");
    noteAdded(tally, "class", CourseTableStore::add(added, Seams::today()));
    tally.add("classAdded");
}

int runWorker(const QString& path, qint64 milliseconds, quint32 seed, bool upgraded) {
    Seams::setDatabasePath(path);
    QRandomGenerator random(seed);
    Tally tally;
    Loaded loaded;
    QElapsedTimer clock;
    clock.start();
    for (int step = 1; clock.elapsed() < milliseconds; ++step) {
        const QString stdId = pupil(random.bounded(1, pupils + 1));
        const QString courseNo = klass(random.bounded(1, classes + 1));
        // A mark and a lesson number no other desk or step uses.
        const QString mark = QStringLiteral("w%1-%2").arg(seed).arg(step);
        const double item = seed * 1e7 + step;
        try {
            if (step == 1 || random.bounded(10) == 0)
                loaded.load();
            if (step == 1 && upgraded) {
                replaceNewest(loaded, tally, mark, item);
                continue;
            }
            switch (random.bounded(12)) {
            case 0:
            case 1:
                tally.add(RegistrationStore::add(stdId, courseNo, workingDate) ==
                                  RegistrationStore::Addition::Added
                              ? "added"
                              : "twice");
                break;
            case 2:
            case 3: {
                const RegistrationStore::RemoveResult removal =
                    RegistrationStore::remove(stdId, courseNo);
                tally.add(removal.outcome == RegistrationStore::Removal::Removed ? "removed"
                          : removal.outcome == RegistrationStore::Removal::Paid  ? "keptPaid"
                                                                                 : "gone");
                break;
            }
            case 8:
                cancelBill(random, loaded, tally);
                break;
            case 9:
                expenseWork(random, loaded, tally, mark);
                break;
            case 10:
                lessonWork(random, loaded, tally, mark, item);
                break;
            case 11:
                classWork(random, loaded, tally);
                break;
            default: {
                const PaymentResult result =
                    PaymentStore::post(somePayment(random, stdId), Seams::today());
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

class tst_stress : public QObject {
    Q_OBJECT

private slots:
    void twoDesksPostRegisterAndRemoveOnOneFile() {
        const int seconds = qEnvironmentVariableIsSet("VADEL_STRESS_SECONDS")
                                ? qEnvironmentVariableIntValue("VADEL_STRESS_SECONDS")
                                : 60;
        QVERIFY(seconds > 0);
        Tally both;
        for (const bool upgraded : {false, true}) {
            runOnSchool(upgraded, seconds * 1000LL / 2, both);
            if (QTest::currentTestFailed())
                return;
        }
        // Every kind of work happened, on the two schools together.
        for (const char* happened :
             {"added", "removed", "posted", "refused", "keptPaid", "cancelled", "expenseAdded",
              "expenseEdited", "expenseDeleted", "lessonAdded", "lessonEdited", "lessonDeleted",
              "classAdded", "classDeleted"})
            QVERIFY2(both.counts.value(QString::fromLatin1(happened)) > 0, happened);
    }

private:
    // The two desks on a new school, or on one of the previous version, for the time given;
    // then the file is checked against what they did, which is added to `both`.
    void runOnSchool(bool upgraded, qint64 milliseconds, Tally& both) {
        qInfo(upgraded ? "school of the previous version" : "new school");
        TestDatabase database;
        if (upgraded)
            makeSchoolOfVersion(database.path(), Schema::currentVersion - 1);
        Fixture::school();
        Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = '1'"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สเข้ม"));
        for (int c = 1; c <= classes; ++c)
            Fixture::classRow(klass(c), QStringLiteral("C01"), fee(c));
        for (int p = 1; p <= pupils; ++p)
            Fixture::student(pupil(p), QStringLiteral("นักเรียน %1").arg(p));
        Fixture::teacher(QStringLiteral("T01"), QStringLiteral("ครูหนึ่ง"));
        Fixture::exec(
            QStringLiteral("CREATE TABLE StressDeleted (Kind TEXT, Code TEXT, Mark TEXT)"));
        // The older school's own records, each with its mark.
        const int kept = upgraded ? 5 : 0;
        for (int n = 1; n <= kept; ++n) {
            // Marks of their own for each kind: the checks look for a deleted record's mark in
            // every table.
            const QString mark = QStringLiteral("old%1").arg(n);
            Fixture::exec(QStringLiteral("INSERT INTO Expense (ExpID, ExpDate, ExpDesc, ExpCrAmt, "
                                         "ExpDbAmt) VALUES (?, ?, ?, 1, 0)"),
                          {QStringLiteral("690000%1").arg(n, 2, 10, QLatin1Char('0')), workingDate,
                           QString(mark + QLatin1Char('e'))});
            Fixture::exec(QStringLiteral("INSERT INTO [TimeStamp] (StmID, CourseNo, StmDate, "
                                         "StmItem, StmTime1, StmTime2, StmHour) VALUES (?, ?, ?, "
                                         "?, ?, '12.00', 2)"),
                          {QStringLiteral("20260000%1").arg(n, 2, 10, QLatin1Char('0')), klass(1),
                           workingDate, n, QString(mark + QLatin1Char('l'))});
            Fixture::classRow(klass(classes + n), QStringLiteral("SPARE"), Money());
        }
        Connection::shared().close();

        QList<QProcess*> workers;
        for (int seed : {11, 29}) {
            auto* worker = new QProcess(this);
            worker->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            worker->start(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--stress-worker"), database.path(),
                           QString::number(milliseconds), QString::number(seed),
                           QString::number(upgraded)});
            workers << worker;
        }
        Tally total;
        for (QProcess* worker : std::as_const(workers)) {
            QVERIFY(worker->waitForFinished(static_cast<int>(milliseconds) + 60000));
            QCOMPARE(worker->exitCode(), 0);
            const QString line = QString::fromUtf8(worker->readAllStandardOutput()).trimmed();
            qInfo("%s", qPrintable(line));
            for (const QString& pair : line.split(u' '))
                total.add(qPrintable(pair.section(u'=', 0, 0)), pair.section(u'=', 1).toLongLong());
        }
        const QMap<QString, qint64>& did = total.counts;
        for (auto it = did.cbegin(); it != did.cend(); ++it)
            both.counts[it.key()] += it.value();
        QCOMPARE(did.value(QStringLiteral("errors")), 0);
        QCOMPARE(did.value(QStringLiteral("codeGivenAgain")), 0);

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
        // (A cancelled bill's lines stay when the registration, nothing paid on it any more,
        // is removed.)
        QCOMPARE(number("SELECT COUNT(*) FROM StatementSub ss JOIN Statement st ON "
                        "st.StmID = ss.StmID WHERE st.IsCancel = '0' AND NOT EXISTS (SELECT 1 "
                        "FROM StudentCourse sc WHERE sc.StdID = st.StdID AND "
                        "sc.CourseNo = ss.CourseNo)"),
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
        // No bill cancelled twice: each cancellation flagged one bill, and the paid amounts
        // above count only the valid ones.
        QCOMPARE(number("SELECT COUNT(*) FROM Statement WHERE IsCancel = '1'"),
                 did.value(QStringLiteral("cancelled")));
        QCOMPARE(number("SELECT COUNT(*) FROM Expense"),
                 kept + did.value(QStringLiteral("expenseAdded")) -
                     did.value(QStringLiteral("expenseDeleted")));
        QCOMPARE(number("SELECT COUNT(*) FROM [TimeStamp]"),
                 kept + did.value(QStringLiteral("lessonAdded")) -
                     did.value(QStringLiteral("lessonDeleted")));
        // No code of a deleted expense, lesson or class given again, and no record carries the
        // mark of a deleted one (an edit meant for it written over another).
        QCOMPARE(number("SELECT COUNT(*) FROM StressDeleted d WHERE EXISTS (SELECT 1 FROM "
                        "Expense WHERE ExpID = d.Code OR ExpDesc = d.Mark OR ExpDesc LIKE "
                        "d.Mark || ' %') OR EXISTS (SELECT 1 FROM [TimeStamp] WHERE StmID = "
                        "d.Code OR StmTime1 = d.Mark) OR EXISTS (SELECT 1 FROM CourseTable WHERE "
                        "d.Kind = 'class' AND CourseNo = d.Code)"),
                 0);
        QCOMPARE(number("SELECT COUNT(*) FROM (SELECT ExpDesc FROM Expense GROUP BY "
                        "substr(ExpDesc, 1, instr(ExpDesc || ' ', ' ')) HAVING COUNT(*) > 1)"),
                 0);
        QCOMPARE(number("SELECT COUNT(*) FROM (SELECT 1 FROM [TimeStamp] GROUP BY StmTime1 "
                        "HAVING COUNT(*) > 1)"),
                 0);
        // No lesson without its class, no attendance row without its lesson.
        QCOMPARE(number("SELECT COUNT(*) FROM [TimeStamp] ts WHERE NOT EXISTS (SELECT 1 FROM "
                        "CourseTable ct WHERE ct.CourseNo = ts.CourseNo)"),
                 0);
        QCOMPARE(number("SELECT (SELECT COUNT(*) FROM TimeStampTeacher a WHERE NOT EXISTS "
                        "(SELECT 1 FROM [TimeStamp] ts WHERE ts.StmID = a.StmID)) + (SELECT "
                        "COUNT(*) FROM TimeStampStudent a WHERE NOT EXISTS (SELECT 1 FROM "
                        "[TimeStamp] ts WHERE ts.StmID = a.StmID))"),
                 0);
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 6 && args.at(1) == QStringLiteral("--stress-worker"))
        return runWorker(args.at(2), args.at(3).toLongLong(), args.at(4).toUInt(),
                         args.at(5) == QStringLiteral("1"));
    tst_stress test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stress.moc"
