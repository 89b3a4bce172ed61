// The intro, project name and finished pages' file handling, run on the real
// page files in a headless window with the recent list in a settings file.
#include "wizard/project_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/ini_settings.h"
#include "base/session.h"
#include "base/ui.h"
#include "support/temp_dir.h"
#include "wizard/frm_wizard.h"
#include "wizard/headless_view.h"
#include "wizard/html_routines.h"
#include "wizard/recent_projects.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

using testing::ScopedTempDir;
using testing::writeFile;

// Answers the dialogs from a script and keeps what each was shown with;
// messages go to a console UI.
class DialogUi final : public Ui {
 public:
  struct Dialog {
    std::string kind;
    std::string title;
    std::vector<FileFilter> filters;
    std::string directory;
    std::string name;
  };
  ConsoleUi console;
  std::vector<MsgIcon> icons;
  std::vector<Dialog> dialogs;
  std::vector<std::string> answers;  // taken from the front; none: cancel

  MsgResult messageBox(std::string_view text, MsgButtons buttons, MsgIcon icon, std::string_view title) override {
    icons.push_back(icon);
    return console.messageBox(text, buttons, icon, title);
  }
  std::string openFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                             std::string_view directory) override {
    return answer({"Open", std::string(title), filters, std::string(directory), {}});
  }
  std::string saveFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                             std::string_view directory, std::string_view name) override {
    return answer({"Save", std::string(title), filters, std::string(directory), std::string(name)});
  }
  std::string browseFolder(std::string_view title, std::string_view start) override {
    return answer({"Browse", std::string(title), {}, std::string(start), {}});
  }

 private:
  std::string answer(Dialog dialog) {
    dialogs.push_back(std::move(dialog));
    if (answers.empty()) return {};
    std::string path = answers.front();
    answers.erase(answers.begin());
    return path;
  }
};

void expectProjectFilters(const std::vector<FileFilter>& filters) {
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, "TVK Wizard Files(*.xml)");
  EXPECT_EQ(filters[0].pattern, "*.xml");
  EXPECT_EQ(filters[1].description, "All Files (*.*)");
  EXPECT_EQ(filters[1].pattern, "*.*");
}

class ProjectFilesTest : public ::testing::Test {
 protected:
  std::shared_ptr<DialogUi> ui = std::make_shared<DialogUi>();
  Session session{ui};
  HeadlessView view;
  ScopedTempDir dir;
  IniSettings settings{dir / "config/TVKWizard/settings.ini"};
  FrmWizard wizard{session, view, settings, std::string(TVK_SOURCE_DIR) + "/data"};

  void show(std::string_view page) { view.navigate(wizard.htmlDirectory() + std::string(page) + ".htm"); }
  ElementRef element(std::string_view id) {
    ElementRef found = view.document().elementById(id);
    EXPECT_TRUE(found) << id;
    return found;
  }
  std::vector<SelectOption> options(std::string_view id) { return view.document().options(element(id)); }
  const std::vector<std::string>& shown() { return ui->console.shown(); }

  // A saved project file with that project name.
  std::string projectFile(const std::string& name, const std::string& projectName) {
    XMLWizData project{session};
    project.SetNodeText(wiz::ProjectName, projectName);
    std::string path = dir / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    project.Save(path);
    return path;
  }
};

