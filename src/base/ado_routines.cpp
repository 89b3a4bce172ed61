#include "base/ado_routines.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <utility>

namespace tvk {

// These routines are total over their inputs: no step can fail, so they need
// no error trap.

bool gfbIsTextType(int type) {
  switch (type) {
    case adotype::Char:
    case adotype::WChar:
    case adotype::VarChar:
    case adotype::LongVarChar:
    case adotype::VarWChar:
    case adotype::LongVarWChar:
      return true;
    default:
      return false;
  }
}

int gfnBaseDataType(int type) {
  switch (type) {
    case adotype::SmallInt:
    case adotype::Integer:
    case adotype::TinyInt:
    case adotype::UnsignedTinyInt:
    case adotype::UnsignedSmallInt:
    case adotype::UnsignedInt:
    case adotype::BigInt:
    case adotype::UnsignedBigInt:
      return adotype::Integer;
    case adotype::Currency:
    case adotype::Decimal:
    case adotype::Numeric:
    case adotype::VarNumeric:
      return adotype::Numeric;
    case adotype::Date:
    case adotype::FileTime:
    case adotype::DBDate:
    case adotype::DBTime:
    case adotype::DBTimeStamp:
      return adotype::Date;
    case adotype::BSTR:
    case adotype::Char:
    case adotype::WChar:
    case adotype::VarChar:
    case adotype::VarWChar:
      return adotype::Char;
    case adotype::Boolean:
      return adotype::Boolean;
    case adotype::Binary:
    case adotype::VarBinary:
    case adotype::LongVarBinary:
      return adotype::Binary;
    case adotype::LongVarChar:
    case adotype::LongVarWChar:
      return adotype::LongVarChar;
    default:
      return type;
  }
}

std::string gfsEncaseSQLObject(std::string_view name) {
  if (name.find(' ') != std::string_view::npos) {
    std::string result = "[";
    result += name;
    result += ']';
    return result;
  }
  return std::string(name);
}

namespace {

// Modest lists: the words each database refuses as a bare name (SQL-92's
// core and each family's notable ones), upper case and sorted.
constexpr std::string_view kCoreWords[] = {
    "ALL",          "AND",     "AS",     "ASC",     "BETWEEN",      "BY",           "CASE",
    "CHECK",        "COLUMN",  "CREATE", "CROSS",   "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
    "CURRENT_USER", "DEFAULT", "DELETE", "DESC",    "DISTINCT",     "DROP",         "ELSE",
    "EXCEPT",       "EXISTS",  "FALSE",  "FOR",     "FOREIGN",      "FROM",         "GROUP",
    "HAVING",       "IN",      "INNER",  "INSERT",  "INTERSECT",    "INTO",         "IS",
    "JOIN",         "LEFT",    "LIKE",   "NATURAL", "NOT",          "NULL",         "ON",
    "OR",           "ORDER",   "OUTER",  "PRIMARY", "REFERENCES",   "RIGHT",        "SELECT",
    "SET",          "TABLE",   "THEN",   "TO",      "TRUE",         "UNION",        "UNIQUE",
    "UPDATE",       "USING",   "VALUES", "WHEN",    "WHERE",        "WITH"};
// SQL-92 words that MySQL and SQLite take as plain names (a table "user").
constexpr std::string_view kStandardWords[] = {"ANY", "CAST", "END", "FULL", "GRANT", "SESSION_USER", "SOME", "USER"};
constexpr std::string_view kPostgresWords[] = {
    "ANALYSE",    "ANALYZE",   "ARRAY",        "ASYMMETRIC", "AUTHORIZATION",   "BINARY",       "BOTH",
    "COLLATE",    "COLLATION", "CONCURRENTLY", "CONSTRAINT", "CURRENT_CATALOG", "CURRENT_ROLE", "CURRENT_SCHEMA",
    "DEFERRABLE", "DO",        "FETCH",        "FREEZE",     "ILIKE",           "INITIALLY",    "ISNULL",
    "LATERAL",    "LEADING",   "LIMIT",        "LOCALTIME",  "LOCALTIMESTAMP",  "NOTNULL",      "OFFSET",
    "ONLY",       "OVERLAPS",  "PLACING",      "RETURNING",  "SIMILAR",         "SYMMETRIC",    "TABLESAMPLE",
    "TRAILING",   "VARIADIC",  "VERBOSE",      "WINDOW"};
constexpr std::string_view kSqliteWords[] = {
    "ADD",   "ALTER",  "AUTOINCREMENT", "COLLATE", "COMMIT",  "CONSTRAINT", "DEFERRABLE",  "ESCAPE",
    "INDEX", "ISNULL", "LIMIT",         "NOTHING", "NOTNULL", "RETURNING",  "TRANSACTION", "WINDOW"};
constexpr std::string_view kMySqlWords[] = {
    "ADD",     "ALTER",    "CHANGE", "CONDITION", "CONSTRAINT", "DATABASE", "DATABASES", "DESCRIBE", "DIV",   "DUAL",
    "EXPLAIN", "FULLTEXT", "GROUPS", "IF",        "IGNORE",     "INDEX",    "INTERVAL",  "KEY",      "KEYS",  "KILL",
    "LIMIT",   "LINES",    "LOAD",   "LOCK",      "MATCH",      "MOD",      "OPTION",    "OVER",     "RANGE", "RANK",
    "READ",    "REGEXP",   "RENAME", "REPLACE",   "REQUIRE",    "RESTRICT", "RETURN",    "REVOKE",   "RLIKE", "ROW",
    "ROWS",    "SCHEMA",   "SHOW",   "SPATIAL",   "UNLOCK",     "USAGE",    "USE",       "WINDOW",   "WRITE", "XOR"};
constexpr std::string_view kSqlServerWords[] = {
    "ADD",        "ALTER",        "BACKUP",      "BEGIN",    "BREAK",      "BROWSE",     "BULK",        "CASCADE",
    "CHECKPOINT", "CLOSE",        "CLUSTERED",   "COALESCE", "COLLATE",    "COMMIT",     "COMPUTE",     "CONSTRAINT",
    "CONTAINS",   "CONTINUE",     "CONVERT",     "CURRENT",  "CURSOR",     "DATABASE",   "DEALLOCATE",  "DECLARE",
    "DENY",       "DISK",         "DISTRIBUTED", "DOUBLE",   "DUMP",       "ERRLVL",     "ESCAPE",      "EXEC",
    "EXECUTE",    "EXIT",         "FETCH",       "FILE",     "FILLFACTOR", "FUNCTION",   "GOTO",        "HOLDLOCK",
    "IDENTITY",   "IF",           "INDEX",       "KEY",      "KILL",       "LINENO",     "MERGE",       "NATIONAL",
    "NOCHECK",    "NONCLUSTERED", "NULLIF",      "OF",       "OFF",        "OFFSETS",    "OPEN",        "OPTION",
    "OVER",       "PERCENT",      "PIVOT",       "PLAN",     "PRINT",      "PROC",       "PROCEDURE",   "PUBLIC",
    "RAISERROR",  "READ",         "RESTORE",     "RESTRICT", "RETURN",     "REVERT",     "REVOKE",      "ROLLBACK",
    "ROWCOUNT",   "RULE",         "SAVE",        "SCHEMA",   "SHUTDOWN",   "STATISTICS", "SYSTEM_USER", "TEXTSIZE",
    "TOP",        "TRAN",         "TRANSACTION", "TRIGGER",  "TRUNCATE",   "UNPIVOT",    "USE",         "VARYING",
    "VIEW",       "WAITFOR",      "WHILE"};
// JET's own on top of SQL Server's: names its SQL reads as functions or
// clauses.
constexpr std::string_view kAccessWords[] = {"DATABASE", "LEVEL", "OWNERACCESS", "PARAMETERS",
                                             "PASSWORD", "PIVOT", "TRANSFORM"};

template <size_t N>
bool listed(const std::string_view (&words)[N], std::string_view upper) {
  return std::find(std::begin(words), std::end(words), upper) != std::end(words);
}

// PostgreSQL folds a bare name to lower case, so a name the catalogue
// gives with a capital letter was created quoted and must be written so.
bool plainIdentifier(std::string_view name, SqlDialect dialect) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front()))) return false;
  bool folds = dialect == SqlDialect::PostgreSql;
  return std::all_of(name.begin(), name.end(), [folds](char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (folds && std::isupper(u)) return false;
    return u < 0x80 && (std::isalnum(u) || c == '_');
  });
}

