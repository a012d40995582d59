#pragma once

#include <QString>

// Look-ups of the timetable's classes that the writes of the timetable, the
// registrations and the lessons share.
namespace ClassLookup {

// Whether the class is stored; inside a write's transaction, the write can rely on it.
bool isStored(const QString& courseNo);

} // namespace ClassLookup
