// The page loaders, storers and validation, run on the real page files in a
// headless window the way the window runs them: a page is shown, its loader
// fills it, the test plays the developer, and the page is stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/session.h"
#include "base/settings.h"
#include "base/ui.h"
#include "database/sample_database.h"
#include "support/temp_dir.h"
#include "wizard/frm_wizard.h"
#include "wizard/headless_view.h"
#include "wizard/html_routines.h"
#include "wizard/page_routines.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

using test::ScopedTempDir;
using test::writeFile;

// Every message with its icon; answers OK (Abort to the error report).
class RecordingUi final : public Ui {
 public:
  struct Message {
    std::string text;
    MsgIcon icon;
  };
  std::vector<Message> messages;

  MsgResult messageBox(std::string_view text, MsgButtons buttons, MsgIcon icon, std::string_view) override {
    messages.push_back({std::string(text), icon});
    return buttons == MsgButtons::AbortRetryIgnore ? MsgResult::Abort : MsgResult::OK;
  }
  std::string openFileDialog(std::string_view, const std::vector<FileFilter>&, std::string_view) override { return {}; }
  std::string saveFileDialog(std::string_view, const std::vector<FileFilter>&, std::string_view,
                             std::string_view) override {
    return {};
  }
  std::string browseFolder(std::string_view, std::string_view) override { return {}; }

  std::vector<std::string> texts() const {
    std::vector<std::string> all;
    for (const Message& message : messages) all.push_back(message.text);
    return all;
  }
};

class MemorySettings final : public SettingsStore {
 public:
  std::string get(std::string_view, std::string_view, std::string_view key, std::string_view defaultValue) override {
    auto found = values_.find(std::string(key));
    return found == values_.end() ? std::string(defaultValue) : found->second;
  }
  void set(std::string_view, std::string_view, std::string_view key, std::string_view value) override {
    values_[std::string(key)] = value;
  }

 private:
  std::map<std::string, std::string> values_;
};

class PageRoutinesTest : public ::testing::Test {
 protected:
  std::shared_ptr<RecordingUi> ui = std::make_shared<RecordingUi>();
  Session session{ui};
  HeadlessView view;
  MemorySettings settings;
  FrmWizard wizard{session, view, settings, std::string(TVK_SOURCE_DIR) + "/data"};
  ScopedTempDir dir;

  XMLWizData& data() { return wizard.wizData(); }
  std::string text(std::string_view path) { return data().GetNodeText(path); }

  // Shows a page file; the window loads its controls once it has loaded.
  void show(std::string_view pageName) { view.navigate(wizard.htmlDirectory() + std::string(pageName) + ".htm"); }

  ElementRef element(std::string_view id) {
    ElementRef found = view.document().elementById(id);
    EXPECT_TRUE(found) << id;
    return found;
  }
  bool checked(std::string_view id) { return view.document().flag(element(id), FlagProperty::Checked); }
  bool disabled(std::string_view id) { return view.document().flag(element(id), FlagProperty::Disabled); }
  std::string value(std::string_view id) { return gfsGetTextInputValue(wizard.page(), id); }
  void setValue(std::string_view id, std::string_view text) { SetTextInputValue(wizard.page(), id, text); }
  void check(std::string_view id, bool on) { SetCheckboxValue(wizard.page(), id, on); }
  std::vector<std::string> options(std::string_view id) {
    std::vector<std::string> values;
    for (const SelectOption& option : view.document().options(element(id))) values.push_back(option.value);
    return values;
  }
  std::vector<std::string> captions(std::string_view id) {
    std::vector<std::string> texts;
    for (const SelectOption& option : view.document().options(element(id))) texts.push_back(option.text);
    return texts;
  }

  void addField(std::string_view name) {
    XmlNode fields = data().GetNode(wiz::Fields);
    if (!fields) fields = data().foCreateNode(data().root(), wiz::Fields);
    XmlNode field = data().AddSubNode(fields, wiz::Field);
    data().AddSubNode(field, wiz::FieldName, name);
  }
  std::string fieldText(std::string_view name, std::string_view path) {
    XmlNode field = fieldByName(data(), name);
    EXPECT_TRUE(field) << name;
    return field ? data().GetSubNodeText(field, path) : std::string();
  }

  // The fixture database: a few tables, a view, and a view that cannot run.
  std::string useDatabase() {
    std::string path = dir / "pages.db";
    writeFile(dir / "pages.sql",
              "CREATE TABLE customers (cust INTEGER NOT NULL PRIMARY KEY, company VARCHAR(40) NOT NULL);\n"
              "CREATE TABLE orders (order_id INTEGER NOT NULL PRIMARY KEY, cust INTEGER, \"O'Brien\" TEXT);\n"
              "CREATE VIEW big_orders AS SELECT order_id FROM orders;\n"
              "CREATE TABLE doomed (x INTEGER);\n"
              "CREATE VIEW broken_view AS SELECT x FROM doomed;\n"
              "DROP TABLE doomed;\n");
    db::buildSqliteDatabase(path, {dir / "pages.sql"});
    data().SetNodeText(wiz::DataSourceType, wiz::kSourceConnectionString);
    data().SetNodeText(wiz::ConnectionStringText, db::sqliteConnectionString(path));
    return path;
  }
};

