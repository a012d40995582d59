#include "core/Database.h"

#include "core/Seams.h"
#include "core/ThaiOrder.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QThread>
#include <sqlite3.h>

namespace {

const QString connectionName = QStringLiteral("vadel");
// How long a statement waits for another desk's lock, in milliseconds.
constexpr int busyTimeout = 5000;
// The page cache, in kilobytes, and the memory map, in bytes (see Connection::tune).
constexpr int pageCacheKilobytes = 65536;
constexpr qint64 mapBytes = 268435456;
// What SQLite's sorter keeps in memory while a sorted read starts, in kilobytes.
constexpr int sortKilobytes = 8192;

QString cacheSize(int kilobytes) {
    return QStringLiteral("PRAGMA cache_size = -%1").arg(kilobytes);
}

// The Thai dictionary order of the report engine and of every sorted list.
int thaiCompare(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return ThaiOrder::compareUtf8(static_cast<const char*>(a), lengthA, static_cast<const char*>(b),
                                  lengthB);
}

QString driverText(const QSqlError& error) {
    return error.text().isEmpty() ? QStringLiteral("unknown database error") : error.text();
}

// The program must write to its database: a file or folder it may only read is refused
// before the first payment can fail.
void refuseUnlessWritable(const QString& path, bool exists) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if ((exists && !file.isWritable()) || !folder.isWritable())
        throw DbError(QStringLiteral("แฟ้มฐานข้อมูลหรือโฟลเดอร์ของแฟ้มเป็นแบบอ่านอย่างเดียว "
                                     "โปรแกรมบันทึกข้อมูลลงไปไม่ได้:\n") +
                      path + QStringLiteral("\nขอให้ผู้ดูแลระบบอนุญาตให้เขียนแฟ้มและโฟลเดอร์นี้ก่อนใช้งาน"));
}

} // namespace

void registerThaiCollation(sqlite3* handle) {
    sqlite3_create_collation(handle, "THAI", SQLITE_UTF8, nullptr, thaiCompare);
}

bool Connection::isOpen() const {
    return QSqlDatabase::contains(connectionName) &&
           QSqlDatabase::database(connectionName, false).isOpen();
}

void Connection::open(NewSchool newSchool) {
    const QString path = QFileInfo(Seams::databasePath()).absoluteFilePath();
    if (isOpen() && m_openPath == path)
        return;
    close();
    const bool exists = QFileInfo::exists(path);
    if (!exists && newSchool == NewSchool::Refuse)
        throw NoSchoolError(QStringLiteral("ไม่พบแฟ้มฐานข้อมูล:\n") + path);
    refuseUnlessWritable(path, exists);
    try {
        connect(path, newSchool);
    } catch (const DbError&) {
        close(); // never leave a file open that is not known to be a usable school
        throw;
    }
}

