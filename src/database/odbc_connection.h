// The ODBC backend (unixODBC): SQLDriverConnect with the connection string,
// the catalogue from SQLTables, SQLColumns, SQLPrimaryKeys, SQLForeignKeys
// and SQLStatistics. Failures carry the driver's diagnostics: source "ODBC"
// and the SQLSTATE, the driver's native error number, its message.
#pragma once

#include <memory>
#include <string_view>

#include "database/data_access.h"

namespace tvk::db {

class ConnectionString;

std::unique_ptr<Connection> openOdbcConnection(const ConnectionString& connection, const Timeouts& timeouts);

// The ADO type code of an ODBC SQL type (as ADO's own ODBC provider maps
// it); `typeName` is the driver's name of the type, which tells the unsigned
// integers apart. Types without an ADO counterpart become 12 (Variant).
int adoTypeFromOdbc(int sqlType, std::string_view typeName);
// The defined size ADO reports for a column of that ADO type whose ODBC
// COLUMN_SIZE is `columnSize`: the declared length or precision, the byte
// size of fixed types, 0 for long data and dates.
long adoDefinedSize(int adoType, long columnSize);

}  // namespace tvk::db
