// Times the payment window's two hot paths on a large school, each beside the
// bare SQLite C API running the same statements: loading one pupil's unpaid
// classes, and posting a payment of three lines. Run it from a Release build.

#include "billing/PaymentPosting.h"
#include "billing/frmPay.h"
#include "library/Database.h"
#include "library/Library.h"
#include "library/Seams.h"
#include "support/TestSupport.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int pupils = 50'000;
constexpr int classesPerPupil = 10;
constexpr int classes = 2'000;
constexpr int bills = 100'000;
constexpr int rounds = 300;

QString code(int n) {
    return QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0'));
}

// Class k of pupil p: the pupil's ten classes are spread over the timetable.
int classOf(int pupil, int k) {
    return (pupil * 7 + k * 197) % classes + 1;
}

void seed() {
    Connection& db = Connection::shared();
    Transaction transaction;
    QSqlQuery course(db.database());
    course.prepare(
        QStringLiteral("INSERT INTO Course (CourseID, CourseName, CourseStartDate, "
                       "CourseEndDate, CourseStatus) VALUES (?, ?, '20260101', '', '1')"));
    for (int i = 1; i <= 40; ++i) {
        course.addBindValue(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')));
        course.addBindValue(QStringLiteral("คอร์สที่ %1").arg(i));
        course.exec();
    }
    QSqlQuery klass(db.database());
    klass.prepare(QStringLiteral(
        "INSERT INTO CourseTable (CourseNo, CourseID, CourseLevel, Subject, CourseDate, "
        "CourseTime, CoursePrice, DateStart, DateEnd, TimeHour, RoomNo) VALUES "
        "(?, ?, 'ม.3', 'คณิตศาสตร์', 'ส-อา', '09.00-12.00', 3000, '20261201', ?, 30, '101')"));
    for (int i = 1; i <= classes; ++i) {
        klass.addBindValue(code(i));
        klass.addBindValue(QStringLiteral("C%1").arg(i % 40 + 1, 2, 10, QLatin1Char('0')));
        klass.addBindValue(i % 5 == 0 ? QVariant() : QVariant(QStringLiteral("20270331")));
        klass.exec();
    }
    QSqlQuery student(db.database());
    student.prepare(QStringLiteral("INSERT INTO Student (StdID, StdName, StdNickName, StdAddr, "
                                   "StdLevel) VALUES (?, ?, ?, '1 ถนนสาทร', 'ม.3')"));
    QSqlQuery registration(db.database());
    registration.prepare(QStringLiteral(
        "INSERT INTO StudentCourse (StdID, CourseNo, CourseRegDate, CoursePayAmt, CoursePayDate, "
        "CourseGrade) VALUES (?, ?, '20261201', ?, '20261201', '')"));
    for (int p = 1; p <= pupils; ++p) {
        student.addBindValue(code(p));
        student.addBindValue(QStringLiteral("นักเรียน ทดสอบที่ %1").arg(p));
        student.addBindValue(QStringLiteral("เล่น %1").arg(p % 1000));
        student.exec();
        for (int k = 0; k < classesPerPupil; ++k) {
            registration.addBindValue(code(p));
            registration.addBindValue(code(classOf(p, k)));
            // Most classes are paid in full; the first three of every pupil are open.
            registration.addBindValue(k < 3 ? 0.0 : (k < 5 ? 1000.0 : 3000.0));
            registration.exec();
        }
    }
    QSqlQuery bill(db.database());
    bill.prepare(
        QStringLiteral("INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, "
                       "IsCancel, UserID, UserCancelID) VALUES (?, '20261201', ?, 3000, ?, "
                       "'0', 'admin', '')"));
    QSqlQuery line(db.database());
    line.prepare(
        QStringLiteral("INSERT INTO StatementSub (StmID, StmItem, CourseNo, StmAmt, StmOBal) "
                       "VALUES (?, 1, ?, 3000, 3000)"));
    for (int b = 1; b <= bills; ++b) {
        const QString id = QStringLiteral("69%1").arg(b, 6, 10, QLatin1Char('0'));
        bill.addBindValue(id);
        bill.addBindValue(code(b % pupils + 1));
        bill.addBindValue(QStringLiteral("69-%1").arg(b % 100000, 5, 10, QLatin1Char('0')));
        bill.exec();
        line.addBindValue(id);
        line.addBindValue(code(b % classes + 1));
        line.exec();
    }
    db.exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = '1', ShopBiLLYY = '69', "
                           "ShopBiLLNo = '00000'"));
    transaction.commit();
    db.exec(QStringLiteral("ANALYZE"));
}

const char* const unpaidSql =
    "SELECT CourseNo, CourseName, CourseLevel, Subject, CourseDate, CourseTime, DateStart, "
    "DateEnd, CoursePrice, CoursePayAmt, CoursePayDate FROM QStudentCourse WHERE StdID = ? AND "
    "CoursePayAmt < CoursePrice AND CourseStatus = '1' ORDER BY CourseID, CourseNo";

