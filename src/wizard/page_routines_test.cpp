// The page loaders, storers and validation, run on the real page files in a
// headless window the way the window runs them: a page is shown, its loader
// fills it, the test plays the developer, and the page is stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "database/sample_database.h"
#include "support/wizard_window.h"
#include "wizard/page_routines.h"

namespace tvk {
namespace {

using test::writeFile;
using Texts = std::vector<std::string>;

class PageRoutinesTest : public test::WizardWindowTest {
 protected:
  std::string text(std::string_view path) { return data().GetNodeText(path); }
  bool checked(std::string_view id) { return view.document().flag(element(id), FlagProperty::Checked); }
  // "1" for each box checked, "0" for each not, in the order given.
  std::string checks(std::initializer_list<std::string_view> boxes) {
    std::string states;
    for (std::string_view id : boxes) states += checked(id) ? '1' : '0';
    return states;
  }
  bool disabled(std::string_view id) { return view.document().flag(element(id), FlagProperty::Disabled); }
  std::string value(std::string_view id) { return gfsGetTextInputValue(wizard.page(), id); }
  void setValue(std::string_view id, std::string_view text) { SetTextInputValue(wizard.page(), id, text); }
  std::string selected(std::string_view id) { return gfsGetSelectSingleValue(wizard.page(), id); }
  void select(std::string_view id, std::string_view value) { SetSelectSingleValue(wizard.page(), id, value); }
  void show(std::string_view page, Texts expectedMessages) {
    WizardWindowTest::show(page);
    EXPECT_EQ(ui->shown(), expectedMessages);
  }
  void show(std::string_view page) { WizardWindowTest::show(page); }
  void setFlags(std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
    for (const auto& [path, text] : values) data().SetNodeText(path, text);
  }

