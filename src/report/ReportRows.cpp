#include "report/ReportRows.h"

#include "core/Database.h"
#include "core/ThaiOrder.h"

#include <algorithm>
#include <cstring>

namespace ReportEngine {
namespace {

// NULL (no value), number or text, from the type alone: asked for every value read.
int rankOfType(int type) {
    switch (type) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return 1;
    default:
        return 2;
    }
}

int rank(const QVariant& v) {
    return rankOfType(v.typeId());
}

QString quoted(QString name) {
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString innerStatement(const QString& sql) {
    QString statement = sql.trimmed();
    while (statement.endsWith(QLatin1Char(';')))
        statement = statement.chopped(1).trimmed();
    return statement;
}

// Reads the statement's rows. A text of a field the layout does not need, in a column whose
// texts do not recur (a name, an address), stays as stored until the row is kept, where it
// is kept as its bytes; one that recurs (a course name on each of its registrations) is
// kept once as a value.
class SqlReader : public Reader {
public:
    SqlReader(const Source& source, const QStringList& fields, const QList<OrderKey>& order,
              const QList<bool>& needed)
        : m_needed(needed) {
        QStringList columns;
        for (const QString& field : fields)
            columns << quoted(field);
        if (columns.isEmpty())
            columns << QStringLiteral("1");
        QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                      QStringLiteral(" FROM (") + innerStatement(source.sql) + QLatin1Char(')');
        QStringList keys;
        for (const OrderKey& key : order)
            keys << quoted(fields.at(key.field)) + QStringLiteral(" COLLATE THAI") +
                        (key.descending ? QStringLiteral(" DESC") : QString());
        if (keys.isEmpty()) {
            m_rows = Recordset::forwardOnly(sql, source.params);
        } else {
            sql += QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral(", "));
            const SmallSort sort; // a report of every registration sorts no 64 MB in memory
            m_rows = Recordset::forwardOnly(sql, source.params);
        }
        m_count = static_cast<int>(fields.size());
        m_needed.resize(m_count, m_needed.isEmpty());
        m_stored.resize(m_count);
    }

    // Stays on the row read until the next, so that its stored texts can be kept.
    bool next(QVariantList& values) override {
        if (m_started)
            m_rows.MoveNext();
        m_started = true;
        if (m_rows.isEOF())
            return false;
        for (int i = 0; i < m_count; ++i) {
            m_stored[i] =
                m_needed.at(i) || m_rows.textsRecur(i) ? QByteArrayView() : m_rows.storedText(i);
            if (m_stored.at(i).isNull())
                values[i] = m_rows.value(i);
            else
                values[i] = QVariant();
        }
        return true;
    }

    void keep(KeptRows& rows, const QVariantList& values) override {
        rows.append(values, m_stored);
    }

private:
    Recordset m_rows;
    int m_count = 0;
    bool m_started = false;
    QList<bool> m_needed;
    QList<QByteArrayView> m_stored;
};

class RecordsReader : public Reader {
public:
    RecordsReader(const Recordset& records, const QStringList& fields, const QList<OrderKey>& order)
        : m_rows(records.rows()) {
        for (const QString& field : fields)
            m_columns << records.fieldIndex(field);
        for (int i = 0; i < m_rows.size(); ++i)
            m_order << i;
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            for (const OrderKey& key : order) {
                const int column = m_columns.at(key.field);
                const int c = compareValues(m_rows.at(a).at(column), m_rows.at(b).at(column));
                if (c != 0)
                    return key.descending ? c > 0 : c < 0;
            }
            return false;
        });
    }

    bool next(QVariantList& values) override {
        if (m_next >= m_order.size())
            return false;
        const QVariantList& row = m_rows.at(m_order.at(m_next++));
        for (qsizetype i = 0; i < m_columns.size(); ++i)
            values[i] = row.at(m_columns.at(i));
        return true;
    }

private:
    QList<QVariantList> m_rows;
    QList<int> m_columns;
    QList<int> m_order;
    qsizetype m_next = 0;
};

} // namespace

void Reader::keep(KeptRows& rows, const QVariantList& values) {
    rows.append(values);
}

void KeptRows::append(const QVariantList& row) {
    for (int i = 0; i < m_width; ++i)
        appendCell(index(row.at(i), i));
    ++m_count;
}

void KeptRows::append(const QVariantList& row, const QList<QByteArrayView>& storedTexts) {
    for (int i = 0; i < m_width; ++i) {
        const QByteArrayView stored = i < storedTexts.size() ? storedTexts.at(i) : QByteArrayView();
        if (stored.isNull()) {
            appendCell(index(row.at(i), i));
            continue;
        }
        if (m_lastStored.empty())
            m_lastStored.resize(static_cast<std::size_t>(m_width), 0);
        quint32& last = m_lastStored[static_cast<std::size_t>(i)];
        if (last != 0 && m_storedTexts[last & ~storedBit] == stored) {
            appendCell(last);
            continue;
        }
        last = storedBit | static_cast<quint32>(m_storedTexts.size());
        appendCell(last);
        if (m_textBlocks.empty() ||
            m_textBlocks.back().size() + stored.size() > m_textBlocks.back().capacity()) {
            m_textBlocks.emplace_back();
            m_textBlocks.back().reserve(std::max(textBlockSize, stored.size()));
        }
        QByteArray& block = m_textBlocks.back();
        const qsizetype at = block.size();
        block.append(stored);
        m_storedTexts.emplace_back(block.constData() + at, stored.size());
    }
    ++m_count;
}

