// Project files and the recent projects list: the intro page, opening an
// existing project, choosing the target directory, saving the project file.
#pragma once

#include <string>
#include <string_view>

namespace tvk {

class FrmWizard;
class SettingsStore;

// Fills the intro page's recent list from the settings and binds its open
// button.
void Load_TVKIntro(FrmWizard& wizard);
void TVKW_FileOpenExistingProject_onclick(FrmWizard& wizard);
void TVKW_ChooseDirectory_onclick(FrmWizard& wizard);
void TVKW_SaveWizData_onclick(FrmWizard& wizard);
// The intro page's part of validation: opens the chosen project file (new,
// recent or existing). False after a message when it cannot.
bool fbValidateIntro(FrmWizard& wizard);
// Puts a path at the front of the recent list.
void AddToRUFL(SettingsStore& settings, std::string_view path);

}  // namespace tvk
