// The same schema read four ways: natively with SQLite, through ODBC on
// SQLite (libsqliteodbc), through ODBC on PostgreSQL (odbc-postgresql,
// against the server scripts/start-test-postgres starts; TVK_TEST_PG_FIXTURE
// names it) and through ODBC on MariaDB (odbc-mariadb, against the server of
// scripts/start-test-mariadb; TVK_TEST_MARIADB_FIXTURE). The field records must agree apart from what follows from the
// type codes each driver reports. Backends that are not available are
// skipped with the reason.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "base/ado_routines.h"
#include "base/error.h"
#include "base/session.h"
#include "base/ui.h"
#include "database/connection_string.h"
#include "database/data_access.h"
#include "database/database_test_support.h"
#include "database/field_data.h"
#include "database/sql_statement_builder.h"
#include "support/temp_dir.h"
#include "wizard/table_list.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

// The tables of tests/database/fixture.sql.
const std::vector<std::string> kFixtureTables = {"regions",   "customers",      "customer_profiles", "priorities",
                                                 "staff",     "orders",         "order_lines",       "shipments",
                                                 "audit_log", "customer_orders"};

std::string pgFixtureOrSkip() {
  std::optional<std::string> connection = test::environment("TVK_TEST_PG_FIXTURE");
  return connection.value_or("");
}

constexpr const char* kNoServer =
    "no PostgreSQL test server: run eval \"$(scripts/start-test-postgres)\" first (CI does)";

// A connection string that reaches the SQLite file through the ODBC driver
// (a Driver that is a library, not a name beginning with "SQLite").
std::string sqliteOdbc(const std::string& path) { return "Driver=libsqlite3odbc.so;Database=" + path; }

// Skips unless the connection opens; returns the reason otherwise.
std::optional<std::string> unavailable(const std::string& connection) {
  try {
    db::openConnection(connection);
    return std::nullopt;
  } catch (const WizError& e) {
    return e.source() + ": " + e.description();
  }
}

struct Field {
  std::string name, label, required, readOnly, lookup;
  int type = 0;
  std::string description, size, sorting;
};

std::map<std::string, std::vector<Field>> readAll(const std::string& connection, XMLWizData& wizData,
                                                  std::vector<TableListOption>* list) {
  wizData.SetNodeText(wiz::DataSourceType, "ConnectionString");
  wizData.SetNodeText(wiz::ConnectionStringText, connection);
  std::vector<TableListOption> options = HTMLTableList(wizData);
  if (list != nullptr) *list = options;
  std::map<std::string, std::vector<Field>> tables;
  for (const std::string& table : kFixtureTables) {
    wizData.SetNodeText(wiz::TableName, table);
    ResetTableData(wizData);
    std::vector<Field>& fields = tables[table];
    for (const XmlNode& node : wizData.GetFields()) {
      Field f;
      f.name = wizData.GetSubNodeText(node, wiz::FieldName);
      f.label = wizData.GetSubNodeText(node, wiz::ColumnLabel);
      f.type = std::stoi(wizData.GetSubNodeText(node, wiz::DataType));
      f.description = wizData.GetSubNodeText(node, wiz::DataTypeDesc);
      f.size = wizData.GetSubNodeText(node, wiz::FieldSize);
      f.required = wizData.GetSubNodeText(node, wiz::FieldRequired);
      f.readOnly = wizData.GetSubNodeText(node, wiz::FieldReadOnly);
      f.lookup = test::fieldRecord(node);
      f.lookup = f.lookup.substr(0, f.lookup.rfind('|'));
      f.lookup = f.lookup.substr(f.lookup.rfind('|') + 1);
      f.sorting = wizData.GetSubNodeText(node, wiz::AllowSorting);
      fields.push_back(f);
    }
    fields.push_back({"<key>", wizData.GetNodeText(wiz::PrimaryKey), "", "", "", 0, "", "", ""});
  }
  return tables;
}