void KeptRows::appendCell(quint32 cell) {
    if (m_cellCount % blockSize == 0)
        m_blocks.push_back(std::make_unique<quint32[]>(blockSize));
    m_blocks.back()[m_cellCount % blockSize] = cell;
    ++m_cellCount;
}

namespace {

template <typename Key> quint32 lookUp(QHash<Key, quint32>& known, const Key& key, quint32 next) {
    auto it = known.find(key);
    if (it == known.end())
        it = known.insert(key, next);
    return *it;
}

} // namespace

quint32 KeptRows::index(const QVariant& value, int column) {
    const int type = value.typeId();
    if (type == QMetaType::UnknownType)
        return 0;
    const auto next = static_cast<quint32>(m_values.size());
    quint32 found = next;
    switch (type) {
    case QMetaType::LongLong:
    case QMetaType::Double: {
        // Read as they are stored; a column's number is often the row before's.
        quint64 bits = 0;
        std::memcpy(&bits, value.constData(), sizeof bits);
        LastNumber& last = m_lastNumbers[static_cast<std::size_t>(column)];
        if (last.index != 0 && last.type == type && last.bits == bits)
            return last.index;
        if (type == QMetaType::LongLong)
            found = lookUp(m_integers, *static_cast<const qlonglong*>(value.constData()), next);
        else
            found = lookUp(m_reals, *static_cast<const double*>(value.constData()), next);
        last = {type, bits, found};
        break;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
        found = lookUp(m_integers, value.toLongLong(), next);
        break;
    case QMetaType::Float:
        found = lookUp(m_reals, value.toDouble(), next);
        break;
    case QMetaType::QString: {
        const QString& text = *static_cast<const QString*>(value.constData());
        const auto address = reinterpret_cast<quintptr>(text.constData());
        Recent& recent = m_recent[static_cast<std::size_t>(column)][(address >> 4) % recentSlots];
        if (recent.index != 0 && recent.text.constData() == text.constData() &&
            recent.text.size() == text.size())
            return recent.index;
        found = lookUp(m_texts, text, next);
        recent = {text, found};
        break;
    }
    default:
        break;
    }
    if (found == next)
        m_values << value;
    return found;
}

void KeptRows::squeeze() {
    m_texts = {};
    m_integers = {};
    m_reals = {};
    m_recent = {};
    m_lastNumbers = {};
    m_values.squeeze();
    m_storedTexts.shrink_to_fit();
    m_lastStored = {};
}

void KeptRows::read(qsizetype row, QVariantList& values, const QList<bool>* fields) const {
    std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(m_width);
    for (int i = 0; i < m_width; ++i, ++at) {
        if (fields && !fields->at(i))
            continue;
        const quint32 cell = m_blocks[at / blockSize][at % blockSize];
        if ((cell & storedBit) == 0) {
            values[i] = m_values.at(cell);
            continue;
        }
        values[i] = QString::fromUtf8(m_storedTexts[cell & ~storedBit]);
    }
}

bool isNumber(const QVariant& value) {
    return rank(value) == 1;
}

QString textOf(const QVariant& value) {
    return value.typeId() == QMetaType::QString ? *static_cast<const QString*>(value.constData())
                                                : value.toString();
}

int compareValues(const QVariant& a, const QVariant& b) {
    const int ra = rank(a);
    const int rb = rank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 0)
        return 0;
    if (ra == 1) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return ThaiOrder::compare(textOf(a), textOf(b));
}

bool sameValue(const QVariant& a, const QVariant& b) {
    const int typeA = a.typeId();
    const int typeB = b.typeId();
    if (typeA == QMetaType::QString && typeB == QMetaType::QString)
        return *static_cast<const QString*>(a.constData()) ==
               *static_cast<const QString*>(b.constData());
    const int ra = rankOfType(typeA);
    if (ra != rankOfType(typeB))
        return false;
    if (ra == 0)
        return true;
    return ra == 1 ? a.toDouble() == b.toDouble() : textOf(a) == textOf(b);
}

QStringList sourceColumns(const Source& source) {
    if (source.useRecords)
        return source.records.fieldNames();
    return Connection::shared()
        .exec(QStringLiteral("SELECT * FROM (") + innerStatement(source.sql) +
                  QStringLiteral(") LIMIT 0"),
              source.params)
        .columns()
        ->names();
}

std::unique_ptr<Reader> readRows(const Source& source, const QStringList& fields,
                                 const QList<OrderKey>& order, const QList<bool>& needed) {
    if (source.useRecords)
        return std::make_unique<RecordsReader>(source.records, fields, order);
    return std::make_unique<SqlReader>(source, fields, order, needed);
}

} // namespace ReportEngine
