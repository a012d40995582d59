#pragma once

#include "library/Query.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <memory>
#include <stdexcept>

// A failing statement; what() carries the statement's purpose and the driver's text.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The one connection to the database file. Opened on first use (and again when
// closed); a new file gets the whole schema. Statements run on SQLite's own interface
// under the Qt connection, each prepared once and reused.
class Connection {
public:
    static Connection& shared();

    // Opens the file at Seams::databasePath(); throws DbError.
    void open();
    void close();
    bool isOpen() const;
    QSqlDatabase database(); // opens first when closed

    // Runs one statement with its "?" values bound; throws DbError. An invalid QVariant
    // and a null QString bind as NULL; an empty non-null QString binds as ''.
    Query exec(const QString& sql, const QVariantList& params = {});
    // First column of the first row, or an invalid QVariant when there is no row.
    QVariant scalar(const QString& sql, const QVariantList& params = {});

private:
    Connection() = default;
    void configure(QSqlDatabase& db);
    StatementCache& statements();
    QString m_openPath;
    std::unique_ptr<StatementCache> m_statements;
};

// One write transaction (BEGIN IMMEDIATE); rolled back unless committed.
class Transaction {
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    bool m_done = false;
};
