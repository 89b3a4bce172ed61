// The routines behind LoadPageData, fbStorePageData and fbValidatePageData:
// one loader and one storer per wizard page, and the element ids of the pages
// they read and write. Private to the wizard layer (the window calls the three
// entry points of frm_wizard.h); the tests call the routines directly.
#pragma once

#include <string>
#include <string_view>

namespace tvk {

class FrmWizard;
class Ui;

// Page names (each page's hidden input WIZF_PageName and its file's stem).
namespace pages {
inline constexpr std::string_view kIntro = "TVKIntro";
inline constexpr std::string_view kProjType = "TVKProjType";
inline constexpr std::string_view kProjStyle = "TVKProjStyle";
inline constexpr std::string_view kProjectName = "TVKProjectName";
inline constexpr std::string_view kDatabaseConnection = "TVKDatabaseConnection";
inline constexpr std::string_view kDataSource = "TVKDataSource";
inline constexpr std::string_view kListOptions = "TVKListOptions";
inline constexpr std::string_view kListLFOptions = "TVKListLFOptions";
inline constexpr std::string_view kFormOptions = "TVKFormOptions";
inline constexpr std::string_view kListFieldSelect = "TVKListFieldSelect";
inline constexpr std::string_view kFormFieldSelect = "TVKFormFieldSelect";
inline constexpr std::string_view kFieldOptions = "TVKFieldOptions";
inline constexpr std::string_view kConfirm = "TVKConfirm";
inline constexpr std::string_view kFinished = "TVKFinished";
}  // namespace pages

// Element ids (radio groups by their name) of the pages.
namespace ids {
inline constexpr std::string_view PageName = "WIZF_PageName";
inline constexpr std::string_view ProjectType = "ProjectType";
inline constexpr std::string_view ProjectTypeList = "ProjectType-List";
inline constexpr std::string_view ProjectTypeForm = "ProjectType-Form";
inline constexpr std::string_view ProjectTypeListForm = "ProjectType-ListForm";
inline constexpr std::string_view ProjectStyle = "ProjectStyle";
inline constexpr std::string_view ProjectName = "ProjectName";
inline constexpr std::string_view FileDirectory = "FileDirectory";
inline constexpr std::string_view VIDFileDirectory = "VIDFileDirectory";
inline constexpr std::string_view StandAloneMessage = "StandAloneMessage";
inline constexpr std::string_view VIDMessage = "VIDMessage";
inline constexpr std::string_view ChooseDirectory = "ChooseDirectory";
inline constexpr std::string_view GlobalASAFilePath = "GlobalASAFilePath";
inline constexpr std::string_view GlobalASADataSourceName = "GlobalASADataSourceName";
inline constexpr std::string_view DS_ASA = "DS_ASA";
inline constexpr std::string_view DataSourceType = "DataSourceType";
inline constexpr std::string_view ConnectionStringText = "ConnectionStringText";
inline constexpr std::string_view TableName = "TableName";
inline constexpr std::string_view AllowAddRecord = "AllowAddRecord";
inline constexpr std::string_view AllowUpdateRecord = "AllowUpdateRecord";
inline constexpr std::string_view AllowDeleteRecord = "AllowDeleteRecord";
inline constexpr std::string_view AllowPaging = "AllowPaging";
inline constexpr std::string_view RecordsPerPage = "RecordsPerPage";
inline constexpr std::string_view Skip1HavigationButtons = "Skip1HavigationButtons";
inline constexpr std::string_view SkipEndHavigationButtons = "SkipEndHavigationButtons";
inline constexpr std::string_view PageNumberNavigation = "PageNumberNavigation";
inline constexpr std::string_view MaxPages = "MaxPages";
inline constexpr std::string_view AllowNavigation = "AllowNavigation";
inline constexpr std::string_view DisplayRecordNo = "DisplayRecordNo";
inline constexpr std::string_view DisplayedFields = "DisplayedFields";
inline constexpr std::string_view TableFields = "TableFields";
inline constexpr std::string_view FieldSelect = "FieldSelect";
inline constexpr std::string_view LookupTable = "LookupTable";
inline constexpr std::string_view EditList = "EditList";
inline constexpr std::string_view ConfirmFiles = "ConfirmFiles";
inline constexpr std::string_view WizardResults = "WizardResults";
inline constexpr std::string_view SaveWizData = "SaveWizData";
}  // namespace ids

// Binding names of the window's element bindings.
namespace bindings {
inline constexpr std::string_view ProjectTypeList = "TVKW_ProjectType_List";
inline constexpr std::string_view ProjectTypeForm = "TVKW_ProjectType_Form";
inline constexpr std::string_view ProjectTypeListForm = "TVKW_ProjectType_ListForm";
inline constexpr std::string_view ChooseDirectory = "TVKW_ChooseDirectory";
inline constexpr std::string_view FieldSelect = "TVKW_FieldSelect";
inline constexpr std::string_view LinkTableSelect = "TVKW_LinkTableSelect";
inline constexpr std::string_view EditList = "TVKW_EditList";
inline constexpr std::string_view SaveWizData = "TVKW_SaveWizData";
}  // namespace bindings

// Loaders: fill the shown page from the wizard data and bind its elements.
void Load_TVKProjType(FrmWizard& wizard);
void Load_TVKProjStyle(FrmWizard& wizard);
void Load_TVKProjectName(FrmWizard& wizard);
void Load_TVKDatabaseConnection(FrmWizard& wizard);
void Load_TVKDataSource(FrmWizard& wizard);
void Load_TVKListOptions(FrmWizard& wizard);
void Load_TVKFormOptions(FrmWizard& wizard);
void Load_TVKListFieldSelect(FrmWizard& wizard);
void Load_TVKFormFieldSelect(FrmWizard& wizard);
void Load_TVKFieldOptions(FrmWizard& wizard);
void Load_TVKConfirm(FrmWizard& wizard);
void Load_TVKFinished(FrmWizard& wizard);

// One list item of the confirmation page: "Create File" for a file that
// will be written, "Use Existing File" for one that is present and is left
// alone (unless `alwaysCreate`).
std::string fsAddFileHTML(FrmWizard& wizard, const std::string& path, bool alwaysCreate);

// Storers: write the shown page into the wizard data and release the
// page's bindings.
void Store_TVKProjType(FrmWizard& wizard);
void Store_TVKProjStyle(FrmWizard& wizard);
void Store_TVKProjectName(FrmWizard& wizard);
void Store_TVKDatabaseConnection(FrmWizard& wizard);
// False (after a message) when the chosen table cannot be opened.
bool fbStore_TVKDataSource(FrmWizard& wizard);
void Store_TVKListOptions(FrmWizard& wizard);
void Store_TVKFormOptions(FrmWizard& wizard);
void Store_TVKListFieldSelect(FrmWizard& wizard);
void Store_TVKFormFieldSelect(FrmWizard& wizard);
void Store_TVKFieldOptions(FrmWizard& wizard);

// True for a non-empty name of letters, digits and underscores; a name with
// any other character is refused with a message, an empty one silently.
bool fbValidName(Ui& ui, std::string_view name);

}  // namespace tvk
