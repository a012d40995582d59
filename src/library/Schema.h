#pragma once

class Connection;

namespace Schema {

// The schema version this program writes (PRAGMA user_version).
constexpr int currentVersion = 1;

// Creates the whole schema in a new file and makes sure the settings row exists.
void ensure(Connection& connection);

} // namespace Schema
