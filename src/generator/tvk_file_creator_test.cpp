#include "generator/tvk_file_creator.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

using test::ScopedTempDir;

const std::string kTemplates = std::string(TVK_SOURCE_DIR) + "/tests/generator/templates";

class FileCreator : public test::WizardDocumentTest {
 protected:
  ScopedTempDir site;
  DiskOutput output;
  TVKFileCreator creator{output, kTemplates};
  GenerationReport last;

  // The report's lines, keeping the report for outcome checks.
  std::vector<std::string> lines(GenerationReport report) {
    last = std::move(report);
    std::vector<std::string> result;
    for (const FileReport& entry : last.entries) result.push_back(entry.line);
    return result;
  }

  void SetUp() override {
    for (const char* dir : {"pages", "inc", "css", "img"}) std::filesystem::create_directories(site / dir);
    data.SetNodeText(wiz::ProjectName, "Orders");
    data.SetNodeText(wiz::FileDirectory, site / "pages");
    data.SetNodeText(wiz::IncludeDirectory, site / "inc");
    data.SetNodeText(wiz::StylesheetDirectory, site / "css");
    data.SetNodeText(wiz::GraphicsDirectory, site / "img");
    data.SetNodeText(wiz::TableName, "Orders");
    data.SetNodeText(wiz::PrimaryKey, "OrderID");
    data.SetNodeText(wiz::SQLStatement, "SELECT OrderID FROM Orders ");
    XmlNode field = test::addFieldRecord(data);
    data.AddSubNode(field, wiz::FieldName, "OrderID");
    data.AddSubNode(field, wiz::DataType, "3");
    data.SetSubNodeText(field, wiz::ListShowField, "TRUE");
  }

  void project(const std::string& type, const std::string& style) {
    data.SetNodeText(wiz::ProjectType, type);
    data.SetNodeText(wiz::ProjectStyle, style);
  }

  std::string page() const { return site / "pages/OrdersList.asp"; }
};

TEST_F(FileCreator, BasicListWithoutActionsGetsThePageAndTheDisplayInclude) {
  project("List", "Basic");
  // The list decides alone; what the form allows does not count.
  data.SetNodeText(wiz::FormAllowAddRecord, "TRUE");
  EXPECT_EQ(lines(creator.GenerateFiles(data)), (std::vector<std::string>{
                                                    "File OrdersList.asp successfully created at " + page(),
                                                    "File incTVKWDisplay.asp successfully created in " + site / "inc",
                                                }));
  EXPECT_TRUE(std::filesystem::exists(page()));
  EXPECT_EQ(test::readFile(site / "inc/incTVKWDisplay.asp"), "fixture: incTVKWDisplay.asp\n");
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();
}

TEST_F(FileCreator, StylesBringTheirSheetAndGraphicsAndASecondRunFindsThemPresent) {
  project("List", "Classic");
  data.SetNodeText(wiz::ListAllowDeleteRecord, "TRUE");
  EXPECT_EQ(lines(creator.GenerateFiles(data)), (std::vector<std::string>{
                                                    "File OrdersList.asp successfully created at " + page(),
                                                    "File incTVKWDisplay.asp successfully created in " + site / "inc",
                                                    "File incTVKWAction.asp successfully created in " + site / "inc",
                                                    "File TVKW_Classic.css successfully created in " + site / "css",
                                                }));

  project("List", "XP");
  std::vector<std::string> xp = lines(creator.GenerateFiles(data));
  ASSERT_EQ(xp.size(), 7u);
  EXPECT_EQ(xp[4], "File TVKW_XP_SortAsc.gif successfully created in " + site / "img");
  EXPECT_EQ(xp[5], "File TVKW_XP_SortDesc.gif successfully created in " + site / "img");
  EXPECT_EQ(xp[6], "File TVKW_XP_EditRecord.gif successfully created in " + site / "img");

  // Again: the page is rewritten, the templates are left alone.
  project("List", "Professional");
  test::writeFile(page(), "old page");
  std::vector<std::string> pro = lines(creator.GenerateFiles(data));
  ASSERT_EQ(pro.size(), 7u);
  EXPECT_EQ(pro[0], "File OrdersList.asp successfully created at " + page());
  EXPECT_EQ(pro[1], "File incTVKWDisplay.asp already present in " + site / "inc");
  EXPECT_EQ(pro[2], "File incTVKWAction.asp already present in " + site / "inc");
  EXPECT_EQ(pro[3], "File TVKW_Professional.css successfully created in " + site / "css");
  EXPECT_EQ(pro[4], "File TVKW_Pro_SortAsc.gif successfully created in " + site / "img");
  EXPECT_NE(test::readFile(page()), "old page");
  EXPECT_TRUE(last.succeeded());
}