TEST_F(ProjectFilesTest, IntroOffersTheRecentFilesThatExist_AndBrowsesForAnother) {
  std::string kept = projectFile("projects/orders.xml", "Orders");
  std::string gone = dir / "projects/deleted.xml";
  std::string second = projectFile("other/stock.xml", "Stock");
  AddToRUFL(settings, second);
  AddToRUFL(settings, gone);
  AddToRUFL(settings, kept);

  show("TVKIntro");
  std::vector<SelectOption> recent = options("RecentProjects");
  ASSERT_EQ(recent.size(), 2u);
  EXPECT_EQ(recent[0].value, kept);
  EXPECT_EQ(recent[0].text, "orders.xml (" + dir.path() + "/projects/)");
  EXPECT_EQ(recent[1].value, second);
  // The deleted file keeps its place in the list.
  EXPECT_EQ(recentProjectPaths(settings), (std::vector<std::string>{kept, gone, second}));

  // The browse button: a cancelled dialog changes nothing ...
  ASSERT_TRUE(wizard.isBound("TVKW_FileOpenExistingProject"));
  view.document().click(element("FileOpen-ExistingProject"));
  ASSERT_EQ(ui->dialogs.size(), 1u);
  EXPECT_EQ(ui->dialogs[0].kind, "Open");
  EXPECT_EQ(ui->dialogs[0].title, "Open Project File");
  expectProjectFilters(ui->dialogs[0].filters);
  EXPECT_EQ(gfsGetTextInputValue(wizard.page(), "ExistingProjectPath"), "");
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), "ProjectOpenType"), "New");

  // ... a chosen file is put in the text and selects "Existing", unopened.
  ui->answers = {second};
  view.document().click(element("FileOpen-ExistingProject"));
  EXPECT_EQ(gfsGetTextInputValue(wizard.page(), "ExistingProjectPath"), second);
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), "ProjectOpenType"), "Existing");
  EXPECT_EQ(wizard.wizData().ProjectName(), "");
  EXPECT_TRUE(shown().empty());
}

TEST_F(ProjectFilesTest, NextOnTheIntroOpensTheChosenProject) {
  std::string orders = projectFile("orders.xml", "Orders");
  std::string stock = projectFile("stock.xml", "Stock");
  AddToRUFL(settings, stock);
  AddToRUFL(settings, orders);
  show("TVKIntro");

  // New: nothing is opened.
  wizard.wizData().SetNodeText(wiz::ProjectName, "Typed");
  EXPECT_TRUE(fbValidatePageData(wizard, "TVKIntro"));
  EXPECT_EQ(wizard.wizData().ProjectName(), "Typed");

  // Recent: the selected entry is opened and moves to the front.
  SetRadioInputValue(wizard.page(), "ProjectOpenType", "Recent");
  SetSelectSingleValue(wizard.page(), "RecentProjects", stock);
  EXPECT_TRUE(fbValidateIntro(wizard));
  EXPECT_EQ(wizard.wizData().ProjectName(), "Stock");
  EXPECT_EQ(recentProjectPaths(settings), (std::vector<std::string>{stock, orders}));

  // Existing: the typed path.
  SetRadioInputValue(wizard.page(), "ProjectOpenType", "Existing");
  SetTextInputValue(wizard.page(), "ExistingProjectPath", orders);
  EXPECT_TRUE(fbValidateIntro(wizard));
  EXPECT_EQ(wizard.wizData().ProjectName(), "Orders");
  EXPECT_EQ(recentProjectPaths(settings), (std::vector<std::string>{orders, stock}));
  EXPECT_TRUE(shown().empty());
}

TEST_F(ProjectFilesTest, AFileThatCannotBeOpenedIsRefusedAndTheAnswersStay) {
  writeFile(dir / "broken.xml", "<TVKWizardData><ProjectName>x</Proj");
  writeFile(dir / "other.xml", "<xsl:stylesheet xmlns:xsl='http://www.w3.org/1999/XSL/Transform' version='1.0'/>");
  show("TVKIntro");
  wizard.wizData().SetNodeText(wiz::ProjectName, "Answered");

  SetRadioInputValue(wizard.page(), "ProjectOpenType", "Existing");
  for (std::string path : {dir / "missing.xml", dir / "broken.xml", dir / "other.xml", dir.path()}) {
    ui->icons.clear();
    SetTextInputValue(wizard.page(), "ExistingProjectPath", path);
    EXPECT_FALSE(fbValidateIntro(wizard)) << path;
    EXPECT_EQ(shown().back(), "TVK Wizard: Couldn't open Wizard data file " + path);
    EXPECT_EQ(ui->icons, (std::vector<MsgIcon>{MsgIcon::Critical}));
    EXPECT_EQ(wizard.wizData().ProjectName(), "Answered") << path;
  }
  // "Recent" with an empty list has no path to open.
  SetRadioInputValue(wizard.page(), "ProjectOpenType", "Recent");
  EXPECT_FALSE(fbValidateIntro(wizard));
  EXPECT_EQ(shown().back(), "TVK Wizard: Couldn't open Wizard data file ");
  EXPECT_EQ(shown().size(), 5u);
  EXPECT_TRUE(recentProjectPaths(settings).empty());
}