// The customers table's columns as a server reports them: the key, a
// varchar(40), a char, a boolean, a numeric(10) and a long text, with the
// character type codes the server's driver uses (narrow or wide).
void expectCustomerColumns(const std::vector<Field>& customers, int varChar, int fixedChar, int longText) {
  EXPECT_EQ(customers[0].type, adotype::Integer);
  EXPECT_EQ(customers[1].type, varChar);
  EXPECT_EQ(customers[1].description, "Text (40)");
  EXPECT_EQ(customers[3].type, fixedChar);
  EXPECT_EQ(customers[4].type, adotype::Boolean);
  EXPECT_EQ(customers[4].required, "NA");
  EXPECT_EQ(customers[5].type, adotype::Numeric);
  EXPECT_EQ(customers[5].size, "10");
  EXPECT_EQ(customers[6].type, longText);
}

// The captions of a table list, in any order.
std::multiset<std::string> captionsOf(const std::vector<TableListOption>& list) {
  std::multiset<std::string> captions;
  for (const auto& o : list) captions.insert(o.caption);
  return captions;
}

// Every value must agree; the type code and what follows from it only where
// both drivers report the same code (a boolean's "NA" where either does).
// Without `sameKeyFilling` the key columns' read-only flag is left out: an
// INTEGER key is SQLite's rowid, which fills itself, and PostgreSQL's
// INTEGER key does not.
void expectSameRecords(const std::map<std::string, std::vector<Field>>& expected,
                       const std::map<std::string, std::vector<Field>>& actual, const std::string& backend,
                       bool sameKeyFilling = true) {
  for (const auto& [table, fields] : expected) {
    const std::vector<Field>& other = actual.at(table);
    ASSERT_EQ(other.size(), fields.size()) << backend << " " << table;
    for (size_t i = 0; i < fields.size(); ++i) {
      const Field& a = fields[i];
      const Field& b = other[i];
      std::string where = backend + " " + table + "." + a.name;
      EXPECT_EQ(a.name, b.name) << where;
      EXPECT_EQ(a.label, b.label) << where;
      if (sameKeyFilling || a.name != fields.back().label) {
        EXPECT_EQ(a.readOnly, b.readOnly) << where;
      }
      EXPECT_EQ(a.lookup, b.lookup) << where;
      bool booleanA = gfnBaseDataType(a.type) == adotype::Boolean;
      bool booleanB = gfnBaseDataType(b.type) == adotype::Boolean;
      if (!booleanA && !booleanB) {
        EXPECT_EQ(a.required, b.required) << where;
      }
      if (a.type == b.type) {
        EXPECT_EQ(a.description, b.description) << where;
        EXPECT_EQ(a.size, b.size) << where;
        EXPECT_EQ(a.sorting, b.sorting) << where;
      }
    }
  }
}

class IntrospectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_ / "fixture.db";
    native_ = test::buildFixtureDatabase(path_, true);
  }

  test::ScopedTempDir dir_;
  std::string path_;
  std::string native_;
  std::ostringstream messages_;
  std::shared_ptr<ConsoleUi> ui_ = std::make_shared<ConsoleUi>(messages_);
  Session session_{ui_};
};

TEST_F(IntrospectionTest, OdbcOnSqliteYieldsTheNativeRecords) {
  if (auto reason = unavailable(sqliteOdbc(path_))) GTEST_SKIP() << "SQLite ODBC driver: " << *reason;
  XMLWizData nativeData{session_}, odbcData{session_};
  std::vector<TableListOption> nativeList, odbcList;
  auto expected = readAll(native_, nativeData, &nativeList);
  auto actual = readAll(sqliteOdbc(path_), odbcData, &odbcList);
  // The driver does not report the rowid as filling itself: the keys of
  // rowid tables are entered there (SQLite still fills an empty one).
  expectSameRecords(expected, actual, "sqlite-odbc", false);
  std::vector<std::string> nativeCaptions, odbcCaptions;
  for (const auto& o : nativeList) nativeCaptions.push_back(o.caption);
  for (const auto& o : odbcList) odbcCaptions.push_back(o.caption);
  EXPECT_EQ(odbcCaptions, nativeCaptions);
  EXPECT_EQ(odbcData.GetNodeText(wiz::DataProvider), "OTHER");
  // The driver reports its own codes for some types: character columns are
  // VARCHAR, and NUMERIC reads as DOUBLE.
  EXPECT_EQ(actual.at("regions")[0].type, adotype::VarChar);
  EXPECT_EQ(actual.at("customers")[5].type, adotype::Double);
  EXPECT_EQ(actual.at("customers")[4].type, adotype::Boolean);
  EXPECT_EQ(messages_.str(), "");
}

