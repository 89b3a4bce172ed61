#include "host/cmd_schema.h"
#include "base/session.h"
#include "base/ui.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "database/database_test_support.h"
#include "support/temp_dir.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

class SchemaCommandTest : public ::testing::Test {
 protected:
  int run(const std::string& table = {}, const std::string& type = "List") {
    out_.str({});
    err_.str({});
    return runSchemaCommand({connection_, table, type}, out_, err_);
  }

  test::ScopedTempDir dir_;
  std::string connection_ = test::buildFixtureDatabase(dir_ / "shop.db");
  std::ostringstream out_, err_;
};

TEST_F(SchemaCommandTest, ListsWhatTheDataSourcePageOffers) {
  ASSERT_EQ(run(), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "T: regions\nT: customers\nT: customer_profiles\nT: priorities\nT: staff\nT: orders\n"
            "T: order_lines\nT: shipments\nT: audit_log\nV: customer_orders\nT: type_rows\nT: counters\n"
            "T: codes\nT: wide_key\nV: broken_view\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(SchemaCommandTest, PrintsTheDocumentChoosingATableProduces) {
  ASSERT_EQ(run("orders", "ListForm"), 0) << err_.str();
  std::string printed = dir_ / "printed.xml";
  {
    std::ofstream file(printed);
    file << out_.str();
  }
  Session session{std::make_shared<ConsoleUi>()};
  XMLWizData wizData{session};
  ASSERT_TRUE(wizData.Load(printed));
  EXPECT_EQ(wizData.GetNodeText(wiz::ProjectType), "ListForm");
  EXPECT_EQ(wizData.GetNodeText(wiz::DataSourceType), "ConnectionString");
  EXPECT_EQ(wizData.GetNodeText(wiz::ConnectionStringText), connection_);
  EXPECT_EQ(wizData.GetNodeText(wiz::DataProvider), "OTHER");
  EXPECT_EQ(wizData.GetNodeText(wiz::TableName), "orders");
  EXPECT_EQ(wizData.GetNodeText(wiz::TableReadOnly), "FALSE");
  EXPECT_EQ(wizData.GetNodeText(wiz::PrimaryKey), "order_id");
  std::vector<std::string> records = test::fieldRecords(wizData);
  ASSERT_EQ(records.size(), 9u);
  EXPECT_EQ(records[1], "customer_id|customer_id|3|Integer|4|TRUE|FALSE|TRUE:customers:cust:company_name|TRUE");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(SchemaCommandTest, ReadOnlyNoticeStillSucceeds) {
  ASSERT_EQ(run("order_lines", "Form"), 0);
  EXPECT_NE(out_.str().find("<TableReadOnly>TRUE</TableReadOnly>"), std::string::npos);
  EXPECT_NE(err_.str().find("Editing for this table has been disabled"), std::string::npos);
}

TEST_F(SchemaCommandTest, RefusalsExitOne) {
  EXPECT_EQ(run("order_lines", "ListForm"), 1);
  EXPECT_NE(err_.str().find("compound primary keys"), std::string::npos);
  EXPECT_EQ(out_.str(), "");

  EXPECT_EQ(run("broken_view"), 1);
  EXPECT_NE(err_.str().find("no such table: main.doomed"), std::string::npos);

  EXPECT_EQ(run("sqlite_sequence"), 1);
  EXPECT_NE(err_.str().find("The wizard offers no table or view \"sqlite_sequence\""), std::string::npos);

  connection_ = "Driver={SQLite3};Database=" + dir_ / "absent.db";
  EXPECT_EQ(run("orders"), 1);  // the connection page refuses it on the way
  EXPECT_NE(err_.str().find("Unable to open connection to database"), std::string::npos);
  EXPECT_EQ(run(), 1);
  EXPECT_NE(err_.str().find("Unable to open connection to database"), std::string::npos);
  EXPECT_EQ(out_.str(), "");
}

}  // namespace
}  // namespace tvk
