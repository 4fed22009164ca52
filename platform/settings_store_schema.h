// Creating, checking and upgrading the tables of the settings store database.
#pragma once

#include <sqlite3.h>

#include <string>

namespace kestrova::platform {

// Creates the tables in a new database, migrates an older schema, and refolds names when the
// OEM code page has changed since they were folded. False, with the reason, for a database this
// version cannot use (for instance one written by a newer version).
bool PrepareSchema(sqlite3* db, bool readOnly, std::string& problem);

}  // namespace kestrova::platform
