#include "window/browser_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>

#include "base/ini_settings.h"
#include "base/session.h"
#include "support/temp_dir.h"
#include "window/bridge.h"
#include "window/browser_ui.h"
#include "window/test_browser.h"

namespace tvk {
namespace {

using nlohmann::json;

// A wizard run in the browser window, on a wizard thread of its own, over
// the real pages and flow.
struct WindowRun {
  explicit WindowRun(std::chrono::milliseconds grace) : bridge(grace) {
    running = std::async(std::launch::async, [this] {
      window.open();
      window.run();
    });
  }
  ~WindowRun() {
    bridge.end();
    if (running.wait_for(test::TestBrowser::kTimeout) != std::future_status::ready) std::abort();
  }

  bool finished() { return running.wait_for(test::TestBrowser::kTimeout) == std::future_status::ready; }
  // Waits until the window has handled everything up to its n-th idle.
  void waitIdle(size_t n) { ASSERT_TRUE(browser.waitForCount("idle", n)) << "no idle #" << n; }
  std::string inputValue(const std::string& id) {
    return browser.onPage([id](HtmlDocument& page) { return page.text(page.elementById(id), TextProperty::Value); });
  }
  bool checked(const std::string& id) {
    return browser.onPage([id](HtmlDocument& page) { return page.flag(page.elementById(id), FlagProperty::Checked); });
  }
  void pageScript(const std::string& id, const std::string& value) {
    browser.onPage([&](HtmlDocument& page) {
      page.setText(page.elementById(id), TextProperty::Value, value);
      return 0;
    });
  }
  void userClicks(const std::string& id) {
    browser.onPage([&](HtmlDocument& page) {
      page.click(page.elementById(id));
      return 0;
    });
  }
  bool enabled(const char* button) { return browser.lastState()["buttons"][button]["enabled"].get<bool>(); }

  const std::string dataDirectory = std::string(TVK_SOURCE_DIR) + "/data";
  test::ScopedTempDir dir;
  Bridge bridge;
  test::TestBrowser browser{bridge, dataDirectory};
  Session session{std::make_shared<BrowserUi>(bridge)};
  IniSettings settings{dir / "settings.ini"};
  BrowserWindow window{session, bridge, settings, WindowOptions{dataDirectory, {"1.0", "help", {{"Data", "x"}}}}};
  std::future<void> running;
};

TEST(BrowserWindowTest, PageScriptsMoveNextAndPressesWalkThePages) {
  WindowRun run{std::chrono::seconds(30)};
  run.browser.connect();
  run.waitIdle(1);
  EXPECT_EQ(run.inputValue("WIZF_PageName"), "TVKIntro");
  EXPECT_EQ(run.browser.lastState()["caption"], "TVK Wizard - Welcome");
  EXPECT_TRUE(run.enabled("Next"));
  EXPECT_FALSE(run.enabled("Back"));

  // The page's own script turns Next off: the button follows at once, and a
  // press that was under way is ignored.
  run.pageScript("WIZF_NextURL", "FALSE");
  run.waitIdle(2);
  EXPECT_FALSE(run.enabled("Next"));
  run.browser.pressButton("Next");
  run.waitIdle(3);
  EXPECT_EQ(run.inputValue("WIZF_PageName"), "TVKIntro");

  run.pageScript("WIZF_NextURL", "TRUE");
  run.waitIdle(4);
  EXPECT_TRUE(run.enabled("Next"));
  run.browser.pressButton("Next");
  run.waitIdle(5);
  EXPECT_EQ(run.inputValue("WIZF_PageName"), "TVKProjType");
  // The idle names the press it follows, so the page can tell it from an
  // idle sent before the press arrived.
  EXPECT_EQ(run.browser.messages("idle").back()["press"], 2);
  EXPECT_EQ(run.browser.lastState()["caption"], "TVK Wizard - Project Type");
  EXPECT_TRUE(run.enabled("Back"));
  EXPECT_FALSE(run.browser.lastState()["busy"].get<bool>());
  EXPECT_TRUE(run.browser.messages("dialog").empty());
  EXPECT_TRUE(run.window.isOpen());

  // What the page should never send does nothing.
  for (const char* text : {R"({"event": 5})", R"({"event": "button", "button": 7})",
                           R"({"event": "button", "button": "Paste"})", R"({"event": "element", "handle": 1})"})
    run.browser.receive(text);
  run.browser.pressButton("Cancel");
  ASSERT_TRUE(run.finished());
  EXPECT_FALSE(run.window.isOpen());
  ASSERT_TRUE(run.browser.waitForCount("close", 1));
  EXPECT_TRUE(run.browser.messages("dialog").empty());
}

TEST(BrowserWindowTest, AWindowThatComesBackSeesItsPageAndItsDialogAgain) {
  WindowRun run{std::chrono::seconds(30)};
  run.browser.connect();
  run.waitIdle(1);
  run.browser.pressButton("Next");
  run.waitIdle(2);
  run.userClicks("ProjectType-Form");
  run.waitIdle(3);
  run.browser.pressButton("Next");
  run.waitIdle(4);
  run.browser.pressButton("Back");
  run.waitIdle(5);
  ASSERT_EQ(run.inputValue("WIZF_PageName"), "TVKProjType");

  // A new window loads the page afresh (the first type checked); the loader
  // shows the stored answer again.
  const size_t states = run.browser.messages("state").size();
  const size_t navigations = run.browser.messages("navigate").size();
  run.browser.disconnect();
  run.browser.connect();
  run.waitIdle(6);
  EXPECT_EQ(run.browser.messages("navigate").size(), navigations + 1);
  EXPECT_GT(run.browser.messages("state").size(), states);
  EXPECT_TRUE(run.enabled("Back"));
  EXPECT_TRUE(run.checked("ProjectType-Form"));
  EXPECT_FALSE(run.checked("ProjectType-List"));

  // The About box stays open over a lost window and is shown to the next.
  run.browser.pressButton("Back");
  run.waitIdle(7);
  run.browser.pressButton("About");
  ASSERT_TRUE(run.browser.waitForCount("dialog", 1));
  run.browser.disconnect();
  run.browser.connect();
  ASSERT_TRUE(run.browser.waitForCount("dialog", 2));
  std::vector<json> dialogs = run.browser.messages("dialog");
  EXPECT_EQ(dialogs[1]["kind"], "about");
  EXPECT_EQ(dialogs[1]["version"], "1.0");
  EXPECT_EQ(dialogs[1]["info"], json::array({json{{"name", "Data"}, {"value", "x"}}}));
  run.browser.answerDialog(nullptr);
  run.waitIdle(8);
  EXPECT_EQ(run.inputValue("WIZF_PageName"), "TVKIntro");
  EXPECT_TRUE(run.window.isOpen());
}

TEST(BrowserWindowTest, NoWindowWithinTheGraceTimeEndsTheRun) {
  WindowRun run{std::chrono::milliseconds(50)};
  run.browser.connect();
  run.waitIdle(1);
  run.browser.disconnect();
  ASSERT_TRUE(run.finished());
  EXPECT_FALSE(run.window.isOpen());
  EXPECT_TRUE(run.bridge.ended());
}

}  // namespace
}  // namespace tvk
