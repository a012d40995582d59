#pragma once

// The totals of a report file: counts, sums and distinct counts ({count},
// {sum:Column}, {distinct:Column}, each perhaps only of the rows that meet a
// condition), added up row by row for each group and for the report.

#include "report/ReportExpression.h"
#include "report/ReportLayout.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <optional>

namespace ReportAggregates {

using ReportExpression::Wide;

// Counts, and sums (exact numbers) per aggregate of the layout, and
// the values (their distinct keys) of the distinct counts, sorted out now and then: the
// keys before sorted[i] are sorted and each there once.
struct Accumulator {
    QList<Wide> values;
    QList<QList<qint64>> distinct;
    QList<qsizetype> sorted;
    QList<qsizetype> compactAt;
};

// What each row adds to the layout's aggregates, worked out once for every group and
// the report that add it up.
class Tally {
public:
    Tally(const ReportLayout::Layout& layout, const ReportExpression::Evaluator& expressions,
          const QList<int>& fieldOfRef);

    // What the current row adds to each aggregate, worked out once for all scopes.
    void learn(const QVariantList& row);
    // Adds the row learnt to the given aggregates of a group or of the report.
    void accumulate(Accumulator& acc, const QList<int>& aggregates) const;
    static Wide total(const Accumulator& acc, int aggregate);
    // An aggregate as a placeholder shows it.
    QString text(const ReportLayout::Part& part, const Accumulator& acc) const;

private:
    bool condition(int expr, const QVariantList& row);
    // Sorts the keys added since the last time and merges them in; gives the number of
    // different keys.
    static qsizetype compact(QList<qint64>& ids, qsizetype sorted);
    qint64 distinctKey(const QVariant& value);
    static std::optional<qint64> shortText(const QString& text);

    const ReportLayout::Layout& L;
    const ReportExpression::Evaluator& m_expressions;
    const QList<int>& m_fieldOfRef;
    QHash<QString, qint64> m_interned;
    qint64 m_rowGeneration = 0;
    QList<int> m_liveAggregates; // used by some scope
    QList<Wide> m_amount;        // per aggregate: the row's amount, or its distinct key
    QVariantList m_lastDistinct; // per distinct count: the value of m_amount
    QList<bool> m_counted;       // per aggregate: whether the row counts
    QList<qint64> m_conditionRow;
    QList<bool> m_conditionValue;
};

} // namespace ReportAggregates
