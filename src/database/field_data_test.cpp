#include "database/field_data.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "base/ado_routines.h"
#include "base/session.h"
#include "base/ui.h"
#include "database/database_test_support.h"
#include "database/sample_database.h"
#include "database/sql_statement_builder.h"
#include "support/temp_dir.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

using Records = std::vector<std::string>;

class FieldDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wizData_.SetNodeText(wiz::DataSourceType, "ConnectionString");
    wizData_.SetNodeText(wiz::ConnectionStringText, test::buildFixtureDatabase(dir_ / "shop.db"));
    // The data source page records the provider class with the table list.
    wizData_.SetNodeText(wiz::DataProvider, "OTHER");
  }

  // Makes the SQLite database `name`.db from the script and connects to it;
  // answers its connection string.
  std::string useDatabase(const std::string& name, const std::string& sql) {
    const std::string script = dir_ / (name + ".sql");
    test::writeFile(script, sql);
    db::buildSqliteDatabase(dir_ / (name + ".db"), {script});
    std::string connection = db::sqliteConnectionString(dir_ / (name + ".db"));
    wizData_.SetNodeText(wiz::ConnectionStringText, connection);
    return connection;
  }

  Records records(const std::string& table) {
    wizData_.SetNodeText(wiz::TableName, table);
    ResetTableData(wizData_);
    return test::fieldRecords(wizData_);
  }

  test::ScopedTempDir dir_;
  std::ostringstream messages_;
  std::shared_ptr<ConsoleUi> ui_ = std::make_shared<ConsoleUi>(messages_);
  Session session_{ui_};
  XMLWizData wizData_{session_};
};

TEST_F(FieldDataTest, KeyUniqueColumnAndTextForeignKey) {
  EXPECT_EQ(records("customers"),
            (Records{
                "cust|cust|3|Integer|4|TRUE|TRUE|NA|TRUE",
                "company_name|company_name|202|Text (40)|40|TRUE|FALSE|FALSE|TRUE",
                "email|email|202|Text (80)|80|FALSE|FALSE|FALSE|TRUE",
                "region_code|region_code|130|Text (2)|2|FALSE|FALSE|TRUE:regions:region_code:region_name|TRUE",
                "active|active|11|Boolean|2|NA|FALSE|FALSE|TRUE",
                "credit_limit|credit_limit|131|Numeric|10|FALSE|FALSE|FALSE|TRUE",
                "notes|notes|203|Long Text|0|FALSE|FALSE|FALSE|NA",
            }));
  EXPECT_EQ(wizData_.GetNodeText(wiz::PrimaryKey), "cust");
  EXPECT_TRUE(ui_->shown().empty());
}

TEST_F(FieldDataTest, ForeignKeysToDifferentlyNamedKeys) {
  EXPECT_EQ(records("orders"),
            (Records{
                "order_id|order_id|3|Integer|4|TRUE|TRUE|NA|TRUE",
                // The key is named cust, the first integer column of customers.
                "customer_id|customer_id|3|Integer|4|TRUE|FALSE|TRUE:customers:cust:company_name|TRUE",
                // staff's first integer column is badge_no; the key refers to
                // staff_id, and the lookup joins on what the key refers to.
                "staff_id|staff_id|3|Integer|4|FALSE|FALSE|TRUE:staff:staff_id:last_name|TRUE",
                // A related table without text shows its first other column.
                "priority_id|priority_id|3|Integer|4|FALSE|FALSE|TRUE:priorities:priority_id:weight|TRUE",
                "order_date|order_date|133|133|0|TRUE|FALSE|FALSE|TRUE",
                "shipped_at|shipped_at|135|135|0|FALSE|FALSE|FALSE|TRUE",
                "freight|freight|131|Numeric|8|FALSE|FALSE|FALSE|TRUE",
                "ship_name|ship_name|202|Text (255)|255|FALSE|FALSE|FALSE|TRUE",
                // Longer than 255 it reads as long text, yet sorts: VarWChar
                // folds onto Char, which always sorts.
                "ship_note|ship_note|202|Long Text|256|FALSE|FALSE|FALSE|TRUE",
            }));
}

