#include "wizard/frm_wizard.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/ini_settings.h"
#include "base/session.h"
#include "base/ui.h"
#include "support/temp_dir.h"
#include "wizard/headless_view.h"
#include "wizard/page_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

using test::ScopedTempDir;
using test::writeFile;

// A page of its own name (no loader or storer knows it) with the window's
// hidden inputs.
std::string page(const std::string& name, const std::string& next = "TRUE", const std::string& back = "TRUE") {
  return "<html><head><title>" + name + "</title></head><body>" +
         "<input type=\"hidden\" id=\"WIZF_PageName\" value=\"" + name + "\">" +
         "<input type=\"hidden\" id=\"WIZF_NextURL\" value=\"" + next + "\">" +
         "<input type=\"hidden\" id=\"WIZF_BackURL\" value=\"" + back + "\">" +
         "<input type=\"radio\" name=\"ProjectType\" id=\"PT-List\" value=\"List\">" +
         "<input type=\"radio\" name=\"ProjectType\" id=\"PT-Form\" value=\"Form\"></body></html>";
}

// A window over a flow of test pages: A, then B under a condition that does
// not hold, C without one, then by ProjectType D (List), E (Form) or F
// (ListForm), each leading to the final page.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"A", "B", "C", "D", "E", "F"})
      writeFile(dir / ("TVKWizardHTML/" + std::string(name) + ".htm"),
                page(name, name == std::string("C") ? " TRUE " : "TRUE"));
    // The final page under another name: no generation runs in these tests.
    writeFile(dir / "TVKWizardHTML/TVKFinished.htm", page("Done", "FALSE"));
    auto final = [](const std::string& file) {
      return "<Stage><File>" + file + ".htm</File><Page>" + file + "</Page>" +
             "<Stage><File>TVKFinished.htm</File><Page>TVKFinished</Page></Stage></Stage>";
    };
    auto when = [](const std::string& value) {
      return "<Condition><Test>ProjectType</Test><Value>" + value + "</Value></Condition>";
    };
    writeFile(dir / "TVKWizardFlow.xml",
              "<Flow><Stage><File>A.htm</File><Page>A</Page>"
              "<Stage><File>B.htm</File><Page>B</Page>" +
                  when("Nothing") +
                  "</Stage>"
                  "<Stage><File>C.htm</File><Page>C</Page>" +
                  final("D").insert(7, when("List")) + final("E").insert(7, when("Form")) +
                  final("F").insert(7, when("ListForm")) + "</Stage></Stage></Flow>");
  }

  std::string shown() { return view.document().elementById("WIZF_PageName") ? window.currentPageName() : ""; }

  ScopedTempDir dir;
  std::shared_ptr<ConsoleUi> ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  IniSettings settings{dir / "settings.ini"};
  HeadlessView view;
  FrmWizard window{session, view, settings, dir.path()};
};

TEST_F(WindowTest, NextFollowsConditionsBackTheParentFinishTheFinalStage) {
  window.Form_Load();
  EXPECT_EQ(window.currentPageName(), "A");
  EXPECT_EQ(view.caption(), "A");
  EXPECT_TRUE(view.isEnabled(WizardButton::Cancel));
  EXPECT_FALSE(view.isEnabled(WizardButton::Finish));  // FinishEnabled is not "TRUE"
  EXPECT_FALSE(view.isVisible(WizardButton::Exit));

  window.cmdNext_Click();  // B's condition fails, C has none
  EXPECT_EQ(window.currentPageName(), "C");
  EXPECT_TRUE(view.isEnabled(WizardButton::Next));  // " TRUE " counts after trimming
  EXPECT_FALSE(view.busy());

  // A page script that changes the hidden inputs moves the buttons at once;
  // the comparison is case-sensitive.
  PageDocument& doc = view.document();
  doc.setText(doc.elementById("WIZF_BackURL"), TextProperty::Value, "FALSE");
  EXPECT_FALSE(view.isEnabled(WizardButton::Back));
  doc.setText(doc.elementById("WIZF_NextURL"), TextProperty::Value, "true");
  EXPECT_FALSE(view.isEnabled(WizardButton::Next));

  window.wizData().SetNodeText(wiz::ProjectType, "ListForm");
  window.cmdNext_Click();
  EXPECT_EQ(window.currentPageName(), "F");  // the third of three conditions holds

  window.cmdFinish_Click();
  EXPECT_EQ(window.currentPageName(), "TVKFinished");
  window.cmdBack_Click();
  EXPECT_EQ(window.currentPageName(), "F");
  EXPECT_TRUE(view.isVisible(WizardButton::Finish));
  EXPECT_FALSE(view.isVisible(WizardButton::Exit));
  window.cmdBack_Click();
  window.cmdBack_Click();
  EXPECT_EQ(window.currentPageName(), "A");
  window.cmdBack_Click();  // nothing before the first page
  EXPECT_EQ(window.currentPageName(), "A");
  EXPECT_FALSE(view.busy());
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();
}

TEST_F(WindowTest, ProjectTypeChoiceDrivesFinishAndCancelDiscardsEverything) {
  window.Form_Load();
  window.wizData().SetNodeText(wiz::ProjectType, "List");
  PageDocument& doc = view.document();
  doc.click(doc.elementById("PT-List"));
  window.ProjectTypeChanged();
  EXPECT_TRUE(view.isEnabled(WizardButton::Finish));
  EXPECT_EQ(window.wizData().GetNodeText(wiz::FinishEnabled), "TRUE");
  doc.click(doc.elementById("PT-Form"));
  window.ProjectTypeChanged();
  EXPECT_FALSE(view.isEnabled(WizardButton::Finish));
  EXPECT_EQ(window.wizData().GetNodeText(wiz::FinishEnabled), "FALSE");

  window.cmdCancel_Click();
  EXPECT_TRUE(window.closed());
  EXPECT_TRUE(view.closed());
  EXPECT_FALSE(window.hasWizData());
  EXPECT_FALSE(std::filesystem::exists(dir / "settings.ini"));
}

TEST_F(WindowTest, BrokenDataFilesAreReportedNotFatal) {
  // A flow whose next page file is missing: the report names the step, the
  // window stays on its page and is not left busy.
  std::filesystem::remove(dir / "TVKWizardHTML/C.htm");
  window.Form_Load();
  window.cmdNext_Click();
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("Source : TVKWizard.frmWizard.LoadNextPage"), std::string::npos) << ui->shown()[0];
  EXPECT_FALSE(view.busy());

  // A page without WIZF_PageName, and a flow file that cannot be read.
  writeFile(dir / "TVKWizardHTML/A.htm", "<html><head><title>Bare</title></head><body></body></html>");
  FrmWizard again{session, view, settings, dir.path()};
  again.Form_Load();
  ASSERT_EQ(ui->shown().size(), 2u);
  EXPECT_NE(ui->shown()[1].find("has no WIZF_PageName"), std::string::npos) << ui->shown()[1];

  std::filesystem::remove(dir / "TVKWizardFlow.xml");
  FrmWizard noFlow{session, view, settings, dir.path()};
  noFlow.Form_Load();
  ASSERT_EQ(ui->shown().size(), 3u);
  EXPECT_NE(ui->shown()[2].find("has no first Stage"), std::string::npos) << ui->shown()[2];
}

}  // namespace
}  // namespace tvk
