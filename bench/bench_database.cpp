// Times the program's database work on a large school (50,000 pupils, 500,000
// registrations, 2,000 classes, 100,000 bills) against its floor: the bare SQLite C API
// running the same statements, each prepared once and reused, on a connection set up
// alike (page cache, memory map, synchronous FULL). Every figure is the median of
// several rounds with their spread; program and floor take turns at going first. The
// peak memory of the full read is taken in a process of its own per round, with the
// main window open. A payment's commit waits for the disk: its limit holds for the
// processor time.
//
// Usage: bench_database [database file]   (built when missing; default: bench_database.db
// in the folder VADEL_BENCH_DIR names, which keeps it between runs, or a temporary file)
// Run it from a Release build.

#include "BenchSupport.h"
#include "billing/PaymentStore.h"
#include "core/Database.h"
#include "core/Recordset.h"
#include "core/Seams.h"
#include "frame/DialogSeams.h"
#include "frame/Library.h"
#include "shell/MDIForm1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace {

constexpr int pupils = 50'000;
constexpr int classesPerPupil = 10;
constexpr int classes = 2'000;
constexpr int bills = 100'000;
constexpr int rounds = 7;
constexpr int readRounds = 5;

QByteArray code(int n) {
    return QByteArray::number(n).rightJustified(7, '0');
}

// Class k of pupil p: the pupil's ten classes are spread over the timetable.
int classOf(int pupil, int k) {
    return (pupil * 7 + k * 197) % classes + 1;
}

sqlite3* openFloor(const QString& path) {
    sqlite3* db = openBare(path);
    if (!db)
        throw std::runtime_error("cannot open the database");
    return db;
}

