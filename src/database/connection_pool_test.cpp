#include "database/connection_pool.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "base/error.h"
#include "base/session.h"
#include "base/ui.h"
#include "database/database_connection.h"
#include "database/database_test_support.h"
#include "database/field_data.h"
#include "database/sqlite_handles.h"
#include "support/temp_dir.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

// Counts the backend calls that reach the database, by name.
class CountingConnection final : public db::Connection {
 public:
  CountingConnection(std::unique_ptr<db::Connection> inner, std::map<std::string, int>& calls)
      : inner_(std::move(inner)), calls_(calls) {}
  std::string providerName() override { return inner_->providerName(); }
  std::string identifierQuote() override { return inner_->identifierQuote(); }
  void execute(std::string_view statement) override {
    ++calls_["execute"];
    inner_->execute(statement);
  }
  void close() override { inner_->close(); }
  std::vector<db::TableEntry> listTables() override {
    ++calls_["listTables"];
    return inner_->listTables();
  }
  std::optional<db::TableEntry> findTable(std::string_view name) override {
    ++calls_["findTable"];
    return inner_->findTable(name);
  }
  std::vector<db::Column> readColumns(const db::TableEntry& table) override {
    ++calls_["readColumns"];
    return inner_->readColumns(table);
  }
  std::vector<db::Index> readIndexes(const db::TableEntry& table) override {
    ++calls_["readIndexes"];
    return inner_->readIndexes(table);
  }
  std::vector<db::Key> readKeys(const db::TableEntry& table) override {
    ++calls_["readKeys"];
    return inner_->readKeys(table);
  }
  void forgetCachedSchema() override { inner_->forgetCachedSchema(); }

 private:
  std::unique_ptr<db::Connection> inner_;
  std::map<std::string, int>& calls_;
};

class ConnectionPoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    connection_ = test::buildFixtureDatabase(dir_ / "shop.db", true);
    choose(wizData_, connection_);
    countOpens(session_);
  }

  static void choose(XMLWizData& wizData, const std::string& connection) {
    wizData.SetNodeText(wiz::DataSourceType, wiz::kSourceConnectionString);
    wizData.SetNodeText(wiz::ConnectionStringText, connection);
  }

  // The seam: every open of the session's pool is counted, and fails while
  // failOpens_ is set.
  void countOpens(Session& session) {
    session.resource<db::ConnectionPool>().setOpener([this](const db::ConnectionSettings& settings) {
      ++opens_;
      if (failOpens_) raise(3001, "Test", "the server is away");
      return std::make_unique<CountingConnection>(
          db::openConnection(settings.connectionString, settings.user, settings.password), calls_);
    });
  }

  // Runs SQL against the fixture file behind the wizard's back.
  void alter(const std::string& sql) {
    db::SqliteDb db = db::sqliteOpen(dir_ / "shop.db", SQLITE_OPEN_READWRITE);
    db::sqliteExecScript(db.get(), sql);
  }

  test::ScopedTempDir dir_;
  std::string connection_;
  int opens_ = 0;
  bool failOpens_ = false;
  std::map<std::string, int> calls_;
  std::ostringstream messages_;
  std::shared_ptr<ConsoleUi> ui_ = std::make_shared<ConsoleUi>(messages_);
  Session session_{ui_};
  XMLWizData wizData_{session_};
};

TEST_F(ConnectionPoolTest, OneConnectionPerDatabaseForTheSession) {
  ASSERT_TRUE(fbValidDataConnection(wizData_));
  std::shared_ptr<db::Catalog> catalog = foOpenADOXConnection(wizData_);
  std::shared_ptr<db::Connection> first = fdbConOpenConnection(wizData_);
  std::shared_ptr<db::Connection> second = fdbConOpenConnection(wizData_);
  ASSERT_TRUE(catalog && first && second);
  EXPECT_EQ(foOpenADOXConnection(wizData_), catalog);
  wizData_.SetNodeText(wiz::TableName, "orders");
  ResetTableData(wizData_);
  EXPECT_EQ(wizData_.GetNodeText(wiz::PrimaryKey), "order_id");
  EXPECT_EQ(opens_, 1);

  // A caller closing its handle ends that handle only.
  first->close();
  try {
    first->execute("SELECT * FROM orders");
    ADD_FAILURE() << "a closed handle still runs statements";
  } catch (const WizError& e) {
    EXPECT_EQ(e.number(), db::kErrObjectClosed);
  }
  second->execute("SELECT * FROM orders");
  EXPECT_EQ(catalog->table("customers").columns().size(), 7u);
  EXPECT_TRUE(fdbConOpenConnection(wizData_));
  EXPECT_EQ(opens_, 1);

  // Another database, or the same one under another user, is another
  // connection.
  XMLWizData other{session_};
  choose(other, test::buildFixtureDatabase(dir_ / "other.db", true));
  EXPECT_TRUE(fdbConOpenConnection(other));
  EXPECT_TRUE(fdbConOpenConnection(other));
  db::ConnectionPool& pool = session_.resource<db::ConnectionPool>();
  EXPECT_TRUE(pool.connection({connection_, "web", "secret"}));
  EXPECT_EQ(opens_, 3);
  EXPECT_EQ(pool.size(), 3u);
  EXPECT_TRUE(ui_->shown().empty());
}

