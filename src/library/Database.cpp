#include "library/Database.h"

#include "library/Schema.h"
#include "library/Seams.h"

#include <QCollator>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <cstring>
#include <sqlite3.h>

namespace {

const QString connectionName = QStringLiteral("vadel");

// Thai dictionary order for names and texts; equal keys fall back to code-point
// order so that distinct texts never compare equal. Equal bytes are equal texts
// without decoding them (an index search mostly compares a key with itself).
int thaiCompare(void*, int lengthA, const void* a, int lengthB, const void* b) {
    if (lengthA == lengthB && std::memcmp(a, b, static_cast<size_t>(lengthA)) == 0)
        return 0;
    thread_local QCollator collator(QLocale(QLocale::Thai, QLocale::Thailand));
    const QString left = QString::fromUtf8(static_cast<const char*>(a), lengthA);
    const QString right = QString::fromUtf8(static_cast<const char*>(b), lengthB);
    const int order = collator.compare(left, right);
    if (order != 0)
        return order;
    return left.compare(right);
}

QString driverText(const QSqlError& error) {
    return error.text().isEmpty() ? QStringLiteral("unknown database error") : error.text();
}

} // namespace

void registerThaiCollation(sqlite3* handle) {
    sqlite3_create_collation(handle, "THAI", SQLITE_UTF8, nullptr, thaiCompare);
}

Connection& Connection::shared() {
    static Connection connection;
    return connection;
}

bool Connection::isOpen() const {
    return QSqlDatabase::contains(connectionName) &&
           QSqlDatabase::database(connectionName, false).isOpen();
}

void Connection::open() {
    const QString path = Seams::databasePath();
    if (isOpen() && m_openPath == path)
        return;
    close();
    QSqlDatabase db = QSqlDatabase::contains(connectionName)
                          ? QSqlDatabase::database(connectionName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw DbError(QStringLiteral("เปิดฐานข้อมูลไม่ได้: ") + path + QStringLiteral("\n") +
                      driverText(db.lastError()));
    m_openPath = path;
    try {
        const QVariant handle = db.driver()->handle();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
            throw DbError(QStringLiteral("not an SQLite connection: ") + path);
        m_statements =
            std::make_unique<StatementCache>(*static_cast<sqlite3* const*>(handle.constData()));
        configure(db);
    } catch (const DbError&) {
        close(); // never leave a file open without its schema
        throw;
    }
}

void Connection::configure(QSqlDatabase& db) {
    registerThaiCollation(*static_cast<sqlite3* const*>(db.driver()->handle().constData()));
    // A school's file (about 75 MB with 500,000 registrations) fits the page cache; reads
    // go through a memory map where the file allows it. Every commit reaches the disk.
    exec(QStringLiteral("PRAGMA cache_size = -65536"));
    exec(QStringLiteral("PRAGMA mmap_size = 268435456"));
    exec(QStringLiteral("PRAGMA synchronous = FULL"));
    exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    const QString mode = scalar(QStringLiteral("PRAGMA journal_mode = WAL")).toString();
    if (mode.compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0 &&
        mode.compare(QStringLiteral("memory"), Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("ตั้งค่าฐานข้อมูล (WAL) ไม่ได้: ") + mode);
    Schema::ensure(*this);
}

void Connection::close() {
    m_statements.reset(); // a statement left open would keep the file open
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    m_openPath.clear();
}

QSqlDatabase Connection::database() {
    open();
    return QSqlDatabase::database(connectionName, false);
}

StatementCache& Connection::statements() {
    if (!m_statements)
        open();
    return *m_statements;
}

Query Connection::exec(const QString& sql, const QVariantList& params) {
    return statements().run(sql, params);
}

QVariant Connection::scalar(const QString& sql, const QVariantList& params) {
    Query query = exec(sql, params);
    if (!query.next())
        return {};
    return query.value(0);
}

Transaction::Transaction() {
    Connection::shared().exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction() {
    if (m_done)
        return;
    try {
        Connection::shared().exec(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
        // The engine has already rolled the transaction back.
    }
}

void Transaction::commit() {
    Connection::shared().exec(QStringLiteral("COMMIT"));
    m_done = true;
}
