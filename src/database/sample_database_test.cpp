#include "database/sample_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/error.h"
#include "database/data_access.h"
#include "database/database_test_support.h"
#include "database/sqlite_handles.h"
#include "support/temp_dir.h"

#include <sqlite3.h>

namespace tvk::db {
namespace {

long long count(const std::string& path, const std::string& sql) {
  SqliteDb db = sqliteOpen(path, SQLITE_OPEN_READONLY);
  SqliteStmt stmt = sqlitePrepare(db.get(), sql);
  EXPECT_TRUE(sqliteStep(stmt.get()));
  return sqliteInt(stmt.get(), 0);
}

TEST(SampleDatabase, BuildsTheOrderDatabaseBesideTheProgram) {
  test::ScopedTempDir dir;
  std::string path = dir / "sample.db";
  buildSqliteDatabase(path, {sampleDatabaseScript()});
  std::unique_ptr<Catalog> catalog = Catalog::open(sqliteConnectionString(path));
  std::vector<std::string> tables;
  for (const TableEntry& t : catalog->tables()) tables.push_back(t.type + " " + t.name);
  EXPECT_EQ(tables, (std::vector<std::string>{"TABLE Categories", "TABLE Suppliers", "TABLE Products",
                                              "TABLE Customers", "TABLE Employees", "TABLE Shippers", "TABLE Orders",
                                              "TABLE OrderDetails", "VIEW OrderTotals"}));
  EXPECT_EQ(catalog->table("OrderDetails").indexes().at(0).columns, (std::vector<std::string>{"OrderID", "ProductID"}));
  EXPECT_GE(count(path, "SELECT count(*) FROM Orders"), 100);
  EXPECT_GE(count(path, "SELECT count(*) FROM OrderDetails"), 300);
  EXPECT_EQ(count(path, "SELECT count(*) FROM OrderTotals"), count(path, "SELECT count(*) FROM Orders"));
  // Every reference holds.
  EXPECT_EQ(count(path, "SELECT count(*) FROM pragma_foreign_key_check"), 0);
  EXPECT_FALSE(std::filesystem::exists(path + ".building"));
}

TEST(SampleDatabase, AFailedBuildKeepsTheEarlierFile) {
  test::ScopedTempDir dir;
  std::string path = dir / "sample.db";
  std::ofstream(dir / "good.sql") << "CREATE TABLE t (x INTEGER); INSERT INTO t VALUES (1);";
  std::ofstream(dir / "bad.sql") << "CREATE TABLE u (y INTEGER); INSERT INTO nowhere VALUES (1);";
  buildSqliteDatabase(path, {dir / "good.sql"});
  try {
    buildSqliteDatabase(path, {dir / "good.sql", dir / "bad.sql"});
    FAIL() << "built";
  } catch (const WizError& e) {
    EXPECT_EQ(e.source(), "SQLite");
    EXPECT_NE(e.description().find("nowhere"), std::string::npos);
  }
  EXPECT_EQ(count(path, "SELECT count(*) FROM t"), 1);
  EXPECT_EQ(count(path, "SELECT count(*) FROM sqlite_schema WHERE name = 'u'"), 0);
  EXPECT_FALSE(std::filesystem::exists(path + ".building"));
  EXPECT_THROW(buildSqliteDatabase(path, {dir / "missing.sql"}), WizError);
}

TEST(SampleDatabase, ConnectionStringOpensNatively) {
  EXPECT_EQ(sqliteConnectionString("/srv/shop.db"), "Driver={SQLite3};Database=/srv/shop.db");
  EXPECT_EQ(sqliteConnectionString("/my shop;1.db"), "Driver={SQLite3};Database={/my shop;1.db}");
}

}  // namespace
}  // namespace tvk::db
