#pragma once

// Opens the database, makes sure the photo folder exists and reads gShopName and
// gImagePath. A missing or empty file becomes a new school only after the user
// confirms it, except the default database beside the program (the first run).
// False when the user declined; throws DbError when the file cannot be used.
namespace StartUp {
bool openDatabase();
}