TEST_F(ConnectionPoolTest, AFailureDropsThePooledConnection) {
  std::shared_ptr<db::Connection> before = fdbConOpenConnection(wizData_);
  std::shared_ptr<db::Catalog> catalog = foOpenADOXConnection(wizData_);
  ASSERT_TRUE(before && catalog);
  // A table that is not there is the catalogue's answer, not a failure of
  // the connection.
  EXPECT_THROW(catalog->table("no_such_table"), WizError);
  EXPECT_EQ(foOpenADOXConnection(wizData_), catalog);
  EXPECT_EQ(opens_, 1);

  EXPECT_THROW(before->execute("SELECT * FROM no_such_table"), WizError);
  std::shared_ptr<db::Connection> after = fdbConOpenConnection(wizData_);
  ASSERT_TRUE(after);
  EXPECT_EQ(opens_, 2);
  EXPECT_NE(foOpenADOXConnection(wizData_), catalog);
  EXPECT_EQ(session_.resource<db::ConnectionPool>().size(), 1u);
  // Those who hold the dropped connection keep it until they let go.
  before->execute("SELECT * FROM orders");
  after->execute("SELECT * FROM orders");
  EXPECT_EQ(opens_, 2);

  // A failed open pools nothing: the message, then a fresh try next time.
  XMLWizData other{session_};
  choose(other, test::buildFixtureDatabase(dir_ / "other.db", true));
  failOpens_ = true;
  EXPECT_FALSE(fdbConOpenConnection(other));
  ASSERT_EQ(ui_->shown().size(), 1u);
  EXPECT_EQ(ui_->shown()[0],
            "TVK Wizard: Unable to open connection to database\r\n\r\nError : Test (3001) - the server is away");
  failOpens_ = false;
  EXPECT_TRUE(fdbConOpenConnection(other));
  EXPECT_EQ(opens_, 4);
}

TEST_F(ConnectionPoolTest, SessionsDoNotShareAndCloseTheirOwnAtTheEnd) {
  std::shared_ptr<db::Connection> kept;
  std::shared_ptr<db::Catalog> keptCatalog;
  std::shared_ptr<db::Connection> mine = fdbConOpenConnection(wizData_);
  ASSERT_TRUE(mine);
  {
    Session other{ui_};
    countOpens(other);
    XMLWizData otherData{other};
    choose(otherData, connection_);
    kept = fdbConOpenConnection(otherData);
    keptCatalog = foOpenADOXConnection(otherData);
    ASSERT_TRUE(kept && keptCatalog);
    EXPECT_NE(keptCatalog, foOpenADOXConnection(wizData_));
    EXPECT_EQ(opens_, 2);
  }
  // The other session is over: its connection is closed under whoever still
  // holds it, and this session's is untouched.
  for (auto* call :
       {+[](db::Connection& c) { c.execute("SELECT * FROM orders"); }, +[](db::Connection& c) { c.listTables(); }}) {
    try {
      call(*kept);
      ADD_FAILURE() << "a connection of an ended session still works";
    } catch (const WizError& e) {
      EXPECT_EQ(e.number(), db::kErrObjectClosed);
    }
  }
  EXPECT_THROW(keptCatalog->table("orders").columns(), WizError);
  mine->execute("SELECT * FROM orders");
  EXPECT_EQ(opens_, 2);
}

TEST_F(ConnectionPoolTest, TheCatalogueSeesTablesMadeLaterInTheSession) {
  std::shared_ptr<db::Catalog> catalog = foOpenADOXConnection(wizData_);
  ASSERT_TRUE(catalog);
  size_t listed = catalog->tables().size();
  EXPECT_EQ(catalog->table("regions").columns().size(), 2u);

  alter(
      "CREATE TABLE made_later (id INTEGER PRIMARY KEY, label TEXT);"
      "ALTER TABLE regions ADD COLUMN retired_on DATE;");
  // Asked for by name, a new table is found even before the list is read
  // again; the list and what was read of a table stay until a refresh.
  ASSERT_NE(catalog->findTable("made_later"), nullptr);
  EXPECT_EQ(catalog->table("made_later").columns().size(), 2u);
  EXPECT_EQ(catalog->tables().size(), listed);
  db::Table& before = catalog->table("regions");
  EXPECT_EQ(before.columns().size(), 2u);

  catalog->refresh();
  EXPECT_EQ(catalog->tables().size(), listed + 1);
  EXPECT_EQ(catalog->tables().back().name, "made_later");
  EXPECT_EQ(catalog->table("regions").columns().size(), 3u);
  EXPECT_EQ(before.columns().size(), 2u);  // still valid, as it was read
  EXPECT_EQ(opens_, 1);
}

TEST_F(ConnectionPoolTest, ChoosingATableReadsEachPartOnce) {
  ASSERT_TRUE(fbValidDataConnection(wizData_));
  std::shared_ptr<db::Catalog> catalog = foOpenADOXConnection(wizData_);
  ASSERT_TRUE(catalog);
  catalog->refresh();
  catalog->tables();
  wizData_.SetNodeText(wiz::TableName, "orders");
  ResetTableData(wizData_);
  ResetTableData(wizData_);
  // orders, and customers, staff and priorities for its lookups.
  std::map<std::string, int> expected = {{"listTables", 1}, {"readIndexes", 1}, {"readColumns", 4}, {"readKeys", 1}};
  EXPECT_EQ(calls_, expected);
  std::vector<std::string> fields = test::fieldRecords(wizData_);
  ASSERT_EQ(fields.size(), 9u);
  EXPECT_EQ(fields[1], "customer_id|customer_id|3|Integer|4|TRUE|FALSE|TRUE:customers:cust:company_name|TRUE");
  EXPECT_EQ(opens_, 1);
  EXPECT_TRUE(ui_->shown().empty());
}

}  // namespace
}  // namespace tvk
