#include "library/Recordset.h"

#include "library/Database.h"
#include "library/Query.h"

#include <QRegularExpression>
#include <cmath>
#include <optional>
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

// The texts of a column that repeat (a pupil's name on each of the pupil's rows, a
// course name on every registration of the course) become one shared string each. A
// column whose texts hardly repeat (a code) is given up soon, so that it costs neither
// time nor memory; the strings kept are bounded, whatever the number of rows.
class TextPool {
public:
    explicit TextPool(int columns) : m_columns(static_cast<size_t>(columns)) {}

    QString text(sqlite3_value* value, int column) {
        const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(value));
        const std::string_view bytes(data, static_cast<size_t>(sqlite3_value_bytes(value)));
        ColumnTexts& texts = m_columns[static_cast<size_t>(column)];
        if (texts.last && bytes == texts.last->first) {
            ++texts.hits;
            return texts.last->second;
        }
        if (!texts.givenUp) {
            if (const auto found = texts.shared.find(bytes); found != texts.shared.end()) {
                ++texts.hits;
                texts.last = &*found;
                return found->second;
            }
        }
        texts.last = nullptr;
        QString text = QString::fromUtf8(data, static_cast<qsizetype>(bytes.size()));
        if (texts.givenUp)
            return text;
        if (++texts.misses > 256 && texts.hits < texts.misses) {
            texts.givenUp = true;
            texts.shared.clear();
            return text;
        }
        if (texts.shared.size() >= 4096)
            texts.shared.clear();
        texts.last = &*texts.shared.emplace(std::string(bytes), text).first;
        return text;
    }

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view bytes) const {
            return std::hash<std::string_view>{}(bytes);
        }
    };
    using Texts = std::unordered_map<std::string, QString, Hash, std::equal_to<>>;
    struct ColumnTexts {
        Texts shared;
        const Texts::value_type* last = nullptr; // the text of the row before, in shared
        int hits = 0;
        int misses = 0;
        bool givenUp = false;
    };
    std::vector<ColumnTexts> m_columns;
};

// A stored number beyond what an amount holds exactly (or no number at all, as infinity)
// could not be told from an amount changed on the way: reading it is an error.
[[noreturn]] void numberOutOfRange(sqlite3_stmt* statement, int column, const QString& number) {
    throw DbError(QStringLiteral("ตัวเลขในฐานข้อมูลเกินกว่าที่อ่านได้ถูกต้อง: ") +
                  QString::fromUtf8(sqlite3_column_name(statement, column)) +
                  QStringLiteral(" = ") + number);
}

// A value of the current row, its number checked, its text taken from the pool when
// there is one.
QVariant pooledValue(sqlite3_stmt* statement, int column, TextPool* texts) {
    sqlite3_value* value = sqlite3_column_value(statement, column);
    switch (sqlite3_value_type(value)) {
    case SQLITE_TEXT:
        return texts ? texts->text(value, column) : storedValue(value);
    case SQLITE_FLOAT: {
        const double number = sqlite3_value_double(value);
        if (!(std::fabs(number) <= Money::maxBaht)) // also for NaN
            numberOutOfRange(statement, column, QString::number(number, 'g', 17));
        return QVariant(number);
    }
    case SQLITE_INTEGER: {
        const qlonglong number = sqlite3_value_int64(value);
        if (number > Money::maxSatang / 100 || number < -Money::maxSatang / 100)
            numberOutOfRange(statement, column, QString::number(number));
        return QVariant(number);
    }
    default:
        return storedValue(value);
    }
}

} // namespace

// The statement of a forward-only record set, with the texts of its rows.
struct Recordset::Cursor {
    Cursor(Query&& running) : query(std::move(running)), texts(query.columns()->count()) {}
    Query query;
    TextPool texts;
};

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
    // A short list (a pupil's classes) is read faster without sharing its few texts.
    constexpr qsizetype rowsBeforeSharing = 16;
    const int columns = m_columns->count();
    std::optional<TextPool> pool;
    while (query.next()) {
        sqlite3_stmt* statement = query.handle();
        if (!pool && m_rows.size() == rowsBeforeSharing)
            pool.emplace(columns);
        QVariantList row;
        row.reserve(columns - m_firstColumn);
        for (int i = m_firstColumn; i < columns; ++i)
            row << pooledValue(statement, i, pool ? &*pool : nullptr);
        m_rows << row;
        if (!m_readOnly)
            m_rowIds << sqlite3_column_int64(statement, 0);
    }
}

Recordset Recordset::forwardOnly(const QString& sql, const QVariantList& params) {
    Recordset rs;
    rs.m_cursor = std::make_shared<Cursor>(Connection::shared().exec(sql, params));
    rs.m_columns = rs.m_cursor->query.columns();
    rs.m_cursorEnd = !rs.m_cursor->query.next();
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
        m_cursorEnd = !m_cursor->query.next();
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
    if (m_cursor) {
        if (m_cursorEnd || column < 0 || column >= columnCount())
            return {};
        return pooledValue(m_cursor->query.handle(), column, &m_cursor->texts);
    }
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