TEST_F(IntrospectionTest, OdbcOnPostgresYieldsTheNativeRecords) {
  std::string pg = pgFixtureOrSkip();
  if (pg.empty()) GTEST_SKIP() << kNoServer;
  XMLWizData nativeData{session_}, pgData{session_};
  std::vector<TableListOption> nativeList, pgList;
  auto expected = readAll(native_, nativeData, &nativeList);
  auto actual = readAll(pg, pgData, &pgList);
  expectSameRecords(expected, actual, "postgres", false);
  EXPECT_EQ(messages_.str(), "");
  EXPECT_EQ(pgData.GetNodeText(wiz::DataProvider), "OTHER");
  EXPECT_EQ(pgData.GetNodeText(wiz::SQLDialect), "PostgreSQL");
  // No key of the fixture fills itself here: every one is entered.
  for (const auto& [table, fields] : actual)
    for (const Field& f : fields)
      if (f.name == fields.back().label) {
        EXPECT_EQ(f.readOnly, "FALSE") << table << "." << f.name;
      }

  // PostgreSQL lists by name, and once per schema: another schema's table
  // as "schema.table".
  std::multiset<std::string> nativeCaptions = captionsOf(nativeList);
  nativeCaptions.insert("T: pg_types");
  nativeCaptions.insert("T: archive.regions");
  EXPECT_EQ(captionsOf(pgList), nativeCaptions);

  // Here the codes agree with SQLite's wherever the types are the same kind.
  expectCustomerColumns(actual.at("customers"), adotype::VarChar, adotype::Char, adotype::LongVarChar);
}

TEST_F(IntrospectionTest, PostgresTypesMapToAdoCodes) {
  std::string pg = pgFixtureOrSkip();
  if (pg.empty()) GTEST_SKIP() << kNoServer;
  std::unique_ptr<db::Catalog> catalog = db::Catalog::open(pg);
  EXPECT_EQ(catalog->providerName(), "PostgreSQL");
  std::vector<std::string> described;
  for (const db::Column& c : catalog->table("pg_types").columns())
    described.push_back(c.name + " " + std::to_string(c.type) + " " + std::to_string(c.definedSize) +
                        (c.nullable() ? "" : " notnull") + (c.autoIncrement ? " auto" : ""));
  EXPECT_EQ(described,
            (std::vector<std::string>{"id 3 4 notnull auto", "big 20 8 notnull auto", "small 2 2", "whole 3 4",
                                      "huge 20 8", "single 4 4", "dbl 5 8", "num 131 12", "flag 11 2 notnull",
                                      "fixed 129 3", "varying 200 20", "long_text 201 0", "bytes 205 0", "day 133 0",
                                      "clock 134 0", "moment 135 0", "guid 72 16"}));
  // The default schema's table, not archive.regions, answers to the name.
  EXPECT_EQ(catalog->table("regions").columns().at(1).name, "region_name");
  EXPECT_EQ(catalog->table("REGIONS").entry().schema, "public");
  const std::vector<db::Index>& lines = catalog->table("order_lines").indexes();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines[0].primaryKey);
  EXPECT_EQ(lines[0].columns, (std::vector<std::string>{"order_id", "line_no"}));
}

constexpr const char* kNoMariadb = "no MariaDB test server: run eval \"$(scripts/start-test-mariadb)\" first (CI does)";

TEST_F(IntrospectionTest, OdbcOnMariadbYieldsTheNativeRecords) {
  std::string maria = test::environment("TVK_TEST_MARIADB_FIXTURE").value_or("");
  if (maria.empty()) GTEST_SKIP() << kNoMariadb;
  XMLWizData nativeData{session_}, mariaData{session_};
  std::vector<TableListOption> nativeList, mariaList;
  auto expected = readAll(native_, nativeData, &nativeList);
  auto actual = readAll(maria, mariaData, &mariaList);
  // MariaDB carries the base columns' NOT NULL into a view's columns.
  for (Field& f : expected.at("customer_orders"))
    if (f.name != "<key>") f.required = "TRUE";
  expectSameRecords(expected, actual, "mariadb", false);
  EXPECT_EQ(messages_.str(), "");
  EXPECT_EQ(mariaData.GetNodeText(wiz::DataProvider), "OTHER");

  // The database's own tables and views, and nothing of the server's own
  // databases (the driver offers some of performance_schema to everyone).
  std::multiset<std::string> nativeCaptions = captionsOf(nativeList);
  nativeCaptions.insert("T: maria_types");
  EXPECT_EQ(captionsOf(mariaList), nativeCaptions);

  // BOOLEAN (TINYINT(1) there) is a Boolean, as everywhere else; the
  // Unicode driver reports character columns as wide.
  expectCustomerColumns(actual.at("customers"), adotype::VarWChar, adotype::WChar, adotype::LongVarWChar);
}