void fill(const QString& path) {
    static const char16_t* const firsts[] = {u"ธนกร", u"ณัฐวุฒิ",  u"ภูมิพัฒน์",  u"กิตติพัฒน์", u"เอกชัย",
                                             u"ไชยา", u"โชคชัย", u"แพรวา",  u"ใบเตย",  u"เบญจมาศ",
                                             u"ศิริพร", u"อรอุมา", u"กมลชนก", u"สมศรี"};
    static const char16_t* const lasts[] = {u"สุขสวัสดิ์", u"ใจดี",    u"ทองคำ",  u"ศรีสุข",
                                            u"แก้วมณี",  u"บุญมา",   u"เจริญสุข", u"โชติช่วง",
                                            u"แสงทอง", u"ชัยมงคล", u"มั่นคง",   u"อินทร์แก้ว"};
    Seams::setDatabasePath(path);
    Connection::shared().open(NewSchool::Make); // the program's schema
    Connection::shared().close();
    sqlite3* db = openFloor(path);
    bareExec(db, "BEGIN");
    {
        Stmt course(db, "INSERT INTO Course (CourseID, CourseName, CourseStartDate, "
                        "CourseEndDate, CourseStatus) VALUES (?, ?, '20260101', '', ?)");
        for (int i = 1; i <= 40; ++i)
            course.bind(1, QByteArray("C") + QByteArray::number(i).rightJustified(2, '0'))
                .bind(2, QStringLiteral("คอร์สที่ %1").arg(i).toUtf8())
                .bind(3, QByteArray(i % 8 ? "1" : "0"))
                .run();
        Stmt klass(db,
                   "INSERT INTO CourseTable (CourseNo, CourseID, CourseLevel, Subject, "
                   "CourseDate, CourseTime, CoursePrice, DateStart, DateEnd, TimeHour, RoomNo) "
                   "VALUES (?, ?, ?, ?, 'ส-อา', '09.00-12.00', 3000, '20261201', ?, 30, '101')");
        for (int i = 1; i <= classes; ++i)
            klass.bind(1, code(i))
                .bind(2, QByteArray("C") + QByteArray::number(i % 40 + 1).rightJustified(2, '0'))
                .bind(3, QStringLiteral("ม.%1").arg(i % 6 + 1).toUtf8())
                .bind(4, QStringLiteral("วิชา %1").arg(i % 7).toUtf8())
                .bind(5, QByteArray(i % 5 ? "20270331" : ""))
                .run();
        QRandomGenerator random(2026);
        Stmt student(db, "INSERT INTO Student (StdID, StdName, StdNickName, StdAddr, StdLevel, "
                         "StdTel, StdSex) VALUES (?, ?, ?, ?, ?, '081-234-5678', ?)");
        Stmt registration(db, "INSERT INTO StudentCourse (StdID, CourseNo, CourseRegDate, "
                              "CoursePayAmt, CoursePayDate, CourseGrade) "
                              "VALUES (?, ?, ?, ?, ?, '')");
        for (int p = 1; p <= pupils; ++p) {
            const QString first = QString::fromUtf16(firsts[random.bounded(14)]);
            student.bind(1, code(p))
                .bind(2, (first + u' ' + QString::fromUtf16(lasts[random.bounded(12)]) +
                          QString::number(p % 97))
                             .toUtf8())
                .bind(3, first.left(3).toUtf8())
                .bind(4, QStringLiteral("%1 ถนนพหลโยธิน\r\nกรุงเทพฯ 10400").arg(p).toUtf8())
                .bind(5, QStringLiteral("ม.%1").arg(p % 6 + 1).toUtf8())
                .bind(6, QByteArray(p % 2 ? "M" : "F"))
                .run();
            for (int k = 0; k < classesPerPupil; ++k) {
                const QByteArray date = "202611" + QByteArray::number(k + 10);
                // The first three classes of every pupil are open, the rest paid in part or full.
                registration.bind(1, code(p))
                    .bind(2, code(classOf(p, k)))
                    .bind(3, date)
                    .bind(4, k < 3 ? 0.0 : (k < 5 ? 1000.0 : 3000.0))
                    .bind(5, date)
                    .run();
            }
        }
        Stmt bill(db, "INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, "
                      "IsCancel, UserID, UserCancelID) VALUES (?, '20261201', ?, 3000, ?, '0', "
                      "'admin', '')");
        Stmt line(db, "INSERT INTO StatementSub (StmID, StmItem, CourseNo, StmAmt, StmOBal) "
                      "VALUES (?, 1, ?, 3000, 3000)");
        for (int b = 1; b <= bills; ++b) {
            const QByteArray id = "69" + QByteArray::number(b).rightJustified(6, '0');
            bill.bind(1, id)
                .bind(2, code(b % pupils + 1))
                .bind(3, "69-" + QByteArray::number(b % 100000).rightJustified(5, '0'))
                .run();
            line.bind(1, id).bind(2, code(b % classes + 1)).run();
        }
        bareExec(db, "UPDATE CtrlSetup SET ShopBiLLAutoRun = '1', ShopBiLLYY = '69', "
                     "ShopBiLLNo = '00000', ShopAddr = '1 ถนนสาทร'");
    }
    bareExec(db, "COMMIT");
    sqlite3_close(db);
}

struct Spread {
    double median = 0;
    double low = 0;
    double high = 0;
};

Spread spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

// A limit of 0: the figure is shown without one.
void report(const char* what, const char* unit, const Spread& program, const Spread& floor,
            double limit) {
    const double ratio = program.median / floor.median;
    std::printf("%-36s program %9.1f %s (%.1f-%.1f)  floor %9.1f %s (%.1f-%.1f)  x%.2f", what,
                program.median, unit, program.low, program.high, floor.median, unit, floor.low,
                floor.high, ratio);
    if (limit > 0)
        std::printf(" (limit x%.1f)%s", limit, ratio <= limit ? "" : "  OVER");
    std::printf("\n");
}

