// The native SQLite backend: opens the file named by the connection string's
// Database read-only (never creating it) and reads the catalogue from
// sqlite_schema and the table pragmas.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "database/data_access.h"

namespace tvk::db {

class ConnectionString;

std::unique_ptr<Connection> openSqliteConnection(const ConnectionString& connection, const Timeouts& timeouts);

struct SqliteColumnType {
  int type;
  long definedSize;
};

// The ADO type code and defined size of a declared SQLite column type: the
// name decides (any letter case, blanks between words folded), the number in
// parentheses is the size of the text and decimal types.
SqliteColumnType sqliteColumnType(std::string_view declaredType);

// The version of the SQLite library the program runs with ("3.40.1").
std::string sqliteVersion();

}  // namespace tvk::db
