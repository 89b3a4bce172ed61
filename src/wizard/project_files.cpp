#include "wizard/project_files.h"

#include <vector>

#include "base/error.h"
#include "base/fs.h"
#include "base/general.h"
#include "base/settings.h"
#include "base/ui.h"
#include "wizard/frm_wizard.h"
#include "wizard/html_routines.h"
#include "wizard/recent_projects.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

constexpr std::string_view kOpenTitle = "Open Project File";
constexpr std::string_view kSaveTitle = "Save Project File";
constexpr std::string_view kDirectoryTitle = "Select Directory";
constexpr std::string_view kOpenFailed = "Couldn't open Wizard data file ";

// Page elements.
constexpr std::string_view kRecentProjects = "RecentProjects";
constexpr std::string_view kProjectOpenType = "ProjectOpenType";
constexpr std::string_view kExistingProjectPath = "ExistingProjectPath";
constexpr std::string_view kOpenTypeNew = "New";
constexpr std::string_view kOpenTypeRecent = "Recent";
constexpr std::string_view kOpenTypeExisting = "Existing";
constexpr std::string_view kFileDirectory = "FileDirectory";

std::vector<FileFilter> projectFileFilters() {
  return {{"TVK Wizard Files(*.xml)", "*.xml"}, {"All Files (*.*)", "*.*"}};
}

// The recent list's failures are reported on their own, so that a settings
// file that cannot be written never undoes an open or a save that worked.
void addToRecentList(FrmWizard& wizard, std::string_view path) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "AddToRUFL"};
  trap([&] { AddToRUFL(wizard.settings(), path); });
}

}  // namespace

void Load_TVKIntro(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKIntro"};
  trap([&] {
    HtmlPage page = wizard.page();
    ElementRef list = page.doc.elementById(kRecentProjects);
    // A file that has gone is not offered, but keeps its place in the list
    // (it may be on a drive that is not mounted just now).
    for (const std::string& path : recentProjectPaths(wizard.settings())) {
      if (!files::fileExists(path)) continue;
      AddOption(page, list, path, gfsFileName(path) + " (" + gfsFilePath(path) + ")");
    }
  });
  trap([&] {
    wizard.bindElement("TVKW_FileOpenExistingProject", "FileOpen-ExistingProject", kEventClick,
                       [&wizard] { TVKW_FileOpenExistingProject_onclick(wizard); });
  });
}

void TVKW_FileOpenExistingProject_onclick(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "TVKW_FileOpenExistingProject_onclick"};
  trap([&] {
    std::string path = wizard.ui().openFileDialog(kOpenTitle, projectFileFilters(), "");
    if (path.empty()) return;
    // Only chosen here; the file is opened when the page is left by Next.
    HtmlPage page = wizard.page();
    SetTextInputValue(page, kExistingProjectPath, path);
    SetRadioInputValue(page, kProjectOpenType, kOpenTypeExisting);
  });
}

bool fbValidateIntro(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "fbValidatePageData"};
  std::string path;
  bool open = false;
  if (!trap([&] {
        HtmlPage page = wizard.page();
        std::string openType = gfsGetRadioInputValue(page, kProjectOpenType);
        if (openType == kOpenTypeRecent) {
          path = gfsGetSelectSingleValue(page, kRecentProjects);
          open = true;
        } else if (openType == kOpenTypeExisting) {
          path = gfsGetTextInputValue(page, kExistingProjectPath);
          open = true;
        }
        // "New", or nothing chosen: nothing to open.
      }))
    return false;
  if (!open) return true;

  bool loaded = false;
  if (!trap([&] {
        // Read into a document of its own first: a file that cannot be
        // opened must not wipe the answers the run already holds.
        XMLWizData candidate{wizard.session()};
        if (!candidate.Load(path)) return;
        // Any other well-formed XML (a stylesheet picked under "All Files")
        // is not a project file either.
        if (candidate.root().name() != wiz::kRoot) return;
        wizard.wizData() = std::move(candidate);
        loaded = true;
      }))
    return false;

  if (!loaded) {
    gMsgBox(wizard.ui(), std::string(kOpenFailed) + path, MsgButtons::OK, MsgIcon::Critical);
    return false;
  }
  addToRecentList(wizard, path);
  return true;
}

void TVKW_ChooseDirectory_onclick(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "TVKW_ChooseDirectory_onclick"};
  trap([&] {
    HtmlPage page = wizard.page();
    std::string start = gfsGetTextInputValue(page, kFileDirectory);
    std::string chosen = gfsGetDirectory(wizard.ui(), kDirectoryTitle, start);
    if (!chosen.empty()) SetTextInputValue(page, kFileDirectory, chosen);
  });
}

void TVKW_SaveWizData_onclick(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "TVKW_SaveWizData_onclick"};
  std::string path;
  bool saved = false;
  trap([&] {
    XMLWizData& data = wizard.wizData();
    std::string preset = data.GetNodeText(wiz::WizardDataFile);
    if (preset.empty()) preset = data.ProjectName();
    path = wizard.ui().saveFileDialog(kSaveTitle, projectFileFilters(), gfsFilePath(preset), gfsFileName(preset));
    if (path.empty()) return;  // cancelled: nothing to do, nothing to say

    // The file records its own path; a save that fails must not leave the
    // document claiming a file that was never written.
    std::string previous = data.GetNodeText(wiz::WizardDataFile);
    data.SetNodeText(wiz::WizardDataFile, path);
    try {
      data.Save(path);
    } catch (...) {
      data.SetNodeText(wiz::WizardDataFile, previous);
      throw;
    }
    saved = true;
  });
  if (saved) addToRecentList(wizard, path);
}

}  // namespace tvk
