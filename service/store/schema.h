#pragma once
// The database schema and its migrations. The schema version lives in SQLite's user_version;
// each migration step runs in its own transaction, so an interrupted upgrade leaves the last
// complete version behind.

#include <string>

#include "service/store/sqlite.h"

namespace service {

// The schema version this program writes.
int CurrentSchemaVersion();

// Brings the open database to CurrentSchemaVersion(). False with error set when a step fails or
// the file was written by a newer program (it is then left untouched).
bool MigrateSchema(DatabaseUse& use, std::string& error);

}  // namespace service