// ---------------------------------------------------------------- validation

TEST_F(PageRoutinesTest, ProjectNameAndPathMessages) {
  data().SetNodeText(wiz::FileDirectory, dir.path());
  for (std::string_view name : {"Orders", "orders_2", "2Orders", "_x"}) {
    data().SetNodeText(wiz::ProjectName, name);
    EXPECT_TRUE(fbValidatePageData(wizard, pages::kProjectName)) << name;
  }
  EXPECT_TRUE(ui->messages.empty());

  const std::string nameMessage = "Please enter a valid name using on Alpha-numeric characters";
  const std::string projectMessage =
      "Please enter a valid project name.\r\n(no spaces or invalid file system characters)";
  for (std::string_view name : {"My Orders", "Orders-2", "O'Brien", "Ordr\xc3\xa9", "a.b"}) {
    ui->messages.clear();
    data().SetNodeText(wiz::ProjectName, name);
    EXPECT_FALSE(fbValidatePageData(wizard, pages::kProjectName)) << name;
    EXPECT_EQ(ui->texts(), (std::vector<std::string>{nameMessage, projectMessage})) << name;
  }
  EXPECT_EQ(ui->messages.back().icon, MsgIcon::Information);
  EXPECT_EQ(ui->messages.front().icon, MsgIcon::Information);

  // An empty name has nothing to point at: only the second message.
  ui->messages.clear();
  data().SetNodeText(wiz::ProjectName, "");
  EXPECT_FALSE(fbValidatePageData(wizard, pages::kProjectName));
  EXPECT_EQ(ui->texts(), (std::vector<std::string>{projectMessage}));

  // A good name in a directory that does not exist.
  ui->messages.clear();
  data().SetNodeText(wiz::ProjectName, "Orders");
  data().SetNodeText(wiz::FileDirectory, dir / "missing");
  EXPECT_FALSE(fbValidatePageData(wizard, pages::kProjectName));
  ASSERT_EQ(ui->texts(), (std::vector<std::string>{"Please enter a valid path."}));
  EXPECT_EQ(ui->messages[0].icon, MsgIcon::Information);

  // Inside the environment the target folder is the project's and counts
  // as present.
  ui->messages.clear();
  session.gbInEnvironment = true;
  EXPECT_TRUE(fbValidatePageData(wizard, pages::kProjectName));
  EXPECT_TRUE(ui->messages.empty());
}

TEST_F(PageRoutinesTest, ListOptionsMessagesInOrder) {
  const std::string pageSize = "Records Per Page must be set to a valid integer";
  const std::string navigation =
      "If Paging is enabled you must allow either :\r\n a) Navigation buttons\r\n b) Page number navigation";
  const std::string maxPages = "Maximum Number of Pages must be blank or a valid integer";

  struct Case {
    const char* paging;
    const char* perPage;
    const char* skip1;
    const char* skipEnd;
    const char* pageNumbers;
    const char* max;
    std::string expected;  // empty: accepted
  };
  const std::vector<Case> cases = {
      {"TRUE", "10", "TRUE", "FALSE", "FALSE", "", ""},
      {"TRUE", "2.6", "TRUE", "FALSE", "FALSE", "", ""},
      {"TRUE", "0", "TRUE", "TRUE", "TRUE", "", pageSize},
      {"TRUE", "ten", "TRUE", "TRUE", "TRUE", "", pageSize},
      {"TRUE", "", "TRUE", "TRUE", "TRUE", "", pageSize},
      // The page size is checked before the navigation.
      {"TRUE", "0", "FALSE", "FALSE", "FALSE", "", pageSize},
      {"TRUE", "10", "FALSE", "FALSE", "FALSE", "", navigation},
      {"TRUE", "10", "FALSE", "TRUE", "FALSE", "", ""},
      {"TRUE", "10", "FALSE", "FALSE", "TRUE", "", ""},
      {"TRUE", "10", "FALSE", "FALSE", "TRUE", "0", maxPages},
      {"TRUE", "10", "FALSE", "FALSE", "TRUE", "x", maxPages},
      {"TRUE", "10", "FALSE", "FALSE", "TRUE", "7", ""},
      // The maximum only counts when page-number links are on.
      {"TRUE", "10", "TRUE", "FALSE", "FALSE", "x", ""},
      // Paging off: nothing else is looked at.
      {"FALSE", "ten", "FALSE", "FALSE", "FALSE", "x", ""},
      {"", "ten", "FALSE", "FALSE", "FALSE", "x", ""},
  };
  for (std::string_view page : {pages::kListOptions, pages::kListLFOptions}) {
    for (const Case& c : cases) {
      ui->messages.clear();
      data().SetNodeText(wiz::AllowPaging, c.paging);
      data().SetNodeText(wiz::RecordsPerPage, c.perPage);
      data().SetNodeText(wiz::ListSkip1Buttons, c.skip1);
      data().SetNodeText(wiz::ListSkipEndButtons, c.skipEnd);
      data().SetNodeText(wiz::PageNumberAllowPaging, c.pageNumbers);
      data().SetNodeText(wiz::MaxDirectPages, c.max);
      std::string label = std::string(page) + " " + c.paging + "/" + c.perPage + "/" + c.skip1 + "/" + c.skipEnd + "/" +
                          c.pageNumbers + "/" + c.max;
      EXPECT_EQ(fbValidatePageData(wizard, page), c.expected.empty()) << label;
      if (c.expected.empty()) {
        EXPECT_TRUE(ui->messages.empty()) << label;
      } else {
        ASSERT_EQ(ui->messages.size(), 1u) << label;
        EXPECT_EQ(ui->messages[0].text, c.expected) << label;
        EXPECT_EQ(ui->messages[0].icon, MsgIcon::Information) << label;
      }
    }
  }
  // Pages without checks of their own are valid whatever the document holds.
  ui->messages.clear();
  for (std::string_view page : {pages::kProjType, pages::kFormOptions, pages::kConfirm, std::string_view("Other")})
    EXPECT_TRUE(fbValidatePageData(wizard, page)) << page;
  EXPECT_TRUE(ui->messages.empty());
}

