#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

// The result columns of one prepared statement, looked up by name without regard to case.
// Built once when the statement is prepared and shared by everything that reads its rows.
class Columns {
public:
    explicit Columns(sqlite3_stmt* statement);
    const QStringList& names() const { return m_names; }
    int count() const { return static_cast<int>(m_names.size()); }
    // The column of that name; a name that a join repeats gives its first column. -1 when none.
    int indexOf(const QString& name) const;

private:
    QStringList m_names;
    QHash<QString, int> m_exact;
    QHash<QString, int> m_folded; // lower-case name -> column
};

class PreparedStatement;

// One statement running on the connection: bound, executed, its rows read forward.
// It holds a prepared statement of the connection's cache and gives it back, reset, when
// the last row has been read or the query goes, so that a read never holds the database
// longer than it is read.
class Query {
public:
    Query() = default;
    Query(Query&& other) noexcept;
    Query& operator=(Query&& other) noexcept;
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    ~Query();

    // Moves to the next row (the first on the first call); false after the last.
    // Throws DbError when reading fails.
    bool next();
    // Values of the current row. NULL is an invalid QVariant; an integer is a qlonglong,
    // a real a double, a text a QString.
    QVariant value(int column) const;
    bool isNull(int column) const;
    const std::shared_ptr<const Columns>& columns() const { return m_columns; }
    // The statement positioned on the current row, for readers that convert values themselves.
    sqlite3_stmt* handle() const { return m_onRow ? *m_handle : nullptr; }

    // Gives the statement back before the last row has been read.
    void finish() { release(); }

    // Rows changed by an insert, update or delete.
    int numRowsAffected() const { return m_changes; }

private:
    friend class StatementCache;
    Query(std::shared_ptr<PreparedStatement> statement, const QVariantList& params);
    void release();

    std::shared_ptr<PreparedStatement> m_statement;
    // The held statement's handle, which a closing connection sets to null.
    sqlite3_stmt* const* m_handle = nullptr;
    std::shared_ptr<const Columns> m_columns;
    bool m_rowPending = false; // the first row is read but next() has not shown it yet
    bool m_onRow = false;
    int m_changes = 0;
};

// The statements of one connection, each prepared once and reused, keyed by their SQL text.
// The least recently used is finalized when more than a small number are kept.
class StatementCache {
public:
    explicit StatementCache(sqlite3* handle);
    // Finalizes every statement, also those of queries still alive (they then read no rows),
    // so that the connection can close.
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // Prepares (or takes from the cache), binds and runs one statement; throws DbError.
    // A statement still being read by another query is prepared again for this one alone.
    Query run(const QString& sql, const QVariantList& params);
    sqlite3* handle() const { return m_handle; }

private:
    std::shared_ptr<PreparedStatement> take(const QString& sql);
    void evictLeastRecent();

    sqlite3* m_handle;
    QHash<QString, std::shared_ptr<PreparedStatement>> m_statements;
    // Statements outside the cache that a query may still hold.
    std::vector<std::weak_ptr<PreparedStatement>> m_detached;
    quint64 m_clock = 0;
};

// A value of a row as Query::value gives it. Reading a row's values through
// sqlite3_column_value is safe here: the connection is used by one thread only.
QVariant storedValue(sqlite3_value* value);
