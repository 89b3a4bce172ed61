// Rules shared by the wizard and the code generator about column types, SQL
// names and providers. Type codes are ADO DataTypeEnum values.
#pragma once

#include <string>
#include <string_view>

namespace tvk {

// What the rules need to know of a schema column.
struct ColumnFacts {
  int type = 0;          // ADO type code
  long definedSize = 0;  // defined size (characters for text)
  bool autoIncrement = false;
};

namespace adotype {
inline constexpr int SmallInt = 2, Integer = 3, Single = 4, Double = 5, Currency = 6, Date = 7, BSTR = 8, Boolean = 11,
                     Decimal = 14, TinyInt = 16, UnsignedTinyInt = 17, UnsignedSmallInt = 18, UnsignedInt = 19,
                     BigInt = 20, UnsignedBigInt = 21, FileTime = 64, GUID = 72, Binary = 128, Char = 129, WChar = 130,
                     Numeric = 131, DBDate = 133, DBTime = 134, DBTimeStamp = 135, VarNumeric = 139, VarChar = 200,
                     LongVarChar = 201, VarWChar = 202, LongVarWChar = 203, VarBinary = 204, LongVarBinary = 205,
                     Variant = 12;
}

// The SQL a database speaks, as far as names are concerned: its quote
// characters and its reserved words. Legacy is what a project file without
// a stored dialect gets: brackets around names with a blank, nothing else.
enum class SqlDialect { Legacy, Access, SqlServer, PostgreSql, Sqlite, MySql, Standard };

bool gfbIsTextType(int type);
int gfnBaseDataType(int type);
// The legacy rule: "[name]" when the name holds a blank.
std::string gfsEncaseSQLObject(std::string_view name);
// A name as the dialect needs it in SQL: quoted when it is not a plain
// identifier (letters, digits, underscore, not starting with a digit) or is
// a reserved word of the database; quote characters inside are doubled.
std::string gfsEncaseSQLObject(std::string_view name, SqlDialect dialect);
// A table name, which may be "schema.table": each part quoted on its own.
// Legacy treats it as one name.
std::string gfsEncaseSQLTable(std::string_view name, SqlDialect dialect);
bool gfbSqlReservedWord(std::string_view name, SqlDialect dialect);
// The dialect of a connection: by the provider or DBMS name it reports,
// else by the identifier quote character an ODBC driver reports ("" for
// none, which keeps the legacy rule).
SqlDialect gfnDetectSqlDialect(std::string_view provider, std::string_view quoteChar);
// The stored name of a dialect ("" for Legacy), and back; an unknown or
// empty text is Legacy.
std::string_view gfsSqlDialectName(SqlDialect dialect);
SqlDialect gfnSqlDialect(std::string_view name);
bool gfbSortableFieldType(const ColumnFacts& column);
bool gfbCompatibleDataType(int typeA, int typeB);
std::string gfsDataTypeName(const ColumnFacts& column);
bool gfbAutoIncrementField(const ColumnFacts& column);
std::string gfsBaseDSProvider(std::string_view provider);

}  // namespace tvk
