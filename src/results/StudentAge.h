#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace StudentAge {

// The date of a stored yyyymmdd text; an invalid date when the text is not one.
QDate dateOf(const QString& key);

// Full years from a birthday to a day: the year difference, less one before the
// birthday in that day's year. A 29 February birthday counts from 1 March in other
// years. Nothing when either text is not a date or the birthday lies after the day.
std::optional<int> years(const QString& birthKey, const QString& onKey);

} // namespace StudentAge
