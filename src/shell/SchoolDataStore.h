#pragma once

#include <QString>

// The maintenance writes of the main window's system menu.
namespace SchoolDataStore {

// What clearing all data did beyond deleting the rows.
struct Clearing {
    bool compacted = true;
    QString compactionError; // the database's reason when the file was not compacted
};

// Deletes every row of the course, class, teacher, student, registration, bill,
// lesson and expense tables and resets the bill counter, in one transaction;
// then compacts the database. Throws DbError when the deletes fail (nothing is
// deleted then); a compaction that fails after them (another desk reading, no
// room for the copy) is reported in the result, the rows being gone.
Clearing ClearAllData();

// Deletes the bills dated on or before the day (yyyymmdd) with their lines, in one
// transaction. Returns the number of bills deleted. Throws DbError.
int PurgeStatements(const QString& lastDay);

} // namespace SchoolDataStore