  // The fixture database: a few tables, a view, and a view that cannot run.
  void useDatabase() {
    writeFile(dir / "pages.sql",
              "CREATE TABLE customers (cust INTEGER NOT NULL PRIMARY KEY, company VARCHAR(40) NOT NULL);\n"
              "CREATE TABLE orders (order_id INTEGER NOT NULL PRIMARY KEY, cust INTEGER, \"O'Brien\" TEXT);\n"
              "CREATE VIEW big_orders AS SELECT order_id FROM orders;\n"
              "CREATE TABLE doomed (x INTEGER);\n"
              "CREATE VIEW broken_view AS SELECT x FROM doomed;\n"
              "DROP TABLE doomed;\n");
    db::buildSqliteDatabase(dir / "pages.db", {dir / "pages.sql"});
    data().SetNodeText(wiz::DataSourceType, wiz::kSourceConnectionString);
    data().SetNodeText(wiz::ConnectionStringText, db::sqliteConnectionString(dir / "pages.db"));
  }
};

// ---------------------------------------------------------------- validation

TEST_F(PageRoutinesTest, ProjectNameAndPathMessages) {
  data().SetNodeText(wiz::FileDirectory, dir.path());
  for (std::string_view name : {"Orders", "orders_2", "2Orders", "_x"}) {
    data().SetNodeText(wiz::ProjectName, name);
    EXPECT_TRUE(fbValidatePageData(wizard, pages::kProjectName)) << name;
  }
  EXPECT_TRUE(ui->shown().empty());

  const std::string nameMessage = "TVK Wizard: Please enter a valid name using on Alpha-numeric characters";
  const std::string projectMessage =
      "TVK Wizard: Please enter a valid project name.\r\n(no spaces or invalid file system characters)";
  // An empty name has nothing to point at: only the second message.
  Texts expected;
  for (std::string_view name : {"My Orders", "Orders-2", "O'Brien", "Ordr\xc3\xa9", "a.b", ""}) {
    data().SetNodeText(wiz::ProjectName, name);
    EXPECT_FALSE(fbValidatePageData(wizard, pages::kProjectName)) << name;
    if (!name.empty()) expected.push_back(nameMessage);
    expected.push_back(projectMessage);
  }
  EXPECT_EQ(ui->shown(), expected);

  // A good name in a directory that does not exist; inside the environment
  // the target folder is the project's and counts as present.
  data().SetNodeText(wiz::ProjectName, "Orders");
  data().SetNodeText(wiz::FileDirectory, dir / "missing");
  EXPECT_FALSE(fbValidatePageData(wizard, pages::kProjectName));
  EXPECT_EQ(ui->shown().back(), "TVK Wizard: Please enter a valid path.");
  session.gbInEnvironment = true;
  EXPECT_TRUE(fbValidatePageData(wizard, pages::kProjectName));
  EXPECT_EQ(ui->icons, std::vector<MsgIcon>(expected.size() + 1, MsgIcon::Information));
}

TEST_F(PageRoutinesTest, ListOptionsMessagesInOrder) {
  const std::string pageSize = "TVK Wizard: Records Per Page must be set to a valid integer";
  const std::string navigation =
      "TVK Wizard: If Paging is enabled you must allow either :\r\n a) Navigation buttons\r\n b) Page number "
      "navigation";
  const std::string maxPages = "TVK Wizard: Maximum Number of Pages must be blank or a valid integer";
  // Paging, records per page, skip-1, skip-to-end, page numbers, maximum.
  const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
      {{"TRUE", "10", "TRUE", "FALSE", "FALSE", ""}, ""},
      {{"TRUE", "2.6", "TRUE", "FALSE", "FALSE", ""}, ""},
      {{"TRUE", "0", "TRUE", "TRUE", "TRUE", ""}, pageSize},
      {{"TRUE", "ten", "TRUE", "TRUE", "TRUE", ""}, pageSize},
      {{"TRUE", "", "TRUE", "TRUE", "TRUE", ""}, pageSize},
      // The page size is checked before the navigation.
      {{"TRUE", "0", "FALSE", "FALSE", "FALSE", ""}, pageSize},
      {{"TRUE", "10", "FALSE", "FALSE", "FALSE", ""}, navigation},
      {{"TRUE", "10", "FALSE", "TRUE", "FALSE", ""}, ""},
      {{"TRUE", "10", "FALSE", "FALSE", "TRUE", "0"}, maxPages},
      {{"TRUE", "10", "FALSE", "FALSE", "TRUE", "x"}, maxPages},
      {{"TRUE", "10", "FALSE", "FALSE", "TRUE", "7"}, ""},
      // The maximum only counts when page-number links are on.
      {{"TRUE", "10", "TRUE", "FALSE", "FALSE", "x"}, ""},
      // Paging off: nothing else is looked at.
      {{"FALSE", "ten", "FALSE", "FALSE", "FALSE", "x"}, ""},
      {{"", "ten", "FALSE", "FALSE", "FALSE", "x"}, ""},
  };
  const std::string_view paths[] = {wiz::AllowPaging,        wiz::RecordsPerPage,        wiz::ListSkip1Buttons,
                                    wiz::ListSkipEndButtons, wiz::PageNumberAllowPaging, wiz::MaxDirectPages};
  Texts expected;
  for (std::string_view page : {pages::kListOptions, pages::kListLFOptions}) {
    for (const auto& [values, message] : cases) {
      std::string label(page);
      for (size_t i = 0; i < values.size(); ++i) {
        data().SetNodeText(paths[i], values[i]);
        label += std::string("/") + values[i];
      }
      EXPECT_EQ(fbValidatePageData(wizard, page), message.empty()) << label;
      if (!message.empty()) expected.push_back(message);
      EXPECT_EQ(ui->shown(), expected) << label;
    }
  }
  EXPECT_EQ(ui->icons, std::vector<MsgIcon>(expected.size(), MsgIcon::Information));
}

TEST_F(PageRoutinesTest, NextStoresBeforeItValidatesAndARefusedPageStays) {
  wizard.Form_Load();
  wizard.cmdNext_Click();
  click(ids::ProjectTypeForm);
  wizard.cmdNext_Click();
  wizard.cmdNext_Click();
  ASSERT_EQ(wizard.currentPageName(), pages::kProjectName);
  EXPECT_EQ(text(wiz::ProjectType), "Form");

  setValue(ids::ProjectName, "My Orders");
  setValue(ids::FileDirectory, dir.path());
  wizard.cmdNext_Click();
  EXPECT_EQ(wizard.currentPageName(), pages::kProjectName);
  EXPECT_EQ(value(ids::ProjectName), "My Orders");
  EXPECT_EQ(text(wiz::ProjectName), "My Orders");
  EXPECT_EQ(ui->shown().size(), 2u);

  // Back stores without validating; the answer is still there on return.
  wizard.cmdBack_Click();
  EXPECT_EQ(wizard.currentPageName(), pages::kProjStyle);
  wizard.cmdNext_Click();
  EXPECT_EQ(value(ids::ProjectName), "My Orders");
  setValue(ids::ProjectName, "Orders");
  wizard.cmdNext_Click();
  EXPECT_EQ(wizard.currentPageName(), pages::kDatabaseConnection);
  EXPECT_EQ(ui->shown().size(), 2u);
}

// ---------------------------------------------------------------- loading

TEST_F(PageRoutinesTest, FlagRuleOnTheListOptionsPage) {
  // A new project: the boxes as the page has them, the texts emptied.
  auto listBoxes = [&] {
    return checks({ids::AllowAddRecord, ids::AllowUpdateRecord, ids::AllowDeleteRecord, ids::AllowPaging,
                   ids::Skip1HavigationButtons, ids::SkipEndHavigationButtons, ids::PageNumberNavigation});
  };
  show(pages::kListOptions);
  EXPECT_EQ(listBoxes(), "1111111");
  EXPECT_EQ(value(ids::RecordsPerPage) + value(ids::MaxPages), "");

  // Stored answers: TRUE checks, FALSE clears, anything else keeps.
  setFlags({{wiz::ListAllowAddRecord, "FALSE"},
            {wiz::ListAllowUpdateRecord, "TRUE"},
            {wiz::ListAllowDeleteRecord, "NA"},
            {wiz::AllowPaging, "TRUE"},
            {wiz::RecordsPerPage, "25"},
            {wiz::ListSkip1Buttons, "FALSE"},
            {wiz::ListSkipEndButtons, "TRUE"},
            {wiz::PageNumberAllowPaging, "FALSE"},
            {wiz::MaxDirectPages, "5"}});
  show(pages::kListOptions);
  EXPECT_EQ(listBoxes(), "0111010");
  EXPECT_EQ(value(ids::RecordsPerPage) + "/" + value(ids::MaxPages), "25/5");

  // Paging stored off: the details keep the page's own values.
  data().SetNodeText(wiz::AllowPaging, "FALSE");
  show(pages::kListOptions);
  EXPECT_EQ(listBoxes(), "0110111");
  EXPECT_EQ(value(ids::RecordsPerPage) + "/" + value(ids::MaxPages), "10/10");

  // The form options page: the navigation boxes load whatever
  // AllowNavigation holds.
  setFlags({{wiz::AllowNavigation, "FALSE"}, {wiz::DisplayRecordNo, "FALSE"}, {wiz::FormAllowDeleteRecord, "FALSE"}});
  show(pages::kFormOptions, {});
  EXPECT_EQ(checks({ids::AllowNavigation, ids::DisplayRecordNo, ids::Skip1HavigationButtons, ids::AllowAddRecord,
                    ids::AllowDeleteRecord}),
            "00110");
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
  EXPECT_EQ(text(wiz::ListAllowAddRecord) + text(wiz::FormAllowDeleteRecord), "FALSEFALSE");

  // The list-with-form project's list page leaves the list page's editing
  // answers alone: the form carries them.
  data().SetNodeText(wiz::ListAllowAddRecord, "TRUE");
  show(pages::kListLFOptions);
  SetCheckboxValue(wizard.page(), ids::AllowPaging, false);
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::ListAllowAddRecord) + text(wiz::AllowPaging), "TRUEFALSE");
}

