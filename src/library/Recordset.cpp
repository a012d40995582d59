#include "library/Recordset.h"

#include "library/Database.h"

#include <QRegularExpression>
#include <QSqlRecord>

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

} // namespace

Recordset Recordset::open(const QString& sql, const QVariantList& params, bool readOnly) {
    Recordset rs;
    rs.m_readOnly = readOnly;
    QSqlQuery query =
        Connection::shared().exec(readOnly ? sql : withRowId(sql, rs.m_table), params);
    const QSqlRecord record = query.record();
    const int first = readOnly ? 0 : 1;
    for (int i = first; i < record.count(); ++i) {
        rs.m_names << record.fieldName(i);
        // A name that a join repeats reads the first of its columns.
        const QString key = record.fieldName(i).toLower();
        if (!rs.m_index.contains(key))
            rs.m_index.insert(key, i - first);
    }
    const int columns = record.count();
    while (query.next()) {
        QVariantList row;
        row.reserve(columns - first);
        for (int i = first; i < columns; ++i)
            row << (query.isNull(i) ? QVariant() : query.value(i));
        rs.m_rows << row;
        if (!readOnly)
            rs.m_rowIds << query.value(0).toLongLong();
    }
    return rs;
}

int Recordset::fieldIndex(const QString& name) const {
    return m_index.value(name.toLower(), -1);
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
    if (m_adding || (!m_changed.isEmpty() && m_editRow == m_position))
        return m_pending.value(column);
    if (isEOF() || m_position < 0 || column < 0 || column >= m_names.size())
        return {};
    return m_rows.at(m_position).at(column);
}

QString Recordset::text(const QString& name) const {
    const QVariant v = value(name);
    return v.isNull() ? QString() : v.toString();
}

double Recordset::number(const QString& name) const {
    return value(name).toDouble();
}

void Recordset::AddNew() {
    if (m_readOnly)
        throw DbError(QStringLiteral("record set is read-only"));
    m_adding = true;
    m_pending = QVariantList(m_names.size());
    m_changed = QList<bool>(m_names.size(), false);
}

void Recordset::setValue(const QString& name, const QVariant& value) {
    if (m_readOnly)
        throw DbError(QStringLiteral("record set is read-only"));
    const int column = checkedIndex(name);
    if (!m_adding && m_changed.isEmpty()) {
        if (isEOF() || m_position < 0)
            throw DbError(QStringLiteral("no current row"));
        m_pending = m_rows.at(m_position);
        m_changed = QList<bool>(m_names.size(), false);
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
    for (int i = 0; i < m_names.size(); ++i) {
        if (!m_changed.at(i))
            continue;
        columns << QStringLiteral("[") + m_names.at(i) + QStringLiteral("]");
        params << m_pending.at(i);
    }
    Connection& connection = Connection::shared();
    const QString table = QStringLiteral("[") + m_table + QStringLiteral("]");
    if (m_adding) {
        const QString marks = QStringLiteral("?, ").repeated(columns.size()).chopped(2);
        QSqlQuery query = connection.exec(
            QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columns.join(u", ") +
                QStringLiteral(") VALUES (") + marks + QStringLiteral(")"),
            params);
        m_rows << m_pending;
        m_rowIds << query.lastInsertId().toLongLong();
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