// Runs the program's and the floor's version of one operation, a round each in turn, the
// two taking turns at going first; each figure is the time of one operation in
// microseconds. The limit holds for the time on the clock, or for the processor time
// when the disk's flush of a commit (the same for both) is left apart. A first run of
// each, not timed, shows that the floor runs the statements the program runs.
enum class Limit { Clock, Processor };
void compare(const char* what, int perRound, const std::function<void(int)>& program,
             sqlite3* floorDb, const std::function<void(int)>& floor, double limit,
             Limit on = Limit::Clock) {
    {
        StatementTrace programTrace(programHandle());
        StatementTrace floorTrace(floorDb);
        program(rounds * perRound);
        floor(rounds * perRound);
        sameStatements(what, programTrace.statements(), floorTrace.statements());
    }
    std::vector<double> programTimes, floorTimes, programCpu, floorCpu;
    int index = 0;
    for (int r = 0; r < rounds; ++r) {
        std::pair<const std::function<void(int)>*, std::vector<double>*> sides[2] = {
            {&program, &programTimes}, {&floor, &floorTimes}};
        std::vector<double>* cpu[2] = {&programCpu, &floorCpu};
        for (int turn = 0; turn < 2; ++turn) {
            const int side = r % 2 ? 1 - turn : turn;
            QElapsedTimer timer;
            timer.start();
            const double cpuAtStart = processorNanoseconds();
            for (int i = 0; i < perRound; ++i)
                (*sides[side].first)(index + i);
            sides[side].second->push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0 /
                                          perRound);
            cpu[side]->push_back((processorNanoseconds() - cpuAtStart) / 1000.0 / perRound);
        }
        index += perRound;
    }
    report(what, "us", spread(programTimes), spread(floorTimes), on == Limit::Clock ? limit : 0);
    if (on == Limit::Processor)
        report("  in processor time (no disk flush)", "us", spread(programCpu), spread(floorCpu),
               limit);
}

// The unpaid classes of a pupil, as the payment window lists them.
const char* const unpaidSql =
    "SELECT CourseNo, CourseName, CourseLevel, Subject, CourseDate, CourseTime, DateStart, "
    "DateEnd, CoursePrice, CoursePayAmt, CoursePayDate FROM QStudentCourse WHERE StdID = ? AND "
    "CoursePayAmt < CoursePrice AND CourseStatus = '1' ORDER BY CourseID, CourseNo";
const char* const pupilSql =
    "SELECT StdID, StdName, StdLevel, StdAddr FROM Student WHERE StdID = ?";
const char* const fullReadSql = "SELECT * FROM QStudentCourse3";
const char* const nameSql = "SELECT StdID, StdName, StdNickName FROM Student WHERE StdName LIKE "
                            "'%' || ? || '%' ORDER BY StdName COLLATE THAI";

// As a desk leaves the school: a pupil and the pupil's unpaid classes looked up, then the
// school closed, which keeps the query planner's statistics as the program keeps them.
void useAsADesk(const QString& path) {
    Seams::setDatabasePath(path);
    Library::OpenRecordset(QString::fromLatin1(pupilSql), {QStringLiteral("0000001")});
    Library::OpenRecordset(QString::fromLatin1(unpaidSql), {QStringLiteral("0000001")});
    Connection::shared().close();
}

// The statements a three-line payment runs, on the bare API.
class FloorPosting {
public:
    explicit FloorPosting(sqlite3* db)
        : m_check(db, "SELECT ct.CoursePrice, sc.CoursePayAmt FROM StudentCourse sc "
                      "JOIN CourseTable ct ON ct.CourseNo = sc.CourseNo "
                      "WHERE sc.StdID = ? AND sc.CourseNo = ?"),
          m_largest(db, "SELECT MAX([StmID]) FROM [Statement] WHERE length([StmID]) = ? AND "
                        "[StmID] NOT GLOB '*[^0-9]*'"),
          m_lastGiven(db, "SELECT LastCode FROM CodeSeries WHERE Series = ? AND Prefix = ?"),
          m_given(db, "INSERT INTO CodeSeries (Series, Prefix, LastCode) VALUES (?, ?, ?) ON "
                      "CONFLICT (Series, Prefix) DO UPDATE SET LastCode = excluded.LastCode"),
          m_setup(db, "SELECT rowid, ShopAddr, ShopTel, ShopFax, ShopBiLLAutoRun, ShopBiLLYY, "
                      "ShopBiLLNo FROM CtrlSetup LIMIT 1"),
          m_counter(db, "UPDATE CtrlSetup SET ShopBiLLYY = ?, ShopBiLLNo = ? WHERE rowid = ?"),
          m_bill(db, "INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, "
                     "IsCancel, UserID, UserCancelID) VALUES (?, ?, ?, ?, ?, '0', ?, '')"),
          m_line(db, "INSERT INTO StatementSub (StmID, StmItem, CourseNo, StmAmt, StmOBal) "
                     "VALUES (?, ?, ?, ?, ?)"),
          m_paid(db, "UPDATE StudentCourse SET CoursePayAmt = ?, CoursePayDate = ? "
                     "WHERE StdID = ? AND CourseNo = ?"),
          m_begin(db, "BEGIN IMMEDIATE"), m_commit(db, "COMMIT") {}