TEST_F(PageRoutinesTest, ProjectTypeClicksFollowTheStoredType) {
  setFlags({{wiz::ProjectType, "Form"}, {wiz::FinishEnabled, "TRUE"}});
  show(pages::kProjType);
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), ids::ProjectType), "Form");
  // Loading the stored type is not a change of type.
  EXPECT_EQ(text(wiz::FinishEnabled), "TRUE");

  click(ids::ProjectTypeList);
  EXPECT_EQ(text(wiz::FinishEnabled), "FALSE");
  EXPECT_FALSE(view.isEnabled(WizardButton::Finish));
  click(ids::ProjectTypeForm);
  EXPECT_EQ(text(wiz::FinishEnabled), "TRUE");

  // Storing without a change keeps Finish allowed and drops the handlers;
  // another type stops it.
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::ProjectType) + "/" + text(wiz::FinishEnabled), "Form/TRUE");
  for (std::string_view binding : {bindings::ProjectTypeList, bindings::ProjectTypeForm, bindings::ProjectTypeListForm})
    EXPECT_FALSE(wizard.isBound(binding)) << binding;
  show(pages::kProjType);
  click(ids::ProjectTypeListForm);
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::ProjectType) + "/" + text(wiz::FinishEnabled), "ListForm/FALSE");

  // The About button is the intro page's alone.
  show(pages::kIntro);
  EXPECT_TRUE(view.isVisible(WizardButton::About));
  show(pages::kProjStyle);
  EXPECT_FALSE(view.isVisible(WizardButton::About));
}

