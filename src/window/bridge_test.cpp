#include "window/bridge.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "base/error.h"
#include "support/temp_dir.h"
#include "window/browser_ui.h"
#include "window/browser_view.h"
#include "window/test_browser.h"

namespace tvk {
namespace {

using nlohmann::json;
using test::ScopedTempDir;
using test::writeFile;

const char* const kPage =
    "<html><head><title>A</title></head><body>"
    "<input type=\"checkbox\" id=\"box\"><div id=\"note\">n</div><input id=\"name\" value=\"x\">"
    "<select id=\"list\"><option value=\"1\">one</option><option value=\"2\" selected>two</option></select>"
    "</body></html>";

class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir / "TVKWizardHTML/a.htm", kPage);
    writeFile(dir / "TVKWizardHTML/b.htm", kPage);
    // What the window does with element events.
    bridge.setEventHandler([this](const json& event) {
      view.bridgeDocument().dispatchEvent(event.value("handle", ""), event.value("type", ""));
    });
  }
  void TearDown() override { bridge.end(); }

  std::string page(const char* name) { return dir / ("TVKWizardHTML/" + std::string(name)); }

  ScopedTempDir dir;
  Bridge bridge{std::chrono::milliseconds(50)};
  test::TestBrowser browser{bridge, dir.path()};
  BrowserView view{bridge, dir.path(), {}};
  BrowserUi ui{bridge};
};

TEST_F(BridgeTest, EventsBeforeTheReplyRunFirstAndPostedFailuresComeBackWithTheNextReply) {
  browser.connect();
  view.navigate(page("a.htm"));
  PageDocument& doc = view.document();
  const ElementRef box = doc.elementById("box");
  ASSERT_TRUE(box);

  // The handler runs inside click and itself asks the page: the click's
  // reply arrives while the handler waits for its own and must be kept.
  std::vector<std::string> order;
  doc.bind(box, kEventClick, [&] {
    order.push_back("handler");
    order.push_back(doc.flag(box, FlagProperty::Checked) ? "checked" : "unchecked");
  });
  // On a thread of its own so that a lost reply fails the test instead of
  // hanging it.
  auto click = std::async(std::launch::async, [&] {
    doc.click(box);
    order.push_back("returned");
  });
  if (click.wait_for(test::TestBrowser::kTimeout) != std::future_status::ready) {
    bridge.end();
    FAIL() << "click never returned";
  }
  click.get();
  EXPECT_EQ(order, (std::vector<std::string>{"handler", "checked", "returned"}));

  // A posted call that fails raises with the next call, once. The posted
  // call travels in one frame with that call.
  const size_t batches = browser.batches();
  doc.setText(doc.elementById("note"), TextProperty::Value, "x");
  try {
    doc.title();
    ADD_FAILURE() << "the posted failure was lost";
  } catch (const WizError& e) {
    EXPECT_EQ(e.source(), "Bridge");
    EXPECT_NE(e.description().find("value"), std::string::npos) << e.description();
  }
  EXPECT_EQ(browser.batches(), batches + 1);
  EXPECT_EQ(doc.title(), "A");
  // One that comes with a dialog's answer does not cost the answer.
  doc.setText(doc.elementById("note"), TextProperty::Value, "y");
  browser.queueDialogAnswer("Yes");
  EXPECT_EQ(ui.messageBox("Sure?", MsgButtons::YesNo, MsgIcon::Question, "T"), MsgResult::Yes);
  EXPECT_THROW(doc.title(), WizError);
  EXPECT_EQ(doc.title(), "A");

  // A new page drops the old page's handlers; its elements are refused.
  view.navigate(page("b.htm"));
  const ElementRef newBox = doc.elementById("box");
  order.clear();
  doc.click(newBox);
  EXPECT_TRUE(order.empty());
  EXPECT_TRUE(doc.flag(newBox, FlagProperty::Checked));
  EXPECT_THROW(doc.setText(box, TextProperty::Value, "late"), WizError);
  view.bridgeDocument().dispatchEvent(box.handle.substr(box.handle.find('/') + 1), kEventClick);
  EXPECT_TRUE(order.empty());

  // A window that comes back counts its pages anew: an element kept from
  // before names nothing of the page shown now, even with the same number.
  browser.disconnect();
  browser.connect();
  view.navigate(page("a.htm"));
  view.navigate(page("b.htm"));
  EXPECT_FALSE(doc.flag(doc.elementById("box"), FlagProperty::Checked));
  EXPECT_THROW(doc.flag(newBox, FlagProperty::Checked), WizError);
}

