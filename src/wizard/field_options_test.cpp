// The field options page on the real page file in a headless window, over a
// small SQLite database for the lookup tables.
#include "wizard/field_options.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "database/sample_database.h"
#include "support/wizard_window.h"
#include "wizard/page_routines.h"

namespace tvk {
namespace {

using Values = std::vector<std::string>;

class FieldOptionsTest : public test::WizardWindowTest {
 protected:
  void SetUp() override {
    test::writeFile(dir / "db.sql",
                    "CREATE TABLE customers (cust INTEGER NOT NULL PRIMARY KEY, company VARCHAR(40) NOT NULL);\n"
                    "CREATE TABLE orders (order_id INTEGER NOT NULL PRIMARY KEY, cust INTEGER, note "
                    "VARCHAR(200));\n");
    db::buildSqliteDatabase(dir / "db.sqlite", {dir / "db.sql"});
    data().SetNodeText(wiz::DataSourceType, wiz::kSourceConnectionString);
    data().SetNodeText(wiz::ConnectionStringText, db::sqliteConnectionString(dir / "db.sqlite"));
    data().SetNodeText(wiz::ProjectType, wiz::kTypeList);
    data().SetNodeText(wiz::TableName, "orders");
    // Data type, its name, required, read-only, sorting, lookup.
    addField("order_id", {"3", "Integer", "TRUE", "FALSE", "TRUE", "NA"});
    addField("cust", {"3", "Integer", "FALSE", "FALSE", "FALSE", "TRUE"});
    addField("O'Brien", {"202", "Text", "NA", "TRUE", "TRUE", "FALSE"});
    XmlNode cust = fieldByName(data(), "cust");
    for (auto [path, text] : {std::pair{wiz::LookupTableName, "customers"},
                              {wiz::LookupJoinField, "cust"},
                              {wiz::LookupShowField, "company"},
                              {wiz::LookupTableType, "DatabaseTable"},
                              {wiz::LookupDisplayType, "RadioList"}})
      data().SetSubNodeText(cust, path, text);
    // O'Brien is shown on the form only; a field shown on neither page.
    data().SetSubNodeText(fieldByName(data(), "O'Brien"), wiz::ListShowField, "FALSE");
    data().SetSubNodeText(fieldByName(data(), "O'Brien"), wiz::FormShowField, "TRUE");
    WizardWindowTest::addField("hidden");
  }

  void addField(std::string_view name, const Values& values) {
    XmlNode field = WizardWindowTest::addField(name);
    data().AddSubNode(field, wiz::ColumnLabel, name);
    const std::string_view paths[] = {wiz::DataType,      wiz::DataTypeDesc, wiz::FieldRequired,
                                      wiz::FieldReadOnly, wiz::AllowSorting, wiz::UseLookupTable};
    for (size_t i = 0; i < values.size(); ++i) data().SetSubNodeText(field, paths[i], values[i]);
    data().SetSubNodeText(field, wiz::ListShowField, "TRUE");
  }

