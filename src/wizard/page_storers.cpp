// Storing and validating the wizard pages. A page's answers are stored into
// the wizard data document whenever the page is left (Next, Back, Finish),
// and checked on Next from the stored values, so an invalid answer is kept,
// reported, and corrected by the next attempt. Storing a page also releases
// the element bindings its loader made.
#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/file_routines.h"
#include "base/general.h"
#include "base/session.h"
#include "base/ui.h"
#include "database/database_connection.h"
#include "database/field_data.h"
#include "wizard/field_options.h"
#include "wizard/frm_wizard.h"
#include "wizard/html_routines.h"
#include "wizard/page_routines.h"
#include "wizard/project_files.h"
#include "wizard/table_list.h"
#include "wizdata/project_values.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

std::string_view flagText(bool checked) { return checked ? wiz::kTrue : wiz::kFalse; }

void storeCheckbox(const HtmlPage& page, XMLWizData& data, std::string_view id, std::string_view path) {
  data.SetNodeText(path, flagText(gfbGetCheckboxValue(page, id)));
}

// Releases the page's bindings however its storer ends: the page is being
// left, and a binding must not outlive the elements it was made for.
class ReleaseOnExit {
 public:
  ReleaseOnExit(FrmWizard& wizard, std::initializer_list<std::string_view> names) : wizard_(wizard) {
    for (std::string_view name : names) names_[count_++] = name;
  }
  ~ReleaseOnExit() {
    for (size_t i = 0; i < count_; ++i) {
      try {
        wizard_.releaseBinding(names_[i]);
      } catch (...) {
        // Nothing is left to do about a binding that cannot be dropped.
      }
    }
  }
  ReleaseOnExit(const ReleaseOnExit&) = delete;
  ReleaseOnExit& operator=(const ReleaseOnExit&) = delete;

 private:
  FrmWizard& wizard_;
  std::array<std::string_view, 3> names_{};
  size_t count_ = 0;
};

void storeFieldSelection(FrmWizard& wizard, const char* procedure, bool listPage) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, procedure};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  std::string_view showPath = listPage ? wiz::ListShowField : wiz::FormShowField;
  std::string_view orderPath = listPage ? wiz::ListFieldOrder : wiz::FormFieldOrder;

  XmlNodeList fields;
  if (!trap([&] { fields = data.GetFields(); })) return;
  for (const XmlNode& field : fields) {
    if (!trap([&] {
          data.SetSubNodeText(field, showPath, wiz::kFalse);
          data.SetSubNodeText(field, orderPath, "");
        }))
      return;
  }
  // Every option of the shown list, in the order the developer arranged it
  // (not only the selected ones), numbered without gaps.
  std::vector<SelectOption> options;
  if (!trap([&] {
        if (ElementRef list = page.doc.elementById(ids::DisplayedFields)) options = page.doc.options(list);
      }))
    return;
  int order = 1;
  for (const SelectOption& option : options) {
    if (!trap([&] {
          XmlNode field = fieldByName(data, option.value);
          if (!field) return;
          data.SetSubNodeText(field, showPath, wiz::kTrue);
          data.SetSubNodeText(field, orderPath, std::to_string(order));
          ++order;
        }))
      return;
  }
}

// Forgets the field data of a table that has been left: its columns,
// key and statement belong to the former table.
void dropFieldData(XMLWizData& data) {
  data.SetNodeText(wiz::FinishEnabled, wiz::kFalse);
  data.SetNodeText(wiz::PrimaryKey, "");
  data.SetNodeText(wiz::TableReadOnly, "");
  data.SetNodeText(wiz::SQLStatement, "");
  data.DeleteNodes(wiz::FieldsField);
}

