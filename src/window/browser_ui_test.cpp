#include "window/browser_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/bridge.h"
#include "window/test_browser.h"

namespace tvk {
namespace {

using nlohmann::json;

class BrowserUiTest : public ::testing::Test {
 protected:
  void SetUp() override { browser.connect(); }
  void TearDown() override { bridge.end(); }

  json lastDialog() { return browser.messages("dialog").back(); }

  Bridge bridge;
  test::TestBrowser browser{bridge, "/nonexistent"};
  BrowserUi ui{bridge};
};

TEST_F(BrowserUiTest, EachDialogSendsWhatItAsksAndGivesTheAnswer) {
  browser.queueDialogAnswer("Retry");
  EXPECT_EQ(ui.messageBox("Line 1\nLine 2", MsgButtons::RetryCancel, MsgIcon::Critical, "My title"), MsgResult::Retry);
  json dialog = lastDialog();
  EXPECT_EQ(dialog["kind"], "message");
  EXPECT_EQ(dialog["title"], "My title");
  EXPECT_EQ(dialog["text"], "Line 1\nLine 2");
  EXPECT_EQ(dialog["buttons"], "RetryCancel");
  EXPECT_EQ(dialog["icon"], "Critical");
  // An answer the box does not offer, or none, counts as dismissed.
  browser.queueDialogAnswer("Yes");
  EXPECT_EQ(ui.messageBox("t", MsgButtons::OKCancel, MsgIcon::None, "T"), MsgResult::Cancel);
  browser.queueDialogAnswer(nullptr);
  EXPECT_EQ(ui.messageBox("t", MsgButtons::AbortRetryIgnore, MsgIcon::None, "T"), MsgResult::Abort);

  browser.queueDialogAnswer("/home/u/p.xml");
  EXPECT_EQ(ui.openFileDialog("Open", {{"Project files (*.xml)", "*.xml"}}, "/home/u"), "/home/u/p.xml");
  dialog = lastDialog();
  EXPECT_EQ(dialog["kind"], "openFile");
  EXPECT_EQ(dialog["filters"], json::array({json{{"description", "Project files (*.xml)"}, {"pattern", "*.xml"}}}));
  EXPECT_EQ(dialog["directory"], "/home/u");

  browser.queueDialogAnswer("");
  EXPECT_EQ(ui.saveFileDialog("Save", {}, "/tmp", "p.xml"), "");
  EXPECT_EQ(lastDialog()["name"], "p.xml");
  EXPECT_EQ(lastDialog()["kind"], "saveFile");

  browser.queueDialogAnswer("/srv/site");
  EXPECT_EQ(ui.browseFolder("Where", "/srv"), "/srv/site");
  EXPECT_EQ(lastDialog()["kind"], "folder");
  EXPECT_EQ(lastDialog()["directory"], "/srv");
}

TEST_F(BrowserUiTest, ListEditorKeepsTypedTextsToTheirLengthsInCharacters) {
  const std::string longLink(60, 'a');
  std::string accented;
  for (int i = 0; i < 210; ++i) accented += "\xC3\xA9";  // é, two bytes each
  const std::string oldLong(80, 'o');
  std::vector<ListEditorRow> rows{{"1", "One"}, {oldLong, "Kept whole"}};
  browser.queueDialogAnswer(json::array(
      {json{{"link", longLink}, {"display", accented}}, json{{"link", oldLong}, {"display", "Kept whole"}}}));
  ASSERT_TRUE(ui.editList("List Administration", rows));
  EXPECT_EQ(lastDialog()["rows"][0], (json{{"link", "1"}, {"display", "One"}}));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].linkField, std::string(50, 'a'));
  EXPECT_EQ(rows[0].displayField, accented.substr(0, 400));  // 200 characters, not bytes
  // A text the list held already is not cut: nobody typed it here.
  EXPECT_EQ(rows[1].linkField, oldLong);

  // Dismissed, or answered with nonsense: the rows stay as they were.
  const std::vector<ListEditorRow> before = rows;
  browser.queueDialogAnswer(nullptr);
  EXPECT_FALSE(ui.editList("List Administration", rows));
  browser.queueDialogAnswer(json::array({json{{"link", 1}}}));
  EXPECT_FALSE(ui.editList("List Administration", rows));
  EXPECT_EQ(rows, before);
}

TEST_F(BrowserUiTest, AfterTheEndEveryDialogAnswersAsDismissedAtOnce) {
  bridge.end();
  EXPECT_EQ(ui.messageBox("t", MsgButtons::YesNoCancel, MsgIcon::Question, "T"), MsgResult::Cancel);
  EXPECT_EQ(ui.messageBox("t", MsgButtons::YesNo, MsgIcon::Question, "T"), MsgResult::No);
  EXPECT_EQ(ui.messageBox("t", MsgButtons::OK, MsgIcon::None, "T"), MsgResult::OK);
  EXPECT_EQ(ui.openFileDialog("Open", {}, "/"), "");
  EXPECT_EQ(ui.saveFileDialog("Save", {}, "/", "x"), "");
  EXPECT_EQ(ui.browseFolder("Folder", "/"), "");
  std::vector<ListEditorRow> rows{{"1", "One"}};
  EXPECT_FALSE(ui.editList("List", rows));
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_EQ(cutUtf8("h\xC3\xA9llo", 2), "h\xC3\xA9");
}

}  // namespace
}  // namespace tvk
