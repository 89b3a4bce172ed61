#include "wizard/demo_project.h"

#include <filesystem>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/fs.h"
#include "base/ui.h"
#include "database/sample_database.h"
#include "wizard/frm_wizard.h"
#include "wizard/page_answers.h"
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
    {"OrderID", "Order"},       {"OrderDate", "Ordered"},   {"CustomerID", "Customer"}, {"EmployeeID", "Salesperson"},
    {"ShippedDate", "Shipped"}, {"ShipCountry", "Country"}, {"Freight", "Freight"},
};
constexpr ShownField kFormFields[] = {
    {"CustomerID", "Customer"},
    {"EmployeeID", "Salesperson"},
    {"OrderDate", "Ordered"},
    {"RequiredDate", "Required by"},
    {"ShippedDate", "Shipped"},
    {"ShipVia", "Shipper"},
    {"Freight", "Freight"},
    {"ShipName", "Ship to"},
    {"ShipAddress", "Address"},
    {"ShipCity", "City"},
    {"ShipPostalCode", "Postal code"},
    {"ShipCountry", "Country"},
};

// The answers a developer gives for the demo: ten orders a page with every
// kind of page navigation; a form with record numbers and full editing;
// customer and salesperson shown by what they refer to, the shipper by its
// number.
ProjectAnswers demoAnswers(const DemoProject& demo) {
  ProjectAnswers a;
  a.type = std::string(wiz::kTypeListForm);
  a.style = std::string(wiz::kStyleProfessional);
  a.name = std::string(kTable);
  a.directory = demo.site;
  a.connection = demo.connectionString;
  a.table = std::string(kTable);
  for (const char* id : {"AllowPaging", "Skip1HavigationButtons", "SkipEndHavigationButtons", "PageNumberNavigation"})
    a.listChecks[id] = true;
  a.listTexts["RecordsPerPage"] = "10";
  a.listTexts["MaxPages"] = "10";
  for (const char* id : {"AllowNavigation", "Skip1HavigationButtons", "SkipEndHavigationButtons", "DisplayRecordNo",
                         "AllowAddRecord", "AllowUpdateRecord", "AllowDeleteRecord"})
    a.formChecks[id] = true;
  a.listFields.emplace();
  for (const ShownField& f : kListFields) {
    a.listFields->emplace_back(f.name);
    a.fields[std::string(f.name)].label = std::string(f.label);
  }
  a.formFields.emplace();
  for (const ShownField& f : kFormFields) {
    a.formFields->emplace_back(f.name);
    a.fields[std::string(f.name)].label = std::string(f.label);
  }
  // Customer and salesperson keep the lookups the schema proposes; the
  // shipper's is turned off, as a developer would untick it.
  a.fields["ShipVia"].noLookup = true;
  return a;
}

}  // namespace

DemoProject demoLayout(const std::string& directory) {
  DemoProject demo;
  demo.directory = std::filesystem::absolute(directory).lexically_normal().string();
  while (demo.directory.size() > 1 && demo.directory.back() == '/') demo.directory.pop_back();
  demo.database = files::join(demo.directory, "TVKWizardSample.db");
  demo.site = files::join(demo.directory, "site");
  demo.projectFile = files::join(demo.directory, "Orders.xml");
  demo.connectionString = db::sqliteConnectionString(demo.database);
  return demo;
}

bool buildDemoProject(const DemoProject& demo, FrmWizard& wizard) {
  for (std::string_view sub : {"", "includes", "stylesheets", "images"})
    files::createDirectories(sub.empty() ? demo.site : files::join(demo.site, sub));
  db::buildSqliteDatabase(demo.database, {db::sampleDatabaseScript()});

  std::string refusedPage;
  if (!answerPages(wizard, demoAnswers(demo), &refusedPage)) return false;
  XMLWizData& wizData = wizard.wizData();
  wizData.SetNodeText(wiz::WizardDataFile, demo.projectFile);
  wizData.Save(demo.projectFile);
  return true;
}

}  // namespace tvk
