#include "host/cmd_demo.h"
#include "base/session.h"
#include "base/ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "database/data_access.h"
#include "database/database_test_support.h"
#include "support/temp_dir.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

TEST(DemoCommand, BuildsTheDatabaseAndTheProject) {
  test::ScopedTempDir dir;
  std::string demo = dir / "demo";
  std::ostringstream out, err;
  ASSERT_EQ(runDemoCommand(demo, out, err), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  for (const char* sub : {"site/includes", "site/stylesheets", "site/images"})
    EXPECT_TRUE(std::filesystem::is_directory(demo + "/" + sub)) << sub;
  EXPECT_NE(out.str().find("Connection string: Driver={SQLite3};Database=" + demo + "/TVKWizardSample.db"),
            std::string::npos);
  EXPECT_NE(out.str().find("tvkwizard generate " + demo + "/Orders.xml"), std::string::npos);
  // The pages are generated into the site, and the report says so.
  for (const char* page : {"OrdersList.asp", "OrdersForm.asp"}) {
    EXPECT_NE(out.str().find(std::string("File ") + page + " successfully created at " + demo + "/site/" + page),
              std::string::npos)
        << out.str();
    EXPECT_TRUE(std::filesystem::is_regular_file(demo + "/site/" + page)) << page;
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(demo + "/site/includes/incTVKWAction.asp"));
  EXPECT_TRUE(std::filesystem::is_regular_file(demo + "/site/stylesheets/TVKW_Professional.css"));
  EXPECT_TRUE(std::filesystem::is_regular_file(demo + "/site/images/TVKW_Pro_SortAsc.gif"));

  Session session{std::make_shared<ConsoleUi>()};
  XMLWizData wizData{session};
  ASSERT_TRUE(wizData.Load(demo + "/Orders.xml"));
  EXPECT_EQ(wizData.ProjectType(), "ListForm");
  EXPECT_EQ(wizData.ProjectStyle(), "Professional");
  EXPECT_EQ(wizData.GetNodeText(wiz::PrimaryKey), "OrderID");
  EXPECT_EQ(wizData.GetNodeText(wiz::TableReadOnly), "FALSE");
  EXPECT_EQ(wizData.GetNodeText(wiz::AllowPaging), "TRUE");
  EXPECT_EQ(wizData.GetNodeText(wiz::FileDirectory), demo + "/site");

  // Customer and salesperson are shown by name; no other lookup is on.
  std::vector<std::string> lookups;
  for (const XmlNode& field : wizData.GetDisplayedFields())
    if (wizData.GetSubNodeText(field, wiz::UseLookupTable) == "TRUE")
      lookups.push_back(wizData.GetSubNodeText(field, wiz::FieldName) + "->" +
                        wizData.GetSubNodeText(field, wiz::LookupTableName) + "." +
                        wizData.GetSubNodeText(field, wiz::LookupShowField) + " " +
                        wizData.GetSubNodeText(field, wiz::LookupTableType));
  EXPECT_EQ(lookups, (std::vector<std::string>{"CustomerID->Customers.CompanyName DatabaseTable",
                                               "EmployeeID->Employees.LastName DatabaseTable"}));
  EXPECT_EQ(wizData.GetListFields().size(), 7u);
  EXPECT_EQ(wizData.GetFormFields().size(), 12u);
  EXPECT_EQ(wizData.GetSubNodeText(wizData.GetListFields().at(0), wiz::FieldName), "OrderID");

  // A second run replaces the earlier demo.
  ASSERT_EQ(runDemoCommand(demo, out, err), 0) << err.str();
  std::unique_ptr<db::Catalog> catalog = db::Catalog::open(wizData.GetNodeText(wiz::ConnectionStringText));
  EXPECT_EQ(catalog->tables().size(), 9u);
}

TEST(DemoCommand, AFolderThatCannotBeMadeFails) {
  test::ScopedTempDir dir;
  std::ofstream(dir / "file") << "x";
  std::ostringstream out, err;
  EXPECT_EQ(runDemoCommand(dir / "file/demo", out, err), 1);
  EXPECT_NE(err.str().find("demo: "), std::string::npos);
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace tvk
