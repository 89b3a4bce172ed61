// The bundled sample database: SQL scripts (data/samples/) from which a
// SQLite file is built for the demo and the tests.
#pragma once

#include <string>
#include <vector>

namespace tvk::db {

// Builds a SQLite database at `path` by running the scripts in order, in one
// transaction. The file is written beside the target and renamed over it
// when complete, so a failed build leaves no half-built database (and any
// earlier file untouched). Failures are WizError.
void buildSqliteDatabase(const std::string& path, const std::vector<std::string>& scripts);

// The SQL of the sample order-management database, beside the program.
std::string sampleDatabaseScript();

// The connection string that opens a SQLite file natively.
std::string sqliteConnectionString(const std::string& path);

}  // namespace tvk::db