    void post(int pupil) {
        const QByteArray stdId = code(pupil);
        const QByteArray today = "20261206";
        m_begin.run();
        double paid[3];
        double owed[3];
        for (int k = 0; k < 3; ++k) {
            m_check.bind(1, stdId).bind(2, code(classOf(pupil, k)));
            if (!m_check.step())
                throw std::runtime_error("no registration");
            owed[k] =
                sqlite3_column_double(m_check.get(), 0) - sqlite3_column_double(m_check.get(), 1);
            paid[k] = sqlite3_column_double(m_check.get(), 1) + 1.0;
            m_check.reset();
        }
        // The bill's code: after the largest stored and the last handed out.
        const QByteArray series = QByteArrayLiteral("Statement.StmID");
        m_largest.bind(1, sqlite3_int64(8));
        const QByteArray stored = text(m_largest);
        m_lastGiven.bind(1, series).bind(2, QByteArray(""));
        const QByteArray last = text(m_lastGiven);
        const QByteArray stmId = QByteArray::number(std::max(stored, last).toLongLong() + 1);
        m_given.bind(1, series).bind(2, QByteArray("")).bind(3, stmId).run();
        // The bill number: the proposal confirmed, taken again as the counter's next.
        m_setup.step();
        const sqlite3_int64 setupRow = sqlite3_column_int64(m_setup.get(), 0);
        const QByteArray yy(reinterpret_cast<const char*>(sqlite3_column_text(m_setup.get(), 5)));
        const long long counter =
            QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(m_setup.get(), 6)))
                .toLongLong();
        m_setup.reset();
        const QByteArray number = QByteArray::number(counter + 1).rightJustified(5, '0');
        const QByteArray docNo = yy + '-' + number;
        m_counter.bind(1, yy).bind(2, number).bind(3, setupRow).run();
        m_bill.bind(1, stmId)
            .bind(2, today)
            .bind(3, stdId)
            .bind(4, 3.0)
            .bind(5, docNo)
            .bind(6, QByteArray("admin"))
            .run();
        for (int k = 0; k < 3; ++k) {
            const QByteArray courseNo = code(classOf(pupil, k));
            m_line.bind(1, stmId)
                .bind(2, sqlite3_int64(k + 1))
                .bind(3, courseNo)
                .bind(4, 1.0)
                .bind(5, owed[k])
                .run();
            m_paid.bind(1, paid[k]).bind(2, today).bind(3, stdId).bind(4, courseNo).run();
        }
        m_commit.run();
    }

private:
    // The first column of the statement's row, empty when it gives none; ready to run again.
    static QByteArray text(Stmt& stmt) {
        const unsigned char* value = stmt.step() ? sqlite3_column_text(stmt.get(), 0) : nullptr;
        const QByteArray found = value ? QByteArray(reinterpret_cast<const char*>(value)) : "";
        stmt.reset();
        return found;
    }
    Stmt m_check, m_largest, m_lastGiven, m_given, m_setup, m_counter, m_bill, m_line, m_paid,
        m_begin, m_commit;
};

