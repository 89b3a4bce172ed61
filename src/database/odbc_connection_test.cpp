#include "database/odbc_connection.h"

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

namespace tvk::db {
namespace {

TEST(OdbcTypes, MapAsAdoOwnOdbcProviderDoes) {
  struct Row {
    int sqlType;
    const char* typeName;
    int ado;
  } rows[] = {
      {SQL_CHAR, "bpchar", 129},
      {SQL_VARCHAR, "varchar", 200},
      {SQL_LONGVARCHAR, "text", 201},
      {SQL_WCHAR, "nchar", 130},
      {SQL_WVARCHAR, "nvarchar", 202},
      {SQL_WLONGVARCHAR, "ntext", 203},
      {SQL_DECIMAL, "decimal", 131},
      {SQL_NUMERIC, "numeric", 131},
      {SQL_SMALLINT, "int2", 2},
      {SQL_SMALLINT, "smallint unsigned", 18},
      {SQL_INTEGER, "int4", 3},
      {SQL_INTEGER, "INT UNSIGNED", 19},
      {SQL_REAL, "float4", 4},
      {SQL_FLOAT, "float8", 5},
      {SQL_DOUBLE, "double", 5},
      {SQL_BIT, "bool", 11},
      {SQL_TINYINT, "tinyint", 16},
      {SQL_TINYINT, "tinyint unsigned", 17},
      {SQL_BIGINT, "int8", 20},
      {SQL_BIGINT, "bigint unsigned", 21},
      {SQL_BINARY, "binary", 128},
      {SQL_VARBINARY, "varbinary", 204},
      {SQL_LONGVARBINARY, "bytea", 205},
      {SQL_TYPE_DATE, "date", 133},
      {SQL_DATE, "date", 133},
      {SQL_TYPE_TIME, "time", 134},
      {SQL_TYPE_TIMESTAMP, "timestamp", 135},
      {SQL_TIMESTAMP, "datetime", 135},
      {SQL_GUID, "uuid", 72},
      {SQL_INTERVAL_DAY, "interval", 12},
      {-150, "sql_variant", 12},
  };
  for (const Row& row : rows) EXPECT_EQ(adoTypeFromOdbc(row.sqlType, row.typeName), row.ado) << row.typeName;
}

TEST(OdbcTypes, DefinedSizes) {
  EXPECT_EQ(adoDefinedSize(200, 40), 40);  // declared length
  EXPECT_EQ(adoDefinedSize(130, 2), 2);
  EXPECT_EQ(adoDefinedSize(131, 12), 12);  // precision
  EXPECT_EQ(adoDefinedSize(3, 10), 4);     // bytes, not digits
  EXPECT_EQ(adoDefinedSize(2, 5), 2);
  EXPECT_EQ(adoDefinedSize(20, 19), 8);
  EXPECT_EQ(adoDefinedSize(11, 1), 2);
  EXPECT_EQ(adoDefinedSize(5, 17), 8);
  EXPECT_EQ(adoDefinedSize(4, 9), 4);
  EXPECT_EQ(adoDefinedSize(72, 37), 16);
  EXPECT_EQ(adoDefinedSize(201, 8190), 0);  // long data has no useful size
  EXPECT_EQ(adoDefinedSize(205, -4), 0);
  EXPECT_EQ(adoDefinedSize(135, 26), 0);
  EXPECT_EQ(adoDefinedSize(204, -1), 0);
}

}  // namespace
}  // namespace tvk::db
