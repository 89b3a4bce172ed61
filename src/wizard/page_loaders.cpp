// Loading the wizard pages: each page's controls are filled from the wizard
// data document when the page has loaded, and the elements whose events the
// window handles are bound. Loaders store no answers; the few values they
// write are the global.asa they read, FinishEnabled on the confirmation page
// and what the generator prepares on the final page.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/file_routines.h"
#include "base/fs.h"
#include "base/general.h"
#include "base/session.h"
#include "base/vid_integration.h"
#include "database/data_access.h"
#include "database/database_connection.h"
#include "database/global_asa.h"
#include "database/sql_statement_builder.h"
#include "generator/output_files.h"
#include "generator/tvk_file_creator.h"
#include "wizard/field_options.h"
#include "wizard/frm_wizard.h"
#include "wizard/html_routines.h"
#include "wizard/page_routines.h"
#include "wizard/project_files.h"
#include "wizard/table_list.h"
#include "wizard/wizard_view.h"
#include "wizdata/project_values.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

// The flag rule of the check boxes: "TRUE" checks, "FALSE" clears, anything
// else (nothing stored yet) keeps the box as the page has it, so that a new
// project shows the page's own defaults.
void loadFlag(const HtmlPage& page, std::string_view id, std::string_view flag) {
  if (flag == wiz::kTrue)
    SetCheckboxValue(page, id, true);
  else if (flag == wiz::kFalse)
    SetCheckboxValue(page, id, false);
}

// A check box of a read-only table: the generated pages cannot offer it.
void clearAndDisable(const HtmlPage& page, std::string_view id) {
  SetCheckboxValue(page, id, false);
  ElementEnableState(page, id, false);
}

// A path written into the page's HTML shows as the text it is: a folder
// named "a&b" or "<img ...>" (a project file may come from anyone) must not
// become markup, let alone script, in the wizard's own page.
std::string htmlText(std::string_view text) { return gfsHTMLEscape(text); }

// Shows the wait pointer for the length of a long load.
class BusyPointer {
 public:
  explicit BusyPointer(WizardView& view) : view_(view) { view_.setBusy(true); }
  ~BusyPointer() { view_.setBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  WizardView& view_;
};

void fillFieldLists(FrmWizard& wizard, const char* procedure, bool listPage) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, procedure};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  ElementRef displayed;
  ElementRef others;
  if (!trap([&] {
        displayed = page.doc.elementById(ids::DisplayedFields);
        others = page.doc.elementById(ids::TableFields);
      }))
    return;
  XmlNodeList shown;
  if (!trap([&] { shown = listPage ? data.GetListFields() : data.GetFormFields(); })) return;
  for (const XmlNode& field : shown) {
    if (!trap([&] {
          std::string name = data.GetSubNodeText(field, wiz::FieldName);
          AddOption(page, displayed, name, name);
        }))
      return;
  }
  XmlNodeList all;
  if (!trap([&] { all = data.GetFields(); })) return;
  for (const XmlNode& field : all) {
    if (!trap([&] {
          std::string name = data.GetSubNodeText(field, wiz::FieldName);
          if (!gfbIsOptionPresent(page, displayed, name)) AddOption(page, others, name, name);
        }))
      return;
  }
}

using Loader = void (*)(FrmWizard&);

struct PageLoader {
  std::string_view page;
  Loader load;
};

// The loader of each page name; the list-with-form project's list options
// page shares the list options loader (it tells the two apart itself).
constexpr std::array<PageLoader, 14> kLoaders{{
    {pages::kIntro, &Load_TVKIntro},
    {pages::kProjType, &Load_TVKProjType},
    {pages::kProjStyle, &Load_TVKProjStyle},
    {pages::kProjectName, &Load_TVKProjectName},
    {pages::kDatabaseConnection, &Load_TVKDatabaseConnection},
    {pages::kDataSource, &Load_TVKDataSource},
    {pages::kListOptions, &Load_TVKListOptions},
    {pages::kListLFOptions, &Load_TVKListOptions},
    {pages::kFormOptions, &Load_TVKFormOptions},
    {pages::kListFieldSelect, &Load_TVKListFieldSelect},
    {pages::kFormFieldSelect, &Load_TVKFormFieldSelect},
    {pages::kFieldOptions, &Load_TVKFieldOptions},
    {pages::kConfirm, &Load_TVKConfirm},
    {pages::kFinished, &Load_TVKFinished},
}};

}  // namespace

