#pragma once

// What the benchmarks share (inline: a benchmark need not use them all): one prepared
// statement of the bare SQLite C API, a bare connection set up as the program's, the
// statements a connection runs as SQLite traces them, the peak memory of a process, and
// the median and 95th percentile of a series of timings beside the bare figures.

#include "core/Database.h"

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

// The database library's Thai collation, registered on every connection it opens.
void registerThaiCollation(sqlite3* handle);

// A thin wrapper of one prepared statement of the bare API, to be reused.
class Stmt {
public:
    Stmt(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Stmt() { sqlite3_finalize(m_stmt); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    Stmt& bind(int index, const QByteArray& text) {
        sqlite3_bind_text(m_stmt, index, text.constData(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Stmt& bind(int index, double value) {
        sqlite3_bind_double(m_stmt, index, value);
        return *this;
    }
    Stmt& bind(int index, sqlite3_int64 value) {
        sqlite3_bind_int64(m_stmt, index, value);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(m_stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(sqlite3_db_handle(m_stmt)));
        return rc == SQLITE_ROW;
    }
    // Runs a statement that gives no rows, ready to run again.
    void run() {
        step();
        reset();
    }
    void reset() { sqlite3_reset(m_stmt); }
    // Reads every value of every row as stored, as a caller filling a list would;
    // ready to run again.
    int drain() {
        int rows = 0;
        while (step()) {
            for (int c = 0; c < sqlite3_column_count(m_stmt); ++c) {
                if (sqlite3_column_type(m_stmt, c) == SQLITE_TEXT)
                    sqlite3_column_text(m_stmt, c);
                else
                    sqlite3_column_double(m_stmt, c);
            }
            ++rows;
        }
        reset();
        return rows;
    }
    sqlite3_stmt* get() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

inline void bareExec(sqlite3* db, const char* sql) {
    Stmt(db, sql).step();
}

// A second connection to the file through the bare API, as the program's own
// connection sets it up (Qt opens it for one thread); null when it cannot be opened.
inline sqlite3* openBare(const QString& path) {
    sqlite3* bare = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &bare,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(bare);
        return nullptr;
    }
    sqlite3_busy_timeout(bare, 5000);
    registerThaiCollation(bare);
    for (const char* pragma : {"PRAGMA cache_size = -65536", "PRAGMA mmap_size = 268435456",
                               "PRAGMA synchronous = FULL", "PRAGMA foreign_keys = ON"})
        bareExec(bare, pragma);
    return bare;
}

// The SQLite connection under the program's one connection (opened when closed).
inline sqlite3* programHandle() {
    const QVariant handle = Connection::shared().database().driver()->handle();
    return *static_cast<sqlite3* const*>(handle.constData());
}

// The statements a connection runs while this lives, in the order it runs them, each as the
// text it was prepared from (a trigger's own statements left out).
class StatementTrace {
public:
    explicit StatementTrace(sqlite3* db) : m_db(db) {
        sqlite3_trace_v2(db, SQLITE_TRACE_STMT, record, this);
    }
    ~StatementTrace() { sqlite3_trace_v2(m_db, 0, nullptr, nullptr); }
    StatementTrace(const StatementTrace&) = delete;
    StatementTrace& operator=(const StatementTrace&) = delete;
    const QStringList& statements() const { return m_statements; }

private:
    static int record(unsigned, void* self, void* statement, void* text) {
        if (QByteArray(static_cast<const char*>(text)).startsWith("--"))
            return 0;
        static_cast<StatementTrace*>(self)->m_statements
            << QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(statement)));
        return 0;
    }
    sqlite3* m_db;
    QStringList m_statements;
};

// Whether a floor ran the statements the program ran, each as many times; says so (and
// whether in the same order: the order of two reads may follow the compiler's order of
// evaluating arguments), or names the statements that one side ran more often.
inline bool sameStatements(const char* what, const QStringList& program, const QStringList& floor) {
    QMap<QString, int> surplus; // the program's runs of a statement less the floor's
    for (const QString& statement : program)
        ++surplus[statement];
    for (const QString& statement : floor)
        --surplus[statement];
    const bool same = std::all_of(surplus.cbegin(), surplus.cend(), [](int n) { return n == 0; });
    if (same) {
        std::printf("%s: the floor runs the program's %lld statements (%lld different)%s\n", what,
                    static_cast<long long>(program.size()), static_cast<long long>(surplus.size()),
                    program == floor ? ", in the same order" : ", in another order");
        return true;
    }
    std::printf("%s: THE FLOOR RUNS OTHER STATEMENTS than the program\n", what);
    for (auto it = surplus.cbegin(); it != surplus.cend(); ++it)
        if (it.value() != 0)
            std::printf("  %s %d more times: %s\n", it.value() > 0 ? "program" : "floor",
                        std::abs(it.value()), qPrintable(it.key()));
    return false;
}

// The processor time of this process so far, in nanoseconds: on a busy machine closer to what
// a case costs than the time on the clock, and without the wait for the disk.
inline double processorNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

struct Figures {
    double median = 0;
    double p95 = 0;
};

inline Figures summarise(std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    return {micros[micros.size() / 2], micros[micros.size() * 95 / 100]};
}

inline void report(const char* what, const Figures& program, const Figures& bare) {
    std::printf("%-44s program %9.1f us (p95 %9.1f)   bare SQLite %9.1f us (p95 %9.1f)   x%.2f\n",
                what, program.median, program.p95, bare.median, bare.p95,
                program.median / bare.median);
}

// The peak resident memory of this process image, in kilobytes. (getrusage would also
// count the memory of a benchmark that started this one, which Linux carries over exec.)
inline long peakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression hwm(QStringLiteral("VmHWM:\\s*(\\d+)"));
    return hwm.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}