TEST_F(PageRoutinesTest, NextStoresBeforeItValidatesAndARefusedPageStays) {
  wizard.Form_Load();
  ASSERT_EQ(wizard.currentPageName(), pages::kIntro);
  wizard.cmdNext_Click();
  ASSERT_EQ(wizard.currentPageName(), pages::kProjType);
  view.document().click(element(ids::ProjectTypeForm));
  wizard.cmdNext_Click();
  EXPECT_EQ(text(wiz::ProjectType), "Form");
  wizard.cmdNext_Click();
  ASSERT_EQ(wizard.currentPageName(), pages::kProjectName);

  setValue(ids::ProjectName, "My Orders");
  setValue(ids::FileDirectory, dir.path());
  wizard.cmdNext_Click();
  EXPECT_EQ(wizard.currentPageName(), pages::kProjectName);
  EXPECT_EQ(value(ids::ProjectName), "My Orders");
  EXPECT_EQ(text(wiz::ProjectName), "My Orders");
  EXPECT_EQ(ui->messages.size(), 2u);

  // Back stores without validating; the answer is still there on return.
  wizard.cmdBack_Click();
  EXPECT_EQ(wizard.currentPageName(), pages::kProjStyle);
  wizard.cmdNext_Click();
  EXPECT_EQ(value(ids::ProjectName), "My Orders");
  setValue(ids::ProjectName, "Orders");
  wizard.cmdNext_Click();
  EXPECT_EQ(wizard.currentPageName(), pages::kDatabaseConnection);
  EXPECT_EQ(ui->messages.size(), 2u);
}

// ---------------------------------------------------------------- loading

TEST_F(PageRoutinesTest, FlagRuleOnTheListOptionsPage) {
  // A new project: the boxes as the page has them, the texts emptied.
  show(pages::kListOptions);
  for (std::string_view id : {ids::AllowAddRecord, ids::AllowUpdateRecord, ids::AllowDeleteRecord, ids::AllowPaging,
                              ids::Skip1HavigationButtons, ids::SkipEndHavigationButtons, ids::PageNumberNavigation})
    EXPECT_TRUE(checked(id)) << id;
  EXPECT_EQ(value(ids::RecordsPerPage), "");
  EXPECT_EQ(value(ids::MaxPages), "");

  // Stored answers: TRUE checks, FALSE clears, anything else keeps.
  data().SetNodeText(wiz::ListAllowAddRecord, "FALSE");
  data().SetNodeText(wiz::ListAllowUpdateRecord, "TRUE");
  data().SetNodeText(wiz::ListAllowDeleteRecord, "NA");
  data().SetNodeText(wiz::AllowPaging, "TRUE");
  data().SetNodeText(wiz::RecordsPerPage, "25");
  data().SetNodeText(wiz::ListSkip1Buttons, "FALSE");
  data().SetNodeText(wiz::ListSkipEndButtons, "TRUE");
  data().SetNodeText(wiz::PageNumberAllowPaging, "FALSE");
  data().SetNodeText(wiz::MaxDirectPages, "5");
  show(pages::kListOptions);
  EXPECT_FALSE(checked(ids::AllowAddRecord));
  EXPECT_TRUE(checked(ids::AllowUpdateRecord));
  EXPECT_TRUE(checked(ids::AllowDeleteRecord));
  EXPECT_TRUE(checked(ids::AllowPaging));
  EXPECT_EQ(value(ids::RecordsPerPage), "25");
  EXPECT_FALSE(checked(ids::Skip1HavigationButtons));
  EXPECT_TRUE(checked(ids::SkipEndHavigationButtons));
  EXPECT_FALSE(checked(ids::PageNumberNavigation));
  EXPECT_EQ(value(ids::MaxPages), "5");
  EXPECT_FALSE(disabled(ids::AllowAddRecord));

  // Paging stored off: the details keep the page's own values.
  data().SetNodeText(wiz::AllowPaging, "FALSE");
  show(pages::kListOptions);
  EXPECT_FALSE(checked(ids::AllowPaging));
  EXPECT_EQ(value(ids::RecordsPerPage), "10");
  EXPECT_TRUE(checked(ids::Skip1HavigationButtons));
  EXPECT_TRUE(checked(ids::PageNumberNavigation));
  EXPECT_EQ(value(ids::MaxPages), "10");

  // The form options page: the navigation boxes load whatever
  // AllowNavigation holds.
  data().SetNodeText(wiz::AllowNavigation, "FALSE");
  data().SetNodeText(wiz::DisplayRecordNo, "FALSE");
  data().SetNodeText(wiz::FormAllowDeleteRecord, "FALSE");
  show(pages::kFormOptions);
  EXPECT_FALSE(checked(ids::AllowNavigation));
  EXPECT_FALSE(checked(ids::DisplayRecordNo));
  EXPECT_TRUE(checked(ids::Skip1HavigationButtons));
  EXPECT_TRUE(checked(ids::AllowAddRecord));
  EXPECT_FALSE(checked(ids::AllowDeleteRecord));
  EXPECT_TRUE(ui->messages.empty());
}

