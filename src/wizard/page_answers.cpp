#include "wizard/page_answers.h"

#include "base/error.h"
#include "base/ui.h"
#include "wizard/field_options.h"
#include "wizard/frm_wizard.h"
#include "wizard/html_routines.h"
#include "wizard/list_editor.h"
#include "wizard/wizard_view.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

// The walk never needs more presses than the flow has pages; a flow that
// loops is a broken data file.
constexpr int kMostPages = 40;
constexpr std::string_view kConfirmPage = "TVKConfirm";

// A refusal of the answers themselves (a value no control offers), told as
// the wizard tells its own.
bool refuse(FrmWizard& wizard, const std::string& text) {
  gMsgBox(wizard.ui(), text, MsgButtons::OK, MsgIcon::Exclamation);
  return false;
}

std::string pageName(FrmWizard& wizard) { return gfsGetTextInputValue(wizard.page(), "WIZF_PageName"); }

// Chooses a radio button by value; a value the group does not offer is refused.
bool chooseRadio(FrmWizard& wizard, std::string_view group, const std::string& value, std::string_view what) {
  HtmlPage page = wizard.page();
  SetRadioInputValue(page, group, value);
  if (gfsGetRadioInputValue(page, group) == value) return true;
  std::string offered;
  for (const ElementRef& radio : page.doc.elementsByName(group)) {
    if (!offered.empty()) offered += ", ";
    offered += page.doc.text(radio, TextProperty::Value);
  }
  return refuse(wizard,
                "The " + std::string(what) + " \"" + value + "\" is not one the wizard offers (" + offered + ")");
}

// Selects a list entry by value; a value the list does not hold is refused.
bool chooseOption(FrmWizard& wizard, std::string_view id, const std::string& value, const std::string& what) {
  HtmlPage page = wizard.page();
  ElementRef list = page.doc.elementById(id);
  if (!list || !gfbIsOptionPresent(page, list, value))
    return refuse(wizard, "The wizard offers no " + what + " \"" + value + "\"");
  SetSelectSingleValue(page, id, value);
  return true;
}

// Sets a check box that applies to the shown field; one that is disabled
// (the option does not apply) is refused when an answer asks for it.
bool setFieldCheck(FrmWizard& wizard, std::string_view id, std::optional<bool> value, const std::string& field,
                   std::string_view what) {
  if (!value) return true;
  HtmlPage page = wizard.page();
  ElementRef box = page.doc.elementById(id);
  if (!box || page.doc.flag(box, FlagProperty::Disabled))
    return refuse(wizard, "The option " + std::string(what) + " does not apply to the field " + field);
  SetCheckboxValue(page, id, *value);
  return true;
}

// The shown fields of a field selection page: the given ones in their
// order, or every field of the table in table order.
bool showFields(FrmWizard& wizard, const std::optional<std::vector<std::string>>& chosen) {
  HtmlPage page = wizard.page();
  ElementRef shown = page.doc.elementById("DisplayedFields");
  ElementRef table = page.doc.elementById("TableFields");
  if (!shown) return refuse(wizard, "The field selection page has no list of shown fields");
  std::vector<std::string> names;
  if (chosen) {
    names = *chosen;
  } else {
    XMLWizData& data = wizard.wizData();
    for (const XmlNode& field : data.GetFields()) names.push_back(data.GetSubNodeText(field, wiz::FieldName));
  }
  // Every entry the two lists offer, by value, with its caption.
  std::map<std::string, std::string> offered;
  for (const ElementRef& list : {table, shown}) {
    if (!list) continue;
    for (const SelectOption& option : page.doc.options(list)) offered[option.value] = option.text;
  }
  for (const std::string& name : names)
    if (!offered.count(name)) return refuse(wizard, "The table has no field \"" + name + "\" to show");
  if (table) DeleteAllOptions(page, table);
  DeleteAllOptions(page, shown);
  for (const std::string& name : names) AddOption(page, shown, name, offered[name]);
  for (const auto& [value, text] : offered) {
    bool isShown = false;
    for (const std::string& name : names) isShown = isShown || name == value;
    if (!isShown && table) AddOption(page, table, value, text);
  }
  return true;
}

