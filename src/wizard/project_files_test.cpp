// The intro, project name and finished pages' file handling, on the real page
// files in a headless window.
#include "wizard/project_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/wizard_window.h"
#include "wizard/recent_projects.h"

namespace tvk {
namespace {

using Texts = std::vector<std::string>;

constexpr std::string_view kFilters = "TVK Wizard Files(*.xml)|*.xml|All Files (*.*)|*.*|";

class ProjectFilesTest : public test::WizardWindowTest {
 protected:
  std::string projectFile(const std::string& name, const std::string& projectName) {
    XMLWizData project{session};
    project.SetNodeText(wiz::ProjectName, projectName);
    std::filesystem::create_directories(std::filesystem::path(dir / name).parent_path());
    project.Save(dir / name);
    return dir / name;
  }
};

TEST_F(ProjectFilesTest, IntroOffersRecentFilesThatExist_AndOpensTheChosenOneOnNext) {
  std::string orders = projectFile("p/orders.xml", "Orders");
  std::string stock = projectFile("stock.xml", "Stock");
  for (const std::string& path : {stock, dir / "p/deleted.xml", orders}) AddToRUFL(settings, path);
  show("TVKIntro");
  Texts offered;
  for (const SelectOption& option : view.document().options(view.document().elementById("RecentProjects")))
    offered.push_back(option.value + " = " + option.text);
  EXPECT_EQ(offered,
            (Texts{orders + " = orders.xml (" + dir.path() + "/p/)", stock + " = stock.xml (" + dir.path() + "/)"}));

  // New opens nothing; Recent opens the selected file, which moves to the
  // front (the deleted one keeps its place).
  wizard.wizData().SetNodeText(wiz::ProjectName, "Typed");
  EXPECT_TRUE(fbValidatePageData(wizard, "TVKIntro"));
  EXPECT_EQ(wizard.wizData().ProjectName(), "Typed");
  SetRadioInputValue(wizard.page(), "ProjectOpenType", "Recent");
  SetSelectSingleValue(wizard.page(), "RecentProjects", stock);
  EXPECT_TRUE(fbValidateIntro(wizard));
  EXPECT_EQ(wizard.wizData().ProjectName(), "Stock");
  EXPECT_EQ(recentProjectPaths(settings), (Texts{stock, orders, dir / "p/deleted.xml"}));

  // Browsing: a cancel changes nothing; a chosen file selects "Existing"
  // and is opened by Next.
  SetRadioInputValue(wizard.page(), "ProjectOpenType", "New");
  click("FileOpen-ExistingProject");
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), "ProjectOpenType"), "New");
  ui->paths = {orders};
  click("FileOpen-ExistingProject");
  EXPECT_EQ(ui->dialogs, (Texts{"Open Open Project File|||" + std::string(kFilters),
                                "Open Open Project File|||" + std::string(kFilters)}));
  EXPECT_EQ(gfsGetTextInputValue(wizard.page(), "ExistingProjectPath"), orders);
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), "ProjectOpenType"), "Existing");
  EXPECT_EQ(wizard.wizData().ProjectName(), "Stock");
  EXPECT_TRUE(fbValidateIntro(wizard));
  EXPECT_EQ(wizard.wizData().ProjectName(), "Orders");
  EXPECT_EQ(recentProjectPaths(settings).front(), orders);
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(ProjectFilesTest, AFileThatCannotBeOpenedIsRefusedAndTheAnswersStay) {
  test::writeFile(dir / "broken.xml", "<TVKWizardData><ProjectName>x</Proj");
  test::writeFile(dir / "other.xml", "<stylesheet/>");
  show("TVKIntro");
  wizard.wizData().SetNodeText(wiz::ProjectName, "Answered");
  SetRadioInputValue(wizard.page(), "ProjectOpenType", "Existing");
  for (std::string path : {dir / "missing.xml", dir / "broken.xml", dir / "other.xml"}) {
    SetTextInputValue(wizard.page(), "ExistingProjectPath", path);
    EXPECT_FALSE(fbValidateIntro(wizard)) << path;
    EXPECT_EQ(ui->shown().back(), "TVK Wizard: Couldn't open Wizard data file " + path);
  }
  SetRadioInputValue(wizard.page(), "ProjectOpenType", "Recent");  // nothing to select
  EXPECT_FALSE(fbValidateIntro(wizard));
  EXPECT_EQ(ui->shown().back(), "TVK Wizard: Couldn't open Wizard data file ");
  EXPECT_EQ(ui->icons, std::vector<MsgIcon>(4, MsgIcon::Critical));
  EXPECT_EQ(wizard.wizData().ProjectName(), "Answered");
  EXPECT_TRUE(recentProjectPaths(settings).empty());
}

TEST_F(ProjectFilesTest, SavingPresetsTheNameRecordsThePathAndRemembersIt) {
  XMLWizData& data = wizard.wizData();
  data.SetNodeText(wiz::ProjectName, "Orders");
  TVKW_SaveWizData_onclick(wizard);  // cancelled
  EXPECT_EQ(data.GetNodeText(wiz::WizardDataFile), "");

  std::string path = dir / "orders";  // used as chosen: no extension added
  ui->paths = {path};
  TVKW_SaveWizData_onclick(wizard);
  XMLWizData reopened{session};
  ASSERT_TRUE(reopened.Load(path));
  EXPECT_EQ(reopened.GetNodeText(wiz::WizardDataFile), path);
  EXPECT_EQ(recentProjectPaths(settings), (Texts{path}));
  TVKW_SaveWizData_onclick(wizard);
  EXPECT_EQ(ui->dialogs, (Texts{"Save Save Project File||Orders|" + std::string(kFilters),
                                "Save Save Project File||Orders|" + std::string(kFilters),
                                "Save Save Project File|" + dir.path() + "/|orders|" + std::string(kFilters)}));
  EXPECT_TRUE(ui->shown().empty());

  // A failed save is reported and the document does not claim the file.
  ui->paths = {dir / "no/folder/x.xml"};
  ui->pushAnswer(MsgResult::Abort);
  TVKW_SaveWizData_onclick(wizard);
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("frmWizard.TVKW_SaveWizData_onclick"), std::string::npos) << ui->shown()[0];
  EXPECT_EQ(data.GetNodeText(wiz::WizardDataFile), path);
  EXPECT_EQ(recentProjectPaths(settings), (Texts{path}));
}

TEST_F(ProjectFilesTest, ChooseDirectoryStartsAtTheTypedFolder) {
  wizard.wizData().SetNodeText(wiz::FileDirectory, dir / "start");
  show("TVKProjectName");
  click("ChooseDirectory");  // cancelled
  EXPECT_EQ(gfsGetTextInputValue(wizard.page(), "FileDirectory"), dir / "start");
  ui->paths = {dir / "chosen"};
  click("ChooseDirectory");
  EXPECT_EQ(gfsGetTextInputValue(wizard.page(), "FileDirectory"), dir / "chosen");
  EXPECT_EQ(ui->dialogs, (Texts{"Browse Select Directory|" + dir / "start" + "||",
                                "Browse Select Directory|" + dir / "start" + "||"}));
}

}  // namespace
}  // namespace tvk