void LoadPageData(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "LoadPageData"};
  std::string name;
  if (!trap([&] { name = gfsGetTextInputValue(wizard.page(), ids::PageName); })) return;
  if (!trap([&] { wizard.view().setVisible(WizardButton::About, name == pages::kIntro); })) return;
  for (const PageLoader& entry : kLoaders) {
    if (entry.page == name) {
      entry.load(wizard);
      return;
    }
  }
}

void Load_TVKProjType(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKProjType"};
  HtmlPage page = wizard.page();
  if (!trap([&] { SetRadioInputValue(page, ids::ProjectType, wizard.wizData().GetNodeText(wiz::ProjectType)); }))
    return;
  // Bound after the stored type is shown: only the developer's clicks may
  // change whether Finish is allowed.
  trap([&] {
    for (auto [binding, id] : {std::pair{bindings::ProjectTypeList, ids::ProjectTypeList},
                               std::pair{bindings::ProjectTypeForm, ids::ProjectTypeForm},
                               std::pair{bindings::ProjectTypeListForm, ids::ProjectTypeListForm}})
      wizard.bindElement(binding, id, kEventClick, [&wizard] { wizard.ProjectTypeChanged(); });
  });
}

void Load_TVKProjStyle(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKProjStyle"};
  trap([&] { SetRadioInputValue(wizard.page(), ids::ProjectStyle, wizard.wizData().GetNodeText(wiz::ProjectStyle)); });
}

void Load_TVKProjectName(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKProjectName"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  Session& session = wizard.session();
  if (session.gbInEnvironment) {
    // Inside the environment the item name the developer typed there names
    // the project, and the folder the wizard was started in is the target.
    if (!trap([&] { SetTextInputValue(page, ids::ProjectName, session.gsItemName); })) return;
    if (!trap([&] {
          SetTextInputValue(
              page, ids::VIDFileDirectory,
              session.gsProjectName + kPathSeparator + gfsVirtualPath(session, session.gsTargetDirectory));
        }))
      return;
    if (!trap([&] {
          if (ElementRef standAlone = page.doc.elementById(ids::StandAloneMessage))
            page.doc.setText(standAlone, TextProperty::StyleDisplay, "none");
          if (ElementRef vid = page.doc.elementById(ids::VIDMessage))
            page.doc.setText(vid, TextProperty::StyleDisplay, "inline");
        }))
      return;
  } else {
    if (!trap([&] { SetTextInputValue(page, ids::ProjectName, data.GetNodeText(wiz::ProjectName)); })) return;
    if (!trap([&] { SetTextInputValue(page, ids::FileDirectory, data.GetNodeText(wiz::FileDirectory)); })) return;
  }
  trap([&] {
    wizard.bindElement(bindings::ChooseDirectory, ids::ChooseDirectory, kEventClick,
                       [&wizard] { TVKW_ChooseDirectory_onclick(wizard); });
  });
}

void Load_TVKDatabaseConnection(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKDatabaseConnection"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  Session& session = wizard.session();

  std::string path;
  if (!trap([&] { path = gfsGlobalASAPath(session, data.GetNodeText(wiz::FileDirectory)); })) return;
  ElementRef status;
  if (!trap([&] { status = page.doc.elementById(ids::GlobalASAFilePath); })) return;
  auto showStatus = [&](TextProperty property, const std::string& text) {
    if (status) page.doc.setText(status, property, text);
  };

  // Only a data source of the web application's own global.asa can be
  // offered; without one the page is left with the typed connection string.
  std::optional<std::string> sourceType;
  bool present = true;
  if (path.empty()) {
    if (!trap([&] { showStatus(TextProperty::OuterText, "Error : Couldn't find a global.asa file"); })) return;
    present = false;
  } else {
    int where = 0;
    if (!trap([&] { where = gfFilePresent(session, path); })) return;
    if (where == kFileNoLocalCopy) {
      if (!trap([&] {
            showStatus(TextProperty::OuterText, "Error : Couldn't find a local copy of global.asa file - " + path);
          }))
        return;
      present = false;
    }
  }
  if (present) {
    if (!trap([&] {
          data.SetNodeText(wiz::GlobalASAPath, path);
          showStatus(TextProperty::InnerHTML, "( From File : " + htmlText(path) + " )");
        }))
      return;
    std::optional<XmlNodeList> sources;
    if (!trap([&] { sources = gfoGlobalASADataSources(path); })) return;
    if (!sources || sources->empty()) {
      if (!trap([&] {
            showStatus(TextProperty::InnerHTML,
                       "Error : No data sources found in Application_OnStart of :<BR>" + htmlText(path));
          }))
        return;
      present = false;
    } else {
      if (!trap([&] {
            ElementRef list = page.doc.elementById(ids::GlobalASADataSourceName);
            for (const XmlNode& source : *sources) {
              std::string name = source.text();
              AddOption(page, list, name, name);
            }
            sourceType = data.GetNodeText(wiz::DataSourceType);
            SetSelectSingleValue(page, ids::GlobalASADataSourceName, data.GetNodeText(wiz::GlobalASADataSourceName));
          }))
        return;
    }
  }
  if (!present && !trap([&] { ElementEnableState(page, ids::DS_ASA, false); })) return;
  if (sourceType && !trap([&] { SetRadioInputValue(page, ids::DataSourceType, *sourceType); })) return;
  trap([&] {
    std::string connection = data.GetNodeText(wiz::ConnectionStringText);
    if (!connection.empty()) SetTextareaValue(page, ids::ConnectionStringText, connection);
  });
}