TEST_F(PageRoutinesTest, FieldSelectionPagesPartitionAndStoreInListOrder) {
  for (std::string_view name : {"A", "B", "C", "D", "O'Brien"}) addField(name);
  // Shown earlier: C first, then A, on the list page only.
  for (auto [name, order] : {std::pair{"C", "1"}, {"A", "2"}}) {
    data().SetSubNodeText(fieldByName(data(), name), wiz::ListShowField, "TRUE");
    data().SetSubNodeText(fieldByName(data(), name), wiz::ListFieldOrder, order);
  }
  show(pages::kListFieldSelect);
  EXPECT_EQ(options(ids::DisplayedFields), (Texts{"C", "A"}));
  EXPECT_EQ(options(ids::TableFields), (Texts{"B", "D", "O'Brien"}));

  // The developer moves O'Brien and B over, in that order; options that are
  // not selected count too, and a name that matches no field uses no number.
  for (const char* name : {"O'Brien", "Gone", "B"})
    view.document().addOption(element(ids::DisplayedFields), name, name);
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_TRUE(ui->shown().empty());
  auto listFlags = [&] {
    std::string all;
    for (std::string_view name : {"A", "B", "C", "D", "O'Brien"})
      all += fieldText(name, wiz::ListShowField) + ":" + fieldText(name, wiz::ListFieldOrder) + " ";
    return all;
  };
  EXPECT_EQ(listFlags(), "TRUE:2 TRUE:4 TRUE:1 FALSE: TRUE:3 ");
  // The document is still whole: the list comes back in the stored order.
  show(pages::kListFieldSelect);
  EXPECT_EQ(options(ids::DisplayedFields), (Texts{"C", "A", "O'Brien", "B"}));

  // The form page numbers its own list and leaves the list page's alone.
  show(pages::kFormFieldSelect);
  EXPECT_TRUE(options(ids::DisplayedFields).empty());
  EXPECT_EQ(options(ids::TableFields), (Texts{"A", "B", "C", "D", "O'Brien"}));
  view.document().addOption(element(ids::DisplayedFields), "D", "D");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(fieldText("D", wiz::FormShowField) + ":" + fieldText("D", wiz::FormFieldOrder), "TRUE:1");
  EXPECT_EQ(fieldText("A", wiz::FormShowField), "FALSE");
  EXPECT_EQ(listFlags(), "TRUE:2 TRUE:4 TRUE:1 FALSE: TRUE:3 ");

  // An emptied list hides every field.
  show(pages::kListFieldSelect);
  ElementRef list = element(ids::DisplayedFields);
  while (!view.document().options(list).empty()) view.document().removeOption(list, 0);
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(listFlags(), "FALSE: FALSE: FALSE: FALSE: FALSE: ");
}

