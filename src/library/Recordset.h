#pragma once

#include "library/Money.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

// The rows of one select, all read at once. An updatable record set (one table)
// also adds and changes rows: AddNew or a current row, setValue, Update.
class Recordset {
public:
    Recordset() = default;
    // Runs sql with bound params; throws DbError when the statement fails.
    static Recordset open(const QString& sql, const QVariantList& params, bool readOnly);

    int RecordCount() const { return static_cast<int>(m_rows.size()); }
    bool isEOF() const { return m_position >= RecordCount(); }
    bool isBOF() const { return m_position < 0 || RecordCount() == 0; }
    bool isEmpty() const { return m_rows.isEmpty(); }
    void MoveFirst() { m_position = 0; }
    void MoveNext() { ++m_position; }
    void MovePrevious() { --m_position; }
    void MoveLast() { m_position = RecordCount() - 1; }
    int position() const { return m_position; }
    void setPosition(int row) { m_position = row; }

    const QStringList& fieldNames() const { return m_names; }
    // Column index by name, case-insensitively; -1 when there is none.
    int fieldIndex(const QString& name) const;
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }

    // Values of the current row. A NULL is an invalid QVariant; an unknown
    // column name is a programming error and throws DbError.
    QVariant value(const QString& name) const;
    QVariant value(int column) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }
    // The text of a value; NULL reads as empty text.
    QString text(const QString& name) const;
    double number(const QString& name) const;
    Money money(const QString& name) const { return Money::fromVariant(value(name)); }

    // Whole rows, for report data sources.
    const QList<QVariantList>& rows() const { return m_rows; }

    void AddNew();
    void setValue(const QString& name, const QVariant& value);
    void setValue(const QString& name, Money amount) { setValue(name, amount.toVariant()); }
    // Writes the new or changed row; throws DbError when it fails.
    void Update();

private:
    int checkedIndex(const QString& name) const;

    QStringList m_names;
    QHash<QString, int> m_index; // lower-case name -> column
    QList<QVariantList> m_rows;
    int m_position = 0;
    bool m_readOnly = true;
    QString m_table;
    QList<qint64> m_rowIds;
    bool m_adding = false;
    QVariantList m_pending;
    QList<bool> m_changed;
    int m_editRow = -1; // the row whose changes are pending
};