TEST_F(BridgeTest, ReadsShareOneSnapshotUntilAWriteOrAnEventMayHaveChangedThePage) {
  browser.connect();
  const auto snapshotCalls = [&] {
    size_t calls = 0;
    for (const json& message : browser.messages("dom")) calls += message.value("call", "") == "snapshot";
    return calls;
  };
  // The navigation brings the new page's snapshot: reading it takes no
  // round trip.
  view.navigate(page("a.htm"));
  PageDocument& doc = view.document();
  EXPECT_EQ(doc.title(), "A");
  EXPECT_EQ(doc.text(doc.elementById("name"), TextProperty::Value), "x");
  EXPECT_EQ(snapshotCalls(), 0u);
  // Changed by a browser event, the page is read again once.
  browser.onPage([](HtmlDocument&) { return 0; });
  browser.pressButton("Next");
  ASSERT_TRUE(bridge.dispatchNext());
  const size_t before = browser.snapshots();
  EXPECT_EQ(doc.title(), "A");
  const ElementRef name = doc.elementById("name");
  EXPECT_EQ(doc.text(name, TextProperty::Value), "x");
  EXPECT_EQ(doc.text(name, TextProperty::TagName), "INPUT");
  EXPECT_FALSE(doc.flag(doc.elementById("box"), FlagProperty::Checked));
  EXPECT_FALSE(doc.elementById("missing"));
  EXPECT_EQ(browser.snapshots(), before + 1);
  // What the snapshot leaves out is asked for, failures included.
  const ElementRef note = doc.elementById("note");
  EXPECT_EQ(doc.text(note, TextProperty::OuterText), "n");
  EXPECT_THROW(doc.text(note, TextProperty::Value), WizError);

  // A value written is read back from the page; the rest stays as taken.
  doc.setText(name, TextProperty::Value, "y");
  EXPECT_EQ(doc.text(name, TextProperty::Value), "y");
  EXPECT_EQ(doc.text(name, TextProperty::TagName), "INPUT");
  EXPECT_EQ(browser.snapshots(), before + 1);
  // A list's options are asked for once, and again once it changed.
  const ElementRef list = doc.elementById("list");
  EXPECT_EQ(doc.options(list).size(), 2u);
  EXPECT_TRUE(doc.hasOption(list, "2"));
  EXPECT_FALSE(doc.hasOption(list, "3"));
  doc.addOption(list, "3", "three");
  EXPECT_TRUE(doc.hasOption(list, "3"));
  EXPECT_EQ(doc.options(list).size(), 3u);
  size_t listings = 0;
  for (const json& message : browser.messages("dom")) listings += message.value("call", "") == "options";
  EXPECT_EQ(listings, 2u);

  // A click's reply is the page as the click left it.
  doc.click(doc.elementById("box"));
  EXPECT_TRUE(doc.flag(doc.elementById("box"), FlagProperty::Checked));
  EXPECT_EQ(browser.snapshots(), before + 2);
  EXPECT_EQ(snapshotCalls(), 1u);

  // What the user typed counts from the press that follows it.
  browser.onPage([](HtmlDocument& shown) {
    shown.setText(shown.elementById("name"), TextProperty::Value, "typed");
    return 0;
  });
  browser.pressButton("Next");
  ASSERT_TRUE(bridge.dispatchNext());
  EXPECT_EQ(doc.text(name, TextProperty::Value), "typed");

  view.navigate(page("b.htm"));
  EXPECT_THROW(doc.text(name, TextProperty::Value), WizError);
  EXPECT_EQ(doc.text(doc.elementById("name"), TextProperty::Value), "x");
}

