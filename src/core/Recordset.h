#pragma once

#include "core/Money.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>

class Columns;
class Query;

// The rows of one select, read-only: the program writes with bound statements. Opened,
// a record set reads all rows at once (its count is known) and keeps equal texts once;
// a forward-only one reads a row as the caller moves on and keeps none, for callers
// that walk the rows once.
// A stored number beyond what an amount holds exactly (Money::maxBaht) is a DbError
// when it is read: no column of the school's data holds one, and an amount must never
// be read as another.
class Recordset {
public:
    Recordset() = default;
    // Runs sql with bound params; throws DbError when the statement fails, and for a
    // record set asked to be updatable (readOnly false).
    static Recordset open(const QString& sql, const QVariantList& params, bool readOnly);
    static Recordset forwardOnly(const QString& sql, const QVariantList& params = {});

    // The number of rows; -1 for a forward-only record set, which does not know it.
    int RecordCount() const { return m_cursor ? -1 : static_cast<int>(m_rows.size()); }
    bool isEOF() const;
    bool isEmpty() const { return m_cursor ? m_cursorEmpty : m_rows.isEmpty(); }
    // Back to the first row; a forward-only record set only stays where it starts.
    void MoveFirst();
    void MoveNext();

    QStringList fieldNames() const;
    // Column index by name, case-insensitively; -1 when there is none.
    int fieldIndex(const QString& name) const;
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }

    // Values of the current row. A NULL is an invalid QVariant; an unknown
    // column name is a programming error and throws DbError.
    QVariant value(const QString& name) const;
    QVariant value(int column) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }
    // A text of the current row of a forward-only record set as stored (UTF-8), without
    // making a string of it; valid until the next move. Null when the value is no text.
    QByteArrayView storedText(int column) const;
    // Whether the column's texts have recurred in the rows read so far, as far as a
    // forward-only record set can tell (true until it has read enough to know otherwise).
    bool textsRecur(int column) const;
    // The text of a value; NULL reads as empty text.
    QString text(const QString& name) const;
    // An amount; throws DbError when the stored number is outside what Money holds exactly.
    Money money(const QString& name) const { return Money::fromVariant(value(name)); }

    // Whole rows of an opened record set, for report data sources.
    const QList<QVariantList>& rows() const { return m_rows; }

private:
    int checkedIndex(const QString& name) const;
    int columnCount() const;
    void readAll(Query& query);

    std::shared_ptr<const Columns> m_columns;
    QList<QVariantList> m_rows;
    int m_position = 0;
    struct Cursor;
    std::shared_ptr<Cursor> m_cursor; // forward-only: the statement being read
    bool m_cursorEmpty = true;
    bool m_cursorEnd = true;
};