TEST_F(ProjectFilesTest, SavingPresetsTheNameRecordsThePathAndRemembersIt) {
  XMLWizData& data = wizard.wizData();
  data.SetNodeText(wiz::ProjectName, "Orders");

  // Never saved: the project name is the preset; a cancel does nothing.
  TVKW_SaveWizData_onclick(wizard);
  ASSERT_EQ(ui->dialogs.size(), 1u);
  EXPECT_EQ(ui->dialogs[0].kind, "Save");
  EXPECT_EQ(ui->dialogs[0].title, "Save Project File");
  expectProjectFilters(ui->dialogs[0].filters);
  EXPECT_EQ(ui->dialogs[0].name, "Orders");
  EXPECT_EQ(ui->dialogs[0].directory, "");
  EXPECT_EQ(data.GetNodeText(wiz::WizardDataFile), "");
  EXPECT_TRUE(shown().empty());

  // Saved: the file holds its own path, which leads the recent list and is
  // the next preset.
  std::string path = dir / "saved/orders";  // used as chosen: no extension added
  ui->answers = {path};
  std::filesystem::create_directories(dir / "saved");
  TVKW_SaveWizData_onclick(wizard);
  XMLWizData reopened{session};
  ASSERT_TRUE(reopened.Load(path));
  EXPECT_EQ(reopened.GetNodeText(wiz::WizardDataFile), path);
  EXPECT_EQ(reopened.ProjectName(), "Orders");
  EXPECT_EQ(recentProjectPaths(settings), (std::vector<std::string>{path}));
  TVKW_SaveWizData_onclick(wizard);
  EXPECT_EQ(ui->dialogs.back().directory, dir / "saved/");
  EXPECT_EQ(ui->dialogs.back().name, "orders");

  // A save that fails is reported and the document does not claim it.
  ui->answers = {dir / "no/such/folder/x.xml"};
  ui->console.pushAnswer(MsgResult::Abort);
  TVKW_SaveWizData_onclick(wizard);
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_NE(shown()[0].find("frmWizard.TVKW_SaveWizData_onclick"), std::string::npos) << shown()[0];
  EXPECT_EQ(data.GetNodeText(wiz::WizardDataFile), path);
  EXPECT_EQ(recentProjectPaths(settings), (std::vector<std::string>{path}));
}

TEST_F(ProjectFilesTest, ChooseDirectoryStartsAtTheTypedFolder) {
  wizard.wizData().SetNodeText(wiz::FileDirectory, dir / "start");
  show("TVKProjectName");
  ASSERT_TRUE(wizard.isBound("TVKW_ChooseDirectory"));

  view.document().click(element("ChooseDirectory"));  // cancelled
  ASSERT_EQ(ui->dialogs.size(), 1u);
  EXPECT_EQ(ui->dialogs[0].kind, "Browse");
  EXPECT_EQ(ui->dialogs[0].title, "Select Directory");
  EXPECT_EQ(ui->dialogs[0].directory, dir / "start");
  EXPECT_EQ(gfsGetTextInputValue(wizard.page(), "FileDirectory"), dir / "start");

  ui->answers = {dir / "chosen"};
  view.document().click(element("ChooseDirectory"));
  EXPECT_EQ(gfsGetTextInputValue(wizard.page(), "FileDirectory"), dir / "chosen");
  EXPECT_TRUE(shown().empty());
}

}  // namespace
}  // namespace tvk