TEST_F(PageRoutinesTest, ReadOnlyTableClearsAndDisablesEditing) {
  data().SetNodeText(wiz::TableReadOnly, "TRUE");
  for (std::string_view path : {wiz::ListAllowAddRecord, wiz::ListAllowUpdateRecord, wiz::ListAllowDeleteRecord,
                                wiz::FormAllowAddRecord, wiz::FormAllowUpdateRecord, wiz::FormAllowDeleteRecord})
    data().SetNodeText(path, "TRUE");
  for (std::string_view page : {pages::kListOptions, pages::kFormOptions}) {
    show(page);
    for (std::string_view id : {ids::AllowAddRecord, ids::AllowUpdateRecord, ids::AllowDeleteRecord}) {
      EXPECT_FALSE(checked(id)) << page << " " << id;
      EXPECT_TRUE(disabled(id)) << page << " " << id;
    }
    // Stored back as off: the generated pages must not offer editing.
    EXPECT_TRUE(fbStorePageData(wizard));
  }
  EXPECT_EQ(text(wiz::ListAllowAddRecord), "FALSE");
  EXPECT_EQ(text(wiz::FormAllowDeleteRecord), "FALSE");

  // The list-with-form project's list page leaves the list page's editing
  // answers alone: the form carries them.
  data().SetNodeText(wiz::ListAllowAddRecord, "TRUE");
  show(pages::kListLFOptions);
  check(ids::AllowPaging, false);
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::ListAllowAddRecord), "TRUE");
  EXPECT_EQ(text(wiz::AllowPaging), "FALSE");
}

TEST_F(PageRoutinesTest, ProjectTypeClicksFollowTheStoredType) {
  data().SetNodeText(wiz::ProjectType, "Form");
  data().SetNodeText(wiz::FinishEnabled, "TRUE");
  show(pages::kProjType);
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), ids::ProjectType), "Form");
  // Loading the stored type is not a change of type.
  EXPECT_EQ(text(wiz::FinishEnabled), "TRUE");
  EXPECT_TRUE(wizard.isBound(bindings::ProjectTypeList));

  view.document().click(element(ids::ProjectTypeList));
  EXPECT_EQ(text(wiz::FinishEnabled), "FALSE");
  EXPECT_FALSE(view.isEnabled(WizardButton::Finish));
  view.document().click(element(ids::ProjectTypeForm));
  EXPECT_EQ(text(wiz::FinishEnabled), "TRUE");

  // Storing without a change keeps Finish allowed; another type stops it.
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::ProjectType), "Form");
  EXPECT_EQ(text(wiz::FinishEnabled), "TRUE");
  for (std::string_view binding : {bindings::ProjectTypeList, bindings::ProjectTypeForm, bindings::ProjectTypeListForm})
    EXPECT_FALSE(wizard.isBound(binding)) << binding;

  show(pages::kProjType);
  view.document().click(element(ids::ProjectTypeListForm));
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::ProjectType), "ListForm");
  EXPECT_EQ(text(wiz::FinishEnabled), "FALSE");

  // The style page round trip.
  data().SetNodeText(wiz::ProjectStyle, "XP");
  show(pages::kProjStyle);
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), ids::ProjectStyle), "XP");
  SetRadioInputValue(wizard.page(), ids::ProjectStyle, "Professional");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::ProjectStyle), "Professional");
  // The About button belongs to the intro page only.
  EXPECT_FALSE(view.isVisible(WizardButton::About));
}