bool validListOptions(XMLWizData& data) {
  Ui& ui = data.ui();
  if (data.GetNodeText(wiz::AllowPaging) != wiz::kTrue) return true;
  if (!gfbValidInteger(data.GetNodeText(wiz::RecordsPerPage), 1)) {
    gMsgBox(ui, "Records Per Page must be set to a valid integer", MsgButtons::OK, MsgIcon::Information);
    return false;
  }
  bool pageNumbers = data.GetNodeText(wiz::PageNumberAllowPaging) == wiz::kTrue;
  if (data.GetNodeText(wiz::ListSkip1Buttons) != wiz::kTrue &&
      data.GetNodeText(wiz::ListSkipEndButtons) != wiz::kTrue && !pageNumbers) {
    gMsgBox(ui,
            "If Paging is enabled you must allow either :\r\n"
            " a) Navigation buttons\r\n"
            " b) Page number navigation",
            MsgButtons::OK, MsgIcon::Information);
    return false;
  }
  std::string maxPages = data.GetNodeText(wiz::MaxDirectPages);
  if (pageNumbers && !maxPages.empty() && !gfbValidInteger(maxPages, 1)) {
    gMsgBox(ui, "Maximum Number of Pages must be blank or a valid integer", MsgButtons::OK, MsgIcon::Information);
    return false;
  }
  return true;
}

}  // namespace

bool fbStorePageData(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "fbStorePageData"};
  std::string name;
  // A page whose name cannot be read has not been stored: it stays.
  if (!trap([&] { name = gfsGetTextInputValue(wizard.page(), ids::PageName); })) return false;
  if (name == pages::kIntro) {
    if (!trap([&] { wizard.ReleaseIntroButton(); })) return false;
  } else if (name == pages::kProjType) {
    Store_TVKProjType(wizard);
  } else if (name == pages::kProjStyle) {
    Store_TVKProjStyle(wizard);
  } else if (name == pages::kProjectName) {
    Store_TVKProjectName(wizard);
  } else if (name == pages::kDatabaseConnection) {
    Store_TVKDatabaseConnection(wizard);
  } else if (name == pages::kDataSource) {
    return fbStore_TVKDataSource(wizard);
  } else if (name == pages::kListOptions || name == pages::kListLFOptions) {
    Store_TVKListOptions(wizard);
  } else if (name == pages::kFormOptions) {
    Store_TVKFormOptions(wizard);
  } else if (name == pages::kListFieldSelect) {
    Store_TVKListFieldSelect(wizard);
  } else if (name == pages::kFormFieldSelect) {
    Store_TVKFormFieldSelect(wizard);
  } else if (name == pages::kFieldOptions) {
    Store_TVKFieldOptions(wizard);
  }
  return true;
}

void Store_TVKProjType(FrmWizard& wizard) {
  ReleaseOnExit release(wizard, {bindings::ProjectTypeList, bindings::ProjectTypeForm, bindings::ProjectTypeListForm});
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Store_TVKProjType"};
  trap([&] {
    XMLWizData& data = wizard.wizData();
    std::string chosen = gfsGetRadioInputValue(wizard.page(), ids::ProjectType);
    // Another type needs other pages: Finish waits until the confirmation
    // page has been reached with it.
    if (chosen != data.GetNodeText(wiz::ProjectType)) {
      data.SetNodeText(wiz::ProjectType, chosen);
      data.SetNodeText(wiz::FinishEnabled, wiz::kFalse);
    }
  });
}

void Store_TVKProjStyle(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Store_TVKProjStyle"};
  trap([&] {
    wizard.wizData().SetNodeText(wiz::ProjectStyle, gfsGetRadioInputValue(wizard.page(), ids::ProjectStyle));
  });
}

