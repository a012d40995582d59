#pragma once

// The expressions of a report file: computed columns (CoursePrice - CoursePayAmt) and
// the conditions of totals (IsCancel <> '1'), read into the layout's nodes and worked
// out on a row, in exact numbers.

#include "report/ReportLayout.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <cstdint>

namespace ReportExpression {

// Products of two numbers need more than 64 bits before they are divided.
__extension__ typedef __int128 Wide;

// Numbers are worked out and summed exactly, in billionths: hours of 1.333 and points
// of 7.125 print as stored and add up to what is stored, amounts to the satang.
using Exact = Wide;
constexpr std::int64_t billionth = 1'000'000'000;
constexpr std::int64_t billionthsPerSatang = billionth / 100;

// Rounds half away from zero, as amounts are rounded everywhere.
Wide divideRounded(Wide numerator, Wide denominator);
Exact exactOfSatang(std::int64_t satang);
Money moneyOf(Exact value);
// A stored value as it is stored: the decimal that its double shows (what the lists
// show), not the double's binary expansion. A text reads as an amount; NULL and other
// texts are 0; an amount outside what the program stores throws DbError.
Exact exactOf(const QVariant& value);
// "1234.5", "3.999", "-2": trailing zeros dropped, no separators.
QString exactText(Exact value);
// A computed value kept as the database keeps numbers: a double showing its decimal.
QVariant storedOf(Exact value);

// Reads the text in quotes that starts at pos (on its opening quote), a quote doubled
// inside standing for one, onto value, and moves pos past the closing quote. False
// when the text never closes.
bool readQuoted(const QString& text, qsizetype& pos, QString& value);

// Reads an expression into the layout's nodes, its names into the layout's column
// references, and gives its root node: a condition (comparisons joined by and, or,
// not) or a value (arithmetic on numbers and columns). Throws ReportError naming the
// file and line.
int parse(ReportLayout::Layout& layout, const QString& text, int line, bool condition);

// A value while an expression is worked out.
struct Value {
    enum class Type { Null, Number, Text };
    Type type = Type::Null;
    Exact number = 0;
    QString text;
};

// Works out the layout's expressions on a row, its fields found by column reference.
class Evaluator {
public:
    Evaluator(const QList<ReportLayout::Expr>& exprs, const QList<int>& fieldOfRef);

    Value evaluate(int index, const QVariantList& row) const;
    bool truth(int index, const QVariantList& row) const;

private:
    static int compare(const Value& a, const Value& b);
    static bool isNumeric(const Value& v);
    static Exact asNumber(const Value& v);

    const QList<ReportLayout::Expr>& m_exprs;
    const QList<int>& m_fieldOfRef;
};

} // namespace ReportExpression
