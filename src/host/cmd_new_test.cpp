#include "host/cmd_new.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "base/fs.h"
#include "database/database_test_support.h"
#include "database/sample_database.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

namespace stdfs = std::filesystem;

class NewCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    stdfs::create_directories(dir / "site");
    connection = test::buildFixtureDatabase(dir / "shop.db");
    options.projectFile = dir / "shop.xml";
    options.settingsFile = dir / "settings.ini";
    ProjectAnswers& a = options.answers;
    a.type = "ListForm";
    a.name = "Orders";
    a.directory = dir / "site";
    a.connection = connection;
    a.table = "orders";
    a.listTexts["RecordsPerPage"] = "10";
  }

  // Runs the command; on a refusal nothing may have been written.
  int run() {
    out.str("");
    err.str("");
    int status = runNewCommand(options, out, err);
    if (status != 0) {
      EXPECT_FALSE(stdfs::exists(options.projectFile)) << err.str();
      EXPECT_TRUE(stdfs::is_empty(dir / "site")) << err.str();
    }
    return status;
  }

  test::ScopedTempDir dir;
  std::string connection;
  NewOptions options;
  std::ostringstream out, err;
};

// Every refusal of the pages reaches the user word for word, exits 1 and
// writes nothing; then the same answers, mended, make the project.
TEST_F(NewCommand, EachRefusalIsTheWizardsMessageAndWritesNothing) {
  struct Case {
    std::function<void(ProjectAnswers&)> spoil;
    const char* message;
  } cases[] = {
      {[](ProjectAnswers& a) { a.type = "Grid"; }, "The project type \"Grid\" is not one the wizard offers"},
      {[](ProjectAnswers& a) { a.name = "My Orders"; }, "Please enter a valid name using on Alpha-numeric characters"},
      {[](ProjectAnswers& a) { a.name = ""; }, "Please enter a valid project name."},
      {[&](ProjectAnswers& a) { a.directory = dir / "absent"; }, "Please enter a valid path."},
      {[&](ProjectAnswers& a) { a.connection = "Driver={SQLite3};Database=" + dir / "absent.db"; },
       "Unable to open connection to database"},
      {[](ProjectAnswers& a) { a.table = "nowhere"; }, "The wizard offers no table or view \"nowhere\""},
      {[](ProjectAnswers& a) { a.table = "order_lines"; }, "compound primary keys"},
      {[](ProjectAnswers& a) { a.table = "broken_view"; }, "no such table: main.doomed"},
      {[](ProjectAnswers& a) { a.table = "audit_log"; }, "with tables that don't have primary keys."},
      {[&](ProjectAnswers& a) {
         test::writeFile(dir / "empty.sql", "CREATE TABLE gone (x INTEGER); DROP TABLE gone;");
         db::buildSqliteDatabase(dir / "empty.db", {dir / "empty.sql"});
         a.connection = db::sqliteConnectionString(dir / "empty.db");
         a.table.reset();
       },
       "Please choose a table in the database"},
      {[](ProjectAnswers& a) { a.listTexts["RecordsPerPage"] = "0"; },
       "Records Per Page must be set to a valid integer"},
      {[](ProjectAnswers& a) {
         for (const char* id : {"Skip1HavigationButtons", "SkipEndHavigationButtons", "PageNumberNavigation"})
           a.listChecks[id] = false;
       },
       "If Paging is enabled you must allow either :"},
      {[](ProjectAnswers& a) { a.listTexts["MaxPages"] = "many"; },
       "Maximum Number of Pages must be blank or a valid integer"},
      {[](ProjectAnswers& a) {
         a.listFields = std::vector<std::string>{"order_id", "no_such"};
       },
       "The table has no field \"no_such\" to show"},
      {[](ProjectAnswers& a) { a.fields["freight"].lookupTable = "staff"; },
       "The wizard offers no link column of staff that fits freight"},
  };
  for (const Case& c : cases) {
    NewOptions saved = options;
    c.spoil(options.answers);
    EXPECT_EQ(run(), 1) << c.message;
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    options = saved;
  }

  options.generate = true;
  ASSERT_EQ(run(), 0) << err.str();
  EXPECT_TRUE(stdfs::exists(options.projectFile));
  EXPECT_TRUE(stdfs::exists(dir / "site/OrdersList.asp"));
  EXPECT_TRUE(stdfs::exists(dir / "site/OrdersForm.asp"));
  EXPECT_NE(out.str().find("File OrdersForm.asp successfully created at"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace tvk