void Load_TVKDataSource(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKDataSource"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  ElementRef list;
  if (!trap([&] { list = page.doc.elementById(ids::TableName); })) return;
  std::vector<TableListOption> tables;
  if (!trap([&] { tables = HTMLTableList(data); })) return;
  for (const TableListOption& table : tables) {
    if (!trap([&] { AddOption(page, list, table.value, table.caption); })) return;
  }
  // The stored table, or the first one when it is gone (or none was chosen
  // yet), so that Next always has a table to test.
  // (The list holds the tables just added: the first is known here, and a
  // thousand options need not be read back from the page.)
  trap([&] {
    std::string stored = data.GetNodeText(wiz::TableName);
    SetSelectSingleValue(page, ids::TableName, stored);
    if (!list || tables.empty()) return;
    if (gfsGetSelectSingleValue(page, ids::TableName).empty())
      SetSelectSingleValue(page, ids::TableName, tables.front().value);
  });
}

void Load_TVKListOptions(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKListOptions"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();

  // On a list-with-form project the form options page carries adding,
  // updating and deleting, so only the list-only page touches them.
  std::string name;
  if (!trap([&] { name = gfsGetTextInputValue(page, ids::PageName); })) return;
  if (name == pages::kListOptions) {
    if (!trap([&] {
          if (data.GetNodeText(wiz::TableReadOnly) == wiz::kTrue) {
            for (std::string_view id : {ids::AllowAddRecord, ids::AllowUpdateRecord, ids::AllowDeleteRecord})
              clearAndDisable(page, id);
          } else {
            loadFlag(page, ids::AllowAddRecord, data.GetNodeText(wiz::ListAllowAddRecord));
            loadFlag(page, ids::AllowUpdateRecord, data.GetNodeText(wiz::ListAllowUpdateRecord));
            loadFlag(page, ids::AllowDeleteRecord, data.GetNodeText(wiz::ListAllowDeleteRecord));
          }
        }))
      return;
  }

  std::string paging;
  if (!trap([&] {
        paging = data.GetNodeText(wiz::AllowPaging);
        loadFlag(page, ids::AllowPaging, paging);
      }))
    return;
  // Paging switched off: the details keep the page's own values, ready for
  // when the developer switches it on again.
  if (paging == wiz::kFalse) return;
  if (!trap([&] { SetTextInputValue(page, ids::RecordsPerPage, data.GetNodeText(wiz::RecordsPerPage)); })) return;
  if (!trap([&] {
        loadFlag(page, ids::Skip1HavigationButtons, data.GetNodeText(wiz::ListSkip1Buttons));
        loadFlag(page, ids::SkipEndHavigationButtons, data.GetNodeText(wiz::ListSkipEndButtons));
        loadFlag(page, ids::PageNumberNavigation, data.GetNodeText(wiz::PageNumberAllowPaging));
      }))
    return;
  trap([&] { SetTextInputValue(page, ids::MaxPages, data.GetNodeText(wiz::MaxDirectPages)); });
}

