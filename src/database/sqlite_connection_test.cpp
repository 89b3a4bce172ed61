#include "database/sqlite_connection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/error.h"
#include "database/data_access.h"
#include "database/database_test_support.h"
#include "support/temp_dir.h"

namespace tvk::db {
namespace {

using test::ScopedTempDir;

TEST(SqliteColumnType, EveryDeclaredTypeRow) {
  struct Row {
    const char* declared;
    int type;
    long size;
  } rows[] = {
      {"INTEGER", 3, 4},
      {"int", 3, 4},
      {"MediumInt", 3, 4},
      {"SMALLINT", 2, 2},
      {"TINYINT", 17, 1},
      {"BIGINT", 20, 8},
      {"BOOLEAN", 11, 2},
      {"bool", 11, 2},
      {"BIT", 11, 2},
      {"REAL", 5, 8},
      {"DOUBLE", 5, 8},
      {"double   precision", 5, 8},
      {"FLOAT", 5, 8},
      {"NUMERIC(12,3)", 131, 12},
      {"DECIMAL ( 7 )", 131, 7},
      {"NUMERIC", 131, 0},
      {"MONEY", 6, 8},
      {"CURRENCY", 6, 8},
      {"DATE", 133, 0},
      {"TIME", 134, 0},
      {"DATETIME", 135, 0},
      {"TIMESTAMP", 135, 0},
      {"CHAR(10)", 130, 10},
      {"NCHAR(5)", 130, 5},
      {"CHARACTER(3)", 130, 3},
      {"VARCHAR(50)", 202, 50},
      {"nvarchar(255)", 202, 255},
      {"VARYING CHARACTER(20)", 202, 20},
      {"TEXT", 203, 0},
      {"CLOB", 203, 0},
      {"MEMO", 203, 0},
      {"NTEXT", 203, 0},
      {"VARCHAR", 203, 0},
      {"NVARCHAR", 203, 0},
      {"BLOB", 205, 0},
      {"BINARY(16)", 205, 0},
      {"VARBINARY", 205, 0},
      {"", 12, 0},
      {"GEOMETRY", 12, 0},
      {"JSON", 12, 0},
      {"STRING", 12, 0},
      // A trailing UNSIGNED or ZEROFILL is dropped and the name looked up again.
      {"INTEGER UNSIGNED", 3, 4},
      {"BIGINT UNSIGNED", 20, 8},
      {"smallint unsigned", 2, 2},
      {"TINYINT UNSIGNED ZEROFILL", 17, 1},
      {"DECIMAL(10,2) UNSIGNED", 131, 10},
      // Otherwise SQLite's affinity rules, in their order.
      {"UNSIGNED BIG INT", 20, 8},
      {"INT8", 3, 4},
      {"POINT", 3, 4},  // "INT" wins over everything, as in SQLite
      {"CHARACTER VARYING(9)", 202, 9},
      {"LONGTEXT", 203, 0},
      {"CLOB_UTF8", 203, 0},
      {"longblob", 205, 0},
      {"MEDIUMBLOB", 205, 0},
      {"FLOAT8", 5, 8},
      {"DOUBLE UNSIGNED", 5, 8},
      {"REALNUM", 5, 8},
  };
  for (const Row& row : rows) {
    SqliteColumnType type = sqliteColumnType(row.declared);
    EXPECT_EQ(type.type, row.type) << row.declared;
    EXPECT_EQ(type.definedSize, row.size) << row.declared;
  }
}

class SqliteCatalogTest : public ::testing::Test {
 protected:
  void SetUp() override { connection_ = test::buildFixtureDatabase(dir_ / "fixture.db"); }

