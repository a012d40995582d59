#pragma once

#include <QString>

// The maintenance writes of the main window's system menu.
namespace Maintenance {

// Deletes every row of the course, class, teacher, student, registration, bill,
// lesson and expense tables and resets the bill counter, in one transaction;
// then compacts the database. Throws DbError (nothing is deleted then).
void ClearAllData();

// Deletes the bills dated on or before the day (yyyymmdd) with their lines, in one
// transaction. Returns the number of bills deleted. Throws DbError.
int PurgeStatements(const QString& lastDay);

} // namespace Maintenance
