#pragma once

#include <QString>

class Connection;

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

// Takes the largest all-digit code of that width plus one, or firstCode when that is
// larger: a series that starts again at firstCode (this year's first code) unless a code
// at or above it is stored or was handed out. Inside the write's transaction, as
// takeInSeries.
QString takeFromFirstOrAfterLargest(const QString& table, const QString& column,
                                    const QString& firstCode, int width);

// Records in CodeSeries the largest code stored of every series, where it is above the last
// code recorded: for a file whose codes were handed out without the table (a school of an
// older version, a loaded script). Inside the caller's transaction.
void recordStoredCodes(Connection& connection);

// The bill number after the bill counter (counterYY, stored) in the year yy: yy, a hyphen
// and the stored counter's leading digits plus one in five digits, or yy-00001 when the counter
// holds another year. Throws DbError when this year's numbers are used up.
QString nextBillNumber(const QString& yy, const QString& counterYY, const QString& stored);

} // namespace Numbering