double elapsedMs(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// One full read of the registrations reading every value, on the program's connection or
// on a bare one; returns the milliseconds taken.
double readProgram() {
    QElapsedTimer timer;
    timer.start();
    Recordset all = Recordset::forwardOnly(QString::fromLatin1(fullReadSql));
    // Each row taken into a list of values, as the report engine takes it.
    QVariantList values(all.fieldIndex(QStringLiteral("CourseStatus")) + 1);
    long long rows = 0;
    for (; !all.isEOF(); all.MoveNext(), ++rows)
        for (qsizetype c = 0; c < values.size(); ++c)
            values[c] = all.value(static_cast<int>(c));
    if (rows != pupils * classesPerPupil)
        throw std::runtime_error("the full read failed");
    return elapsedMs(timer);
}

double readFloor(sqlite3* db) {
    QElapsedTimer timer;
    timer.start();
    Stmt all(db, fullReadSql);
    if (all.drain() != pupils * classesPerPupil)
        throw std::runtime_error("the full read failed");
    return elapsedMs(timer);
}

// One full read in a process of its own with the main window open, as the program runs;
// prints the process's peak memory in megabytes.
int readOnce(const QString& who, const QString& path) {
    MDIForm1 main;
    main.show();
    QCoreApplication::processEvents();
    if (who == QStringLiteral("floor")) {
        sqlite3* db = openFloor(path);
        readFloor(db);
        sqlite3_close(db);
    } else {
        Seams::setDatabasePath(path);
        Connection::shared().open();
        readProgram();
        Connection::shared().close();
    }
    std::printf("%.1f\n", static_cast<double>(peakKilobytes()) / 1024.0);
    return 0;
}

// The time of the full read, program and floor taking turns in this process, and the peak
// memory of each in processes of their own.
void compareFullRead(const QString& path, sqlite3* floor) {
    std::vector<double> times[2];
    for (int r = 0; r < rounds; ++r) {
        // The first round's statements are traced: a trace costs a call per statement run.
        std::optional<StatementTrace> programTrace, floorTrace;
        if (r == 0) {
            programTrace.emplace(programHandle());
            floorTrace.emplace(floor);
        }
        if (r % 2)
            times[1].push_back(readFloor(floor));
        times[0].push_back(readProgram());
        if (r % 2 == 0)
            times[1].push_back(readFloor(floor));
        if (r == 0)
            sameStatements("full read of 500,000 registrations", programTrace->statements(),
                           floorTrace->statements());
    }
    report("full read of 500,000 registrations", "ms", spread(times[0]), spread(times[1]), 1.3);
    std::vector<double> memory[2];
    const QString who[2] = {QStringLiteral("program"), QStringLiteral("floor")};
    for (int r = 0; r < readRounds; ++r) {
        for (int side = 0; side < 2; ++side) {
            QProcess process;
            process.start(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--read"), who[side], path});
            process.waitForFinished(-1);
            bool ok = false;
            memory[side].push_back(process.readAllStandardOutput().trimmed().toDouble(&ok));
            if (!ok || process.exitCode() != 0)
                throw std::runtime_error("the full read failed");
        }
    }
    const Spread programMemory = spread(memory[0]);
    const Spread floorMemory = spread(memory[1]);
    // The limit of the full read's peak, the process holding its main window and the mapped
    // file; the median is held against it.
    constexpr double memoryLimit = 100;
    std::printf("%-36s program %9.1f MB (%.1f-%.1f)  floor %9.1f MB (%.1f-%.1f)  (limit %.0f "
                "MB)%s\n",
                "  peak memory, a process each", programMemory.median, programMemory.low,
                programMemory.high, floorMemory.median, floorMemory.low, floorMemory.high,
                memoryLimit, programMemory.median <= memoryLimit ? "" : "  OVER");
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Seams::setMessageHandler([](Seams::MessageKind, const QString& text, bool) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return Library::vbNo;
    });
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args.at(1) == QStringLiteral("--read"))
        return readOnce(args.at(2), args.at(3));

    QTemporaryDir temporary;
    const QString folder = qEnvironmentVariableIsSet("VADEL_BENCH_DIR")
                               ? qEnvironmentVariable("VADEL_BENCH_DIR")
                               : temporary.path();
    QDir().mkpath(folder);
    const QString path =
        args.size() > 1 ? args.at(1) : QDir(folder).filePath(QStringLiteral("bench_database.db"));
    if (!QFile::exists(path)) {
        QElapsedTimer timer;
        timer.start();
        fill(path);
        useAsADesk(path);
        std::printf("built %d pupils, %d registrations, %d classes, %d bills in %.1f s\n", pupils,
                    pupils * classesPerPupil, classes, bills,
                    static_cast<double>(timer.elapsed()) / 1000.0);
    }
    Seams::setDatabasePath(path);
    Seams::setNow(QDateTime(QDate(2026, 12, 6), QTime(9, 0)));
    Connection::shared().open();
    sqlite3* floor = openFloor(path);

    // The program's side gets its values as the windows have them: texts already made.
    QList<QByteArray> codes;
    QStringList codeTexts;
    QRandomGenerator random(7);
    for (int i = 0; i < 20'000; ++i) {
        codes << code(random.bounded(1, pupils + 1));
        codeTexts << QString::fromLatin1(codes.last());
    }
    const auto texts = [](std::initializer_list<const char*> names) {
        QStringList list;
        for (const char* name : names)
            list << QString::fromLatin1(name);
        return list;
    };

    Stmt pupil(floor, pupilSql);
    const QString pupilText = QString::fromLatin1(pupilSql);
    const QStringList pupilColumns = texts({"StdID", "StdName", "StdLevel", "StdAddr"});
    compare(
        "pupil by code", 2000,
        [&](int i) {
            const Recordset rs = Library::OpenRecordset(pupilText, {codeTexts.at(i)});
            for (const QString& name : pupilColumns)
                rs.text(name);
        },
        floor, [&](int i) { pupil.bind(1, codes.at(i)).drain(); }, 1.5);

    Stmt unpaid(floor, unpaidSql);
    const QString unpaidText = QString::fromLatin1(unpaidSql);
    Money owed;
    const QStringList unpaidColumns =
        texts({"CoursePrice", "CoursePayAmt", "CourseNo", "CourseName", "CourseLevel", "Subject",
               "CourseDate", "DateStart", "DateEnd"});
    compare(
        "a pupil's unpaid classes", 500,
        [&](int i) {
            Recordset rs = Library::OpenRecordset(unpaidText, {codeTexts.at(i)});
            for (; !rs.isEOF(); rs.MoveNext()) {
                for (const QString& name : unpaidColumns)
                    rs.text(name);
                owed += rs.money(unpaidColumns.at(0)) - rs.money(unpaidColumns.at(1));
            }
        },
        floor, [&](int i) { unpaid.bind(1, codes.at(i)).drain(); }, 1.5);

    // The search dialogs' look-up by part of a name, in the Thai dictionary order.
    const QList<QByteArray> names = {"ใจดี1", "แพรวา ทอง", "ชัย", "สมศรี บุญมา9"};
    QStringList nameTexts;
    for (const QByteArray& name : names)
        nameTexts << QString::fromUtf8(name);
    const QString nameText = QString::fromLatin1(nameSql);
    Stmt byName(floor, nameSql);
    compare(
        "pupils by part of a name", 8,
        [&](int i) {
            Recordset rs = Library::OpenRecordset(nameText, {nameTexts.at(i % 4)});
            for (; !rs.isEOF(); rs.MoveNext())
                rs.text(QStringLiteral("StdName"));
        },
        floor, [&](int i) { byName.bind(1, names.at(i % 4)).drain(); }, 0);

    FloorPosting floorPosting(floor);
    compare(
        "post a three-line payment", 40,
        [&](int i) {
            // The clerk confirms the number the dialog proposed: the posting takes the
            // counter's next number again.
            const QString proposed =
                QStringLiteral("69-%1").arg(i % 100000, 5, 10, QLatin1Char('0'));
            Payment payment{QString::fromLatin1(code(2 * i + 1)),
                            proposed,
                            {},
                            QStringLiteral("20261206"),
                            QStringLiteral("admin"),
                            {},
                            proposed};
            for (int k = 0; k < 3; ++k)
                payment.lines << PaymentLine{k + 1,
                                             QString::fromLatin1(code(classOf(2 * i + 1, k))),
                                             Money::fromSatang(100)};
            if (PaymentStore::post(payment, Seams::today()).status != PaymentResult::Status::Posted)
                throw std::runtime_error("the payment was not posted");
        },
        floor, [&](int i) { floorPosting.post(2 * i + 2); }, 1.5, Limit::Processor);
    compareFullRead(path, floor);
    sqlite3_close(floor);
    Connection::shared().close();
    return 0;
}