TEST_F(IntrospectionTest, MariadbTypesMapToAdoCodes) {
  std::string maria = test::environment("TVK_TEST_MARIADB_FIXTURE").value_or("");
  if (maria.empty()) GTEST_SKIP() << kNoMariadb;
  std::unique_ptr<db::Catalog> catalog = db::Catalog::open(maria);
  EXPECT_EQ(catalog->providerName(), "MariaDB");
  std::vector<std::string> described;
  for (const db::Column& c : catalog->table("maria_types").columns())
    described.push_back(c.name + " " + std::to_string(c.type) + " " + std::to_string(c.definedSize) +
                        (c.nullable() ? "" : " notnull") + (c.autoIncrement ? " auto" : ""));
  // A TINYINT that is not TINYINT(1) stays a number; nullability is the
  // declared one (the driver reports TIMESTAMP and AUTO_INCREMENT columns
  // nullable).
  EXPECT_EQ(described, (std::vector<std::string>{"id 3 4 notnull auto", "tiny 16 1", "small 2 2", "whole 3 4",
                                                 "huge 20 8", "single 4 4", "dbl 5 8", "num 131 12",
                                                 "flag 11 2 notnull", "fixed 130 3", "vary 202 20", "long_text 203 0",
                                                 "bytes 205 0", "day 133 0", "clock 134 0", "moment 135 0"}));
  const std::vector<db::Index>& lines = catalog->table("order_lines").indexes();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines[0].primaryKey);
  EXPECT_EQ(lines[0].columns, (std::vector<std::string>{"order_id", "line_no"}));
}

