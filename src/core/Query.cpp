#include "core/Query.h"

#include "core/DbError.h"

#include <sqlite3.h>

namespace {

// Enough for every statement the program runs again and again; statements built
// with their values spliced in come and go without crowding those out for long.
constexpr qsizetype cacheCapacity = 96;

QString sqliteMessage(sqlite3* handle) {
    return QString::fromUtf8(sqlite3_errmsg(handle));
}

// A step that failed because another desk kept the lock is told apart from other failures.
[[noreturn]] void throwStepError(int rc, const QString& message) {
    if ((rc & 0xff) == SQLITE_BUSY)
        throw DbBusyError(message);
    throw DbError(message);
}

bool isNullValue(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return true;
    if (value.typeId() == QMetaType::QString)
        return static_cast<const QString*>(value.constData())->isNull();
    if (value.typeId() == QMetaType::QByteArray)
        return static_cast<const QByteArray*>(value.constData())->isNull();
    return false;
}

int bindText(sqlite3_stmt* statement, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text64(statement, index, utf8.constData(),
                               static_cast<sqlite3_uint64>(utf8.size()), SQLITE_TRANSIENT,
                               SQLITE_UTF8);
}

int bindValue(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (isNullValue(value))
        return sqlite3_bind_null(statement, index);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case QMetaType::QByteArray: {
        const auto* bytes = static_cast<const QByteArray*>(value.constData());
        return sqlite3_bind_blob64(statement, index, bytes->constData(),
                                   static_cast<sqlite3_uint64>(bytes->size()), SQLITE_TRANSIENT);
    }
    case QMetaType::QString:
        return bindText(statement, index, *static_cast<const QString*>(value.constData()));
    default:
        return bindText(statement, index, value.toString());
    }
}

bool isBlank(const char* text) {
    for (; *text; ++text)
        if (!QChar::isSpace(static_cast<uchar>(*text)) && *text != ';')
            return false;
    return true;
}

} // namespace

// One statement prepared on the connection, with its columns.
class PreparedStatement {
public:
    PreparedStatement(sqlite3* handle, const QString& sql, bool persistent) : m_sql(sql) {
        const QByteArray utf8 = sql.toUtf8();
        const char* tail = nullptr;
        const int rc =
            sqlite3_prepare_v3(handle, utf8.constData(), int(utf8.size()) + 1,
                               persistent ? SQLITE_PREPARE_PERSISTENT : 0, &m_statement, &tail);
        if (rc != SQLITE_OK)
            throw DbError(sqliteMessage(handle) + QStringLiteral("\n") + sql);
        if (!m_statement || (tail && !isBlank(tail))) {
            sqlite3_finalize(m_statement);
            m_statement = nullptr;
            throw DbError(QStringLiteral("one statement at a time:\n") + sql);
        }
        m_columns = std::make_shared<const Columns>(m_statement);
    }
    ~PreparedStatement() { finalize(); }
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    void finalize() {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
    sqlite3_stmt* handle() const { return m_statement; }
    sqlite3_stmt* const* handleSlot() const { return &m_statement; }
    const QString& sql() const { return m_sql; }

    // The columns, built again only when SQLite has prepared the statement anew after a
    // change of the schema (a "SELECT *" may then give other columns).
    const std::shared_ptr<const Columns>& columns() {
        const int reprepared = sqlite3_stmt_status(m_statement, SQLITE_STMTSTATUS_REPREPARE, 0);
        if (reprepared != m_reprepared) {
            m_reprepared = reprepared;
            m_columns = std::make_shared<const Columns>(m_statement);
        }
        return m_columns;
    }

    bool busy = false;
    quint64 lastUse = 0;

private:
    QString m_sql;
    sqlite3_stmt* m_statement = nullptr;
    std::shared_ptr<const Columns> m_columns;
    int m_reprepared = 0;
};

Columns::Columns(sqlite3_stmt* statement) {
    const int count = sqlite3_column_count(statement);
    m_names.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(sqlite3_column_name(statement, i));
        m_names << name;
        m_exact.insert(name, m_exact.value(name, i));
        const QString folded = name.toLower();
        m_folded.insert(folded, m_folded.value(folded, i));
    }
}

int Columns::indexOf(const QString& name) const {
    // A name asked for is mostly spelt as the statement spells it, and the few names of a
    // statement are compared faster than one name is hashed.
    if (m_names.size() <= 16) {
        const int found = static_cast<int>(m_names.indexOf(name));
        if (found >= 0)
            return found;
    } else if (const auto exact = m_exact.constFind(name); exact != m_exact.constEnd()) {
        return *exact;
    }
    return m_folded.value(name.toLower(), -1);
}

QVariant storedValue(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(value));
    case SQLITE_NULL:
        return {};
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_value_blob(value));
        return QVariant(QByteArray(data, sqlite3_value_bytes(value)));
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        return QVariant(QString::fromUtf8(text, sqlite3_value_bytes(value)));
    }
    }
}

