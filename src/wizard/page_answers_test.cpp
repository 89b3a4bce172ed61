#include "wizard/page_answers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "base/fs.h"
#include "base/session.h"
#include "base/settings.h"
#include "base/ui.h"
#include "database/sample_database.h"
#include "support/temp_dir.h"
#include "wizard/frm_wizard.h"
#include "wizard/headless_view.h"
#include "wizard/html_routines.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

namespace stdfs = std::filesystem;
using test::ScopedTempDir;

// The whole wizard, headless, over the sample database and the real pages.
class WholeFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    stdfs::create_directories(dir / "site");
    db::buildSqliteDatabase(dir / "shop.db", {db::sampleDatabaseScript()});
  }

  ProjectAnswers answers(const std::string& type) {
    ProjectAnswers a;
    a.type = type;
    a.style = "XP";
    a.name = "Orders";
    a.directory = dir / "site";
    a.connection = db::sqliteConnectionString(dir / "shop.db");
    a.table = "Orders";
    a.listTexts["RecordsPerPage"] = "10";
    a.listTexts["MaxPages"] = "5";
    a.listFields = std::vector<std::string>{"OrderID", "OrderDate", "CustomerID"};
    a.fields["OrderDate"].label = "Ordered";
    // Every field is on the form; the list shows only the three above.
    if (type != "List") a.fields["ShipVia"].lookupList = LookupRows{{"1", "Speedy & Co"}, {"2", "United"}};
    return a;
  }

  std::string page() { return gfsGetTextInputValue(window.page(), "WIZF_PageName"); }
  bool generated(const std::string& file) { return stdfs::exists(dir / ("site/" + file)); }

  ScopedTempDir dir;
  std::shared_ptr<ConsoleUi> ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  MemorySettings settings;
  HeadlessView view;
  FrmWizard window{session, view, settings, files::programDirectory()};
};

TEST_F(WholeFlow, EachProjectTypeWalksBackAndForthAndFinishes) {
  struct Case {
    const char* type;
    bool list, form;
  } cases[] = {{"List", true, false}, {"Form", false, true}, {"ListForm", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    FrmWizard run{session, view, settings, files::programDirectory()};
    std::string refused;
    ASSERT_TRUE(answerPages(run, answers(c.type), &refused)) << refused << ": " << ui->shown().back();
    EXPECT_EQ(gfsGetTextInputValue(run.page(), "WIZF_PageName"), "TVKConfirm");
    EXPECT_TRUE(view.isEnabled(WizardButton::Finish));

    // Back to the field options and forward again keeps every answer.
    run.cmdBack_Click();
    EXPECT_EQ(run.currentPageName(), "TVKFieldOptions");
    run.cmdBack_Click();
    run.cmdNext_Click();
    run.cmdNext_Click();
    EXPECT_EQ(run.currentPageName(), "TVKConfirm");
    XMLWizData& data = run.wizData();
    XmlNode orderDate = fieldByName(data, "OrderDate");
    EXPECT_EQ(data.GetSubNodeText(orderDate, wiz::ColumnLabel), "Ordered");
    if (c.list) {
      EXPECT_EQ(data.GetSubNodeText(orderDate, wiz::ListFieldOrder), "2");
    }
    if (c.form) {
      XmlNode shipVia = fieldByName(data, "ShipVia");
      EXPECT_EQ(data.GetSubNodeText(shipVia, wiz::LookupTableType), wiz::kLookupManualList);
      EXPECT_EQ(data.GetSubNodes(shipVia, wiz::LookupArrayRow).size(), 2u);
    }

    run.cmdFinish_Click();
    EXPECT_EQ(run.currentPageName(), "TVKFinished");
    EXPECT_TRUE(view.isVisible(WizardButton::Exit));
    EXPECT_FALSE(view.isVisible(WizardButton::Finish));
    EXPECT_EQ(generated("OrdersList.asp"), c.list);
    EXPECT_EQ(generated("OrdersForm.asp"), c.form);
    EXPECT_TRUE(generated("TVKW_XP.css"));

    // Back from the final page returns to the confirmation page.
    run.cmdBack_Click();
    EXPECT_EQ(run.currentPageName(), "TVKConfirm");
    EXPECT_TRUE(view.isVisible(WizardButton::Finish));
    EXPECT_FALSE(view.isVisible(WizardButton::Exit));
    for (const char* file : {"OrdersList.asp", "OrdersForm.asp"}) stdfs::remove(dir / ("site/" + std::string(file)));
  }
  EXPECT_EQ(ui->shown().size(), 0u) << ui->shown().front();
}

TEST_F(WholeFlow, CancelWritesNothingAndAReopenedProjectFinishesFromItsSecondPage) {
  std::string refused;
  ASSERT_TRUE(answerPages(window, answers("ListForm"), &refused)) << refused;
  window.cmdCancel_Click();
  EXPECT_TRUE(view.closed());
  EXPECT_TRUE(stdfs::is_empty(dir / "site"));

  // Saved from another run, the project opens on the intro page and Finish
  // is offered at once: everything it needs is stored.
  FrmWizard first{session, view, settings, files::programDirectory()};
  ASSERT_TRUE(answerPages(first, answers("ListForm"), &refused)) << refused;
  first.wizData().Save(dir / "Orders.xml");

  FrmWizard reopened{session, view, settings, files::programDirectory()};
  reopened.Form_Load();
  SetRadioInputValue(reopened.page(), "ProjectOpenType", "Existing");
  SetTextInputValue(reopened.page(), "ExistingProjectPath", dir / "Orders.xml");
  reopened.cmdNext_Click();
  ASSERT_EQ(reopened.currentPageName(), "TVKProjType") << (ui->shown().empty() ? "" : ui->shown().back());
  EXPECT_TRUE(view.isEnabled(WizardButton::Finish));
  reopened.cmdFinish_Click();
  EXPECT_TRUE(generated("OrdersList.asp"));
  EXPECT_TRUE(generated("OrdersForm.asp"));

  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();
}

}  // namespace
}  // namespace tvk