TEST_F(PageRoutinesTest, FieldSelectionPagesPartitionAndStoreInListOrder) {
  for (std::string_view name : {"A", "B", "C", "D", "O'Brien"}) addField(name);
  // Shown earlier: C first, then A, on the list page only.
  data().SetSubNodeText(fieldByName(data(), "C"), wiz::ListShowField, "TRUE");
  data().SetSubNodeText(fieldByName(data(), "C"), wiz::ListFieldOrder, "1");
  data().SetSubNodeText(fieldByName(data(), "A"), wiz::ListShowField, "TRUE");
  data().SetSubNodeText(fieldByName(data(), "A"), wiz::ListFieldOrder, "2");

  show(pages::kListFieldSelect);
  EXPECT_EQ(options(ids::DisplayedFields), (std::vector<std::string>{"C", "A"}));
  EXPECT_EQ(options(ids::TableFields), (std::vector<std::string>{"B", "D", "O'Brien"}));

  // The developer moves O'Brien and B over, in that order; options that are
  // not selected count too, and a name that matches no field uses no number.
  ElementRef shown = element(ids::DisplayedFields);
  view.document().addOption(shown, "O'Brien", "O'Brien");
  view.document().addOption(shown, "Gone", "Gone");
  view.document().addOption(shown, "B", "B");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_TRUE(ui->messages.empty());
  std::map<std::string, std::pair<std::string, std::string>> expected = {{"C", {"TRUE", "1"}},
                                                                         {"A", {"TRUE", "2"}},
                                                                         {"O'Brien", {"TRUE", "3"}},
                                                                         {"B", {"TRUE", "4"}},
                                                                         {"D", {"FALSE", ""}}};
  for (const auto& [name, flags] : expected) {
    EXPECT_EQ(fieldText(name, wiz::ListShowField), flags.first) << name;
    EXPECT_EQ(fieldText(name, wiz::ListFieldOrder), flags.second) << name;
  }
  // The document is still whole: the list comes back in the stored order.
  show(pages::kListFieldSelect);
  EXPECT_EQ(options(ids::DisplayedFields), (std::vector<std::string>{"C", "A", "O'Brien", "B"}));

  // The form page numbers its own list and leaves the list page's alone.
  show(pages::kFormFieldSelect);
  EXPECT_TRUE(options(ids::DisplayedFields).empty());
  EXPECT_EQ(options(ids::TableFields), (std::vector<std::string>{"A", "B", "C", "D", "O'Brien"}));
  view.document().addOption(element(ids::DisplayedFields), "D", "D");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(fieldText("D", wiz::FormShowField), "TRUE");
  EXPECT_EQ(fieldText("D", wiz::FormFieldOrder), "1");
  EXPECT_EQ(fieldText("A", wiz::FormShowField), "FALSE");
  EXPECT_EQ(fieldText("A", wiz::ListFieldOrder), "2");
  EXPECT_EQ(fieldText("D", wiz::ListShowField), "FALSE");

  // An emptied list hides every field.
  show(pages::kListFieldSelect);
  ElementRef list = element(ids::DisplayedFields);
  while (!view.document().options(list).empty()) view.document().removeOption(list, 0);
  EXPECT_TRUE(fbStorePageData(wizard));
  for (std::string_view name : {"A", "B", "C", "D", "O'Brien"}) {
    EXPECT_EQ(fieldText(name, wiz::ListShowField), "FALSE") << name;
    EXPECT_EQ(fieldText(name, wiz::ListFieldOrder), "") << name;
  }
}

TEST_F(PageRoutinesTest, FieldOptionsPageListsShownFieldsAndLookupTables) {
  useDatabase();
  // Nothing shown on either page: an empty list and nothing to report.
  addField("order_id");
  show(pages::kFieldOptions);
  EXPECT_TRUE(options(ids::FieldSelect).empty());
  EXPECT_TRUE(ui->messages.empty());

  data().SetSubNodeText(fieldByName(data(), "order_id"), wiz::ColumnLabel, "Order");
  for (std::string_view name : {"cust", "O'Brien", "hidden"}) addField(name);
  data().SetSubNodeText(fieldByName(data(), "cust"), wiz::ListShowField, "TRUE");
  data().SetSubNodeText(fieldByName(data(), "cust"), wiz::FormShowField, "TRUE");
  data().SetSubNodeText(fieldByName(data(), "O'Brien"), wiz::FormShowField, "TRUE");
  data().SetSubNodeText(fieldByName(data(), "order_id"), wiz::ListShowField, "TRUE");
  show(pages::kFieldOptions);
  // Shown on either page, once each, in the table's order.
  EXPECT_EQ(options(ids::FieldSelect), (std::vector<std::string>{"order_id", "cust", "O'Brien"}));
  EXPECT_EQ(gfsGetSelectSingleValue(wizard.page(), ids::FieldSelect), "order_id");
  // After the page's own empty entry: tables and views, the bare name as value.
  EXPECT_EQ(options(ids::LookupTable),
            (std::vector<std::string>{"", "customers", "orders", "big_orders", "broken_view"}));
  EXPECT_EQ(captions(ids::LookupTable),
            (std::vector<std::string>{"", "T: customers", "T: orders", "V: big_orders", "V: broken_view"}));
  for (std::string_view binding : {bindings::FieldSelect, bindings::LinkTableSelect, bindings::EditList})
    EXPECT_TRUE(wizard.isBound(binding)) << binding;

  // The first field is shown; leaving the page saves what was typed for
  // it, forgets it and drops the bindings.
  EXPECT_EQ(wizard.msCurrentField, "order_id");
  EXPECT_EQ(value("ColumnLabel"), "Order");
  setValue("ColumnLabel", "Order no");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(fieldText("order_id", wiz::ColumnLabel), "Order no");
  EXPECT_EQ(wizard.msCurrentField, "");
  for (std::string_view binding : {bindings::FieldSelect, bindings::LinkTableSelect, bindings::EditList})
    EXPECT_FALSE(wizard.isBound(binding)) << binding;

  // The About button is the intro page's alone.
  show(pages::kIntro);
  EXPECT_TRUE(view.isVisible(WizardButton::About));
  show(pages::kFieldOptions);
  EXPECT_FALSE(view.isVisible(WizardButton::About));
}

