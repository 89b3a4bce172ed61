#include "host/cmd_demo.h"
#include "base/session.h"
#include "base/ui.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/fs.h"
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

// Two demos into one folder ran over each other's database and pages; the
// second now waits for the first and, when it does not finish in time,
// stops with a clear line before touching anything.
TEST(DemoCommand, OneDemoAtATimeIntoAFolder) {
  test::ScopedTempDir dir;
  std::string demo = dir / "demo";
  std::filesystem::create_directories(demo + "/site");
  std::ostringstream out, err;
  {
    files::FolderLock running(demo + "/site", std::chrono::milliseconds(0));
    EXPECT_EQ(runDemoCommand(demo, out, err, std::chrono::milliseconds(200)), 1);
    EXPECT_NE(err.str().find("another generation is writing " + demo + "/site"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(demo + "/TVKWizardSample.db"));
  }
  // Two at once (as processes): both succeed, one after the other.
  std::vector<pid_t> children;
  for (int i = 0; i < 2; ++i) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::ostringstream quietOut, quietErr;
      ::_exit(runDemoCommand(demo, quietOut, quietErr));
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(demo)) left.push_back(entry.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Orders.xml", "TVKWizardSample.db", "site"}));
}

}  // namespace
}  // namespace tvk