void Load_TVKFormOptions(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKFormOptions"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  if (!trap([&] {
        loadFlag(page, ids::AllowNavigation, data.GetNodeText(wiz::AllowNavigation));
        loadFlag(page, ids::Skip1HavigationButtons, data.GetNodeText(wiz::FormSkip1Buttons));
        loadFlag(page, ids::SkipEndHavigationButtons, data.GetNodeText(wiz::FormSkipEndButtons));
        loadFlag(page, ids::DisplayRecordNo, data.GetNodeText(wiz::DisplayRecordNo));
      }))
    return;
  trap([&] {
    if (data.GetNodeText(wiz::TableReadOnly) == wiz::kTrue) {
      for (std::string_view id : {ids::AllowAddRecord, ids::AllowUpdateRecord, ids::AllowDeleteRecord})
        clearAndDisable(page, id);
    } else {
      loadFlag(page, ids::AllowAddRecord, data.GetNodeText(wiz::FormAllowAddRecord));
      loadFlag(page, ids::AllowUpdateRecord, data.GetNodeText(wiz::FormAllowUpdateRecord));
      loadFlag(page, ids::AllowDeleteRecord, data.GetNodeText(wiz::FormAllowDeleteRecord));
    }
  });
}

void Load_TVKListFieldSelect(FrmWizard& wizard) { fillFieldLists(wizard, "Load_TVKListFieldSelect", true); }

void Load_TVKFormFieldSelect(FrmWizard& wizard) { fillFieldLists(wizard, "Load_TVKFormFieldSelect", false); }

void Load_TVKFieldOptions(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKFieldOptions"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();

  ElementRef fieldList;
  XmlNodeList displayed;
  if (!trap([&] {
        fieldList = page.doc.elementById(ids::FieldSelect);
        displayed = data.GetDisplayedFields();
      }))
    return;
  for (const XmlNode& field : displayed) {
    if (!trap([&] {
          std::string name = data.GetSubNodeText(field, wiz::FieldName);
          AddOption(page, fieldList, name, name);
        }))
      return;
  }
  if (!trap([&] {
        wizard.bindElement(bindings::FieldSelect, ids::FieldSelect, kEventChange,
                           [&wizard] { TVKW_FieldSelect_onchange(wizard); });
        wizard.bindElement(bindings::EditList, ids::EditList, kEventClick,
                           [&wizard] { TVKW_EditList_onclick(wizard); });
      }))
    return;

  // The lookup tables: tables and views only, the bare name as the value.
  // A database that cannot be opened has shown its message; the page is
  // then offered without lookup tables.
  if (!trap([&] {
        std::shared_ptr<db::Catalog> catalog = foOpenADOXConnection(data);
        if (!catalog) return;
        ElementRef lookupList = page.doc.elementById(ids::LookupTable);
        for (const db::TableEntry& table : catalog->tables()) {
          std::string type = gfsUpper(table.type);
          std::string name = table.displayName();
          if (type == "TABLE")
            AddOption(page, lookupList, name, "T: " + name);
          else if (type == "VIEW")
            AddOption(page, lookupList, name, "V: " + name);
        }
      }))
    return;
  if (!trap([&] {
        wizard.bindElement(bindings::LinkTableSelect, ids::LookupTable, kEventChange,
                           [&wizard] { TVKW_LinkTableSelect_onchange(wizard); });
      }))
    return;

  // Show the first field. With no field shown on either page there is
  // nothing to show, and no field whose options could be saved.
  trap([&] {
    if (displayed.empty()) return;
    SetSelectSingleValue(page, ids::FieldSelect, data.GetSubNodeText(displayed.front(), wiz::FieldName));
    TVKW_FieldSelect_onchange(wizard);
  });
}

std::string fsAddFileHTML(FrmWizard& wizard, const std::string& path, bool alwaysCreate) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "fsAddFileHTML"};
  std::string item;
  if (!trap([&] {
        std::string place = htmlText(gfsFileName(path)) + " (" + htmlText(gfsFilePath(path)) + ")</LI><BR>";
        item = (!alwaysCreate && files::fileExists(path) ? "<LI> Use Existing File : " : "<LI> Create File : ") + place;
      }))
    return {};
  return item;
}