TEST_F(PageRoutinesTest, ConfirmationListsEveryFileInOrder) {
  std::string site = dir / "site";
  std::string includes = dir / "site/includes";
  writeFile(site + "/OrdersList.asp", "old");
  writeFile(includes + "/incTVKWDisplay.asp", "old");
  data().SetNodeText(wiz::ProjectType, "ListForm");
  data().SetNodeText(wiz::ProjectStyle, "XP");
  data().SetNodeText(wiz::ProjectName, "Orders");
  data().SetNodeText(wiz::FileDirectory, site);
  data().SetNodeText(wiz::IncludeDirectory, includes);
  data().SetNodeText(wiz::StylesheetDirectory, site);
  data().SetNodeText(wiz::GraphicsDirectory, dir / "site/images");
  data().SetNodeText(wiz::FormAllowAddRecord, "TRUE");
  data().SetNodeText(wiz::ListAllowAddRecord, "FALSE");
  data().SetNodeText(wiz::FinishEnabled, "FALSE");

  // A generated page is always written anew; an include file present is
  // used as it is.
  EXPECT_EQ(fsAddFileHTML(wizard, site + "/OrdersList.asp", true),
            "<LI> Create File : OrdersList.asp (" + site + "/)</LI><BR>");
  EXPECT_EQ(fsAddFileHTML(wizard, includes + "/incTVKWDisplay.asp", false),
            "<LI> Use Existing File : incTVKWDisplay.asp (" + includes + "/)</LI><BR>");
  EXPECT_EQ(fsAddFileHTML(wizard, site + "/TVKW_XP.css", false),
            "<LI> Create File : TVKW_XP.css (" + site + "/)</LI><BR>");
  // A folder name is text, never markup in the wizard's page.
  EXPECT_EQ(fsAddFileHTML(wizard, "/web/a&b<img src=x onerror=go()>/x.asp", false),
            "<LI> Create File : x.asp (/web/a&amp;b&lt;img src=x onerror=go()&gt;/)</LI><BR>");

  auto listed = [&] { return view.document().text(element(ids::ConfirmFiles), TextProperty::InnerHTML); };
  auto inOrder = [](const std::string& html, const std::vector<std::string>& names) {
    size_t at = 0;
    for (const std::string& name : names) {
      size_t found = html.find(name, at);
      if (found == std::string::npos) return false;
      at = found + name.size();
    }
    return true;
  };
  show(pages::kConfirm);
  std::string html = listed();
  EXPECT_TRUE(inOrder(html, {"Create File : OrdersList.asp", "Create File : OrdersForm.asp",
                             "Use Existing File : incTVKWDisplay.asp", "Create File : incTVKWAction.asp", "TVKW_XP.css",
                             "TVKW_XP_SortAsc.gif", "TVKW_XP_SortDesc.gif", "TVKW_XP_EditRecord.gif"}))
      << html;
  EXPECT_EQ(text(wiz::FinishEnabled), "TRUE");

  // A list page in the classic style without editing: no data-action
  // include (the form's answers do not count) and no graphics.
  data().SetNodeText(wiz::ProjectType, "List");
  data().SetNodeText(wiz::ProjectStyle, "Classic");
  show(pages::kConfirm);
  html = listed();
  EXPECT_TRUE(inOrder(html, {"OrdersList.asp", "incTVKWDisplay.asp", "TVKW_Classic.css"})) << html;
  for (std::string_view absent : {"OrdersForm.asp", "incTVKWAction.asp", ".gif"})
    EXPECT_EQ(html.find(absent), std::string::npos) << absent << " in " << html;
  EXPECT_TRUE(ui->messages.empty());

  data().SetNodeText(wiz::IncludeDirectory, dir / "<b>includes</b>");
  show(pages::kConfirm);
  // No bold element in the markup; the folder's name as its text.
  EXPECT_EQ(listed().find("<b>"), std::string::npos) << listed();
  EXPECT_NE(view.document().text(element(ids::ConfirmFiles), TextProperty::OuterText).find("<b>includes</b>/)"),
            std::string::npos);
}