TEST_F(FieldDataTest, CompoundKeyAndTwoColumnForeignKey) {
  EXPECT_EQ(records("order_lines"), (Records{
                                        // Only the key's first column is "the" key column, even though
                                        // it is also a foreign key; nothing fills it, so it is entered.
                                        "order_id|order_id|3|Integer|4|TRUE|FALSE|NA|TRUE",
                                        "line_no|line_no|2|2|2|TRUE|FALSE|FALSE|TRUE",
                                        "product|product|202|Text (60)|60|TRUE|FALSE|FALSE|TRUE",
                                        "quantity|quantity|3|Integer|4|TRUE|FALSE|FALSE|TRUE",
                                        "unit_price|unit_price|131|Numeric|10|TRUE|FALSE|FALSE|TRUE",
                                    }));
  EXPECT_EQ(wizData_.GetNodeText(wiz::PrimaryKey), "order_id");
  // Columns covered only by a two-column key get no lookup.
  EXPECT_EQ(records("shipments"), (Records{
                                      "shipment_id|shipment_id|3|Integer|4|TRUE|TRUE|NA|TRUE",
                                      "order_id|order_id|3|Integer|4|TRUE|FALSE|FALSE|TRUE",
                                      "line_no|line_no|2|2|2|TRUE|FALSE|FALSE|TRUE",
                                      "shipped_on|shipped_on|133|133|0|FALSE|FALSE|FALSE|TRUE",
                                  }));
  // Key order (b, a) differs from column order: b is the key column.
  EXPECT_EQ(records("wide_key").at(1), "b|b|3|Integer|4|TRUE|FALSE|NA|TRUE");
}

TEST_F(FieldDataTest, ForeignKeyThatIsAlsoUnique) {
  // The foreign key comes before the unique key, so the column keeps its
  // lookup.
  EXPECT_EQ(records("customer_profiles").at(1),
            "cust|cust|3|Integer|4|TRUE|FALSE|TRUE:customers:cust:company_name|TRUE");
}

TEST_F(FieldDataTest, NoKeyAndViews) {
  wizData_.SetNodeText(wiz::PrimaryKey, "stale");
  EXPECT_EQ(records("audit_log"), (Records{
                                      "logged_at|logged_at|135|135|0|TRUE|FALSE|FALSE|TRUE",
                                      "who|who|202|Text (30)|30|FALSE|FALSE|FALSE|TRUE",
                                      "what|what|203|Long Text|0|FALSE|FALSE|FALSE|NA",
                                  }));
  EXPECT_EQ(wizData_.GetNodeText(wiz::PrimaryKey), "");
  EXPECT_EQ(records("customer_orders"), (Records{
                                            "order_id|order_id|3|Integer|4|FALSE|FALSE|FALSE|TRUE",
                                            "company_name|company_name|202|Text (40)|40|FALSE|FALSE|FALSE|TRUE",
                                            "order_date|order_date|133|133|0|FALSE|FALSE|FALSE|TRUE",
                                        }));
}

TEST_F(FieldDataTest, JetMarksAutoIncrementColumnsReadOnly) {
  wizData_.SetNodeText(wiz::DataProvider, "JET");
  Records jet = records("counters");
  EXPECT_EQ(jet,
            (Records{"id|id|3|Integer|4|FALSE|TRUE|NA|TRUE", "label|label|202|Text (20)|20|TRUE|FALSE|FALSE|TRUE"}));
  // A key that does not fill itself is editable, on JET and elsewhere.
  EXPECT_EQ(records("regions").at(0), "region_code|region_code|130|Text (2)|2|TRUE|FALSE|NA|TRUE");
  wizData_.SetNodeText(wiz::DataProvider, "OTHER");
  EXPECT_EQ(records("regions").at(0), "region_code|region_code|130|Text (2)|2|TRUE|FALSE|NA|TRUE");
}