  void showPage() { show("TVKFieldOptions"); }
  // Chooses a field as the developer does: the list changes, its handler runs.
  void choose(std::string_view name) {
    SetSelectSingleValue(wizard.page(), "FieldSelect", name);
    TVKW_FieldSelect_onchange(wizard);
  }
  void chooseTable(std::string_view table) {
    SetSelectSingleValue(wizard.page(), "LookupTable", table);
    TVKW_LinkTableSelect_onchange(wizard);
  }
  // "on" or "off", and ", disabled" when it is.
  std::string box(std::string_view id) {
    std::string state = view.document().flag(element(id), FlagProperty::Checked) ? "on" : "off";
    return view.document().flag(element(id), FlagProperty::Disabled) ? state + ", disabled" : state;
  }
  // The five option boxes: sorting, filtering, read-only, required, lookup.
  std::string boxes() {
    std::string all;
    for (std::string_view id : {"AllowSorting", "AllowFiltering", "ReadOnly", "RequiredField", "UseLookup"})
      all += (all.empty() ? "" : " / ") + box(id);
    return all;
  }
  std::string value(std::string_view id) { return gfsGetSelectSingleValue(wizard.page(), id); }
};

TEST_F(FieldOptionsTest, EachFieldShowsItsOwnOptions) {
  showPage();
  // Fields shown on either page, in the table's order; lookup tables after
  // the page's own empty entry.
  EXPECT_EQ(options("FieldSelect"), (Values{"order_id", "cust", "O'Brien"}));
  EXPECT_EQ(options("LookupTable"), (Values{"", "customers", "orders"}));
  // The key: no lookup; filtering is no option of any field, so it stays.
  EXPECT_EQ(gfsGetTextInputValue(wizard.page(), "FieldDataType"), "Integer");
  EXPECT_EQ(boxes(), "on / off / off / on / off, disabled");

  // A table lookup: its table, its columns, its stored choices.
  choose("cust");
  EXPECT_EQ(boxes(), "off / off / off / off / on");
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), "LookupType"), "DatabaseTable");
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), "LookupDisplayType"), "RadioList");
  EXPECT_EQ(value("LookupTable"), "customers");
  EXPECT_EQ(options("LookupTableLinkField"), (Values{"cust"}));  // numeric columns only
  EXPECT_EQ(options("LookupDisplayField"), (Values{"", "cust", "company"}));
  EXPECT_EQ(value("LookupTableLinkField") + "/" + value("LookupDisplayField"), "cust/company");

  // A name with an apostrophe, and required not applying.
  choose("O'Brien");
  EXPECT_EQ(gfsGetTextInputValue(wizard.page(), "ColumnLabel"), "O'Brien");
  EXPECT_EQ(boxes(), "on / off / on / off, disabled / off");
  choose("order_id");  // enabled again before it is set
  EXPECT_EQ(boxes(), "on / off / off / on / off, disabled");
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();
}

TEST_F(FieldOptionsTest, ChangesAreKeptWhenAnotherFieldIsChosen) {
  showPage();
  choose("O'Brien");
  SetTextInputValue(wizard.page(), "ColumnLabel", "Surname");
  SetCheckboxValue(wizard.page(), "ReadOnly", false);
  SetCheckboxValue(wizard.page(), "AllowSorting", false);
  choose("cust");
  // Required does not apply to it: never written.
  EXPECT_EQ(fieldText("O'Brien", wiz::ColumnLabel) + "/" + fieldText("O'Brien", wiz::FieldReadOnly) + "/" +
                fieldText("O'Brien", wiz::AllowSorting) + "/" + fieldText("O'Brien", wiz::FieldRequired),
            "Surname/FALSE/FALSE/NA");
  EXPECT_FALSE(data().GetSubNode(fieldByName(data(), "O'Brien"), wiz::AllowFiltering));
  EXPECT_EQ(fieldText("order_id", wiz::ColumnLabel), "order_id");

  // Turning the lookup off keeps its table and columns for later.
  SetCheckboxValue(wizard.page(), "UseLookup", false);
  SetRadioInputValue(wizard.page(), "LookupDisplayType", "SelectList");
  choose("O'Brien");
  EXPECT_EQ(gfsGetTextInputValue(wizard.page(), "ColumnLabel"), "Surname");
  EXPECT_EQ(fieldText("cust", wiz::UseLookupTable), "FALSE");
  EXPECT_EQ(fieldText("cust", wiz::LookupTableName) + fieldText("cust", wiz::LookupJoinField) +
                fieldText("cust", wiz::LookupShowField) + fieldText("cust", wiz::LookupDisplayType),
            "customerscustcompanySelectList");

  // The key's lookup stays not applicable.
  choose("order_id");
  choose("cust");
  EXPECT_EQ(fieldText("order_id", wiz::UseLookupTable), "NA");
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();
}

TEST_F(FieldOptionsTest, FormProjectsHaveNoSorting) {
  data().SetNodeText(wiz::ProjectType, wiz::kTypeForm);
  showPage();
  choose("O'Brien");
  EXPECT_EQ(box("AllowSorting"), "off, disabled");
  choose("cust");  // the fields visited store "FALSE"
  EXPECT_EQ(fieldText("order_id", wiz::AllowSorting) + fieldText("O'Brien", wiz::AllowSorting), "FALSEFALSE");
}