TEST_F(PageRoutinesTest, ConfirmationListsEveryFileInOrder) {
  std::string site = dir / "site";
  std::string includes = dir / "site/includes";
  writeFile(site + "/OrdersList.asp", "old");
  writeFile(includes + "/incTVKWDisplay.asp", "old");
  setFlags({{wiz::ProjectType, "ListForm"},
            {wiz::ProjectStyle, "XP"},
            {wiz::ProjectName, "Orders"},
            {wiz::FileDirectory, site},
            {wiz::IncludeDirectory, includes},
            {wiz::StylesheetDirectory, site},
            {wiz::GraphicsDirectory, dir / "site/images"},
            {wiz::FormAllowAddRecord, "TRUE"},
            {wiz::ListAllowAddRecord, "FALSE"},
            {wiz::FinishEnabled, "FALSE"}});

  // A generated page is always written anew; an include file present is
  // used as it is; a folder name is text, never markup in the wizard's page.
  EXPECT_EQ(fsAddFileHTML(wizard, site + "/OrdersList.asp", true),
            "<LI> Create File : OrdersList.asp (" + site + "/)</LI><BR>");
  EXPECT_EQ(fsAddFileHTML(wizard, includes + "/incTVKWDisplay.asp", false),
            "<LI> Use Existing File : incTVKWDisplay.asp (" + includes + "/)</LI><BR>");
  EXPECT_EQ(fsAddFileHTML(wizard, "/web/a&b<img src=x onerror=go()>/x.asp", false),
            "<LI> Create File : x.asp (/web/a&amp;b&lt;img src=x onerror=go()&gt;/)</LI><BR>");

  auto listed = [&](const Texts& names) {
    const std::string html = view.document().text(element(ids::ConfirmFiles), TextProperty::InnerHTML);
    size_t at = 0;
    for (const std::string& name : names) {
      at = html.find(name, at);
      if (at == std::string::npos) return html;
    }
    return std::string("in order");
  };
  show(pages::kConfirm);
  EXPECT_EQ(listed({"Create File : OrdersList.asp", "Create File : OrdersForm.asp",
                    "Use Existing File : incTVKWDisplay.asp", "Create File : incTVKWAction.asp", "TVKW_XP.css",
                    "TVKW_XP_SortAsc.gif", "TVKW_XP_SortDesc.gif", "TVKW_XP_EditRecord.gif"}),
            "in order");
  EXPECT_EQ(text(wiz::FinishEnabled), "TRUE");

  // A list page in the classic style without editing: no data-action
  // include (the form's answers do not count) and no graphics.
  setFlags({{wiz::ProjectType, "List"}, {wiz::ProjectStyle, "Classic"}});
  show(pages::kConfirm, {});
  EXPECT_EQ(listed({"OrdersList.asp", "incTVKWDisplay.asp", "TVKW_Classic.css"}), "in order");
  for (const char* absent : {"OrdersForm.asp", "incTVKWAction.asp", ".gif"})
    EXPECT_NE(listed({absent}), "in order") << absent;
}