bool answerField(FrmWizard& wizard, const std::string& field, const FieldAnswers& a) {
  if (!chooseOption(wizard, "FieldSelect", field, "shown field")) return false;
  TVKW_FieldSelect_onchange(wizard);
  HtmlPage page = wizard.page();
  if (a.label) SetTextInputValue(page, "ColumnLabel", *a.label);
  if (!setFieldCheck(wizard, "ReadOnly", a.readOnly, field, "read-only")) return false;
  if (!setFieldCheck(wizard, "RequiredField", a.required, field, "required")) return false;
  if (!setFieldCheck(wizard, "AllowSorting", a.sorting, field, "sorting")) return false;

  bool lookup = a.lookupTable || a.lookupList;
  if (a.noLookup) return setFieldCheck(wizard, "UseLookup", false, field, "lookup");
  if (!lookup) {
    if (a.radioButtons &&
        !chooseRadio(wizard, "LookupDisplayType", std::string(*a.radioButtons ? "RadioList" : wiz::kLookupSelectList),
                     "lookup display"))
      return false;
    return true;
  }
  if (!setFieldCheck(wizard, "UseLookup", true, field, "lookup")) return false;
  if (a.lookupTable) {
    if (!chooseRadio(wizard, "LookupType", std::string(wiz::kLookupDatabaseTable), "lookup type")) return false;
    if (!chooseOption(wizard, "LookupTable", *a.lookupTable, "lookup table")) return false;
    TVKW_LinkTableSelect_onchange(wizard);
    if (!chooseOption(wizard, "LookupTableLinkField", a.lookupJoinField,
                      "link column of " + *a.lookupTable + " that fits " + field))
      return false;
    if (!chooseOption(wizard, "LookupDisplayField", a.lookupShowField, "column of " + *a.lookupTable)) return false;
  } else {
    if (!chooseRadio(wizard, "LookupType", std::string(wiz::kLookupManualList), "lookup type")) return false;
    // The rows go through the list editor as if typed into its grid: the
    // same column limits, the same write-back.
    XMLWizData& data = wizard.wizData();
    XmlNode record = fieldByName(data, field);
    if (!record) return refuse(wizard, "The table has no field \"" + field + "\"");
    XmlNode lookupArray = data.GetSubNode(record, wiz::LookupArray);
    if (!lookupArray) lookupArray = data.SetSubNodeText(record, wiz::LookupArray, "");
    std::vector<ListEditorRow> rows;
    for (const auto& [value, text] : *a.lookupList) rows.push_back({value, text});
    ListAdmin editor(wizard.ui());
    editor.setListData(lookupArray);
    if (!editor.Form_Load() || !editor.setRows(rows)) return false;
    editor.Form_Unload();
  }
  if (a.radioButtons &&
      !chooseRadio(wizard, "LookupDisplayType", std::string(*a.radioButtons ? "RadioList" : wiz::kLookupSelectList),
                   "lookup display"))
    return false;
  return true;
}

// Fills the shown page from the answers. False after a refusal.
bool fillPage(FrmWizard& wizard, const std::string& page, const ProjectAnswers& a) {
  HtmlPage html = wizard.page();
  if (page == "TVKIntro") return chooseRadio(wizard, "ProjectOpenType", "New", "project choice");
  if (page == "TVKProjType") return !a.type || chooseRadio(wizard, "ProjectType", *a.type, "project type");
  if (page == "TVKProjStyle") return !a.style || chooseRadio(wizard, "ProjectStyle", *a.style, "style");
  if (page == "TVKProjectName") {
    if (a.name) SetTextInputValue(html, "ProjectName", *a.name);
    if (a.directory) SetTextInputValue(html, "FileDirectory", *a.directory);
    return true;
  }
  if (page == "TVKDatabaseConnection") {
    if (a.connection) {
      if (!chooseRadio(wizard, "DataSourceType", std::string(wiz::kSourceConnectionString), "data source type"))
        return false;
      SetTextareaValue(html, "ConnectionStringText", *a.connection);
    } else if (a.globalAsaSource) {
      if (!chooseRadio(wizard, "DataSourceType", std::string(wiz::kSourceGlobalASA), "data source type")) return false;
      return chooseOption(wizard, "GlobalASADataSourceName", *a.globalAsaSource, "global.asa data source");
    }
    return true;
  }
  if (page == "TVKDataSource") return !a.table || chooseOption(wizard, "TableName", *a.table, "table or view");
  if (page == "TVKListOptions" || page == "TVKListLFOptions") {
    for (const auto& [id, checked] : a.listChecks) SetCheckboxValue(html, id, checked);
    for (const auto& [id, text] : a.listTexts) SetTextInputValue(html, id, text);
    return true;
  }
  if (page == "TVKFormOptions") {
    for (const auto& [id, checked] : a.formChecks) SetCheckboxValue(html, id, checked);
    return true;
  }
  if (page == "TVKListFieldSelect") return showFields(wizard, a.listFields);
  if (page == "TVKFormFieldSelect") return showFields(wizard, a.formFields);
  if (page == "TVKFieldOptions") {
    for (const auto& [field, answers] : a.fields)
      if (!answerField(wizard, field, answers)) return false;
    return true;
  }
  return true;
}

}  // namespace

bool answerPages(FrmWizard& wizard, const ProjectAnswers& answers, std::string* refusedPage,
                 const std::string& stopAfter) {
  std::string page;
  auto failed = [&] {
    if (refusedPage) *refusedPage = page;
    return false;
  };
  try {
    wizard.Form_Load();
    for (int pressed = 0; pressed < kMostPages && !wizard.closed(); ++pressed) {
      page = pageName(wizard);
      // The confirmation page asks nothing: the answers are complete.
      if (stopAfter.empty() && page == kConfirmPage) return true;
      if (!fillPage(wizard, page, answers)) return failed();
      if (!wizard.view().isEnabled(WizardButton::Next))
        return refuse(wizard, "The page \"" + wizard.view().document().title() + "\" is not complete"), failed();
      wizard.cmdNext_Click();
      if (pageName(wizard) == page) return failed();  // the wizard kept the developer on the page
      if (page == stopAfter) return true;
    }
  } catch (...) {
    // The window's own traps report what goes wrong inside it; what reaches
    // here (no page shown at all) is told once.
    ErrorInfo error = currentErrorInfo();
    refuse(wizard, error.description);
  }
  return failed();
}

}  // namespace tvk
