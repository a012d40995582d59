#pragma once

#include "core/DbError.h"
#include "core/Query.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <memory>

// Whether opening may make a new school in a missing or empty file.
enum class NewSchool { Refuse, Make };

// The one connection to the database file. Opened on first use (and again when
// closed). Nothing is written to a file before it is known to be a school of this
// program, of this version or older, that the program may write; an older one is
// upgraded. Journal: WAL, or the rollback journal on a network filesystem. Statements
// run on SQLite's own interface under the Qt connection, each prepared once and reused.
// Closing refreshes the query planner's statistics where they are missing or stale.
class Connection {
public:
    // What makes a freshly opened file a usable school: checks that it is one (or may
    // become one), brings its schema up to date, tunes and sets the journal. Throws DbError.
    using Preparation = void (*)(Connection&, NewSchool);

    // The program's one connection; it opens school files (SchoolFile.cpp).
    static Connection& shared();

    // Opens the file at Seams::databasePath(); throws DbError, NoSchoolError when the
    // file holds no school and `newSchool` is Refuse. Nothing is left open on failure.
    void open(NewSchool newSchool = NewSchool::Refuse);
    void close();
    bool isOpen() const;
    QSqlDatabase database(); // opens first when closed

    // Runs one statement with its "?" values bound; throws DbError. An invalid QVariant
    // and a null QString bind as NULL; an empty non-null QString binds as ''.
    Query exec(const QString& sql, const QVariantList& params = {});
    // First column of the first row, or an invalid QVariant when there is no row.
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    // Gives back what the connection holds between reads: the page cache's unused pages and
    // the pages of the file mapped into memory (mapped again as they are read).
    void releaseMemory();

    // The absolute path of the open file.
    QString path() const { return m_openPath; }
    // Page cache, memory map and flushing for a school's file.
    void tune();
    // WAL, or the rollback journal on a network filesystem.
    void setJournalMode();

private:
    explicit Connection(Preparation prepare) : m_prepare(prepare) {}
    void connect(const QString& path, NewSchool newSchool);
    Preparation m_prepare;
    void keepStatisticsCurrent();
    StatementCache& statements();
    QString m_openPath;
    std::unique_ptr<StatementCache> m_statements;
    bool m_usable = false; // the file is a school of this program, set up
};

// While it lives, a read that sorts keeps little of its sort in memory: SQLite gives its
// sorter as much memory as the page cache and sorts the rest in runs on disk that it merges.
// The sort is done when the statement's first row has been read.
class SmallSort {
public:
    SmallSort();
    ~SmallSort();
    SmallSort(const SmallSort&) = delete;
    SmallSort& operator=(const SmallSort&) = delete;
};

// One write transaction (BEGIN IMMEDIATE); rolled back unless committed.
class Transaction {
public:
    Transaction();
    // BEGIN EXCLUSIVE: in rollback-journal mode no other desk reads until it ends.
    static Transaction exclusive();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    explicit Transaction(const QString& begin);
    bool m_done = false;
};