TEST_F(PageRoutinesTest, DatabaseConnectionPageOffersGlobalAsaDataSources) {
  std::string site = dir / "site";
  data().SetNodeText(wiz::FileDirectory, site);
  std::filesystem::create_directories(site);
  auto asaNote = [&] { return view.document().text(element(ids::GlobalASAFilePath), TextProperty::InnerHTML); };

  // No global.asa: only a typed connection string can be used.
  data().SetNodeText(wiz::ConnectionStringText, "DSN=typed");
  show(pages::kDatabaseConnection);
  EXPECT_TRUE(disabled(ids::DS_ASA));
  EXPECT_FALSE(view.document().elementById(ids::GlobalASAFilePath));
  EXPECT_NE(view.htmlDocument().html().find("Error : Couldn't find a global.asa file"), std::string::npos);
  EXPECT_EQ(gfsGetTextAreaValue(wizard.page(), ids::ConnectionStringText), "DSN=typed");
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), ids::DataSourceType), "ConnectionString");

  // A global.asa without data sources.
  const std::string head = "<SCRIPT LANGUAGE=VBScript RUNAT=Server>\r\nSub Application_OnStart\r\n";
  writeFile(site + "/global.asa", head + "End Sub\r\n</SCRIPT>\r\n");
  show(pages::kDatabaseConnection);
  EXPECT_TRUE(disabled(ids::DS_ASA));
  EXPECT_NE(asaNote().find("Error : No data sources found in Application_OnStart of :"), std::string::npos);

  // With data sources: listed in file order, the stored one chosen.
  writeFile(site + "/global.asa", head +
                                      "\tApplication(\"Sales_ConnectionString\") = \"DSN=sales\"\r\n"
                                      "\tApplication(\"Stock_ConnectionString\") = \"DSN=stock\"\r\nEnd Sub\r\n"
                                      "</SCRIPT>\r\n");
  setFlags({{wiz::DataSourceType, "GlobalASADataSource"}, {wiz::GlobalASADataSourceName, "Stock"}});
  show(pages::kDatabaseConnection);
  EXPECT_FALSE(disabled(ids::DS_ASA));
  EXPECT_EQ(options(ids::GlobalASADataSourceName), (Texts{"Sales", "Stock"}));
  EXPECT_EQ(selected(ids::GlobalASADataSourceName), "Stock");
  EXPECT_EQ(gfsGetRadioInputValue(wizard.page(), ids::DataSourceType), "GlobalASADataSource");
  EXPECT_EQ(text(wiz::GlobalASAPath), site + "/global.asa");
  EXPECT_NE(asaNote().find("( From File : "), std::string::npos);

  // Storing keeps all three answers whichever source is chosen.
  select(ids::GlobalASADataSourceName, "Sales");
  SetTextareaValue(wizard.page(), ids::ConnectionStringText, "DSN=other");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(
      text(wiz::DataSourceType) + "/" + text(wiz::GlobalASADataSourceName) + "/" + text(wiz::ConnectionStringText),
      "GlobalASADataSource/Sales/DSN=other");
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(PageRoutinesTest, ProjectNamePageFindsCompanionDirectories) {
  std::string site = dir / "site";
  std::filesystem::create_directories(site + "/images");
  std::filesystem::create_directories(site + "/includes");
  setFlags({{wiz::ProjectName, "Stored"}, {wiz::FileDirectory, site}});
  show(pages::kProjectName);
  EXPECT_EQ(value(ids::ProjectName) + "|" + value(ids::FileDirectory), "Stored|" + site);

  setValue(ids::ProjectName, "Orders");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_FALSE(wizard.isBound(bindings::ChooseDirectory));
  auto stored = [&] {
    return text(wiz::ProjectName) + "|" + text(wiz::FileDirectory) + "|" + text(wiz::StylesheetDirectory) + "|" +
           text(wiz::GraphicsDirectory) + "|" + text(wiz::IncludeDirectory);
  };
  EXPECT_EQ(stored(), "Orders|" + site + "|" + site + "|" + site + "/images|" + site + "/includes");

  // A directory that does not exist leaves the companions as they were.
  show(pages::kProjectName);
  setValue(ids::FileDirectory, dir / "nowhere");
  EXPECT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(stored(), "Orders|" + dir / "nowhere" + "|" + site + "|" + site + "/images|" + site + "/includes");

  // Inside the environment the item name and the target folder are shown.
  session.gbInEnvironment = true;
  session.gsItemName = "Invoices";
  session.gsProjectName = "web";
  session.gsLocalDirectory = site;
  session.gsTargetDirectory = site + "/admin";
  show(pages::kProjectName);
  EXPECT_EQ(value(ids::ProjectName), "Invoices");
  EXPECT_EQ(value(ids::VIDFileDirectory), "web/admin");
  EXPECT_EQ(view.document().text(element(ids::StandAloneMessage), TextProperty::StyleDisplay), "none");
  EXPECT_EQ(view.document().text(element(ids::VIDMessage), TextProperty::StyleDisplay), "inline");
}