  ScopedTempDir dir_;
  std::string connection_;
};

TEST_F(SqliteCatalogTest, TablesInCreationOrderWithTypes) {
  std::unique_ptr<Catalog> catalog = Catalog::open(connection_);
  EXPECT_EQ(catalog->providerName(), "SQLite");
  std::vector<std::string> listed;
  for (const TableEntry& t : catalog->tables()) listed.push_back(t.type + " " + t.name);
  std::vector<std::string> expected = {
      "TABLE regions",
      "TABLE customers",
      "TABLE customer_profiles",
      "TABLE priorities",
      "TABLE staff",
      "TABLE orders",
      "TABLE order_lines",
      "TABLE shipments",
      "TABLE audit_log",
      "VIEW customer_orders",
      "TABLE type_rows",
      "TABLE counters",
      "SYSTEM TABLE sqlite_sequence",
      "TABLE codes",
      "TABLE wide_key",
      "VIEW broken_view",
  };
  EXPECT_EQ(listed, expected);
}

TEST_F(SqliteCatalogTest, ColumnsCarryTypeSizeNullabilityAndAutoIncrement) {
  std::unique_ptr<Catalog> catalog = Catalog::open(connection_);
  Table& customers = catalog->table("customers");
  std::vector<std::string> described;
  for (const Column& c : customers.columns())
    described.push_back(c.name + " " + std::to_string(c.type) + " " + std::to_string(c.definedSize) +
                        (c.nullable() ? " null" : " notnull") + (c.autoIncrement ? " auto" : ""));
  EXPECT_EQ(described, (std::vector<std::string>{
                           "cust 3 4 notnull auto",
                           "company_name 202 40 notnull",
                           "email 202 80 null",
                           "region_code 130 2 null",
                           "active 11 2 notnull",
                           "credit_limit 131 10 null",
                           "notes 203 0 null",
                       }));
  // The rowid key without NOT NULL is nullable, as SQLite says; only a rowid
  // key fills itself.
  Table& counters = catalog->table("counters");
  EXPECT_TRUE(counters.columns()[0].nullable());
  EXPECT_TRUE(counters.columns()[0].autoIncrement);
  EXPECT_FALSE(catalog->table("regions").columns()[0].autoIncrement);
  EXPECT_FALSE(catalog->table("codes").columns()[0].autoIncrement);
  EXPECT_FALSE(catalog->table("wide_key").columns()[0].autoIncrement);
  // Columns of a view, with the types of what they select.
  const std::vector<Column>& view = catalog->table("customer_orders").columns();
  ASSERT_EQ(view.size(), 3u);
  EXPECT_EQ(view[1].name, "company_name");
  EXPECT_EQ(view[1].type, 202);
}

TEST_F(SqliteCatalogTest, PrimaryKeyIndexComesFirstInKeyOrder) {
  std::unique_ptr<Catalog> catalog = Catalog::open(connection_);
  // The rowid key has no index in SQLite; the catalogue still reports one.
  const std::vector<Index>& customers = catalog->table("customers").indexes();
  ASSERT_GE(customers.size(), 2u);
  EXPECT_TRUE(customers[0].primaryKey);
  EXPECT_EQ(customers[0].columns, std::vector<std::string>{"cust"});
  EXPECT_FALSE(customers[1].primaryKey);
  EXPECT_TRUE(customers[1].unique);
  EXPECT_EQ(customers[1].columns, std::vector<std::string>{"email"});

  const std::vector<Index>& wide = catalog->table("wide_key").indexes();
  ASSERT_EQ(wide.size(), 1u);
  EXPECT_EQ(wide[0].columns, (std::vector<std::string>{"b", "a"}));
  EXPECT_TRUE(catalog->table("codes").indexes().at(0).primaryKey);
  EXPECT_TRUE(catalog->table("audit_log").indexes().empty());
  EXPECT_TRUE(catalog->table("customer_orders").indexes().empty());
}

TEST_F(SqliteCatalogTest, KeysPrimaryThenForeignInDeclaredOrderThenUnique) {
  std::unique_ptr<Catalog> catalog = Catalog::open(connection_);
  const std::vector<Key>& orders = catalog->table("orders").keys();
  ASSERT_EQ(orders.size(), 4u);
  EXPECT_EQ(orders[0].type, KeyType::Primary);
  EXPECT_EQ(orders[0].columns, std::vector<std::string>{"order_id"});
  EXPECT_EQ(orders[1].type, KeyType::Foreign);
  EXPECT_EQ(orders[1].columns, std::vector<std::string>{"customer_id"});
  EXPECT_EQ(orders[1].relatedTable, "customers");
  EXPECT_EQ(orders[1].relatedColumns, std::vector<std::string>{"cust"});
  EXPECT_EQ(orders[2].relatedTable, "staff");
  EXPECT_EQ(orders[3].relatedTable, "priorities");

  const std::vector<Key>& shipments = catalog->table("shipments").keys();
  ASSERT_EQ(shipments.size(), 2u);
  EXPECT_EQ(shipments[1].columns, (std::vector<std::string>{"order_id", "line_no"}));
  EXPECT_EQ(shipments[1].relatedColumns, (std::vector<std::string>{"order_id", "line_no"}));

  const std::vector<Key>& profiles = catalog->table("customer_profiles").keys();
  ASSERT_EQ(profiles.size(), 3u);
  EXPECT_EQ(profiles[1].type, KeyType::Foreign);
  EXPECT_EQ(profiles[2].type, KeyType::Unique);
  EXPECT_EQ(profiles[2].columns, std::vector<std::string>{"cust"});
  EXPECT_EQ(profiles[2].relatedTable, "");
  EXPECT_TRUE(catalog->table("audit_log").keys().empty());
}

TEST_F(SqliteCatalogTest, BareReferenceMeansTheRelatedPrimaryKeyAndNamesAsCatalogued) {
  {
    std::ofstream sql(dir_ / "refs.sql");
    sql << "CREATE TABLE Parent (p_id INTEGER PRIMARY KEY, name TEXT);"
           "CREATE TABLE child (id INTEGER PRIMARY KEY, parent INTEGER REFERENCES PARENT);";
  }
  db::buildSqliteDatabase(dir_ / "refs.db", {dir_ / "refs.sql"});
  std::unique_ptr<Catalog> catalog = Catalog::open(sqliteConnectionString(dir_ / "refs.db"));
  const Key& key = catalog->table("child").keys().at(1);
  EXPECT_EQ(key.relatedTable, "Parent");
  EXPECT_EQ(key.relatedColumns, std::vector<std::string>{"p_id"});
}

TEST_F(SqliteCatalogTest, ColumnsOfQuotedNamesGeneratedAndVirtualTables) {
  {
    std::ofstream sql(dir_ / "odd.sql");
    sql << "CREATE TABLE \"it's \"\"odd\"\"\" (id INTEGER PRIMARY KEY, a TEXT NOT NULL, "
           "b INTEGER GENERATED ALWAYS AS (id * 2) VIRTUAL);"
           "CREATE VIRTUAL TABLE docs USING fts5(title, body);";
  }
  db::buildSqliteDatabase(dir_ / "odd.db", {dir_ / "odd.sql"});
  std::unique_ptr<Catalog> catalog = Catalog::open(sqliteConnectionString(dir_ / "odd.db"));
  const auto names = [](const std::vector<Column>& columns) {
    std::vector<std::string> result;
    for (const Column& c : columns) result.push_back(c.name);
    return result;
  };
  Table& odd = catalog->table("it's \"odd\"");
  EXPECT_EQ(names(odd.columns()), (std::vector<std::string>{"id", "a", "b"}));
  EXPECT_TRUE(odd.columns()[0].autoIncrement);
  EXPECT_FALSE(odd.columns()[1].nullable());
  EXPECT_EQ(odd.indexes().at(0).columns, std::vector<std::string>{"id"});
  // The table's own hidden columns (the fts5 table's name and rank) are no
  // columns of a row.
  EXPECT_EQ(names(catalog->table("docs").columns()), (std::vector<std::string>{"title", "body"}));
}

TEST_F(SqliteCatalogTest, TableByNameIgnoresCaseAndIsLazy) {
  std::unique_ptr<Catalog> catalog = Catalog::open(connection_);
  Table& upper = catalog->table("ORDERS");
  EXPECT_EQ(upper.name(), "orders");
  EXPECT_EQ(&upper, &catalog->table("orders"));
  EXPECT_EQ(catalog->findTable("no_such_table"), nullptr);
  try {
    catalog->table("no_such_table");
    FAIL() << "found";
  } catch (const WizError& e) {
    EXPECT_EQ(e.number(), kErrItemNotFound);
  }
  // The system tables of SQLite itself are not tables of the catalogue.
  EXPECT_EQ(catalog->findTable("sqlite_schema"), nullptr);
}

TEST(SqliteConnection, MissingFileFailsAndCreatesNothing) {
  ScopedTempDir dir;
  std::string path = dir / "absent.db";
  try {
    openConnection("Driver={SQLite3};Database=" + path);
    FAIL() << "opened";
  } catch (const WizError& e) {
    EXPECT_EQ(e.source(), "SQLite");
    EXPECT_EQ(e.number() & 0xff, 14);  // SQLITE_CANTOPEN
    EXPECT_NE(e.description().find(path), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(path));
  // A relative name that looks like a URI is a file name too.
  EXPECT_THROW(openConnection("Driver=SQLite3;Database=file:" + path + "?mode=rwc"), WizError);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(SqliteConnection, BadFilesAndStringsFailAtOpen) {
  ScopedTempDir dir;
  {
    std::ofstream junk(dir / "junk.db");
    junk << "this is not a database file, just some text that is long enough to have a header";
  }
  EXPECT_THROW(openConnection("Driver={SQLite3};Database=" + dir / "junk.db"), WizError);
  EXPECT_THROW(openConnection("Driver={SQLite3};Database=" + dir.path()), WizError);
  try {
    openConnection("Driver={SQLite3}");
    FAIL() << "opened";
  } catch (const WizError& e) {
    EXPECT_NE(e.description().find("Database="), std::string::npos);
  }
}

TEST(SqliteConnection, ReadOnlyExecuteAndClose) {
  ScopedTempDir dir;
  std::string connection = test::buildFixtureDatabase(dir / "f.db");
  std::unique_ptr<Connection> c = openConnection(connection, "user", "ignored", -1);
  c->execute("SELECT * FROM [order_lines]");
  c->execute("SELECT * FROM audit_log");  // no rows is success too
  EXPECT_THROW(c->execute("SELECT * FROM nowhere"), WizError);
  EXPECT_THROW(c->execute("SELECT * FROM broken_view"), WizError);
  try {
    c->execute("DELETE FROM regions");
    FAIL() << "wrote";
  } catch (const WizError& e) {
    EXPECT_EQ(e.number() & 0xff, 8);  // SQLITE_READONLY
  }
  c->close();
  c->close();
  try {
    c->execute("SELECT 1");
    FAIL() << "ran on a closed connection";
  } catch (const WizError& e) {
    EXPECT_EQ(e.number(), kErrObjectClosed);
  }
}

TEST(SqliteConnection, LongStatementsTimeOut) {
  ScopedTempDir dir;
  std::string connection = test::buildFixtureDatabase(dir / "f.db", true);
  Timeouts quick;
  quick.querySeconds = 1;
  std::unique_ptr<Connection> c = openConnection(connection, {}, {}, -1, quick);
  try {
    c->execute(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
        "SELECT count(*) FROM n");
    FAIL() << "ran forever";
  } catch (const WizError& e) {
    EXPECT_EQ(e.number(), kErrTimeout);
  }
  // The connection is still usable afterwards.
  c->execute("SELECT * FROM regions");
}

}  // namespace
}  // namespace tvk::db
