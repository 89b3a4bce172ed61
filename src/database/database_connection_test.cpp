#include "database/database_connection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "base/session.h"
#include "base/ui.h"
#include "database/database_test_support.h"
#include "support/temp_dir.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

class DatabaseConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override { connection_ = test::buildFixtureDatabase(dir_ / "shop.db", true); }

  std::string globalAsa(const std::string& user, const std::string& password) {
    std::string path = dir_ / "global.asa";
    std::ofstream(path) << "Sub Application_OnStart\n"
                        << "  Application(\"Shop_ConnectionString\") = \"" << connection_ << "\"\n"
                        << "  Application(\"Shop_RuntimeUserName\") = \"" << user << "\"\n"
                        << "  Application(\"Shop_RuntimePassword\") = \"" << password << "\"\n"
                        << "End Sub\n";
    return path;
  }

  test::ScopedTempDir dir_;
  std::string connection_;
  std::ostringstream messages_;
  std::shared_ptr<ConsoleUi> ui_ = std::make_shared<ConsoleUi>(messages_);
  Session session_{ui_};
  XMLWizData wizData_{session_};
};

TEST_F(DatabaseConnectionTest, TypedConnectionStringOpensBoth) {
  wizData_.SetNodeText(wiz::DataSourceType, "ConnectionString");
  wizData_.SetNodeText(wiz::ConnectionStringText, connection_);
  std::shared_ptr<db::Connection> connection = fdbConOpenConnection(wizData_);
  ASSERT_TRUE(connection);
  connection->execute("SELECT * FROM regions");
  std::shared_ptr<db::Catalog> catalog = foOpenADOXConnection(wizData_);
  ASSERT_TRUE(catalog);
  EXPECT_EQ(catalog->providerName(), "SQLite");
  EXPECT_TRUE(fbValidDataConnection(wizData_));
  EXPECT_TRUE(ui_->shown().empty());
}

TEST_F(DatabaseConnectionTest, GlobalAsaSourceWithAndWithoutUser) {
  wizData_.SetNodeText(wiz::DataSourceType, "GlobalASADataSource");
  wizData_.SetNodeText(wiz::GlobalASAPath, globalAsa("web", "s;cret"));
  wizData_.SetNodeText(wiz::GlobalASADataSourceName, "Shop");
  std::optional<ConnectionSettings> settings = chosenConnectionSettings(wizData_);
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->connectionString, connection_);
  EXPECT_EQ(settings->user, "web");
  EXPECT_EQ(settings->password, "s;cret");
  EXPECT_TRUE(fdbConOpenConnection(wizData_));
  EXPECT_TRUE(fbValidDataConnection(wizData_));

  // An empty run-time user: no user, and the password is not even read.
  globalAsa("", "unused");
  settings = chosenConnectionSettings(wizData_);
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->user, "");
  EXPECT_EQ(settings->password, "");
  EXPECT_TRUE(fbValidDataConnection(wizData_));
  EXPECT_TRUE(ui_->shown().empty());
}

TEST_F(DatabaseConnectionTest, UnknownSourceTypeOpensNothingSilently) {
  for (const char* type : {"", "Other", "connectionstring"}) {
    wizData_.SetNodeText(wiz::DataSourceType, type);
    wizData_.SetNodeText(wiz::ConnectionStringText, connection_);
    EXPECT_FALSE(chosenConnectionSettings(wizData_));
    EXPECT_FALSE(fdbConOpenConnection(wizData_));
    EXPECT_FALSE(foOpenADOXConnection(wizData_));
    EXPECT_FALSE(fbValidDataConnection(wizData_));
  }
  EXPECT_TRUE(ui_->shown().empty());
}

TEST_F(DatabaseConnectionTest, FailureShowsTheConnectionMessageAndCreatesNoFile) {
  std::string missing = dir_ / "missing.db";
  wizData_.SetNodeText(wiz::DataSourceType, "ConnectionString");
  wizData_.SetNodeText(wiz::ConnectionStringText, "Driver={SQLite3};Database=" + missing);
  EXPECT_FALSE(fdbConOpenConnection(wizData_));
  EXPECT_FALSE(fbValidDataConnection(wizData_));
  ASSERT_EQ(ui_->shown().size(), 2u);
  EXPECT_EQ(ui_->shown()[0],
            "TVK Wizard: Unable to open connection to database\r\n\r\n"
            "Error : SQLite (14) - unable to open database file: " +
                missing);
  EXPECT_EQ(ui_->shown()[1], ui_->shown()[0]);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(DatabaseConnectionTest, OdbcFailureCarriesTheDriverManagersDiagnostics) {
  wizData_.SetNodeText(wiz::DataSourceType, "ConnectionString");
  wizData_.SetNodeText(wiz::ConnectionStringText, "DSN=tvk_no_such_source_name");
  EXPECT_FALSE(fbValidDataConnection(wizData_));
  ASSERT_EQ(ui_->shown().size(), 1u);
  EXPECT_EQ(ui_->shown()[0],
            "TVK Wizard: Unable to open connection to database\r\n\r\n"
            "Error : ODBC IM002 (3001) - [unixODBC][Driver Manager]Data source name not found and no "
            "default driver specified");
}

}  // namespace
}  // namespace tvk
