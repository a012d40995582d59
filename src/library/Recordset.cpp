#include "library/Recordset.h"

#include "library/Database.h"
#include "library/Query.h"

#include <QRegularExpression>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

const QString rowIdColumn = QStringLiteral("__rowid__");

// The single table of an updatable select, and the select with the table's rowid added.
QString withRowId(const QString& sql, QString& table) {
    static const QRegularExpression fromTable(
        QStringLiteral("\\bfrom\\s+\\[?([A-Za-z_][A-Za-z0-9_]*)\\]?"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression selectWord(QStringLiteral("^\\s*select\\s+"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch from = fromTable.match(sql);
    const QRegularExpressionMatch select = selectWord.match(sql);
    if (!from.hasMatch() || !select.hasMatch())
        throw DbError(QStringLiteral("record set cannot be updated:\n") + sql);
    table = from.captured(1);
    QString result = sql;
    result.insert(select.capturedEnd(), QStringLiteral("[") + table +
                                            QStringLiteral("].rowid AS ") + rowIdColumn +
                                            QStringLiteral(", "));
    return result;
}

// The texts of a column that repeat (a course name on every registration of the course)
// become one shared string each. A column whose texts hardly repeat (a code, a name) is
// given up soon, so that it costs neither time nor memory.
class TextPool {
public:
    explicit TextPool(int columns) : m_columns(static_cast<size_t>(columns)) {}

    QString text(sqlite3_stmt* statement, int column) {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        const int size = sqlite3_column_bytes(statement, column);
        ColumnTexts& texts = m_columns[static_cast<size_t>(column)];
        if (texts.givenUp)
            return QString::fromUtf8(data, size);
        const std::string_view bytes(data, static_cast<size_t>(size));
        if (const auto found = texts.shared.find(bytes); found != texts.shared.end()) {
            ++texts.hits;
            return found->second;
        }
        QString text = QString::fromUtf8(data, size);
        if (++texts.misses > 256 && texts.hits < texts.misses) {
            texts.givenUp = true;
            texts.shared.clear();
        } else if (texts.shared.size() < 4096) {
            texts.shared.emplace(std::string(bytes), text);
        }
        return text;
    }

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view bytes) const {
            return std::hash<std::string_view>{}(bytes);
        }
    };
    struct ColumnTexts {
        std::unordered_map<std::string, QString, Hash, std::equal_to<>> shared;
        int hits = 0;
        int misses = 0;
        bool givenUp = false;
    };
    std::vector<ColumnTexts> m_columns;
};

} // namespace

Recordset Recordset::open(const QString& sql, const QVariantList& params, bool readOnly) {
    Recordset rs;
    rs.m_readOnly = readOnly;
    rs.m_firstColumn = readOnly ? 0 : 1;
    Query query = Connection::shared().exec(readOnly ? sql : withRowId(sql, rs.m_table), params);
    rs.m_columns = query.columns();
    rs.readAll(query);
    return rs;
}

void Recordset::readAll(Query& query) {
    const int columns = m_columns->count();
    TextPool pool(columns);
    while (query.next()) {
        sqlite3_stmt* statement = query.handle();
        QVariantList row;
        row.reserve(columns - m_firstColumn);
        for (int i = m_firstColumn; i < columns; ++i) {
            if (sqlite3_column_type(statement, i) == SQLITE_TEXT)
                row << pool.text(statement, i);
            else
                row << columnValue(statement, i);
        }
        m_rows << row;
        if (!m_readOnly)
            m_rowIds << sqlite3_column_int64(statement, 0);
    }
}

Recordset Recordset::forwardOnly(const QString& sql, const QVariantList& params) {
    Recordset rs;
    rs.m_cursor = std::make_shared<Query>(Connection::shared().exec(sql, params));
    rs.m_columns = rs.m_cursor->columns();
    rs.m_cursorEnd = !rs.m_cursor->next();
    rs.m_cursorEmpty = rs.m_cursorEnd;
    return rs;
}

bool Recordset::isEOF() const {
    return m_cursor ? m_cursorEnd : m_position >= RecordCount();
}

void Recordset::MoveFirst() {
    if (m_cursor && m_position != 0)
        throw DbError(QStringLiteral("a forward-only record set cannot go back"));
    m_position = 0;
}

void Recordset::MoveNext() {
    if (m_cursor && !m_cursorEnd)
        m_cursorEnd = !m_cursor->next();
    ++m_position;
}

int Recordset::columnCount() const {
    return m_columns ? m_columns->count() - m_firstColumn : 0;
}

int Recordset::fieldIndex(const QString& name) const {
    if (!m_columns)
        return -1;
    const int index = m_columns->indexOf(name);
    return index < m_firstColumn ? -1 : index - m_firstColumn;
}

int Recordset::checkedIndex(const QString& name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw DbError(QStringLiteral("no column ") + name);
    return index;
}

QVariant Recordset::value(const QString& name) const {
    return value(checkedIndex(name));
}

QVariant Recordset::value(int column) const {
    if (m_cursor)
        return m_cursorEnd ? QVariant() : m_cursor->value(column);
    if (m_adding || (!m_changed.isEmpty() && m_editRow == m_position))
        return m_pending.value(column);
    if (isEOF() || m_position < 0 || column < 0 || column >= columnCount())
        return {};
    return m_rows.at(m_position).at(column);
}

QString Recordset::text(const QString& name) const {
    const QVariant v = value(name);
    return v.isNull() ? QString() : v.toString();
}

void Recordset::AddNew() {
    if (m_readOnly)
        throw DbError(QStringLiteral("record set is read-only"));
    m_adding = true;
    m_pending = QVariantList(columnCount());
    m_changed = QList<bool>(columnCount(), false);
}

void Recordset::setValue(const QString& name, const QVariant& value) {
    if (m_readOnly)
        throw DbError(QStringLiteral("record set is read-only"));
    const int column = checkedIndex(name);
    if (!m_adding && m_changed.isEmpty()) {
        if (isEOF() || m_position < 0)
            throw DbError(QStringLiteral("no current row"));
        m_pending = m_rows.at(m_position);
        m_changed = QList<bool>(columnCount(), false);
        m_editRow = m_position;
    }
    m_pending[column] = value;
    m_changed[column] = true;
}

void Recordset::Update() {
    if (m_changed.isEmpty())
        return;
    QStringList columns;
    QVariantList params;
    for (int i = 0; i < columnCount(); ++i) {
        if (!m_changed.at(i))
            continue;
        columns << QStringLiteral("[") + m_columns->names().at(i + m_firstColumn) +
                       QStringLiteral("]");
        params << m_pending.at(i);
    }
    Connection& connection = Connection::shared();
    const QString table = QStringLiteral("[") + m_table + QStringLiteral("]");
    if (m_adding) {
        const QString marks = QStringLiteral("?, ").repeated(columns.size()).chopped(2);
        const Query query = connection.exec(
            QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columns.join(u", ") +
                QStringLiteral(") VALUES (") + marks + QStringLiteral(")"),
            params);
        m_rows << m_pending;
        m_rowIds << query.lastInsertId();
        m_position = RecordCount() - 1;
    } else {
        m_position = m_editRow;
        params << m_rowIds.at(m_position);
        connection.exec(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                            columns.join(QStringLiteral(" = ?, ")) +
                            QStringLiteral(" = ? WHERE rowid = ?"),
                        params);
        m_rows[m_position] = m_pending;
    }
    m_adding = false;
    m_pending.clear();
    m_changed.clear();
}
