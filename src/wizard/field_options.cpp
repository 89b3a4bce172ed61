#include "wizard/field_options.h"

#include <charconv>
#include <cstdint>
#include <memory>

#include "base/ado_routines.h"
#include "base/error.h"
#include "database/database_connection.h"
#include "database/field_data.h"
#include "wizard/frm_wizard.h"
#include "wizard/html_routines.h"
#include "wizard/list_editor.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

// Page elements.
constexpr std::string_view kFieldSelect = "FieldSelect";
constexpr std::string_view kFieldDataType = "FieldDataType";
constexpr std::string_view kColumnLabel = "ColumnLabel";
constexpr std::string_view kAllowSorting = "AllowSorting";
constexpr std::string_view kAllowFiltering = "AllowFiltering";
constexpr std::string_view kReadOnly = "ReadOnly";
constexpr std::string_view kRequiredField = "RequiredField";
constexpr std::string_view kUseLookup = "UseLookup";
constexpr std::string_view kLookupType = "LookupType";
constexpr std::string_view kLookupTable = "LookupTable";
constexpr std::string_view kLookupTableLinkField = "LookupTableLinkField";
constexpr std::string_view kLookupDisplayField = "LookupDisplayField";
constexpr std::string_view kLookupDisplayType = "LookupDisplayType";

// The field record of that name (compared as text, so a name holding an
// apostrophe finds its own record); a name that matches none fails as the
// missing record it is.
XmlNode fieldRecord(XMLWizData& data, std::string_view fieldName) {
  XmlNode field = fieldByName(data, fieldName);
  if (field) return field;
  std::string description = "The wizard data holds no field named '";
  description += fieldName;
  description += "'";
  raise(err::kObjectNotSet, std::string(XMLWizData::kModule), std::move(description));
}

// A check box that follows a TRUE / FALSE / NA option. The box is enabled
// before it is set: a disabled box ignores the click that changes it.
void showTriState(const HtmlPage& page, std::string_view id, const std::string& value) {
  if (value == wiz::kTrue || value == wiz::kFalse) {
    EnableInputControl(page, id, true);
    SetCheckboxValue(page, id, value == wiz::kTrue);
  } else if (value == wiz::kNA) {
    EnableInputControl(page, id, true);
    SetCheckboxValue(page, id, false);
    EnableInputControl(page, id, false);
  }
  // Anything else (no such element): the box stays as it is.
}

// Only an option that applies to the field (TRUE or FALSE already) is
// written: NA and missing options stay as they are.
void saveTriState(XMLWizData& data, const HtmlPage& page, const XmlNode& field, std::string_view path,
                  std::string_view id) {
  std::string current = data.GetSubNodeText(field, path);
  if (current != wiz::kTrue && current != wiz::kFalse) return;
  data.SetSubNodeText(field, path, gfbGetCheckboxValue(page, id) ? wiz::kTrue : wiz::kFalse);
}

// The field's ADO type code as the 16-bit integer it is.
int dataTypeCode(const std::string& text) {
  std::int16_t code = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), code);
  if (ec != std::errc{} || end != text.data() + text.size() || text.empty()) {
    std::string description = "Type mismatch: the field's DataType '";
    description += text;
    description += "' is not a type code";
    raise(err::kTypeMismatch, std::string(FrmWizard::kModule), std::move(description));
  }
  return code;
}

}  // namespace

void TVKW_FieldSelect_onchange(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "TVKW_FieldSelect_onchange"};
  // Whatever was shown so far is kept before the next field replaces it.
  TVKW_FieldSelect_save(wizard, wizard.msCurrentField);

  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  XmlNode field;
  if (!trap([&] {
        wizard.msCurrentField = gfsGetSelectSingleValue(page, kFieldSelect);
        // No field shown on either page: nothing to show options of.
        if (wizard.msCurrentField.empty()) return;
        field = fieldRecord(data, wizard.msCurrentField);
      }))
    return;
  if (!field) return;

  trap([&] {
    SetTextInputValue(page, kFieldDataType, data.GetSubNodeText(field, wiz::DataTypeDesc));
    SetTextInputValue(page, kColumnLabel, data.GetSubNodeText(field, wiz::ColumnLabel));
  });
  trap([&] {
    if (data.ProjectType() == wiz::kTypeForm) {
      // The form page has no sorting.
      ElementEnableState(page, kAllowSorting, true);
      SetCheckboxValue(page, kAllowSorting, false);
      ElementEnableState(page, kAllowSorting, false);
    } else {
      showTriState(page, kAllowSorting, data.GetSubNodeText(field, wiz::AllowSorting));
    }
  });
  trap([&] {
    showTriState(page, kAllowFiltering, data.GetSubNodeText(field, wiz::AllowFiltering));
    showTriState(page, kReadOnly, data.GetSubNodeText(field, wiz::FieldReadOnly));
    showTriState(page, kRequiredField, data.GetSubNodeText(field, wiz::FieldRequired));
  });
  trap([&] {
    // Checked through a click so the page's own script shows the lookup
    // controls while they are filled; the field's own setting follows last.
    EnableInputControl(page, kUseLookup, true);
    SetCheckboxValue(page, kUseLookup, true);
    SetRadioInputValue(page, kLookupType, data.GetSubNodeText(field, wiz::LookupTableType));
    SetRadioInputValue(page, kLookupDisplayType, data.GetSubNodeText(field, wiz::LookupDisplayType));
    SetSelectSingleValue(page, kLookupTable, data.GetSubNodeText(field, wiz::LookupTableName));
  });
  trap([&] { TVKW_LinkTableSelect_onchange(wizard); });
  trap([&] { showTriState(page, kUseLookup, data.GetSubNodeText(field, wiz::UseLookupTable)); });
}