void Connection::connect(const QString& path, NewSchool newSchool) {
    QSqlDatabase db = QSqlDatabase::contains(connectionName)
                          ? QSqlDatabase::database(connectionName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=") + QString::number(busyTimeout));
    if (!db.open())
        throw DbError(QStringLiteral("เปิดฐานข้อมูลไม่ได้: ") + path + QStringLiteral("\n") +
                      driverText(db.lastError()));
    m_openPath = path;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw DbError(QStringLiteral("not an SQLite connection: ") + path);
    sqlite3* connection = *static_cast<sqlite3* const*>(handle.constData());
    registerThaiCollation(connection);
    m_statements = std::make_unique<StatementCache>(connection);
    exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    m_prepare(*this, newSchool);
    m_usable = true;
}

void Connection::tune() {
    // A school's file (about 90 MB with 500,000 registrations) fits the page cache; reads
    // go through a memory map, except on a network filesystem, where another host's
    // writes need not reach the map. Every commit reaches the disk.
    exec(cacheSize(pageCacheKilobytes));
    if (!Seams::isOnNetworkFileSystem(m_openPath))
        exec(QStringLiteral("PRAGMA mmap_size = %1").arg(mapBytes));
    exec(QStringLiteral("PRAGMA synchronous = FULL"));
}

// WAL lets the desks read while one writes, but needs every desk on the file's own host.
void Connection::setJournalMode() {
    const QString wanted =
        Seams::isOnNetworkFileSystem(m_openPath) ? QStringLiteral("delete") : QStringLiteral("wal");
    const QString pragma = QStringLiteral("PRAGMA journal_mode = ") + wanted;
    QString mode;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        try {
            mode = scalar(pragma).toString();
            break;
        } catch (const DbError&) {
            // The switch does not wait for a desk that holds the file (to make or check the
            // schema) while this one reads it: try again until that desk is done.
            if (waited.elapsed() > busyTimeout)
                throw;
            QThread::msleep(10);
        }
    }
    if (mode.compare(wanted, Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("ตั้งค่าฐานข้อมูล (") + wanted + QStringLiteral(") ไม่ได้: ") + mode);
}

void Connection::close() {
    keepStatisticsCurrent();
    m_usable = false;
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

// The query planner's statistics, as SQLite advises keeping them on closing: refreshed for
// the tables this desk searched where they are stale (the table has grown many times over).
// Statistics of some tables and none of others mislead the planner more than none at all
// (it would scan the registrations for a range of pupils), so a school that lacks them
// for a table with an index (an empty table has none) is analysed whole. Sampled, so that
// it takes milliseconds even on a large school; it waits for no other desk, and a desk that cannot
// do it leaves it to the next. Only a school known to be usable is written to.
void Connection::keepStatisticsCurrent() {
    if (!m_usable || !isOpen())
        return;
    try {
        exec(QStringLiteral("PRAGMA busy_timeout = 0"));
        exec(QStringLiteral("PRAGMA analysis_limit = 1000"));
        const bool known = scalar(QStringLiteral("SELECT count(*) FROM sqlite_master "
                                                 "WHERE name = 'sqlite_stat1'"))
                               .toInt() > 0;
        const QString unanalysed = QStringLiteral(
            "SELECT 1 FROM sqlite_master t WHERE t.type = 'table' AND t.name NOT LIKE 'sqlite_%' "
            "AND EXISTS (SELECT 1 FROM sqlite_master i WHERE i.type = 'index' AND i.tbl_name = "
            "t.name) AND NOT EXISTS (SELECT 1 FROM sqlite_stat1 s WHERE s.tbl = t.name) LIMIT 1");
        if (!known || scalar(unanalysed).isValid())
            exec(QStringLiteral("ANALYZE"));
        else
            exec(QStringLiteral("PRAGMA optimize"));
    } catch (const DbError&) {
        // Another desk holds the file (or it is read-only now): the statistics stay as they are.
    }
}

void Connection::releaseMemory() {
    if (!m_usable || !isOpen())
        return;
    sqlite3_db_release_memory(m_statements->handle());
    if (Seams::isOnNetworkFileSystem(m_openPath))
        return;
    try {
        // A new limit maps the file anew: the pages of the old map leave the process.
        exec(QStringLiteral("PRAGMA mmap_size = %1").arg(mapBytes - 1));
        exec(QStringLiteral("PRAGMA mmap_size = %1").arg(mapBytes));
    } catch (const DbError&) {
        // The map stays as it is; it goes with the connection.
    }
}

SmallSort::SmallSort() {
    Connection::shared().exec(cacheSize(sortKilobytes));
}

SmallSort::~SmallSort() {
    try {
        Connection::shared().exec(cacheSize(pageCacheKilobytes));
    } catch (const DbError&) {
        // The connection has closed meanwhile: the next one sets its cache afresh.
    }
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

Transaction::Transaction() : Transaction(QStringLiteral("BEGIN IMMEDIATE")) {}

Transaction::Transaction(const QString& begin) {
    Connection::shared().exec(begin);
}

Transaction Transaction::exclusive() {
    return Transaction(QStringLiteral("BEGIN EXCLUSIVE"));
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