Query::Query(std::shared_ptr<PreparedStatement> statement, const QVariantList& params)
    : m_statement(std::move(statement)), m_handle(m_statement->handleSlot()) {
    sqlite3_stmt* handle = m_statement->handle();
    sqlite3* connection = sqlite3_db_handle(handle);
    const QString sql = m_statement->sql();
    if (sqlite3_bind_parameter_count(handle) != params.size()) {
        release();
        throw DbError(QStringLiteral("%1 values for %2 parameters:\n")
                          .arg(params.size())
                          .arg(sqlite3_bind_parameter_count(handle)) +
                      sql);
    }
    for (int i = 0; i < params.size(); ++i) {
        if (bindValue(handle, i + 1, params.at(i)) != SQLITE_OK) {
            const QString message = sqliteMessage(connection);
            release();
            throw DbError(message + QStringLiteral("\n") + sql);
        }
    }
    const int rc = sqlite3_step(handle);
    m_columns = m_statement->columns();
    if (rc == SQLITE_ROW) {
        m_rowPending = true;
        return;
    }
    if (rc == SQLITE_DONE) {
        if (!sqlite3_stmt_readonly(handle))
            m_changes = sqlite3_changes(connection);
        release();
        return;
    }
    const QString message = sqliteMessage(connection);
    release();
    throwStepError(rc, message + QStringLiteral("\n") + sql);
}

Query::Query(Query&& other) noexcept
    : m_statement(std::move(other.m_statement)), m_handle(other.m_handle),
      m_columns(std::move(other.m_columns)), m_rowPending(other.m_rowPending),
      m_onRow(other.m_onRow), m_changes(other.m_changes) {
    other.m_rowPending = other.m_onRow = false;
}

Query& Query::operator=(Query&& other) noexcept {
    if (this != &other) {
        release();
        m_statement = std::move(other.m_statement);
        m_handle = other.m_handle;
        m_columns = std::move(other.m_columns);
        m_rowPending = other.m_rowPending;
        m_onRow = other.m_onRow;
        m_changes = other.m_changes;
        other.m_rowPending = other.m_onRow = false;
    }
    return *this;
}

Query::~Query() {
    release();
}

void Query::release() {
    m_rowPending = false;
    m_onRow = false;
    if (!m_statement)
        return;
    if (m_statement->handle())
        sqlite3_reset(m_statement->handle());
    m_statement->busy = false;
    m_statement.reset();
}

bool Query::next() {
    if (m_rowPending) {
        m_rowPending = false;
        m_onRow = true;
        return true;
    }
    m_onRow = false;
    if (!m_statement || !m_statement->handle()) {
        release();
        return false;
    }
    sqlite3_stmt* statement = m_statement->handle();
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        m_onRow = true;
        return true;
    }
    if (rc == SQLITE_DONE) {
        release();
        return false;
    }
    const QString message =
        sqliteMessage(sqlite3_db_handle(statement)) + QStringLiteral("\n") + m_statement->sql();
    release();
    throwStepError(rc, message);
}

QVariant Query::value(int column) const {
    sqlite3_stmt* statement = handle();
    if (!statement || column < 0 || column >= m_columns->count())
        return {};
    return storedValue(sqlite3_column_value(statement, column));
}

bool Query::isNull(int column) const {
    sqlite3_stmt* statement = handle();
    return !statement || column < 0 || column >= m_columns->count() ||
           sqlite3_column_type(statement, column) == SQLITE_NULL;
}

StatementCache::StatementCache(sqlite3* handle) : m_handle(handle) {}

StatementCache::~StatementCache() {
    for (const std::shared_ptr<PreparedStatement>& statement : std::as_const(m_statements))
        statement->finalize();
    for (const std::weak_ptr<PreparedStatement>& detached : m_detached)
        if (const std::shared_ptr<PreparedStatement> statement = detached.lock())
            statement->finalize();
}

Query StatementCache::run(const QString& sql, const QVariantList& params) {
    return Query(take(sql), params);
}

std::shared_ptr<PreparedStatement> StatementCache::take(const QString& sql) {
    std::erase_if(m_detached, [](const auto& detached) { return detached.expired(); });
    if (const auto cached = m_statements.constFind(sql); cached != m_statements.constEnd()) {
        const std::shared_ptr<PreparedStatement>& statement = *cached;
        if (!statement->busy) {
            statement->busy = true;
            statement->lastUse = ++m_clock;
            return statement;
        }
        auto alone = std::make_shared<PreparedStatement>(m_handle, sql, false);
        alone->busy = true;
        m_detached.push_back(alone);
        return alone;
    }
    if (m_statements.size() >= cacheCapacity)
        evictLeastRecent();
    auto statement = std::make_shared<PreparedStatement>(m_handle, sql, true);
    statement->busy = true;
    statement->lastUse = ++m_clock;
    m_statements.insert(sql, statement);
    return statement;
}

void StatementCache::evictLeastRecent() {
    auto oldest = m_statements.begin();
    for (auto it = m_statements.begin(); it != m_statements.end(); ++it)
        if ((*it)->lastUse < (*oldest)->lastUse)
            oldest = it;
    if ((*oldest)->busy)
        m_detached.push_back(*oldest);
    m_statements.erase(oldest);
}