// The statements the posting runs, for one bill of three lines.
void barePost(sqlite3* db, int pupil, const QByteArray& docNo) {
    const QByteArray stdId = code(pupil).toUtf8();
    bareExec(db, "BEGIN IMMEDIATE");
    for (int k = 0; k < 3; ++k) {
        Stmt check(db, "SELECT sc.CoursePayAmt, ct.CoursePrice FROM StudentCourse sc JOIN "
                       "CourseTable ct ON ct.CourseNo = sc.CourseNo WHERE sc.StdID = ? AND "
                       "sc.CourseNo = ?");
        check.bind(1, stdId).bind(2, code(classOf(pupil, k)).toUtf8()).drain();
    }
    Stmt largest(db, "SELECT MAX([StmID]) FROM [Statement] WHERE [StmID] NOT GLOB '*[^0-9]*' "
                     "AND [StmID] <> ''");
    largest.step();
    const sqlite3_int64 next =
        QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(largest.get(), 0)))
            .toLongLong() +
        1;
    const QByteArray stmId = QStringLiteral("%1").arg(next, 8, 10, QLatin1Char('0')).toUtf8();
    Stmt setup(db, "SELECT [CtrlSetup].rowid AS __rowid__, * FROM CtrlSetup");
    setup.step();
    const sqlite3_int64 setupRow = sqlite3_column_int64(setup.get(), 0);
    Stmt(db, "UPDATE [CtrlSetup] SET [ShopBiLLNo] = ? WHERE rowid = ?")
        .bind(1, docNo.right(5))
        .bind(2, setupRow)
        .step();
    Stmt(db, "SELECT [Statement].rowid AS __rowid__, * FROM Statement WHERE StmID = ?")
        .bind(1, stmId)
        .drain();
    Stmt(db, "INSERT INTO [Statement] ([StmID], [StmDate], [StdID], [StmNetAmt], [StmDocNo], "
             "[IsCancel], [UserID], [UserCancelID]) VALUES (?, '20261206', ?, 3.0, ?, '0', "
             "'admin', '')")
        .bind(1, stmId)
        .bind(2, stdId)
        .bind(3, docNo)
        .step();
    Stmt(db, "SELECT [StatementSub].rowid AS __rowid__, * FROM StatementSub WHERE StmID = ?")
        .bind(1, stmId)
        .drain();
    for (int k = 0; k < 3; ++k) {
        const QByteArray courseNo = code(classOf(pupil, k)).toUtf8();
        Stmt(db, "INSERT INTO [StatementSub] ([StmID], [StmItem], [CourseNo], [StmAmt], "
                 "[StmOBal]) VALUES (?, ?, ?, 1.0, 3000.0)")
            .bind(1, stmId)
            .bind(2, sqlite3_int64(k + 1))
            .bind(3, courseNo)
            .step();
        Stmt registration(db, "SELECT [StudentCourse].rowid AS __rowid__, * FROM StudentCourse "
                              "WHERE StdID = ? AND CourseNo = ?");
        registration.bind(1, stdId).bind(2, courseNo).step();
        const sqlite3_int64 row = sqlite3_column_int64(registration.get(), 0);
        const double paid = sqlite3_column_double(registration.get(), 4);
        Stmt(db, "UPDATE [StudentCourse] SET [CoursePayAmt] = ?, [CoursePayDate] = ? WHERE "
                 "rowid = ?")
            .bind(1, paid + 1.0)
            .bind(2, QByteArrayLiteral("20261206"))
            .bind(3, row)
            .step();
    }
    bareExec(db, "COMMIT");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestDatabase database;
    Fixture::school();

    QElapsedTimer timer;
    timer.start();
    seed();
    std::printf("seeded %d pupils, %d registrations, %d classes, %d bills in %.1f s\n", pupils,
                pupils * classesPerPupil, classes, bills,
                static_cast<double>(timer.elapsed()) / 1000);

    sqlite3* bare = openBare(database.path());
    if (!bare)
        return 1;

    QRandomGenerator random(20261206);
    frmPay window;
    std::vector<double> programLoad, bareLoad, windowLoad;
    int listed = 0;
    for (int i = 0; i < rounds; ++i) {
        const QString pupil = code(random.bounded(1, pupils + 1));
        timer.restart();
        const Recordset rows = Library::OpenRecordset(QString::fromUtf8(unpaidSql), true, {pupil});
        programLoad.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000);
        listed += rows.RecordCount();
        timer.restart();
        window.LoadUnpaidCourses(pupil);
        windowLoad.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000);
        timer.restart();
        Stmt statement(bare, unpaidSql);
        statement.bind(1, pupil.toUtf8());
        statement.drain();
        bareLoad.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000);
    }
    std::printf("unpaid classes listed per pupil: %.1f\n", static_cast<double>(listed) / rounds);
    report("load unpaid classes (record set)", summarise(programLoad), summarise(bareLoad));
    report("load unpaid classes (window list filled)", summarise(windowLoad), summarise(bareLoad));

    std::vector<double> programPost, barePosts;
    for (int i = 0; i < rounds; ++i) {
        const int pupil = 2 * i + 1;
        QList<PaymentLine> lines;
        for (int k = 0; k < 3; ++k)
            lines << PaymentLine{k + 1, code(classOf(pupil, k)), Money::fromBaht(1)};
        const QString docNo = QStringLiteral("69-%1").arg(i + 1, 5, 10, QLatin1Char('0'));
        timer.restart();
        PaymentPosting posting(code(pupil), docNo, lines);
        if (posting.post().status != PaymentResult::Status::Posted)
            return 2;
        programPost.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000);
        timer.restart();
        barePost(bare, pupil + 1, docNo.toUtf8());
        barePosts.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000);
    }
    report("post a payment of three lines", summarise(programPost), summarise(barePosts));
    sqlite3_close(bare);
    return 0;
}