TEST_F(PageRoutinesTest, DatabaseConnectionPageOffersGlobalAsaDataSources) {
  std::string site = dir / "site";
  data().SetNodeText(wiz::FileDirectory, site);
  std::filesystem::create_directories(site);

  // No global.asa: only a typed connection string can be used.
  data().SetNodeText(wiz::ConnectionStringText, "DSN=typed");
  show(pages::kDatabaseConnection);
  EXPECT_TRUE(disabled(ids::DS_ASA));
  EXPECT_FALSE(view.document().elementById(ids::GlobalASAFilePath));
  EXPECT_NE(view.htmlDocument().html().find("Error : Couldn't find a global.asa file"), std::string::npos);
  EXPECT_EQ(gfsGetTextAreaValue(wizard.page(), ids::ConnectionStringText), "DSN=typed");
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), ids::DataSourceType), "ConnectionString");

  // A global.asa without data sources.
  writeFile(site + "/global.asa",
            "<SCRIPT LANGUAGE=VBScript RUNAT=Server>\r\nSub Application_OnStart\r\nEnd Sub\r\n</SCRIPT>\r\n");
  show(pages::kDatabaseConnection);
  EXPECT_TRUE(disabled(ids::DS_ASA));
  EXPECT_NE(view.document()
                .text(element(ids::GlobalASAFilePath), TextProperty::InnerHTML)
                .find("Error : No data sources found in Application_OnStart of :"),
            std::string::npos);

  // With data sources: listed in file order, the stored one chosen.
  writeFile(site + "/global.asa",
            "<SCRIPT LANGUAGE=VBScript RUNAT=Server>\r\nSub Application_OnStart\r\n"
            "\tApplication(\"Sales_ConnectionString\") = \"DSN=sales\"\r\n"
            "\tApplication(\"Stock_ConnectionString\") = \"DSN=stock\"\r\nEnd Sub\r\n</SCRIPT>\r\n");
  data().SetNodeText(wiz::DataSourceType, "GlobalASADataSource");
  data().SetNodeText(wiz::GlobalASADataSourceName, "Stock");
  show(pages::kDatabaseConnection);
  EXPECT_FALSE(disabled(ids::DS_ASA));
  EXPECT_EQ(options(ids::GlobalASADataSourceName), (std::vector<std::string>{"Sales", "Stock"}));
  EXPECT_EQ(gfsGetSelectSingleValue(wizard.page(), ids::GlobalASADataSourceName), "Stock");
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), ids::DataSourceType), "GlobalASADataSource");
  EXPECT_EQ(text(wiz::GlobalASAPath), site + "/global.asa");
  EXPECT_NE(view.document().text(element(ids::GlobalASAFilePath), TextProperty::InnerHTML).find("( From File : "),
            std::string::npos);

  // Storing keeps all three answers whichever source is chosen.
  SetSelectSingleValue(wizard.page(), ids::GlobalASADataSourceName, "Sales");
  SetTextareaValue(wizard.page(), ids::ConnectionStringText, "DSN=other");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::DataSourceType), "GlobalASADataSource");
  EXPECT_EQ(text(wiz::GlobalASADataSourceName), "Sales");
  EXPECT_EQ(text(wiz::ConnectionStringText), "DSN=other");
  EXPECT_TRUE(ui->messages.empty());
}

TEST_F(PageRoutinesTest, ProjectNamePageFindsCompanionDirectories) {
  std::string site = dir / "site";
  std::filesystem::create_directories(site + "/images");
  std::filesystem::create_directories(site + "/includes");
  data().SetNodeText(wiz::ProjectName, "Stored");
  data().SetNodeText(wiz::FileDirectory, site);
  show(pages::kProjectName);
  EXPECT_EQ(value(ids::ProjectName), "Stored");
  EXPECT_EQ(value(ids::FileDirectory), site);
  EXPECT_TRUE(wizard.isBound(bindings::ChooseDirectory));

  setValue(ids::ProjectName, "Orders");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_FALSE(wizard.isBound(bindings::ChooseDirectory));
  EXPECT_EQ(text(wiz::ProjectName), "Orders");
  EXPECT_EQ(text(wiz::FileDirectory), site);
  EXPECT_EQ(text(wiz::StylesheetDirectory), site);
  EXPECT_EQ(text(wiz::GraphicsDirectory), site + "/images");
  EXPECT_EQ(text(wiz::IncludeDirectory), site + "/includes");

  // A directory that does not exist leaves the companions as they were.
  show(pages::kProjectName);
  setValue(ids::FileDirectory, dir / "nowhere");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::FileDirectory), dir / "nowhere");
  EXPECT_EQ(text(wiz::IncludeDirectory), site + "/includes");
  EXPECT_FALSE(fbValidatePageData(wizard, pages::kProjectName));

  // Inside the environment the item name and the target folder are shown.
  session.gbInEnvironment = true;
  session.gsItemName = "Invoices";
  session.gsProjectName = "web";
  session.gsLocalDirectory = site;
  session.gsTargetDirectory = site + "/admin";
  show(pages::kProjectName);
  EXPECT_EQ(value(ids::ProjectName), "Invoices");
  EXPECT_EQ(value(ids::VIDFileDirectory), "web\\admin");
  EXPECT_EQ(view.document().text(element(ids::StandAloneMessage), TextProperty::StyleDisplay), "none");
  EXPECT_EQ(view.document().text(element(ids::VIDMessage), TextProperty::StyleDisplay), "inline");
}