void Load_TVKConfirm(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKConfirm"};
  XMLWizData& data = wizard.wizData();

  std::string type;
  std::string style;
  std::string fileDirectory;
  std::string projectName;
  std::string includeDirectory;
  std::string stylesheetDirectory;
  std::string graphicsDirectory;
  bool dataActions = false;
  if (!trap([&] {
        type = data.GetNodeText(wiz::ProjectType);
        style = data.GetNodeText(wiz::ProjectStyle);
        fileDirectory = data.GetNodeText(wiz::FileDirectory);
        projectName = data.GetNodeText(wiz::ProjectName);
        includeDirectory = data.GetNodeText(wiz::IncludeDirectory);
        stylesheetDirectory = data.GetNodeText(wiz::StylesheetDirectory);
        graphicsDirectory = data.GetNodeText(wiz::GraphicsDirectory);
        // The data-action include serves adding, updating and deleting,
        // which the form page carries whenever there is one.
        if (type == wiz::kTypeList)
          dataActions = data.GetNodeText(wiz::ListAllowAddRecord) == wiz::kTrue ||
                        data.GetNodeText(wiz::ListAllowUpdateRecord) == wiz::kTrue ||
                        data.GetNodeText(wiz::ListAllowDeleteRecord) == wiz::kTrue;
        else if (type == wiz::kTypeForm || type == wiz::kTypeListForm)
          dataActions = data.GetNodeText(wiz::FormAllowAddRecord) == wiz::kTrue ||
                        data.GetNodeText(wiz::FormAllowUpdateRecord) == wiz::kTrue ||
                        data.GetNodeText(wiz::FormAllowDeleteRecord) == wiz::kTrue;
      }))
    return;

  // The same paths the generator writes to: the pages are always written
  // anew, the include files, stylesheet and graphics only when missing.
  std::vector<std::pair<std::string, bool>> files;
  if (type == wiz::kTypeList || type == wiz::kTypeListForm)
    files.emplace_back(files::join(fileDirectory, projectName + "List.asp"), true);
  if (type == wiz::kTypeForm || type == wiz::kTypeListForm)
    files.emplace_back(files::join(fileDirectory, projectName + "Form.asp"), true);
  files.emplace_back(files::join(includeDirectory, "incTVKWDisplay.asp"), false);
  if (dataActions) files.emplace_back(files::join(includeDirectory, "incTVKWAction.asp"), false);
  if (style == wiz::kStyleClassic)
    files.emplace_back(files::join(stylesheetDirectory, "TVKW_Classic.css"), false);
  else if (style == wiz::kStyleProfessional)
    files.emplace_back(files::join(stylesheetDirectory, "TVKW_Professional.css"), false);
  else if (style == wiz::kStyleXP)
    files.emplace_back(files::join(stylesheetDirectory, "TVKW_XP.css"), false);
  if (style == wiz::kStyleProfessional || style == wiz::kStyleXP) {
    std::string prefix = style == wiz::kStyleProfessional ? "TVKW_Pro_" : "TVKW_XP_";
    for (std::string_view graphic : {"SortAsc.gif", "SortDesc.gif", "EditRecord.gif"})
      files.emplace_back(files::join(graphicsDirectory, prefix + std::string(graphic)), false);
  }

  std::string html = "<UL>";
  for (const auto& [path, alwaysCreate] : files) html += fsAddFileHTML(wizard, path, alwaysCreate);
  html += "</UL>";
  if (!trap([&] {
        HtmlPage page = wizard.page();
        if (ElementRef list = page.doc.elementById(ids::ConfirmFiles))
          page.doc.setText(list, TextProperty::InnerHTML, html);
      }))
    return;
  // Reaching this page is what allows Finish.
  trap([&] { data.SetNodeText(wiz::FinishEnabled, wiz::kTrue); });
}

void Load_TVKFinished(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Load_TVKFinished"};
  BusyPointer busy(wizard.view());
  XMLWizData& data = wizard.wizData();

  if (!trap([&] {
        wizard.bindElement(bindings::SaveWizData, ids::SaveWizData, kEventClick,
                           [&wizard] { TVKW_SaveWizData_onclick(wizard); });
      }))
    return;

  // Pages built on a statement that could not be made would not run; the
  // failure has been reported, and the report says that nothing was
  // written rather than listing files as created.
  // A project opened from a file may hold values the pages never let
  // through; nothing is written from them.
  std::optional<ProjectProblem> problem;
  if (!trap([&] { problem = projectProblem(data); })) return;
  bool prepared = false;
  if (!problem && !trap([&] { prepared = SetupGenerationData(data); })) return;
  std::string report;
  if (problem) {
    report = "No files were created: " + problem->describe() + "\r\n";
  } else if (prepared) {
    if (!trap([&] {
          std::unique_ptr<OutputFiles> output = outputFilesFor(wizard.session());
          TVKFileCreator creator(*output, files::join(wizard.dataDirectory(), "Templates"));
          report = renderReport(creator.GenerateFiles(data));
        }))
      return;
  } else {
    report = "No files were created: the SELECT statement for the table could not be built.\r\n";
  }
  if (!trap([&] { SetTextareaValue(wizard.page(), ids::WizardResults, report); })) return;
  trap([&] {
    wizard.view().setVisible(WizardButton::Finish, false);
    wizard.view().setVisible(WizardButton::Exit, true);
  });
}

}  // namespace tvk