TEST_F(BridgeTest, GarbageIsDroppedListingsAreAnsweredAtOnceAndAClosedWindowEndsCalls) {
  browser.connect();
  view.navigate(page("a.htm"));
  browser.receive("{not json");
  browser.receive("[1, 2]");
  browser.receive(R"({"reply": "x", "result": 1})");
  EXPECT_EQ(view.document().title(), "A");

  // Nobody on the wizard thread dispatches: the listing comes all the same.
  browser.receive(
      json{{"list", 7}, {"path", dir.path()}, {"patterns", json::array({"*.htm"})}, {"folders", false}}.dump());
  EXPECT_TRUE(browser.waitFor([](const std::vector<json>& messages) {
    for (const json& message : messages)
      if (message.value("listing", 0) == 7)
        return message["entries"] == json::array({json{{"name", "TVKWizardHTML"}, {"folder", true}}});
    return false;
  }));

  // A call waiting for its reply fails when the window goes away.
  browser.holdCalls();
  auto title = std::async(std::launch::async, [&] {
    PageDocument& doc = view.document();
    return doc.text(doc.elementById("note"), TextProperty::OuterText);
  });
  ASSERT_TRUE(browser.waitFor([](const std::vector<json>& messages) {
    return !messages.empty() && messages.back().value("call", "") == "getText";
  }));
  browser.disconnect();
  try {
    title.get();
    ADD_FAILURE() << "the call did not fail";
  } catch (const WizError& e) {
    EXPECT_EQ(e.description(), "The wizard window was closed");
  }

  // No window within the grace time: the bridge ends and every call fails.
  EXPECT_THROW(view.document().title(), WizError);
  EXPECT_TRUE(bridge.ended());
  EXPECT_FALSE(bridge.dispatchNext());
  EXPECT_THROW(view.document().title(), WizError);
}

TEST_F(BridgeTest, ViewSendsItsWholeStateOnChangesAndShowsOnlyItsOwnPages) {
  browser.connect();
  view.navigate("file://" + page("a.htm"));
  view.setEnabled(WizardButton::Next, false);
  view.setEnabled(WizardButton::Next, false);  // no change, no message
  view.setBusy(true);
  // A round trip: the browser has handled everything posted before.
  view.document().text(view.document().elementById("note"), TextProperty::OuterText);
  json state = browser.lastState();
  EXPECT_EQ(state["busy"], true);
  EXPECT_EQ(state["buttons"]["Next"], (json{{"enabled", false}, {"visible", true}}));
  EXPECT_EQ(state["buttons"]["Back"], (json{{"enabled", true}, {"visible", true}}));
  EXPECT_EQ(browser.messages("state").size(), 2u);

  // Names are encoded; files outside the pages' folder or missing are
  // refused and the page shown stays.
  writeFile(dir / "TVKWizardHTML/a b#.htm", kPage);
  view.navigate(page("a b#.htm"));
  EXPECT_EQ(browser.messages("navigate").back()["url"], "/TVKWizardHTML/a%20b%23.htm");
  writeFile(dir / "secret.htm", kPage);
  for (const std::string& bad :
       {dir / "secret.htm", page("../secret.htm"), page("missing.htm"), dir.path() + "/TVKWizardHTMLx/a.htm"})
    EXPECT_THROW(view.navigate(bad), WizError) << bad;
  EXPECT_EQ(view.lastNavigated(), page("a b#.htm"));
  EXPECT_EQ(browser.messages("navigate").size(), 2u);

  view.close();
  EXPECT_TRUE(bridge.ended());
  ASSERT_TRUE(browser.waitForCount("close", 1));
  EXPECT_EQ(browser.messages("close")[0]["text"], "The wizard has ended. You may close this tab.");
}

}  // namespace
}  // namespace tvk
