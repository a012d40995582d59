#pragma once

#include <QString>

// Record codes numbered "largest code plus one", where the largest counts the codes
// stored now and the last code handed out of the series (table CodeSeries). A code
// freed by a delete is thus never handed out again: a row that another desk still
// shows names no other record. Without deletes the codes are the same as the largest
// stored code plus one.
namespace Numbering {

// The next code of a yearly series: prefix followed by a zero-padded running
// number, width characters in all. Only codes of this prefix and width count,
// so codes of other years never move the series. Throws DbError when the
// series is used up. Reads only: for showing the code a new record would get.
QString nextInSeries(const QString& table, const QString& column, const QString& prefix, int width);

// The same code, taken: recorded as the series' last code. Call inside the write's
// transaction (Transaction opens BEGIN IMMEDIATE), so that no other writer can take
// the same code, and a rolled-back write gives it back.
QString takeInSeries(const QString& table, const QString& column, const QString& prefix, int width);

// Takes the largest all-digit code of that width plus one, zero-padded; firstCode when
// no such code is stored and none at or above firstCode was handed out. Throws DbError
// when the width is used up. Inside the write's transaction, as takeInSeries.
QString takeAfterLargest(const QString& table, const QString& column, const QString& firstCode,
                         int width);

} // namespace Numbering
