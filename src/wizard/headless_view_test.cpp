#include "wizard/headless_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

std::string pageText(const std::string& name) {
  return "<html><head><title>Page " + name +
         "</title></head><body>"
         "<input type=hidden id=WIZF_PageName value=" +
         name +
         "><button id=go>Go</button>"
         "<input type=checkbox id=box></body></html>";
}

TEST(HeadlessView, NavigateLoadsThePageThenReportsIt) {
  test::ScopedTempDir temp;
  test::writeFile(temp / "TVKIntro.htm", pageText("TVKIntro"));
  test::writeFile(temp / "TVKProjType.htm", pageText("TVKProjType"));
  HeadlessView view;
  EXPECT_THROW(view.document(), WizError);  // no page yet
  std::vector<std::string> loaded;
  view.setDocumentCompleteHandler([&] {
    PageDocument& doc = view.document();
    loaded.push_back(doc.title() + ":" + doc.text(doc.elementById("WIZF_PageName"), TextProperty::Value));
  });
  view.navigate("file:" + (temp / "TVKIntro.htm"));
  EXPECT_EQ(view.lastNavigated(), temp / "TVKIntro.htm");
  view.navigate("file://" + (temp / "TVKProjType.htm"));
  view.navigate(temp / "TVKIntro.htm");
  EXPECT_EQ(loaded, (std::vector<std::string>{"Page TVKIntro:TVKIntro", "Page TVKProjType:TVKProjType",
                                              "Page TVKIntro:TVKIntro"}));

  // A page that cannot be read fails, the page shown stays, and no
  // document-complete is reported.
  view.navigate(temp / "TVKProjType.htm");
  EXPECT_THROW(view.navigate("file:" + (temp / "Missing.htm")), WizError);
  EXPECT_EQ(loaded.size(), 4u);
  EXPECT_EQ(view.lastNavigated(), temp / "TVKProjType.htm");
  EXPECT_EQ(view.document().title(), "Page TVKProjType");

  // An element kept from an earlier page names nothing on the next one.
  const ElementRef oldBox = view.document().elementById("box");
  view.navigate(temp / "TVKIntro.htm");
  const ElementRef newBox = view.document().elementById("box");
  int clicks = 0;
  view.document().bind(newBox, kEventClick, [&] { ++clicks; });
  view.document().unbind(oldBox, kEventClick);
  EXPECT_THROW(view.document().click(oldBox), WizError);
  view.document().click(newBox);
  EXPECT_EQ(clicks, 1);
}

TEST(HeadlessView, AClickHandlerMayNavigateAwayFromItsPage) {
  test::ScopedTempDir temp;
  test::writeFile(temp / "One.htm", pageText("One"));
  test::writeFile(temp / "Two.htm", pageText("Two"));
  HeadlessView view;
  view.navigate(temp / "One.htm");
  PageDocument& first = view.document();
  int changes = 0;
  const ElementRef box = first.elementById("box");
  // The window's Next handler replaces the page while the click that ran it
  // is still going on; the old page's change handler must not run.
  first.bind(box, kEventClick, [&] { view.navigate(temp / "Two.htm"); });
  first.bind(box, kEventChange, [&] { ++changes; });
  first.click(box);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(view.document().text(view.document().elementById("WIZF_PageName"), TextProperty::Value), "Two");
  EXPECT_FALSE(view.document().flag(view.document().elementById("box"), FlagProperty::Checked));
}

}  // namespace
}  // namespace tvk