// Names an application's schema uses that need quoting, a long varchar, and
// keys the database fills or not.
TEST_F(IntrospectionTest, PostgresQuotedNamesLongVarcharsAndKeys) {
  std::string pg = pgFixtureOrSkip();
  if (pg.empty()) GTEST_SKIP() << kNoServer;
  std::unique_ptr<db::Connection> admin = db::openConnection(pg);
  admin->execute("DROP TABLE IF EXISTS \"user\", app_keys, keyed_default, ident");
  XMLWizData wizData{session_};
  wizData.SetNodeText(wiz::DataSourceType, "ConnectionString");
  wizData.SetNodeText(wiz::ConnectionStringText, pg);
  wizData.SetNodeText(wiz::ProjectType, "List");
  HTMLTableList(wizData);
  ASSERT_EQ(wizData.GetNodeText(wiz::SQLDialect), "PostgreSQL");

  // "SELECT * FROM user" reads the current user's name: only the quoted
  // name finds out that there is no such table.
  wizData.SetNodeText(wiz::TableName, "user");
  EXPECT_NE(fsTableOpenError(wizData).find("does not exist"), std::string::npos);

  admin->execute(
      "CREATE TABLE \"user\" (id BIGSERIAL PRIMARY KEY, \"reply-to\" VARCHAR(2048), \"Name\" VARCHAR(40) NOT NULL,"
      " \"order\" INTEGER)");
  admin->execute("CREATE TABLE app_keys (sessid BIGINT NOT NULL PRIMARY KEY, owner BIGINT REFERENCES \"user\" (id))");
  admin->execute("CREATE TABLE keyed_default (code VARCHAR(8) NOT NULL DEFAULT 'new' PRIMARY KEY)");
  admin->execute("CREATE TABLE ident (id INTEGER GENERATED ALWAYS AS IDENTITY PRIMARY KEY)");
  std::vector<std::string> values;
  for (const TableListOption& o : HTMLTableList(wizData)) values.push_back(o.value);
  EXPECT_NE(std::find(values.begin(), values.end(), "user"), values.end());
  EXPECT_NE(std::find(values.begin(), values.end(), "archive.regions"), values.end());
  EXPECT_EQ(fsTableOpenError(wizData), "");
  EXPECT_TRUE(fbValidDataSource(wizData));
  ResetTableData(wizData);
  EXPECT_EQ(test::fieldRecords(wizData), (std::vector<std::string>{
                                             "id|id|20|20|8|TRUE|TRUE|NA|TRUE",
                                             "reply-to|reply-to|200|Long Text|2048|FALSE|FALSE|FALSE|TRUE",
                                             "Name|Name|200|Text (40)|40|TRUE|FALSE|FALSE|TRUE",
                                             "order|order|3|Integer|4|FALSE|FALSE|FALSE|TRUE",
                                         }));
  // The statement of the pages runs, with every field shown.
  for (const XmlNode& field : wizData.GetFields()) wizData.SetSubNodeText(field, wiz::ListShowField, "TRUE");
  ASSERT_TRUE(SetupGenerationData(wizData));
  std::string sql = wizData.GetNodeText(wiz::SQLStatement);
  EXPECT_EQ(sql, "SELECT \"user\".id, \"user\".\"reply-to\", \"user\".\"Name\", \"user\".\"order\" FROM \"user\" ");
  EXPECT_NO_THROW(admin->execute(sql + "WHERE \"user\".id = 1"));

  // A key the application assigns is entered; serial, identity and a
  // default fill theirs.
  wizData.SetNodeText(wiz::TableName, "app_keys");
  ResetTableData(wizData);
  EXPECT_EQ(test::fieldRecords(wizData).at(0), "sessid|sessid|20|20|8|TRUE|FALSE|NA|TRUE");
  EXPECT_EQ(test::fieldRecords(wizData).at(1), "owner|owner|20|20|8|FALSE|FALSE|TRUE:user:id:reply-to|TRUE");
  for (const XmlNode& field : wizData.GetFields()) {
    wizData.SetSubNodeText(field, wiz::ListShowField, "TRUE");
    wizData.SetSubNodeText(field, wiz::LookupTableType, "DatabaseTable");
  }
  ASSERT_TRUE(SetupGenerationData(wizData));
  EXPECT_NO_THROW(admin->execute(wizData.GetNodeText(wiz::SQLStatement)));
  wizData.SetNodeText(wiz::TableName, "keyed_default");
  ResetTableData(wizData);
  EXPECT_EQ(test::fieldRecords(wizData).at(0), "code|code|200|Text (8)|8|TRUE|TRUE|NA|TRUE");
  wizData.SetNodeText(wiz::TableName, "ident");
  ResetTableData(wizData);
  EXPECT_EQ(test::fieldRecords(wizData).at(0), "id|id|3|Integer|4|TRUE|TRUE|NA|TRUE");

  // Another schema's table is opened under its qualified name.
  wizData.SetNodeText(wiz::TableName, "archive.regions");
  EXPECT_EQ(fsTableOpenError(wizData), "");
  EXPECT_TRUE(fbValidDataSource(wizData));
  ResetTableData(wizData);
  EXPECT_EQ(test::fieldRecords(wizData).at(1), "retired_on|retired_on|133|133|0|FALSE|FALSE|FALSE|TRUE");
  for (const XmlNode& field : wizData.GetFields()) wizData.SetSubNodeText(field, wiz::ListShowField, "TRUE");
  ASSERT_TRUE(SetupGenerationData(wizData));
  EXPECT_NO_THROW(admin->execute(wizData.GetNodeText(wiz::SQLStatement)));

  admin->execute("DROP TABLE app_keys, \"user\", keyed_default, ident");
  EXPECT_EQ(messages_.str(), "");
}

