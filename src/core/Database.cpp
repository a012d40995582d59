#include "core/Database.h"

#include "core/Seams.h"

#include <QCollator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QThread>
#include <cstring>
#include <sqlite3.h>

namespace {

const QString connectionName = QStringLiteral("vadel");
// How long a statement waits for another desk's lock, in milliseconds.
constexpr int busyTimeout = 5000;

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
}

void Connection::tune() {
    // A school's file (about 90 MB with 500,000 registrations) fits the page cache; reads
    // go through a memory map, except on a network filesystem, where another host's
    // writes need not reach the map. Every commit reaches the disk.
    exec(QStringLiteral("PRAGMA cache_size = -65536"));
    if (!Seams::isOnNetworkFileSystem(m_openPath))
        exec(QStringLiteral("PRAGMA mmap_size = 268435456"));
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
