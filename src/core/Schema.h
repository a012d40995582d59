#pragma once

#include <QString>

class Connection;

// The school's tables, indexes and views, and the numbered steps that bring a
// file to the version this program writes. A file is marked as ours with
// PRAGMA application_id; PRAGMA user_version holds its schema version.
namespace Schema {

// The schema version this program writes. Each step n takes a file from
// version n - 1 to n; step 1 makes the tables of a new school.
constexpr int currentVersion = 7;
// "VADL": the mark of the program's database files.
constexpr int applicationId = 0x5641444C;

// What a file holds, read before anything is written to it.
struct FileState {
    enum class Kind {
        Empty,   // no tables and no marks: a new school may be made in it
        Ours,    // a school of this program, of `version`
        Foreign, // another program's database
    };
    Kind kind = Kind::Empty;
    int version = 0;
};
FileState inspect(Connection& connection, const QString& path);

// Refuses, with the message to show, a file that is neither ours nor empty or
// is of a newer version than this program. Writes nothing.
void refuseUnlessUsable(const FileState& state, const QString& path);

// Makes a new school in an empty file or upgrades an older one, once: inside one
// exclusive transaction that reads the file's state again, so that several desks
// opening the same file at once create or upgrade it exactly one time. A failure
// leaves the file as it was and says so.
void bringUpToDate(Connection& connection, const QString& path);

// Runs steps from+1 .. to, re-creates the views and marks the file with the
// program's id and version `to`; inside the caller's transaction.
void upgrade(Connection& connection, int from, int to = currentVersion);

// Adds the one settings row when the file has none.
void ensureSettingsRow(Connection& connection);

} // namespace Schema
