#include "base/ado_routines.h"

#include <gtest/gtest.h>

namespace tvk {
namespace {

TEST(AdoRoutines, BaseDataTypeFoldsRelatedTypes) {
  for (int type : {2, 3, 16, 17, 18, 19, 20, 21}) EXPECT_EQ(gfnBaseDataType(type), 3) << type;
  for (int type : {6, 14, 131, 139}) EXPECT_EQ(gfnBaseDataType(type), 131) << type;
  for (int type : {7, 64, 133, 134, 135}) EXPECT_EQ(gfnBaseDataType(type), 7) << type;
  for (int type : {8, 129, 130, 200, 202}) EXPECT_EQ(gfnBaseDataType(type), 129) << type;
  for (int type : {128, 204, 205}) EXPECT_EQ(gfnBaseDataType(type), 128) << type;
  EXPECT_EQ(gfnBaseDataType(201), 201);
  EXPECT_EQ(gfnBaseDataType(203), 201);
  EXPECT_EQ(gfnBaseDataType(11), 11);
  // Types without a family are their own base.
  for (int type : {4, 5, 12, 72, 0, -1}) EXPECT_EQ(gfnBaseDataType(type), type) << type;
}

TEST(AdoRoutines, EncaseBracketsOnlyNamesWithBlanks) {
  EXPECT_EQ(gfsEncaseSQLObject("Order Details"), "[Order Details]");
  EXPECT_EQ(gfsEncaseSQLObject("Orders"), "Orders");
  EXPECT_EQ(gfsEncaseSQLObject("Order-Details"), "Order-Details");
  EXPECT_EQ(gfsEncaseSQLObject("[Order Details]"), "[[Order Details]]");
  EXPECT_EQ(gfsEncaseSQLObject(""), "");
  EXPECT_EQ(gfsEncaseSQLObject("Tab\tName"), "Tab\tName");
}

TEST(AdoRoutines, EncaseByDialect) {
  // Plain identifiers stay bare in every dialect.
  for (SqlDialect d : {SqlDialect::Access, SqlDialect::SqlServer, SqlDialect::PostgreSql, SqlDialect::Sqlite,
                       SqlDialect::MySql, SqlDialect::Standard})
    EXPECT_EQ(gfsEncaseSQLObject("order_id2", d), "order_id2") << gfsSqlDialectName(d);
  // Other characters, a leading digit, non-ASCII letters: quoted with the family's quotes.
  EXPECT_EQ(gfsEncaseSQLObject("reply-to", SqlDialect::Sqlite), "\"reply-to\"");
  EXPECT_EQ(gfsEncaseSQLObject("reply-to", SqlDialect::PostgreSql), "\"reply-to\"");
  EXPECT_EQ(gfsEncaseSQLObject("reply-to", SqlDialect::MySql), "`reply-to`");
  EXPECT_EQ(gfsEncaseSQLObject("reply-to", SqlDialect::SqlServer), "[reply-to]");
  EXPECT_EQ(gfsEncaseSQLObject("Order Details", SqlDialect::Access), "[Order Details]");
  EXPECT_EQ(gfsEncaseSQLObject("2nd", SqlDialect::Standard), "\"2nd\"");
  EXPECT_EQ(gfsEncaseSQLObject("pr\xc3\xa9nom", SqlDialect::Sqlite), "\"pr\xc3\xa9nom\"");
  // Embedded closing quotes are doubled; "[" inside brackets needs nothing.
  EXPECT_EQ(gfsEncaseSQLObject("a\"b", SqlDialect::PostgreSql), "\"a\"\"b\"");
  EXPECT_EQ(gfsEncaseSQLObject("a`b", SqlDialect::MySql), "`a``b`");
  EXPECT_EQ(gfsEncaseSQLObject("a]b[c", SqlDialect::SqlServer), "[a]]b[c]");
  // Reserved words: the core ones everywhere, each family's own only there.
  EXPECT_EQ(gfsEncaseSQLObject("user", SqlDialect::PostgreSql), "\"user\"");
  EXPECT_EQ(gfsEncaseSQLObject("Order", SqlDialect::Sqlite), "\"Order\"");
  EXPECT_EQ(gfsEncaseSQLObject("group", SqlDialect::MySql), "`group`");
  EXPECT_EQ(gfsEncaseSQLObject("key", SqlDialect::MySql), "`key`");
  EXPECT_EQ(gfsEncaseSQLObject("key", SqlDialect::PostgreSql), "key");
  EXPECT_EQ(gfsEncaseSQLObject("limit", SqlDialect::PostgreSql), "\"limit\"");
  EXPECT_EQ(gfsEncaseSQLObject("limit", SqlDialect::SqlServer), "limit");
  EXPECT_EQ(gfsEncaseSQLObject("Password", SqlDialect::Access), "[Password]");
  EXPECT_EQ(gfsEncaseSQLObject("Password", SqlDialect::SqlServer), "Password");
  EXPECT_EQ(gfsEncaseSQLObject("users", SqlDialect::PostgreSql), "users");
  EXPECT_EQ(gfsEncaseSQLObject("user", SqlDialect::SqlServer), "[user]");
  EXPECT_EQ(gfsEncaseSQLObject("user", SqlDialect::MySql), "user");
  EXPECT_EQ(gfsEncaseSQLObject("user", SqlDialect::Sqlite), "user");
  // PostgreSQL folds bare names to lower case: a capital needs quotes there only.
  EXPECT_EQ(gfsEncaseSQLObject("OrderID", SqlDialect::PostgreSql), "\"OrderID\"");
  EXPECT_EQ(gfsEncaseSQLObject("OrderID", SqlDialect::Sqlite), "OrderID");
  // Legacy (a project file without a dialect) keeps the blank-only rule.
  EXPECT_EQ(gfsEncaseSQLObject("reply-to", SqlDialect::Legacy), "reply-to");
  EXPECT_EQ(gfsEncaseSQLObject("user", SqlDialect::Legacy), "user");
  EXPECT_EQ(gfsEncaseSQLObject("Order Details", SqlDialect::Legacy), "[Order Details]");
  EXPECT_EQ(gfsEncaseSQLTable("archive.Order Details", SqlDialect::Legacy), "[archive.Order Details]");
  // Tables: "schema.table" quotes each part.
  EXPECT_EQ(gfsEncaseSQLTable("archive.user", SqlDialect::PostgreSql), "archive.\"user\"");
  EXPECT_EQ(gfsEncaseSQLTable("my schema.regions", SqlDialect::SqlServer), "[my schema].regions");
  EXPECT_EQ(gfsEncaseSQLTable("hosts", SqlDialect::PostgreSql), "hosts");
  EXPECT_EQ(gfsEncaseSQLTable(".x", SqlDialect::PostgreSql), "\".x\"");
}

TEST(AdoRoutines, DialectDetectionAndStoredNames) {
  EXPECT_EQ(gfnDetectSqlDialect("Microsoft.Jet.OLEDB.4.0", ""), SqlDialect::Access);
  EXPECT_EQ(gfnDetectSqlDialect("ACCESS", "`"), SqlDialect::Access);
  EXPECT_EQ(gfnDetectSqlDialect("Microsoft SQL Server", "\""), SqlDialect::SqlServer);
  EXPECT_EQ(gfnDetectSqlDialect("PostgreSQL", "\""), SqlDialect::PostgreSql);
  EXPECT_EQ(gfnDetectSqlDialect("SQLite", ""), SqlDialect::Sqlite);
  EXPECT_EQ(gfnDetectSqlDialect("MySQL", "`"), SqlDialect::MySql);
  EXPECT_EQ(gfnDetectSqlDialect("MariaDB", "`"), SqlDialect::MySql);
  // Unknown DBMS: by the driver's quote character.
  EXPECT_EQ(gfnDetectSqlDialect("Oracle", "\""), SqlDialect::Standard);
  EXPECT_EQ(gfnDetectSqlDialect("Somebase", "`"), SqlDialect::MySql);
  EXPECT_EQ(gfnDetectSqlDialect("Somebase", ""), SqlDialect::Legacy);
  for (SqlDialect d : {SqlDialect::Legacy, SqlDialect::Access, SqlDialect::SqlServer, SqlDialect::PostgreSql,
                       SqlDialect::Sqlite, SqlDialect::MySql, SqlDialect::Standard})
    EXPECT_EQ(gfnSqlDialect(gfsSqlDialectName(d)), d);
  EXPECT_EQ(gfsSqlDialectName(SqlDialect::Legacy), "");
  EXPECT_EQ(gfnSqlDialect("postgresql"), SqlDialect::Legacy);  // stored names are exact
}

TEST(AdoRoutines, SortableTypes) {
  EXPECT_TRUE(gfbSortableFieldType({202, 50, false}));
  EXPECT_FALSE(gfbSortableFieldType({203, 0, false}));
  EXPECT_FALSE(gfbSortableFieldType({5, 8, false}));
  EXPECT_FALSE(gfbSortableFieldType({4, 4, false}));
  EXPECT_FALSE(gfbSortableFieldType({205, 0, false}));
  for (int type : {2, 3, 20, 7, 135, 11, 129, 200, 131, 6}) EXPECT_TRUE(gfbSortableFieldType({type, 0, false})) << type;
  // Long text sorts only when its size is that of a short one.
  EXPECT_TRUE(gfbSortableFieldType({201, 1, false}));
  EXPECT_TRUE(gfbSortableFieldType({203, 255, false}));
  EXPECT_FALSE(gfbSortableFieldType({203, 256, false}));
  EXPECT_FALSE(gfbSortableFieldType({12, 0, false}));
  EXPECT_FALSE(gfbSortableFieldType({72, 16, false}));
}

TEST(AdoRoutines, CompatibleTypesCompareUnfolded) {
  EXPECT_TRUE(gfbCompatibleDataType(3, 3));
  EXPECT_FALSE(gfbCompatibleDataType(3, 2));
  EXPECT_TRUE(gfbCompatibleDataType(200, 202));
  EXPECT_TRUE(gfbCompatibleDataType(129, 203));
  EXPECT_FALSE(gfbCompatibleDataType(129, 3));
  EXPECT_FALSE(gfbCompatibleDataType(8, 129));  // BSTR is not one of the text types
}

TEST(AdoRoutines, TypeNames) {
  EXPECT_EQ(gfsDataTypeName({202, 50, false}), "Text (50)");
  EXPECT_EQ(gfsDataTypeName({203, 0, false}), "Long Text");
  EXPECT_EQ(gfsDataTypeName({129, 255, false}), "Text (255)");
  EXPECT_EQ(gfsDataTypeName({200, 256, false}), "Long Text");
  EXPECT_EQ(gfsDataTypeName({5, 8, false}), "Floating Point");
  EXPECT_EQ(gfsDataTypeName({4, 4, false}), "Floating Point");
  EXPECT_EQ(gfsDataTypeName({3, 4, false}), "Integer");
  EXPECT_EQ(gfsDataTypeName({6, 8, false}), "Currency");
  EXPECT_EQ(gfsDataTypeName({7, 0, false}), "Date");
  EXPECT_EQ(gfsDataTypeName({11, 2, false}), "Boolean");
  EXPECT_EQ(gfsDataTypeName({128, 16, false}), "Binary");
  EXPECT_EQ(gfsDataTypeName({204, 0, false}), "Binary");
  EXPECT_EQ(gfsDataTypeName({131, 10, false}), "Numeric");
  // Everything else is its code: SmallInt, DBTimeStamp, LongVarBinary.
  EXPECT_EQ(gfsDataTypeName({2, 2, false}), "2");
  EXPECT_EQ(gfsDataTypeName({135, 0, false}), "135");
  EXPECT_EQ(gfsDataTypeName({205, 0, false}), "205");
}

TEST(AdoRoutines, AutoIncrementAndProvider) {
  EXPECT_TRUE(gfbAutoIncrementField({3, 4, true}));
  EXPECT_FALSE(gfbAutoIncrementField({3, 4, false}));
  EXPECT_EQ(gfsBaseDSProvider("Microsoft.Jet.OLEDB.4.0"), "JET");
  EXPECT_EQ(gfsBaseDSProvider("microsoft.jet.oledb.4.0"), "JET");
  EXPECT_EQ(gfsBaseDSProvider("SQLOLEDB.1"), "OTHER");
  EXPECT_EQ(gfsBaseDSProvider("SQLite"), "OTHER");
  EXPECT_EQ(gfsBaseDSProvider(""), "OTHER");
}

}  // namespace
}  // namespace tvk
