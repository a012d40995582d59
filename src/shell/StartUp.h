#pragma once

// Opens the database (a new file gets the schema and the settings row), makes
// sure the photo folder exists and reads gShopName and gImagePath. Throws DbError.
namespace StartUp {
void openDatabase();
}