TEST_F(FileCreator, ListWithFormDecidesByTheFormAndWritesTheFormPageAfterTheList) {
  project("ListForm", "Basic");
  data.SetNodeText(wiz::ListAllowAddRecord, "TRUE");  // ignored for a list with form
  std::vector<std::string> report = lines(creator.GenerateFiles(data));
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[0], "File OrdersList.asp successfully created at " + page());
  EXPECT_EQ(report[1], "File OrdersForm.asp successfully created at " + site / "pages/OrdersForm.asp");
  EXPECT_EQ(report[2], "File incTVKWDisplay.asp successfully created in " + site / "inc");
  EXPECT_TRUE(std::filesystem::exists(site / "pages/OrdersForm.asp"));

  data.SetNodeText(wiz::FormAllowUpdateRecord, "TRUE");
  report = lines(creator.GenerateFiles(data));
  ASSERT_EQ(report.size(), 4u);
  EXPECT_EQ(report[3], "File incTVKWAction.asp successfully created in " + site / "inc");
}

TEST_F(FileCreator, UnknownTypeStillCopiesTheTemplates) {
  project("Report", "Classic");
  std::vector<std::string> report = lines(creator.GenerateFiles(data));
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[0], "Unknown Project Type : Report");
  EXPECT_FALSE(last.entries[0].succeeded());
  EXPECT_FALSE(last.succeeded());
  EXPECT_EQ(report[2], "File TVKW_Classic.css successfully created in " + site / "css");
}

TEST_F(FileCreator, PagesThatCannotBeWrittenBecomeErrorLines) {
  project("List", "Basic");
  data.SetNodeText(wiz::FileDirectory, site / "missing");
  std::vector<std::string> report = lines(creator.GenerateFiles(data));
  ASSERT_EQ(report.size(), 2u);
  EXPECT_EQ(report[0].rfind("Error creating OrdersList.asp - (76) ", 0), 0u) << report[0];
  EXPECT_NE(report[0].find(site / "missing/OrdersList.asp"), std::string::npos) << report[0];
  EXPECT_FALSE(last.entries[0].succeeded());
  EXPECT_TRUE(last.entries[1].succeeded());

  // No directory at all: never the file-system root.
  data.SetNodeText(wiz::FileDirectory, "");
  report = lines(creator.GenerateFiles(data));
  EXPECT_EQ(report[0].rfind("Error creating OrdersList.asp - (76) The project names no directory", 0), 0u) << report[0];
}

// Every file of a run goes through the atomic writer: a link swapped in for
// a page or a copied template while it is written is replaced, not
// followed; a run killed between two writes leaves each page old or new,
// whole, and no temporary file.
TEST_F(FileCreator, PagesAndCopiesAreWrittenAtomically) {
  project("ListForm", "XP");
  const std::string outside = site / "outside.txt";
  test::writeFile(outside, "precious");
  std::vector<std::string> written;
  output.writeOptions.beforeRename = [&](const std::string& path) {
    written.push_back(path);
    std::filesystem::remove(path);
    std::filesystem::create_symlink(outside, path);
  };
  GenerationReport report = creator.GenerateFiles(data);
  EXPECT_TRUE(report.succeeded());
  EXPECT_EQ(written.size(), report.entries.size());
  EXPECT_EQ(test::readFile(outside), "precious");
  for (const std::string& path : written) EXPECT_FALSE(std::filesystem::is_symlink(path)) << path;
  EXPECT_NE(test::readFile(page()).find("<%"), std::string::npos);

  // Killed just before the form page is put in place.
  output.writeOptions.beforeRename = nullptr;
  test::writeFile(page(), "old list");
  test::writeFile(site / "pages/OrdersForm.asp", "old form");
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    output.writeOptions.beforeRename = [](const std::string& path) {
      if (path.ends_with("Form.asp")) ::raise(SIGKILL);
    };
    creator.GenerateFiles(data);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_NE(test::readFile(page()), "old list");
  EXPECT_EQ(test::readFile(site / "pages/OrdersForm.asp"), "old form");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(site / "pages"))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"OrdersForm.asp", "OrdersList.asp"}));
}

TEST_F(FileCreator, ARoutineAbandonedAtTheErrorReportLeavesOnlyItsBlankLine) {
  project("List", "Basic");
  data.SetNodeText(wiz::AllowPaging, "TRUE");
  data.SetNodeText(wiz::RecordsPerPage, "10");
  data.SetNodeText(wiz::PageNumberAllowPaging, "TRUE");
  data.SetNodeText(wiz::MaxDirectPages, "ten");
  ui->pushAnswer(MsgResult::Abort);
  std::vector<std::string> report = lines(creator.GenerateFiles(data));
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("TVKFileCreator.fsASPDisplayDirectPageNav"), std::string::npos);
  EXPECT_EQ(report[0], "File OrdersList.asp successfully created at " + page());
  std::string text = test::readFile(page());
  EXPECT_EQ(text.find("Sub DisplayDirectPageNav"), std::string::npos);
  EXPECT_NE(text.find("Const mnMAX_DIRECT_PAGES = ten"), std::string::npos);
  // The list line routine, its blank line, the abandoned routine's blank
  // line, the section's blank line, then the database routines.
  EXPECT_NE(text.find("End Sub\r\n\r\n\r\n\r\n\r\n' *** DATABASE ROUTINES"), std::string::npos);
}

}  // namespace
}  // namespace tvk