void Store_TVKProjectName(FrmWizard& wizard) {
  ReleaseOnExit release(wizard, {bindings::ChooseDirectory});
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Store_TVKProjectName"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  Session& session = wizard.session();

  if (!trap([&] { data.SetNodeText(wiz::ProjectName, gfsGetTextInputValue(page, ids::ProjectName)); })) return;
  std::string directory;
  if (!trap([&] {
        directory =
            session.gbInEnvironment ? session.gsTargetDirectory : gfsGetTextInputValue(page, ids::FileDirectory);
        data.SetNodeText(wiz::FileDirectory, directory);
      }))
    return;
  bool present = false;
  if (!trap([&] { present = gfbDirectoryPresent(session, directory); })) return;
  // A directory that does not exist keeps the former companion folders;
  // validation refuses the page anyway.
  if (!present) return;
  auto found = [&](std::string_view name) { return gfsFindDirectory(session, directory, name); };
  if (!trap([&] {
        std::string stylesheets = found("stylesheets");
        data.SetNodeText(wiz::StylesheetDirectory, stylesheets.empty() ? directory : stylesheets);
      }))
    return;
  if (!trap([&] {
        std::string graphics = found("graphics");
        if (graphics.empty()) graphics = found("images");
        data.SetNodeText(wiz::GraphicsDirectory, graphics.empty() ? directory : graphics);
      }))
    return;
  trap([&] {
    std::string includes = found("includes");
    data.SetNodeText(wiz::IncludeDirectory, includes.empty() ? directory : includes);
  });
}

void Store_TVKDatabaseConnection(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Store_TVKDatabaseConnection"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  // All three are kept whichever source is chosen, so that switching back
  // finds the other answer still there.
  if (!trap([&] { data.SetNodeText(wiz::DataSourceType, gfsGetRadioInputValue(page, ids::DataSourceType)); })) return;
  if (!trap([&] { data.SetNodeText(wiz::ConnectionStringText, gfsGetTextAreaValue(page, ids::ConnectionStringText)); }))
    return;
  trap([&] {
    data.SetNodeText(wiz::GlobalASADataSourceName, gfsGetSelectSingleValue(page, ids::GlobalASADataSourceName));
  });
}

bool fbStore_TVKDataSource(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "fbStore_TVKDataSource"};
  XMLWizData& data = wizard.wizData();

  std::string chosen;
  bool changed = false;
  bool fieldsMissing = false;
  if (!trap([&] {
        chosen = gfsGetSelectSingleValue(wizard.page(), ids::TableName);
        changed = chosen != data.GetNodeText(wiz::TableName);
        if (changed) data.SetNodeText(wiz::TableName, chosen);
        // A table stored while it could not be opened has no field data
        // yet; it is read when the table opens, even if the name is the
        // one already stored.
        fieldsMissing = data.GetNodes(wiz::FieldsField).empty();
      }))
    return false;

  // No table to test (an empty database, nothing chosen): the page is left
  // on Back, and Next's validation asks for a table.
  if (chosen.empty()) {
    if (changed && !trap([&] { dropFieldData(data); })) return false;
    return true;
  }

  std::string error;
  if (!trap([&] { error = fsTableOpenError(data); })) return false;
  if (!error.empty()) {
    // The name stays stored, but nothing of the former table may be
    // generated under it: its field data goes and Finish waits.
    if (changed && !trap([&] { dropFieldData(data); })) return false;
    trap([&] { gMsgBox(wizard.ui(), error, MsgButtons::OK, MsgIcon::Exclamation); });
    return false;
  }
  if (changed || fieldsMissing) {
    if (!trap([&] {
          data.SetNodeText(wiz::FinishEnabled, wiz::kFalse);
          ResetTableData(data);
        }))
      return false;
  }
  return true;
}

void Store_TVKListOptions(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Store_TVKListOptions"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();

  std::string name;
  if (!trap([&] { name = gfsGetTextInputValue(page, ids::PageName); })) return;
  if (name == pages::kListOptions && !trap([&] {
        storeCheckbox(page, data, ids::AllowAddRecord, wiz::ListAllowAddRecord);
        storeCheckbox(page, data, ids::AllowUpdateRecord, wiz::ListAllowUpdateRecord);
        storeCheckbox(page, data, ids::AllowDeleteRecord, wiz::ListAllowDeleteRecord);
      }))
    return;
  // The paging details are kept whether paging is on or off.
  trap([&] {
    storeCheckbox(page, data, ids::AllowPaging, wiz::AllowPaging);
    data.SetNodeText(wiz::RecordsPerPage, gfsGetTextInputValue(page, ids::RecordsPerPage));
    storeCheckbox(page, data, ids::Skip1HavigationButtons, wiz::ListSkip1Buttons);
    storeCheckbox(page, data, ids::SkipEndHavigationButtons, wiz::ListSkipEndButtons);
    storeCheckbox(page, data, ids::PageNumberNavigation, wiz::PageNumberAllowPaging);
    data.SetNodeText(wiz::MaxDirectPages, gfsGetTextInputValue(page, ids::MaxPages));
  });
}

