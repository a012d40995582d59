#pragma once

// The shared routines and globals that need no window: the working date and
// user, quoting, the stored and shown forms of dates, numbers and money, and
// amounts in Thai words. Library.h adds the routines of the windows.

#include "core/Decimal.h"
#include "core/Money.h"
#include "core/Recordset.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>

namespace Library {

// Working date yyyymmdd, set at login from the clock.
extern QString gToday;
// User code of the logged-in user.
extern QString gUserID;
// School name from the settings row; every report's "lblComp".
extern QString gShopName;
// Photo folder; may or may not end with a separator.
extern QString gImagePath;

// The one quoting helper for text spliced into SQL or report-formula text:
// 'value' with every single quote doubled.
QString Quote(const QString& text);

// A stored date as a date; the clock's day for a text that names no day (not
// eight characters, or no such day).
QDate KeyToDate(const QString& key);
// dd/mm/yy and dd/mm/yyyy, Buddhist era; empty for a text that names no day.
QString KeyToShortThaiDate(const QString& key);
QString KeyToThaiDate(const QString& key);
QString DateToKey(const QDate& date);
QString DateToThaiDate(const QDate& date);
// The dates of the class in the current row of a record set with DateStart,
// DateEnd and CourseDate: "dd/mm/yy - dd/mm/yy (days)", Buddhist era; the working
// date stands in for a missing (NULL) DateEnd.
QString classDatesText(const Recordset& row);
// Last two digits of the Buddhist-era year of a date.
QString BuddhistYY(const QDate& date);

QString FormatNum(const QString& text, bool withComma, int decimals);
// The numeric value of a typed text (separators stripped); 0 when not a number.
double NumValue(const QString& text);
// A typed plain number (points, hours, lesson numbers) as it is stored: 0 for an empty
// text or one that is no number; nothing for one that cannot be stored as typed, its
// separators out of place ("1,0000") or with more than the 15 significant digits a
// stored number keeps.
std::optional<double> TypedNumber(const QString& text);
// A number in full, as it would be typed: no exponent, no separators, no trailing zeros
// ("1000000", "1.5"); empty text for NULL.
QString NumberText(const QVariant& value);

// The amount in Thai words, as a bill prints it; defined for every amount.
QString BahtText(Money amount);

QString GetItemKey(const QString& text);
// A keyed list item: the text, blanks, "@" and the code.
QString KeyedItem(const QString& text, int blanks, const QString& code);

} // namespace Library
