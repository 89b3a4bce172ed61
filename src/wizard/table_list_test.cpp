#include "wizard/table_list.h"

#include <gtest/gtest.h>

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

class TableListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wizData_.SetNodeText(wiz::DataSourceType, "ConnectionString");
    wizData_.SetNodeText(wiz::ConnectionStringText, test::buildFixtureDatabase(dir_ / "shop.db"));
  }

  bool validate(const std::string& projectType, const std::string& table) {
    wizData_.SetNodeText(wiz::ProjectType, projectType);
    wizData_.SetNodeText(wiz::TableName, table);
    return fbValidDataSource(wizData_);
  }

  test::ScopedTempDir dir_;
  std::ostringstream messages_;
  std::shared_ptr<ConsoleUi> ui_ = std::make_shared<ConsoleUi>(messages_);
  Session session_{ui_};
  XMLWizData wizData_{session_};
};

TEST_F(TableListTest, TablesAndViewsInCatalogueOrderWithoutSystemTables) {
  std::vector<TableListOption> options = HTMLTableList(wizData_);
  std::vector<std::string> captions, values;
  for (const TableListOption& o : options) {
    captions.push_back(o.caption);
    values.push_back(o.value);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"T: regions", "T: customers", "T: customer_profiles", "T: priorities",
                                                "T: staff", "T: orders", "T: order_lines", "T: shipments",
                                                "T: audit_log", "V: customer_orders", "T: type_rows", "T: counters",
                                                "T: codes", "T: wide_key", "V: broken_view"}));
  EXPECT_EQ(values.front(), "regions");
  EXPECT_EQ(values.back(), "broken_view");
  EXPECT_EQ(wizData_.GetNodeText(wiz::DataProvider), "OTHER");
  EXPECT_TRUE(ui_->shown().empty());
}

TEST_F(TableListTest, NoConnectionShowsTheMessageThenTheErrorReport) {
  wizData_.SetNodeText(wiz::ConnectionStringText, "Driver={SQLite3};Database=" + (dir_ / "none.db"));
  wizData_.SetNodeText(wiz::DataProvider, "JET");
  EXPECT_TRUE(HTMLTableList(wizData_).empty());
  ASSERT_EQ(ui_->shown().size(), 2u);
  EXPECT_EQ(ui_->shown()[0].rfind("TVK Wizard: Unable to open connection to database", 0), 0u);
  EXPECT_NE(ui_->shown()[1].find("Error No: 91"), std::string::npos);
  EXPECT_NE(ui_->shown()[1].find("Source : TVKWizard.frmWizard.HTMLTableList"), std::string::npos);
  EXPECT_EQ(wizData_.GetNodeText(wiz::DataProvider), "JET");  // Abort: nothing stored
}

TEST_F(TableListTest, TableOpenError) {
  wizData_.SetNodeText(wiz::TableName, "order_lines");
  EXPECT_EQ(fsTableOpenError(wizData_), "");
  wizData_.SetNodeText(wiz::TableName, "broken_view");
  EXPECT_EQ(fsTableOpenError(wizData_), "no such table: main.doomed");
  wizData_.SetNodeText(wiz::TableName, "vanished");
  EXPECT_EQ(fsTableOpenError(wizData_), "no such table: vanished");
  // Nothing runs for a name that would end the statement.
  wizData_.SetNodeText(wiz::TableName, "regions; DELETE FROM regions");
  EXPECT_EQ(fsTableOpenError(wizData_),
            "The table name regions; DELETE FROM regions holds a \";\", which a SQL statement cannot carry");
  EXPECT_TRUE(ui_->shown().empty());  // it shows nothing itself
}

TEST_F(TableListTest, KeyRules) {
  const std::string compoundEdit =
      "TVK Wizard: The Wizard doesn't support editing tables,\r\nthat have compound primary keys (PK's that"
      "\r\nuse multiple fields).\r\n\r\nEditing for this table has been disabled";
  const std::string compoundListForm =
      "TVK Wizard: The Wizard doesn't support List & Form projects\r\nwith tables that have compound "
      "primary keys\r\n(PK's that use multiple fields).\r\n\r\nPlease choose another table or use back "
      "to change project type";
  const std::string noKeyEdit =
      "TVK Wizard: The Wizard doesn't support editing tables,\r\nthat don't have primary keys. \r\n\r\n"
      "Editing for this table has been disabled";
  const std::string noKeyListForm =
      "TVK Wizard: The Wizard doesn't  support List & Form projects\r\nwith tables that don't have "
      "primary keys. \r\n\r\nPlease choose another table or use back to change project type";
  struct Case {
    const char *type, *table, *readOnlyBefore;
    bool valid;
    const char* readOnlyAfter;  // a refusal leaves it as it was
    std::string message;        // empty: none
  } cases[] = {
      {"ListForm", "customers", "TRUE", true, "FALSE", ""},  // a single-column key makes it editable
      {"List", "regions", "TRUE", true, "FALSE", ""},
      {"Form", "codes", "TRUE", true, "FALSE", ""},
      {"List", "order_lines", "FALSE", true, "TRUE", compoundEdit},
      {"ListForm", "wide_key", "FALSE", false, "FALSE", compoundListForm},
      {"Form", "audit_log", "FALSE", true, "TRUE", noKeyEdit},
      {"List", "customer_orders", "FALSE", true, "TRUE", noKeyEdit},  // a view has no key either
      {"ListForm", "audit_log", "", false, "", noKeyListForm},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    size_t before = ui_->shown().size();
    wizData_.SetNodeText(wiz::TableReadOnly, c.readOnlyBefore);
    EXPECT_EQ(validate(c.type, c.table), c.valid);
    EXPECT_EQ(wizData_.GetNodeText(wiz::TableReadOnly), c.readOnlyAfter);
    ASSERT_EQ(ui_->shown().size(), before + (c.message.empty() ? 0 : 1));
    if (!c.message.empty()) {
      EXPECT_EQ(ui_->shown().back(), c.message);
    }
  }
}

TEST_F(TableListTest, MissingOrEmptyTableName) {
  EXPECT_FALSE(validate("List", "   "));
  EXPECT_FALSE(validate("List", "vanished"));
  EXPECT_EQ(ui_->shown(), (std::vector<std::string>{"TVK Wizard: Please choose a table in the database",
                                                    "TVK Wizard: Error : Unable to open the table vanished"}));
}

}  // namespace
}  // namespace tvk