// Schemas as applications write them for SQLite: keys the application
// assigns, keys with a default, MySQL-style declarations.
TEST_F(FieldDataTest, KeysAreReadOnlyOnlyWhenTheDatabaseFillsThem) {
  useDatabase("app",
              "CREATE TABLE sessions (sess_id VARCHAR(40) NOT NULL PRIMARY KEY, changed INTEGER UNSIGNED NOT NULL,"
              " vars longblob);\n"
              "CREATE TABLE history (itemid BIGINT UNSIGNED NOT NULL PRIMARY KEY, clock INTEGER UNSIGNED,"
              " value JSON);\n"
              "CREATE TABLE stamped (code VARCHAR(8) NOT NULL DEFAULT 'new' PRIMARY KEY, note TEXT);\n"
              "CREATE TABLE rowid_key (id INTEGER NOT NULL PRIMARY KEY, note VARCHAR(2048));\n"
              "CREATE TABLE int_key (id INT NOT NULL PRIMARY KEY, note SMALLINT UNSIGNED);\n");
  EXPECT_EQ(records("sessions"), (Records{
                                     "sess_id|sess_id|202|Text (40)|40|TRUE|FALSE|NA|TRUE",
                                     "changed|changed|3|Integer|4|TRUE|FALSE|FALSE|TRUE",
                                     "vars|vars|205|205|0|FALSE|FALSE|FALSE|NA",
                                 }));
  EXPECT_EQ(records("history"), (Records{
                                    "itemid|itemid|20|20|8|TRUE|FALSE|NA|TRUE",
                                    "clock|clock|3|Integer|4|FALSE|FALSE|FALSE|TRUE",
                                    "value|value|12|12|0|FALSE|FALSE|FALSE|NA",
                                }));
  // A default fills the key; so does SQLite's rowid (INTEGER, not INT).
  EXPECT_EQ(records("stamped").at(0), "code|code|202|Text (8)|8|TRUE|TRUE|NA|TRUE");
  EXPECT_EQ(records("rowid_key"), (Records{
                                      "id|id|3|Integer|4|TRUE|TRUE|NA|TRUE",
                                      "note|note|202|Long Text|2048|FALSE|FALSE|FALSE|TRUE",
                                  }));
  EXPECT_EQ(records("int_key"), (Records{
                                    "id|id|3|Integer|4|TRUE|FALSE|NA|TRUE",
                                    "note|note|2|2|2|FALSE|FALSE|FALSE|TRUE",
                                }));
  EXPECT_TRUE(ui_->shown().empty());
}

// A key's column need not have the referenced column's type: integers of
// any width link to each other; a number never links to text.
TEST_F(FieldDataTest, IntegerKeysLinkWhateverTheirWidth) {
  useDatabase("widths",
              "CREATE TABLE kinds (kind_id INTEGER PRIMARY KEY, label VARCHAR(20));\n"
              "CREATE TABLE codes (code VARCHAR(4) PRIMARY KEY, num INTEGER, label VARCHAR(20));\n"
              "CREATE TABLE things (id INTEGER PRIMARY KEY, kind bigint REFERENCES kinds (kind_id),"
              " small_kind SMALLINT UNSIGNED REFERENCES kinds, code_num INTEGER REFERENCES codes (code));\n");
  EXPECT_EQ(records("things"), (Records{
                                   "id|id|3|Integer|4|FALSE|TRUE|NA|TRUE",
                                   "kind|kind|20|20|8|FALSE|FALSE|TRUE:kinds:kind_id:label|TRUE",
                                   // A bare REFERENCES: the referenced table's key.
                                   "small_kind|small_kind|2|2|2|FALSE|FALSE|TRUE:kinds:kind_id:label|TRUE",
                                   // Not the text key: the first integer column.
                                   "code_num|code_num|3|Integer|4|FALSE|FALSE|TRUE:codes:num:code|TRUE",
                               }));
  EXPECT_TRUE(ui_->shown().empty());

  EXPECT_TRUE(gfbLinkableDataType(adotype::BigInt, adotype::Integer));
  EXPECT_TRUE(gfbLinkableDataType(adotype::UnsignedTinyInt, adotype::UnsignedBigInt));
  EXPECT_TRUE(gfbLinkableDataType(adotype::VarWChar, adotype::Char));
  EXPECT_FALSE(gfbLinkableDataType(adotype::Integer, adotype::VarChar));
  EXPECT_FALSE(gfbLinkableDataType(adotype::Integer, adotype::Numeric));
  EXPECT_FALSE(gfbLinkableDataType(adotype::Boolean, adotype::SmallInt));
}

