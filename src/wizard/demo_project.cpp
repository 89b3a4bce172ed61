#include "wizard/demo_project.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <vector>

#include "database/sample_database.h"
#include "wizard/table_choice.h"
#include "wizard/table_list.h"
#include "base/error.h"
#include "base/fs.h"
#include "base/ui.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

constexpr std::string_view kTable = "Orders";

struct ShownField {
  std::string_view name;
  std::string_view label;
};

// The list shows what identifies an order at a glance; the form shows every
// field a clerk edits. The key is on the list only: it fills itself.
constexpr ShownField kListFields[] = {
    {"OrderID", "Order"},         {"OrderDate", "Ordered"},     {"CustomerID", "Customer"},
    {"EmployeeID", "Salesperson"}, {"ShippedDate", "Shipped"},   {"ShipCountry", "Country"},
    {"Freight", "Freight"},
};
constexpr ShownField kFormFields[] = {
    {"CustomerID", "Customer"},      {"EmployeeID", "Salesperson"}, {"OrderDate", "Ordered"},
    {"RequiredDate", "Required by"}, {"ShippedDate", "Shipped"},    {"ShipVia", "Shipper"},
    {"Freight", "Freight"},          {"ShipName", "Ship to"},       {"ShipAddress", "Address"},
    {"ShipCity", "City"},            {"ShipPostalCode", "Postal code"}, {"ShipCountry", "Country"},
};
// Columns shown by the name of what they refer to.
constexpr std::string_view kLookedUp[] = {"CustomerID", "EmployeeID"};

XmlNode field(XMLWizData& wizData, std::string_view name) {
  XmlNode node = wizData.GetNode("Fields/Field[FieldName='" + std::string(name) + "']");
  if (!node) raise(err::kInvalidCall, "Demo", "The sample table has no column " + std::string(name));
  return node;
}

void showFields(XMLWizData& wizData, std::string_view options, const std::vector<ShownField>& shown) {
  const std::string show = std::string(options) + "/ShowField";
  const std::string order = std::string(options) + "/FieldOrder";
  for (const XmlNode& node : wizData.GetFields()) {
    wizData.SetSubNodeText(node, show, wiz::kFalse);
    wizData.SetSubNodeText(node, order, "");
  }
  int position = 1;
  for (const ShownField& f : shown) {
    XmlNode node = field(wizData, f.name);
    wizData.SetSubNodeText(node, show, wiz::kTrue);
    wizData.SetSubNodeText(node, order, std::to_string(position++));
    wizData.SetSubNodeText(node, wiz::ColumnLabel, f.label);
  }
}

}  // namespace

DemoProject demoLayout(const std::string& directory) {
  DemoProject demo;
  demo.directory = std::filesystem::absolute(directory).lexically_normal().string();
  while (demo.directory.size() > 1 && demo.directory.back() == '/') demo.directory.pop_back();
  demo.database = fs::join(demo.directory, "TVKWizardSample.db");
  demo.site = fs::join(demo.directory, "site");
  demo.projectFile = fs::join(demo.directory, "Orders.xml");
  demo.connectionString = db::sqliteConnectionString(demo.database);
  return demo;
}

bool buildDemoProject(const DemoProject& demo, XMLWizData& wizData) {
  for (std::string_view sub : {"", "includes", "stylesheets", "images"})
    fs::createDirectories(sub.empty() ? demo.site : fs::join(demo.site, sub));
  db::buildSqliteDatabase(demo.database, {db::sampleDatabaseScript()});

  wizData.SetNodeText(wiz::ProjectType, wiz::kTypeListForm);
  wizData.SetNodeText(wiz::ProjectStyle, wiz::kStyleProfessional);
  wizData.SetNodeText(wiz::ProjectName, "Orders");
  wizData.SetNodeText(wiz::FileDirectory, demo.site);
  wizData.SetNodeText(wiz::StylesheetDirectory, fs::join(demo.site, "stylesheets"));
  wizData.SetNodeText(wiz::GraphicsDirectory, fs::join(demo.site, "images"));
  wizData.SetNodeText(wiz::IncludeDirectory, fs::join(demo.site, "includes"));
  wizData.SetNodeText(wiz::DataSourceType, wiz::kSourceConnectionString);
  wizData.SetNodeText(wiz::ConnectionStringText, demo.connectionString);

  // The data source page: list the tables (which records the provider),
  // then choose Orders.
  std::vector<TableListOption> tables = HTMLTableList(wizData);
  bool offered = false;
  for (const TableListOption& option : tables) offered = offered || option.value == kTable;
  if (!offered) {
    gMsgBox(wizData.ui(), "The sample database offers no table " + std::string(kTable), MsgButtons::OK, MsgIcon::Exclamation);
    return false;
  }
  if (!gfbChooseTable(wizData, kTable)) return false;

  // The list: ten orders a page, every kind of page navigation.
  wizData.SetNodeText(wiz::AllowPaging, wiz::kTrue);
  wizData.SetNodeText(wiz::RecordsPerPage, "10");
  wizData.SetNodeText(wiz::ListSkip1Buttons, wiz::kTrue);
  wizData.SetNodeText(wiz::ListSkipEndButtons, wiz::kTrue);
  wizData.SetNodeText(wiz::PageNumberAllowPaging, wiz::kTrue);
  wizData.SetNodeText(wiz::MaxDirectPages, "10");
  // The form: record navigation with the record number, and full editing.
  wizData.SetNodeText(wiz::AllowNavigation, wiz::kTrue);
  wizData.SetNodeText(wiz::FormSkip1Buttons, wiz::kTrue);
  wizData.SetNodeText(wiz::FormSkipEndButtons, wiz::kTrue);
  wizData.SetNodeText(wiz::DisplayRecordNo, wiz::kTrue);
  wizData.SetNodeText(wiz::FormAllowAddRecord, wiz::kTrue);
  wizData.SetNodeText(wiz::FormAllowUpdateRecord, wiz::kTrue);
  wizData.SetNodeText(wiz::FormAllowDeleteRecord, wiz::kTrue);

  showFields(wizData, "ListFieldOptions", {std::begin(kListFields), std::end(kListFields)});
  showFields(wizData, "FormFieldOptions", {std::begin(kFormFields), std::end(kFormFields)});

  // Lookups: customer and salesperson by name; every other proposed lookup
  // is turned off, as a developer would untick it.
  for (const XmlNode& node : wizData.GetFields()) {
    std::string name = wizData.GetSubNodeText(node, wiz::FieldName);
    bool wanted = std::find(std::begin(kLookedUp), std::end(kLookedUp), name) != std::end(kLookedUp);
    if (wanted) {
      if (wizData.GetSubNodeText(node, wiz::UseLookupTable) != wiz::kTrue)
        raise(err::kInvalidCall, "Demo", "The sample schema proposes no lookup for " + name);
      wizData.SetSubNodeText(node, wiz::LookupTableType, wiz::kLookupDatabaseTable);
      wizData.SetSubNodeText(node, wiz::LookupDisplayType, wiz::kLookupSelectList);
    } else if (wizData.GetSubNodeText(node, wiz::UseLookupTable) == wiz::kTrue) {
      wizData.SetSubNodeText(node, wiz::UseLookupTable, wiz::kFalse);
    }
  }

  wizData.SetNodeText(wiz::FinishEnabled, wiz::kTrue);
  wizData.SetNodeText(wiz::WizardDataFile, demo.projectFile);
  wizData.Save(demo.projectFile);
  return true;
}

}  // namespace tvk