std::string quoted(std::string_view name, char open, char close) {
  std::string result(1, open);
  for (char c : name) {
    result += c;
    if (c == close) result += c;
  }
  result += close;
  return result;
}

}  // namespace

bool gfbSqlReservedWord(std::string_view name, SqlDialect dialect) {
  if (dialect == SqlDialect::Legacy) return false;
  std::string upper;
  for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (listed(kCoreWords, upper)) return true;
  if (dialect != SqlDialect::Sqlite && dialect != SqlDialect::MySql && listed(kStandardWords, upper)) return true;
  switch (dialect) {
    case SqlDialect::PostgreSql:
      return listed(kPostgresWords, upper);
    case SqlDialect::Sqlite:
      return listed(kSqliteWords, upper);
    case SqlDialect::MySql:
      return listed(kMySqlWords, upper);
    case SqlDialect::SqlServer:
      return listed(kSqlServerWords, upper);
    case SqlDialect::Access:
      return listed(kSqlServerWords, upper) || listed(kAccessWords, upper);
    default:
      return false;
  }
}

std::string gfsEncaseSQLObject(std::string_view name, SqlDialect dialect) {
  if (dialect == SqlDialect::Legacy) return gfsEncaseSQLObject(name);
  if (name.empty() || (plainIdentifier(name, dialect) && !gfbSqlReservedWord(name, dialect))) return std::string(name);
  switch (dialect) {
    case SqlDialect::Access:
    case SqlDialect::SqlServer:
      return quoted(name, '[', ']');
    case SqlDialect::MySql:
      return quoted(name, '`', '`');
    default:
      return quoted(name, '"', '"');
  }
}