TEST_F(PageRoutinesTest, DataSourcePageKeepsOrResetsTheFieldData) {
  useDatabase();
  show(pages::kDataSource);
  EXPECT_EQ(options(ids::TableName), (std::vector<std::string>{"customers", "orders", "big_orders", "broken_view"}));
  EXPECT_EQ(captions(ids::TableName),
            (std::vector<std::string>{"T: customers", "T: orders", "V: big_orders", "V: broken_view"}));
  // Nothing chosen yet: the first table.
  EXPECT_EQ(gfsGetSelectSingleValue(wizard.page(), ids::TableName), "customers");

  SetSelectSingleValue(wizard.page(), ids::TableName, "orders");
  ASSERT_TRUE(fbStorePageData(wizard));
  EXPECT_TRUE(fbValidatePageData(wizard, pages::kDataSource));
  EXPECT_EQ(text(wiz::TableName), "orders");
  EXPECT_EQ(text(wiz::FinishEnabled), "FALSE");
  EXPECT_EQ(text(wiz::PrimaryKey), "order_id");
  ASSERT_TRUE(fieldByName(data(), "O'Brien"));

  // The same table again keeps what the developer set for its fields.
  data().SetSubNodeText(fieldByName(data(), "cust"), wiz::ColumnLabel, "Customer");
  data().SetNodeText(wiz::FinishEnabled, "TRUE");
  show(pages::kDataSource);
  EXPECT_EQ(gfsGetSelectSingleValue(wizard.page(), ids::TableName), "orders");
  ASSERT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(fieldText("cust", wiz::ColumnLabel), "Customer");
  EXPECT_EQ(text(wiz::FinishEnabled), "TRUE");

  // Another table replaces them.
  SetSelectSingleValue(wizard.page(), ids::TableName, "customers");
  ASSERT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::FinishEnabled), "FALSE");
  EXPECT_FALSE(fieldByName(data(), "O'Brien"));
  EXPECT_EQ(fieldText("cust", wiz::ColumnLabel), "cust");
  EXPECT_TRUE(ui->messages.empty());

  // A table that cannot be opened keeps the page: the name is stored, the
  // former table's fields do not stay under it, and Finish waits.
  data().SetNodeText(wiz::FinishEnabled, "TRUE");
  show(pages::kDataSource);
  SetSelectSingleValue(wizard.page(), ids::TableName, "broken_view");
  EXPECT_FALSE(fbStorePageData(wizard));
  ASSERT_EQ(ui->messages.size(), 1u);
  EXPECT_EQ(ui->messages[0].icon, MsgIcon::Exclamation);
  EXPECT_NE(ui->messages[0].text.find("doomed"), std::string::npos) << ui->messages[0].text;
  EXPECT_EQ(text(wiz::TableName), "broken_view");
  EXPECT_TRUE(data().GetFields().empty());
  EXPECT_EQ(text(wiz::FinishEnabled), "FALSE");

  // A stored table whose fields were never read is read when it opens.
  data().SetNodeText(wiz::TableName, "orders");
  show(pages::kDataSource);
  ASSERT_TRUE(fbStorePageData(wizard));
  EXPECT_TRUE(fieldByName(data(), "O'Brien"));

  // A stored table that is gone: the first one is offered.
  data().SetNodeText(wiz::TableName, "vanished");
  show(pages::kDataSource);
  EXPECT_EQ(gfsGetSelectSingleValue(wizard.page(), ids::TableName), "customers");
}

TEST_F(PageRoutinesTest, FinishedPageGeneratesAndReportsEachFile) {
  useDatabase();
  std::string site = dir / "site";
  std::filesystem::create_directories(site);
  data().SetNodeText(wiz::ProjectType, "List");
  data().SetNodeText(wiz::ProjectStyle, "Classic");
  data().SetNodeText(wiz::ProjectName, "Customers");
  for (std::string_view path :
       {wiz::FileDirectory, wiz::IncludeDirectory, wiz::StylesheetDirectory, wiz::GraphicsDirectory})
    data().SetNodeText(path, site);
  data().SetNodeText(wiz::TableName, "customers");
  show(pages::kDataSource);
  ASSERT_TRUE(fbStorePageData(wizard));
  ASSERT_TRUE(fbValidatePageData(wizard, pages::kDataSource));
  show(pages::kListFieldSelect);
  view.document().addOption(element(ids::DisplayedFields), "company", "company");
  ASSERT_TRUE(fbStorePageData(wizard));

  show(pages::kFinished);
  std::string report = gfsGetTextAreaValue(wizard.page(), ids::WizardResults);
  EXPECT_NE(report.find("CustomersList.asp"), std::string::npos) << report;
  EXPECT_NE(report.find("incTVKWDisplay.asp"), std::string::npos) << report;
  EXPECT_TRUE(std::filesystem::exists(site + "/CustomersList.asp"));
  EXPECT_NE(text(wiz::SQLStatement).find("company"), std::string::npos);
  EXPECT_FALSE(view.isVisible(WizardButton::Finish));
  EXPECT_TRUE(view.isVisible(WizardButton::Exit));
  EXPECT_FALSE(view.busy());
  EXPECT_TRUE(wizard.isBound(bindings::SaveWizData));
  EXPECT_TRUE(ui->messages.empty()) << ui->messages[0].text;

  // A statement that cannot be built (a view without key, nothing shown):
  // its failure is reported, and no page is written on top of it.
  std::filesystem::remove(site + "/CustomersList.asp");
  show(pages::kDataSource);
  SetSelectSingleValue(wizard.page(), ids::TableName, "big_orders");
  ASSERT_TRUE(fbStorePageData(wizard));
  show(pages::kFinished);
  ASSERT_EQ(ui->messages.size(), 1u) << text(wiz::SQLStatement);
  EXPECT_NE(ui->messages[0].text.find("no column"), std::string::npos) << ui->messages[0].text;
  report = gfsGetTextAreaValue(wizard.page(), ids::WizardResults);
  EXPECT_NE(report.find("No files were created"), std::string::npos) << report;
  EXPECT_FALSE(std::filesystem::exists(site + "/CustomersList.asp"));
}

}  // namespace
}  // namespace tvk