// The page's statement over names SQLite refuses bare runs once quoted.
TEST_F(FieldDataTest, StatementOverHyphenatedAndReservedNamesRunsOnSqlite) {
  std::string connection = useDatabase("names",
                                       "CREATE TABLE \"group\" (id INTEGER PRIMARY KEY, name VARCHAR(20));\n"
                                       "CREATE TABLE \"order\" (id INTEGER PRIMARY KEY, \"reply-to\" VARCHAR(80),"
                                       " \"group\" INTEGER REFERENCES \"group\" (id));\n"
                                       "INSERT INTO \"group\" VALUES (1, 'one');\n"
                                       "INSERT INTO \"order\" VALUES (1, 'a@b.example', 1);\n");
  wizData_.SetNodeText(wiz::SQLDialect, "SQLite");
  records("order");
  for (const XmlNode& field : wizData_.GetFields()) {
    wizData_.SetSubNodeText(field, wiz::ListShowField, "TRUE");
    wizData_.SetSubNodeText(field, wiz::LookupTableType, "DatabaseTable");
  }
  ASSERT_TRUE(SetupGenerationData(wizData_));
  std::string sql = wizData_.GetNodeText(wiz::SQLStatement);
  EXPECT_EQ(sql,
            "SELECT \"order\".id, \"order\".\"reply-to\", \"order\".\"group\", \"group\".name FROM \"order\" "
            "LEFT OUTER JOIN \"group\" ON \"order\".\"group\" = \"group\".id ");
  EXPECT_NO_THROW(db::openConnection(connection)->execute(sql + "WHERE \"order\".id = 1"));
  EXPECT_TRUE(ui_->shown().empty());
}

TEST_F(FieldDataTest, ResetEmptiesDerivedValuesAndRunningTwiceAddsNothing) {
  wizData_.SetNodeText(wiz::TableReadOnly, "TRUE");
  wizData_.SetNodeText(wiz::SQLStatement, "SELECT old");
  Records first = records("orders");
  EXPECT_EQ(wizData_.GetNodeText(wiz::TableReadOnly), "");
  EXPECT_EQ(wizData_.GetNodeText(wiz::SQLStatement), "");
  SetupXMLFieldData_ADOX(wizData_);
  EXPECT_EQ(test::fieldRecords(wizData_), first);
  EXPECT_EQ(wizData_.GetNodes("Fields").size(), 1u);
  // Another table replaces every record.
  EXPECT_EQ(records("regions").size(), 2u);
}

TEST_F(FieldDataTest, UnknownTableOrConnectionIsReportedAndLeavesTheRecords) {
  records("regions");
  wizData_.SetNodeText(wiz::TableName, "vanished");
  SetupXMLFieldData_ADOX(wizData_);
  ASSERT_EQ(ui_->shown().size(), 1u);
  EXPECT_NE(ui_->shown()[0].find("Error No: 3265"), std::string::npos);
  EXPECT_NE(ui_->shown()[0].find("TVKWizard.frmWizard.SetupXMLFieldData_ADOX"), std::string::npos);
  EXPECT_EQ(test::fieldRecords(wizData_).size(), 2u);
}

}  // namespace
}  // namespace tvk
