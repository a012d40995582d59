#pragma once

// What the benchmarks share (inline: a benchmark need not use them all): one prepared
// statement of the bare SQLite C API, and the median and 95th percentile of a series of
// timings beside the bare figures.

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

// The database library's Thai collation, registered on every connection it opens.
void registerThaiCollation(sqlite3* handle);

namespace {

// A thin wrapper of one prepared statement of the bare API.
class Stmt {
public:
    Stmt(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
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
    // Reads every column of every row, as a caller filling a list would.
    int drain() {
        int rows = 0;
        while (step()) {
            for (int c = 0; c < sqlite3_column_count(m_stmt); ++c)
                sqlite3_column_text(m_stmt, c);
            ++rows;
        }
        return rows;
    }
    sqlite3_stmt* get() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// A second connection to the file through the bare API, as the program's own
// connection sets it up; null when it cannot be opened.
inline sqlite3* openBare(const QString& path) {
    sqlite3* bare = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &bare) != SQLITE_OK) {
        sqlite3_close(bare);
        return nullptr;
    }
    sqlite3_busy_timeout(bare, 5000);
    registerThaiCollation(bare);
    return bare;
}

inline void bareExec(sqlite3* db, const char* sql) {
    Stmt(db, sql).step();
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

} // namespace