void TVKW_FieldSelect_save(FrmWizard& wizard, const std::string& fieldName) {
  if (fieldName.empty()) return;
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "TVKW_FieldSelect_save"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  XmlNode field;
  if (!trap([&] { field = fieldRecord(data, fieldName); }) || !field) return;

  trap([&] { data.SetSubNodeText(field, wiz::ColumnLabel, gfsGetTextInputValue(page, kColumnLabel)); });
  trap([&] {
    saveTriState(data, page, field, wiz::AllowSorting, kAllowSorting);
    saveTriState(data, page, field, wiz::AllowFiltering, kAllowFiltering);
    saveTriState(data, page, field, wiz::FieldReadOnly, kReadOnly);
    saveTriState(data, page, field, wiz::FieldRequired, kRequiredField);
    saveTriState(data, page, field, wiz::UseLookupTable, kUseLookup);
  });
  // The lookup settings are kept even while the lookup is off, so turning it
  // on again brings them back.
  trap([&] {
    data.SetSubNodeText(field, wiz::LookupTableType, gfsGetRadioInputValue(page, kLookupType));
    data.SetSubNodeText(field, wiz::LookupTableName, gfsGetSelectSingleValue(page, kLookupTable));
    data.SetSubNodeText(field, wiz::LookupJoinField, gfsGetSelectSingleValue(page, kLookupTableLinkField));
    data.SetSubNodeText(field, wiz::LookupShowField, gfsGetSelectSingleValue(page, kLookupDisplayField));
    data.SetSubNodeText(field, wiz::LookupDisplayType, gfsGetRadioInputValue(page, kLookupDisplayType));
  });
}

void TVKW_LinkTableSelect_onchange(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "TVKW_LinkTableSelect_onchange"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();

  int fieldType = 0;
  std::string joinField;
  std::string showField;
  std::string tableName;
  std::shared_ptr<db::Catalog> catalog;
  db::Table* table = nullptr;
  if (!trap([&] {
        std::string fieldName = gfsGetSelectSingleValue(page, kFieldSelect);
        if (fieldName.empty()) return;
        XmlNode field = fieldRecord(data, fieldName);
        fieldType = dataTypeCode(data.GetSubNodeText(field, wiz::DataType));
        joinField = data.GetSubNodeText(field, wiz::LookupJoinField);
        showField = data.GetSubNodeText(field, wiz::LookupShowField);
        tableName = gfsGetSelectSingleValue(page, kLookupTable);
      }))
    return;

  // The lists are emptied first: if the table cannot be read they stay as
  // far as they were filled, never showing the previous table's columns.
  ElementRef linkList;
  ElementRef displayList;
  if (!trap([&] {
        linkList = page.doc.elementById(kLookupTableLinkField);
        displayList = page.doc.elementById(kLookupDisplayField);
        DeleteAllOptions(page, linkList);
        DeleteAllOptions(page, displayList);
        AddOption(page, displayList, "", "");
      }))
    return;
  if (tableName.empty()) return;

  // The session's catalogue, as the table page last read it: a table
  // changed since shows its new columns once that page is shown again.
  if (!trap([&] {
        catalog = foOpenADOXConnection(data);  // shows its own message when it fails
        if (catalog) table = &catalog->table(tableName);
      }) ||
      table == nullptr)
    return;

  trap([&] {
    for (const db::Column& column : table->columns())
      if (gfbLinkableDataType(fieldType, column.type)) AddOption(page, linkList, column.name, column.name);
    SetSelectSingleValue(page, kLookupTableLinkField, joinField);
  });
  trap([&] {
    for (const db::Column& column : table->columns()) AddOption(page, displayList, column.name, column.name);
    SetSelectSingleValue(page, kLookupDisplayField, showField);
  });
}

void TVKW_EditList_onclick(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "TVKW_EditList_onclick"};
  XmlNode array;
  if (!trap([&] {
        XMLWizData& data = wizard.wizData();
        std::string fieldName = gfsGetSelectSingleValue(wizard.page(), kFieldSelect);
        if (fieldName.empty()) return;
        XmlNode field = fieldRecord(data, fieldName);
        array = data.GetSubNode(field, wiz::LookupArray);
        if (!array) array = data.SetSubNodeText(field, wiz::LookupArray, "");
      }) ||
      !array)
    return;
  // The editor writes the rows into the document as it closes: the change
  // holds whether or not the page is left by Next.
  ListAdmin editor(wizard.ui());
  editor.setListData(array);
  editor.Show();
}

}  // namespace tvk