TEST_F(PageRoutinesTest, DataSourcePageKeepsOrResetsTheFieldData) {
  useDatabase();
  show(pages::kDataSource);
  EXPECT_EQ(options(ids::TableName), (Texts{"customers", "orders", "big_orders", "broken_view"}));
  EXPECT_EQ(selected(ids::TableName), "customers");  // nothing chosen yet: the first table

  select(ids::TableName, "orders");
  ASSERT_TRUE(fbStorePageData(wizard));
  EXPECT_TRUE(fbValidatePageData(wizard, pages::kDataSource));
  EXPECT_EQ(text(wiz::TableName) + "/" + text(wiz::PrimaryKey) + "/" + text(wiz::FinishEnabled),
            "orders/order_id/FALSE");
  ASSERT_TRUE(fieldByName(data(), "O'Brien"));

  // The same table again keeps what the developer set for its fields.
  data().SetSubNodeText(fieldByName(data(), "cust"), wiz::ColumnLabel, "Customer");
  data().SetNodeText(wiz::FinishEnabled, "TRUE");
  show(pages::kDataSource);
  EXPECT_EQ(selected(ids::TableName), "orders");
  ASSERT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(fieldText("cust", wiz::ColumnLabel), "Customer");
  EXPECT_EQ(text(wiz::FinishEnabled), "TRUE");

  // Another table replaces them.
  select(ids::TableName, "customers");
  ASSERT_TRUE(fbStorePageData(wizard));
  EXPECT_EQ(text(wiz::FinishEnabled), "FALSE");
  EXPECT_FALSE(fieldByName(data(), "O'Brien"));
  EXPECT_EQ(fieldText("cust", wiz::ColumnLabel), "cust");
  EXPECT_TRUE(ui->shown().empty());

  // A table that cannot be opened keeps the page: the name is stored, the
  // former table's fields do not stay under it, and Finish waits.
  data().SetNodeText(wiz::FinishEnabled, "TRUE");
  show(pages::kDataSource);
  select(ids::TableName, "broken_view");
  EXPECT_FALSE(fbStorePageData(wizard));
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_EQ(ui->icons, std::vector<MsgIcon>{MsgIcon::Exclamation});
  EXPECT_NE(ui->shown()[0].find("doomed"), std::string::npos) << ui->shown()[0];
  EXPECT_EQ(text(wiz::TableName) + "/" + text(wiz::FinishEnabled), "broken_view/FALSE");
  EXPECT_TRUE(data().GetFields().empty());

  // A stored table whose fields were never read is read when it opens.
  data().SetNodeText(wiz::TableName, "orders");
  show(pages::kDataSource);
  ASSERT_TRUE(fbStorePageData(wizard));
  EXPECT_TRUE(fieldByName(data(), "O'Brien"));

  // A stored table that is gone: the first one is offered.
  data().SetNodeText(wiz::TableName, "vanished");
  show(pages::kDataSource);
  EXPECT_EQ(selected(ids::TableName), "customers");
}

TEST_F(PageRoutinesTest, FinishedPageReportsEachFileAndAFailedStatementWritesNothing) {
  useDatabase();
  std::string site = dir / "site";
  std::filesystem::create_directories(site);
  setFlags({{wiz::ProjectType, "List"}, {wiz::ProjectStyle, "Classic"}, {wiz::ProjectName, "Customers"}});
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

  show(pages::kFinished, {});
  std::string report = gfsGetTextAreaValue(wizard.page(), ids::WizardResults);
  EXPECT_NE(report.find("CustomersList.asp"), std::string::npos) << report;
  EXPECT_NE(report.find("incTVKWDisplay.asp"), std::string::npos) << report;
  EXPECT_TRUE(std::filesystem::exists(site + "/CustomersList.asp"));
  EXPECT_FALSE(view.busy());
  EXPECT_TRUE(wizard.isBound(bindings::SaveWizData));

  // A statement that cannot be built (a view without key, nothing shown):
  // its failure is reported, and no page is written on top of it.
  std::filesystem::remove(site + "/CustomersList.asp");
  show(pages::kDataSource);
  select(ids::TableName, "big_orders");
  ASSERT_TRUE(fbStorePageData(wizard));
  show(pages::kFinished);
  ASSERT_EQ(ui->shown().size(), 1u) << text(wiz::SQLStatement);
  EXPECT_NE(ui->shown()[0].find("no column"), std::string::npos) << ui->shown()[0];
  report = gfsGetTextAreaValue(wizard.page(), ids::WizardResults);
  EXPECT_NE(report.find("No files were created"), std::string::npos) << report;
  EXPECT_FALSE(std::filesystem::exists(site + "/CustomersList.asp"));
}

}  // namespace
}  // namespace tvk