void Store_TVKFormOptions(FrmWizard& wizard) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Store_TVKFormOptions"};
  HtmlPage page = wizard.page();
  XMLWizData& data = wizard.wizData();
  trap([&] {
    storeCheckbox(page, data, ids::AllowNavigation, wiz::AllowNavigation);
    storeCheckbox(page, data, ids::Skip1HavigationButtons, wiz::FormSkip1Buttons);
    storeCheckbox(page, data, ids::SkipEndHavigationButtons, wiz::FormSkipEndButtons);
    storeCheckbox(page, data, ids::DisplayRecordNo, wiz::DisplayRecordNo);
    storeCheckbox(page, data, ids::AllowAddRecord, wiz::FormAllowAddRecord);
    storeCheckbox(page, data, ids::AllowUpdateRecord, wiz::FormAllowUpdateRecord);
    storeCheckbox(page, data, ids::AllowDeleteRecord, wiz::FormAllowDeleteRecord);
  });
}

void Store_TVKListFieldSelect(FrmWizard& wizard) { storeFieldSelection(wizard, "Store_TVKListFieldSelect", true); }

void Store_TVKFormFieldSelect(FrmWizard& wizard) { storeFieldSelection(wizard, "Store_TVKFormFieldSelect", false); }

void Store_TVKFieldOptions(FrmWizard& wizard) {
  ReleaseOnExit release(wizard, {bindings::FieldSelect, bindings::LinkTableSelect, bindings::EditList});
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "Store_TVKFieldOptions"};
  if (!trap([&] { TVKW_FieldSelect_save(wizard, gfsGetSelectSingleValue(wizard.page(), ids::FieldSelect)); })) return;
  wizard.msCurrentField.clear();
}

bool fbValidName(Ui& ui, std::string_view name) {
  // An empty name is refused without this message; the page's own follows.
  if (name.empty()) return false;
  if (gfbValidNameText(name)) return true;
  ErrorTrap trap{ui, FrmWizard::kModule, "fbValidName"};
  trap([&] {
    gMsgBox(ui, "Please enter a valid name using on Alpha-numeric characters", MsgButtons::OK, MsgIcon::Information);
  });
  return false;
}

bool fbValidatePageData(FrmWizard& wizard, std::string_view pageName) {
  ErrorTrap trap{wizard.ui(), FrmWizard::kModule, "fbValidatePageData"};
  bool valid = false;
  if (!trap([&] {
        XMLWizData& data = wizard.wizData();
        Ui& ui = wizard.ui();
        if (pageName == pages::kIntro) {
          valid = fbValidateIntro(wizard);
        } else if (pageName == pages::kProjectName) {
          if (!fbValidName(ui, data.GetNodeText(wiz::ProjectName))) {
            gMsgBox(ui,
                    "Please enter a valid project name.\r\n"
                    "(no spaces or invalid file system characters)",
                    MsgButtons::OK, MsgIcon::Information);
            valid = false;
          } else if (!gfbDirectoryPresent(wizard.session(), data.GetNodeText(wiz::FileDirectory))) {
            gMsgBox(ui, "Please enter a valid path.", MsgButtons::OK, MsgIcon::Information);
            valid = false;
          } else {
            valid = true;
          }
        } else if (pageName == pages::kDatabaseConnection) {
          valid = fbValidDataConnection(data);
        } else if (pageName == pages::kDataSource) {
          valid = fbValidDataSource(data);
        } else if (pageName == pages::kListOptions || pageName == pages::kListLFOptions) {
          valid = validListOptions(data);
        } else {
          valid = true;
        }
      }))
    return false;
  return valid;
}

}  // namespace tvk
