#include "report/ReportAggregates.h"

#include "report/ReportRows.h"

#include <algorithm>

using namespace ReportLayout;
using namespace ReportExpression;
using ReportEngine::isNumber;
using ReportEngine::sameValue;
using ReportEngine::textOf;

namespace ReportAggregates {

Tally::Tally(const Layout& layout, const Evaluator& expressions, const QList<int>& fieldOfRef)
    : L(layout), m_expressions(expressions), m_fieldOfRef(fieldOfRef) {
    m_conditionRow.fill(-1, L.exprs.size());
    m_conditionValue.fill(false, L.exprs.size());
    m_amount.fill(0, L.aggregates.size());
    m_lastDistinct.resize(L.aggregates.size());
    m_counted.fill(false, L.aggregates.size());
    QList<int> live = L.reportAggregates;
    for (const Group& g : L.groups)
        live << g.aggregates;
    for (int index : live)
        if (!m_liveAggregates.contains(index))
            m_liveAggregates << index;
}

Wide Tally::total(const Accumulator& acc, int aggregate) {
    return aggregate < acc.values.size() ? acc.values.at(aggregate) : 0;
}

QString Tally::text(const Part& part, const Accumulator& acc) const {
    const Aggregate& a = L.aggregates.at(part.aggregate);
    switch (a.kind) {
    case Aggregate::Kind::Count:
        return QString::number(static_cast<qint64>(total(acc, part.aggregate)));
    case Aggregate::Kind::Distinct: {
        if (part.aggregate >= acc.distinct.size())
            return QStringLiteral("0");
        QList<qint64> ids = acc.distinct.at(part.aggregate);
        return QString::number(compact(ids, acc.sorted.at(part.aggregate)));
    }
    case Aggregate::Kind::Sum:
        break;
    }
    const Exact sum = total(acc, part.aggregate);
    return part.format == Format::Number ? exactText(sum) : moneyOf(sum).toText(true);
}

void Tally::learn(const QVariantList& row) {
    ++m_rowGeneration;
    for (int index : m_liveAggregates) {
        const Aggregate& a = L.aggregates.at(index);
        m_counted[index] = a.condition < 0 || condition(a.condition, row);
        if (!m_counted[index])
            continue;
        if (a.kind == Aggregate::Kind::Sum) {
            m_amount[index] = exactOf(row.at(m_fieldOfRef.at(a.ref)));
        } else if (a.kind == Aggregate::Kind::Distinct) {
            const QVariant& value = row.at(m_fieldOfRef.at(a.ref));
            m_counted[index] = value.isValid();
            if (m_counted[index] && !sameValue(value, m_lastDistinct[index])) {
                m_amount[index] = distinctKey(value);
                m_lastDistinct[index] = value;
            }
        }
    }
}

void Tally::accumulate(Accumulator& acc, const QList<int>& aggregates) const {
    if (aggregates.isEmpty())
        return;
    if (acc.values.size() < L.aggregates.size()) {
        acc.values.resize(L.aggregates.size());
        acc.distinct.resize(L.aggregates.size());
        acc.sorted.fill(0, L.aggregates.size());
        acc.compactAt.fill(4096, L.aggregates.size());
    }
    for (int index : aggregates) {
        if (!m_counted.at(index))
            continue;
        switch (L.aggregates.at(index).kind) {
        case Aggregate::Kind::Count:
            ++acc.values[index];
            break;
        case Aggregate::Kind::Sum:
            acc.values[index] += m_amount.at(index);
            break;
        case Aggregate::Kind::Distinct: {
            QList<qint64>& ids = acc.distinct[index];
            ids << static_cast<qint64>(m_amount.at(index));
            if (ids.size() >= acc.compactAt.at(index)) {
                acc.sorted[index] = compact(ids, acc.sorted.at(index));
                acc.compactAt[index] = std::max<qsizetype>(4096, 2 * ids.size());
            }
            break;
        }
        }
    }
}

qsizetype Tally::compact(QList<qint64>& ids, qsizetype sorted) {
    const auto added = ids.begin() + sorted;
    std::sort(added, ids.end());
    std::inplace_merge(ids.begin(), added, ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids.size();
}

// What a distinct count keeps of a value: a short text (a pupil's code) is its
// characters packed with its length into a number, compared without a look-up among
// thousands; any other value is the order in which it was first met, as a negative.
qint64 Tally::distinctKey(const QVariant& value) {
    const QString key =
        isNumber(value) ? QString::number(value.toDouble(), 'g', 17) : textOf(value);
    if (const std::optional<qint64> packed = shortText(key))
        return *packed;
    auto found = m_interned.constFind(key);
    if (found == m_interned.cend())
        found = m_interned.insert(key, m_interned.size());
    return -1 - *found;
}

// Up to seven Latin-1 characters, the length in the highest byte: never negative.
std::optional<qint64> Tally::shortText(const QString& text) {
    constexpr qsizetype longest = sizeof(qint64) - 1;
    if (text.size() > longest)
        return std::nullopt;
    quint64 packed = static_cast<quint64>(text.size()) << (8 * longest);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c > 0xff)
            return std::nullopt;
        packed |= static_cast<quint64>(c) << (8 * i);
    }
    return static_cast<qint64>(packed);
}

bool Tally::condition(int expr, const QVariantList& row) {
    if (m_conditionRow.at(expr) != m_rowGeneration) {
        m_conditionRow[expr] = m_rowGeneration;
        m_conditionValue[expr] = m_expressions.truth(expr, row);
    }
    return m_conditionValue.at(expr);
}

} // namespace ReportAggregates
