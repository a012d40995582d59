#pragma once

#include <QString>

// Record codes numbered "largest stored code plus one". Call inside the write's
// transaction (Transaction opens BEGIN IMMEDIATE), so that no other writer can
// take the same code before the row is written.
namespace Numbering {

// The next code of a yearly series: prefix followed by a zero-padded running
// number, width characters in all. Only codes of this prefix and width count,
// so codes of other years never move the series. Throws DbError when the
// series is used up.
QString nextInSeries(const QString& table, const QString& column, const QString& prefix, int width);

// The largest all-digit code of that width plus one, zero-padded; firstCode when
// the table holds no such code yet. Throws DbError when the width is used up.
QString nextAfterLargest(const QString& table, const QString& column, const QString& firstCode,
                         int width);

} // namespace Numbering
