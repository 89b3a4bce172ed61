#include "host/cmd_schema.h"
#include "base/session.h"
#include "base/ui.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/xml.h"
#include "database/database_test_support.h"
#include "database/sample_database.h"
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

// Names that neither a statement, a page nor an XML document can carry are
// refused by the wizard's table check, naming the table or the column,
// before any SQL runs on them; a raw database error never surfaces, and what
// is printed is always a well-formed document.
TEST_F(SchemaCommandTest, NamesNoStatementOrDocumentCanCarryAreRefusedByName) {
  test::writeFile(dir_ / "odd.sql",
                  "CREATE TABLE t_ctl (id INTEGER PRIMARY KEY, \"\x01"
                  "bad\" TEXT);\n"
                  "CREATE TABLE t_ff (id INTEGER PRIMARY KEY, \"form\x0c"
                  "feed\" TEXT);\n"
                  "CREATE TABLE t_quote (id INTEGER PRIMARY KEY, \"o'b\" TEXT, \"say \"\"hi\"\" %> <x>\" TEXT);\n"
                  "CREATE TABLE t_bracket (id INTEGER PRIMARY KEY, \"a]b\" TEXT);\n"
                  "CREATE TABLE \"q\"\"uote\" (id INTEGER PRIMARY KEY);\n"
                  "CREATE TABLE \"br[ack]et\" (id INTEGER PRIMARY KEY);\n"
                  "CREATE TABLE \"pc%t\" (id INTEGER PRIMARY KEY);\n"
                  "CREATE TABLE \"lt<x>\" (id INTEGER PRIMARY KEY);\n"
                  "CREATE TABLE \"nl\nx\" (id INTEGER PRIMARY KEY);\n"
                  "CREATE TABLE \"caf\xc3\xa9\" (id INTEGER PRIMARY KEY, \"pr\xc3\xa8s\" TEXT);\n");
  db::buildSqliteDatabase(dir_ / "odd.db", {dir_ / "odd.sql"});
  connection_ = "Driver={SQLite3};Database=" + dir_ / "odd.db";
  const std::string tail = ", which a SQL statement cannot carry";
  for (const auto& [table, message] : std::vector<std::pair<std::string, std::string>>{
           {"t_ctl", "The column \\x01bad of the table t_ctl holds a control character" + tail},
           {"t_ff", "The column form\\x0Cfeed of the table t_ff holds a control character" + tail},
           {"t_bracket", "The column a]b of the table t_bracket holds a \"]\"" + tail},
           {"q\"uote", "The table name q\"uote holds a \"\"\"" + tail},
           {"br[ack]et", "The table name br[ack]et holds a \"[\"" + tail},
           {"pc%t", "The table name pc%t holds a \"%\"" + tail},
           {"lt<x>", "The table name lt<x> holds a \"<\"" + tail},
           {"nl\nx", "The table name nl\\x0Ax holds a control character" + tail}}) {
    EXPECT_EQ(run(table), 1) << table;
    EXPECT_NE(err_.str().find("TVK Wizard: " + message), std::string::npos) << err_.str();
    for (const char* raw : {"syntax error", "unrecognized token", "no such table"})
      EXPECT_EQ(err_.str().find(raw), std::string::npos) << err_.str();
    EXPECT_EQ(out_.str(), "");
  }
  // Letters beyond ASCII are names like any other, and so is a column with
  // an apostrophe, a quote or script brackets (the pages write each for its
  // place).
  EXPECT_EQ(run("t_quote"), 0) << err_.str();
  ASSERT_EQ(run("caf\xc3\xa9"), 0) << err_.str();
  std::string error;
  EXPECT_TRUE(parseXmlText(out_.str(), &error)) << error;
  EXPECT_NE(out_.str().find("<FieldName>pr\xc3\xa8s</FieldName>"), std::string::npos);
}

}  // namespace
}  // namespace tvk