std::string gfsEncaseSQLTable(std::string_view name, SqlDialect dialect) {
  size_t dot = name.find('.');
  if (dialect == SqlDialect::Legacy || dot == std::string_view::npos || dot == 0 || dot + 1 == name.size())
    return gfsEncaseSQLObject(name, dialect);
  return gfsEncaseSQLObject(name.substr(0, dot), dialect) + "." + gfsEncaseSQLObject(name.substr(dot + 1), dialect);
}

SqlDialect gfnDetectSqlDialect(std::string_view provider, std::string_view quoteChar) {
  std::string upper;
  for (char c : provider) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const auto has = [&](std::string_view part) { return upper.find(part) != std::string::npos; };
  if (has("JET") || has("ACCESS") || has("ACE.OLEDB")) return SqlDialect::Access;
  if (has("SQL SERVER") || has("SQLOLEDB") || has("SQLNCLI") || has("MSOLEDBSQL")) return SqlDialect::SqlServer;
  if (has("POSTGRES")) return SqlDialect::PostgreSql;
  if (has("SQLITE")) return SqlDialect::Sqlite;
  if (has("MYSQL") || has("MARIADB")) return SqlDialect::MySql;
  if (quoteChar == "`") return SqlDialect::MySql;
  if (quoteChar == "[" || quoteChar == "[]") return SqlDialect::SqlServer;
  if (quoteChar == "\"") return SqlDialect::Standard;
  return SqlDialect::Legacy;
}

namespace {
constexpr std::pair<SqlDialect, std::string_view> kDialectNames[] = {
    {SqlDialect::Access, "Access"}, {SqlDialect::SqlServer, "SQLServer"}, {SqlDialect::PostgreSql, "PostgreSQL"},
    {SqlDialect::Sqlite, "SQLite"}, {SqlDialect::MySql, "MySQL"},         {SqlDialect::Standard, "Standard"}};
}

std::string_view gfsSqlDialectName(SqlDialect dialect) {
  for (const auto& [d, name] : kDialectNames)
    if (d == dialect) return name;
  return {};
}

SqlDialect gfnSqlDialect(std::string_view name) {
  for (const auto& [d, text] : kDialectNames)
    if (text == name) return d;
  return SqlDialect::Legacy;
}

bool gfbSortableFieldType(const ColumnFacts& column) {
  switch (gfnBaseDataType(column.type)) {
    case adotype::Integer:
    case adotype::Date:
    case adotype::Boolean:
    case adotype::Char:
    case adotype::Numeric:
      return true;
    case adotype::WChar:
    case adotype::VarChar:
    case adotype::LongVarChar:
    case adotype::VarWChar:
    case adotype::LongVarWChar:
      return column.definedSize >= 1 && column.definedSize <= 255;
    default:
      return false;
  }
}

bool gfbCompatibleDataType(int typeA, int typeB) {
  return typeA == typeB || (gfbIsTextType(typeA) && gfbIsTextType(typeB));
}

std::string gfsDataTypeName(const ColumnFacts& column) {
  if (gfbIsTextType(column.type)) {
    if (column.definedSize >= 1 && column.definedSize <= 255)
      return "Text (" + std::to_string(column.definedSize) + ")";
    return "Long Text";
  }
  switch (column.type) {
    case adotype::Integer:
      return "Integer";
    case adotype::Single:
    case adotype::Double:
      return "Floating Point";
    case adotype::Currency:
      return "Currency";
    case adotype::Date:
      return "Date";
    case adotype::Boolean:
      return "Boolean";
    case adotype::Binary:
    case adotype::VarBinary:
      return "Binary";
    case adotype::Numeric:
      return "Numeric";
    default:
      return std::to_string(column.type);
  }
}

bool gfbAutoIncrementField(const ColumnFacts& column) { return column.autoIncrement; }

std::string gfsBaseDSProvider(std::string_view provider) {
  std::string upper(provider);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper.find("JET") != std::string::npos ? "JET" : "OTHER";
}

}  // namespace tvk
