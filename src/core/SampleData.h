#pragma once

#include <QString>

namespace SampleData {

// Runs a SQL script (statements separated by ";" at line ends) into the open
// database in one transaction. Throws DbError when a statement or the file fails.
void load(const QString& scriptPath);

} // namespace SampleData