TEST_F(IntrospectionTest, PostgresTableThatVanishedAfterListing) {
  std::string pg = pgFixtureOrSkip();
  if (pg.empty()) GTEST_SKIP() << kNoServer;
  std::string name = "vanishing_" + std::to_string(getpid());
  std::unique_ptr<db::Connection> admin = db::openConnection(pg);
  admin->execute("CREATE TABLE " + name + " (id INTEGER PRIMARY KEY)");
  XMLWizData wizData{session_};
  wizData.SetNodeText(wiz::DataSourceType, "ConnectionString");
  wizData.SetNodeText(wiz::ConnectionStringText, pg);
  bool listed = false;
  for (const TableListOption& o : HTMLTableList(wizData)) listed = listed || o.value == name;
  admin->execute("DROP TABLE " + name);
  EXPECT_TRUE(listed);
  wizData.SetNodeText(wiz::TableName, name);
  std::string error = fsTableOpenError(wizData);
  EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
  wizData.SetNodeText(wiz::ProjectType, "List");
  EXPECT_FALSE(fbValidDataSource(wizData));
  EXPECT_NE(messages_.str().find("Error : Unable to open the table " + name), std::string::npos);
}

TEST_F(IntrospectionTest, PostgresRefusedPasswordAndDroppedSession) {
  std::string pg = pgFixtureOrSkip();
  if (pg.empty()) GTEST_SKIP() << kNoServer;
  db::ConnectionString wrong = db::ConnectionString::parse(pg);
  wrong.set("PWD", "not-the-password");
  try {
    db::openConnection(wrong.text());
    FAIL() << "connected with a wrong password";
  } catch (const WizError& e) {
    EXPECT_EQ(e.source(), "ODBC 08001");
    EXPECT_NE(e.description().find("password authentication failed"), std::string::npos);
  }

  std::string tag = "tvk_drop_" + std::to_string(getpid());
  std::unique_ptr<db::Catalog> catalog = db::Catalog::open(pg + ";pqopt={application_name=" + tag + "}");
  ASSERT_FALSE(catalog->tables().empty());
  db::openConnection(pg)->execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = '" +
                                  tag + "'");
  try {
    catalog->table("orders").columns();
    FAIL() << "read from a dropped session";
  } catch (const WizError& e) {
    EXPECT_EQ(e.source().rfind("ODBC", 0), 0u) << e.source();
    EXPECT_FALSE(e.description().empty());
  }
}

// A TCP server on loopback that accepts and then either closes at once or
// never answers.
class FakeServer {
 public:
  explicit FakeServer(bool answerNothing) : silent_(answerNothing) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd_, 4);
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] {
      std::vector<int> held;
      while (!stop_) {
        int client = accept(fd_, nullptr, nullptr);
        if (client < 0) break;
        if (silent_)
          held.push_back(client);
        else
          close(client);
      }
      for (int client : held) close(client);
    });
  }
  ~FakeServer() {
    stop_ = true;
    shutdown(fd_, SHUT_RDWR);
    close(fd_);
    thread_.join();
  }
  int port() const { return port_; }

 private:
  bool silent_;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

std::string postgresAt(int port) {
  return "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + std::to_string(port) + ";Database=x;UID=x;PWD=x";
}

bool postgresDriverMissing(std::string* reason) {
  try {
    db::openConnection(postgresAt(1));
  } catch (const WizError& e) {
    if (e.description().find("Can't open lib") != std::string::npos) {
      *reason = e.description();
      return true;
    }
  }
  return false;
}

TEST(OdbcBadInput, UnknownDriver) {
  try {
    db::openConnection("Driver={TVK No Such Driver};Server=x");
    FAIL() << "connected";
  } catch (const WizError& e) {
    EXPECT_EQ(e.source(), "ODBC 01000");
    EXPECT_NE(e.description().find("Can't open lib 'TVK No Such Driver'"), std::string::npos);
  }
}

TEST(OdbcBadInput, ServerThatHangsUpOrNeverAnswers) {
  std::string reason;
  if (postgresDriverMissing(&reason)) GTEST_SKIP() << "PostgreSQL ODBC driver: " << reason;
  {
    FakeServer server(false);
    EXPECT_THROW(db::openConnection(postgresAt(server.port())), WizError);
  }
  FakeServer server(true);
  db::Timeouts quick;
  quick.loginSeconds = 2;
  auto start = std::chrono::steady_clock::now();
  try {
    db::openConnection(postgresAt(server.port()), {}, {}, -1, quick);
    FAIL() << "connected to a server that never answers";
  } catch (const WizError& e) {
    EXPECT_EQ(e.source(), "ODBC 08001");
    EXPECT_NE(e.description().find("timeout"), std::string::npos) << e.description();
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
}  // namespace tvk