TEST_F(FieldOptionsTest, ChoosingALookupTableRefillsTheColumnLists) {
  showPage();
  choose("cust");
  chooseTable("orders");
  EXPECT_EQ(options("LookupTableLinkField"), (Values{"order_id", "cust"}));
  EXPECT_EQ(value("LookupTableLinkField"), "cust");  // the stored column is there
  EXPECT_EQ(options("LookupDisplayField"), (Values{"", "order_id", "cust", "note"}));
  EXPECT_EQ(value("LookupDisplayField"), "");  // "company" is not

  // A text field is offered the text columns.
  choose("O'Brien");
  chooseTable("customers");
  EXPECT_EQ(options("LookupTableLinkField"), (Values{"company"}));

  chooseTable("");
  EXPECT_TRUE(options("LookupTableLinkField").empty());
  EXPECT_EQ(options("LookupDisplayField"), (Values{""}));
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();

  // A table that is gone: reported, and no stale columns stay offered.
  chooseTable("customers");
  AddOption(wizard.page(), element("LookupTable"), "vanished", "T: vanished");
  ui->pushAnswer(MsgResult::Abort);
  chooseTable("vanished");
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("frmWizard.TVKW_LinkTableSelect_onchange"), std::string::npos) << ui->shown()[0];
  EXPECT_TRUE(options("LookupTableLinkField").empty());
  EXPECT_EQ(options("LookupDisplayField"), (Values{""}));
}

TEST_F(FieldOptionsTest, AnIntegerOfAnotherWidthIsOfferedAsTheLinkColumn) {
  // A bigint column whose key refers to customers' INTEGER key keeps that
  // key as its link; the text column still is no link for a number.
  data().SetSubNodeText(fieldByName(data(), "cust"), wiz::DataType, "20");
  showPage();
  choose("cust");
  EXPECT_EQ(options("LookupTableLinkField"), (Values{"cust"}));
  EXPECT_EQ(value("LookupTableLinkField"), "cust");
  choose("order_id");
  EXPECT_EQ(fieldText("cust", wiz::LookupJoinField), "cust");
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();
}

TEST_F(FieldOptionsTest, EditListWritesTheHandMadeListIntoTheField) {
  showPage();
  choose("O'Brien");
  EXPECT_FALSE(data().GetSubNode(fieldByName(data(), "O'Brien"), wiz::LookupArray));
  ui->pushRows({{"M", "Mr"}, {"S", "Mrs"}});
  click("EditList");
  EXPECT_EQ(ui->shown(), (Values{"List: List Administration"}));
  XmlNodeList rows = data().GetSubNodes(fieldByName(data(), "O'Brien"), wiz::LookupArrayRow);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(data().GetSubNodeText(rows[1], wiz::JoinField) + data().GetSubNodeText(rows[1], wiz::DisplayField), "SMrs");
  EXPECT_FALSE(data().GetSubNode(fieldByName(data(), "cust"), wiz::LookupArray));  // no other field's
}

TEST_F(FieldOptionsTest, LeavingThePageSavesTheShownFieldAndDropsItsHandlers) {
  showPage();
  SetTextInputValue(wizard.page(), "ColumnLabel", "Order no");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(fieldText("order_id", wiz::ColumnLabel), "Order no");
  EXPECT_EQ(wizard.msCurrentField, "");
  for (std::string_view binding : {bindings::FieldSelect, bindings::LinkTableSelect, bindings::EditList})
    EXPECT_FALSE(wizard.isBound(binding)) << binding;

  // Nothing shown on either page: an empty list and nothing to report.
  for (const XmlNode& field : data().GetFields()) {
    data().SetSubNodeText(field, wiz::ListShowField, "FALSE");
    data().SetSubNodeText(field, wiz::FormShowField, "FALSE");
  }
  showPage();
  EXPECT_TRUE(options("FieldSelect").empty());
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();
}

}  // namespace
}  // namespace tvk
