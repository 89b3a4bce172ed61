#include "wizard/html_routines.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "base/ui.h"
#include "wizard/html_document.h"

namespace tvk {
namespace {

class HtmlRoutinesTest : public ::testing::Test {
 protected:
  void load(const std::string& body) { doc_ = HtmlDocument::fromText("<html><body>" + body + "</body></html>"); }
  HtmlPage page() { return HtmlPage{*doc_, ui}; }
  ElementRef el(const char* id) { return doc_->elementById(id); }
  bool disabled(const char* id) { return doc_->flag(el(id), FlagProperty::Disabled); }
  std::string className(const char* id) { return doc_->text(el(id), TextProperty::ClassName); }
  PageDocument& doc() { return *doc_; }

  std::ostringstream out;
  ConsoleUi ui{out};

 private:
  std::unique_ptr<HtmlDocument> doc_;
};

TEST_F(HtmlRoutinesTest, EnablingStatesAndTheirClassNames) {
  load(
      "<button id=cmd class=Fancy>Go</button><input id=txt class=Wide><input id=box type=CheckBox>"
      "<input id=opt type=radio name=g><textarea id=area></textarea>");
  // Enabling clears whatever class the page gave the element.
  ElementEnableState(page(), "cmd", false);
  EXPECT_TRUE(disabled("cmd"));
  EXPECT_EQ(className("cmd"), "Disabled");
  ElementEnableState(page(), "cmd", true);
  EXPECT_FALSE(disabled("cmd"));
  EXPECT_EQ(className("cmd"), "");

  EnableInputControl(page(), "txt", false);
  EXPECT_TRUE(doc().flag(el("txt"), FlagProperty::ReadOnly));
  EXPECT_FALSE(disabled("txt"));
  EXPECT_EQ(className("txt"), "ReadOnly");
  EnableInputControl(page(), "txt", true);
  EXPECT_FALSE(doc().flag(el("txt"), FlagProperty::ReadOnly));
  EXPECT_EQ(className("txt"), "");

  EnableInputControl(page(), "box", false);  // the type is compared upper-cased
  EXPECT_TRUE(disabled("box"));
  EXPECT_EQ(className("box"), "");

  for (const char* id : {"opt", "area"}) {
    EnableInputControl(page(), id, false);
    EXPECT_FALSE(disabled(id)) << id;
    EXPECT_FALSE(doc().flag(el(id), FlagProperty::ReadOnly)) << id;
  }
  EXPECT_TRUE(ui.shown().empty());
}

TEST_F(HtmlRoutinesTest, CheckboxIsClickedOnlyWhenItsStateDiffers) {
  load("<input id=box type=checkbox checked>");
  int clicks = 0;
  doc().bind(el("box"), kEventClick, [&] { ++clicks; });
  std::string seen;
  for (bool on : {true, false, false, true}) {
    SetCheckboxValue(page(), "box", on);
    seen += std::to_string(clicks) + (gfbGetCheckboxValue(page(), "box") ? "on " : "off ");
  }
  EXPECT_EQ(seen, "0on 1off 1off 2on ");
}

TEST_F(HtmlRoutinesTest, RadioGroups) {
  load(
      "<input type=text name=ProjectType value=List>"
      "<input type=RADIO name=ProjectType id=l value=List>"
      "<input type=radio name=ProjectType id=f value=Form>"
      "<input type=radio name=ProjectType id=lf value=ListForm>");
  EXPECT_EQ(gfsGetRadioInputValue(page(), "ProjectType"), "");  // none checked
  std::vector<std::string> clicked;
  for (const char* id : {"l", "f", "lf"}) doc().bind(el(id), kEventClick, [&, id] { clicked.push_back(id); });

  SetRadioInputValue(page(), "ProjectType", "List");  // the text input of the same name is skipped
  EXPECT_EQ(gfsGetRadioInputValue(page(), "ProjectType"), "List");
  SetRadioInputValue(page(), "ProjectType", "ListForm");
  EXPECT_EQ(gfsGetRadioInputValue(page(), "ProjectType"), "ListForm");
  EXPECT_FALSE(doc().flag(el("l"), FlagProperty::Checked));

  SetRadioInputValue(page(), "ProjectType", "listform");  // case-sensitive: no button has it
  SetRadioInputValue(page(), "ProjectType", "Report");
  EXPECT_EQ(gfsGetRadioInputValue(page(), "ProjectType"), "ListForm");
  EXPECT_EQ(clicked, (std::vector<std::string>{"l", "lf"}));

  EXPECT_EQ(gfsGetRadioInputValue(page(), "NoSuchGroup"), "");
  SetRadioInputValue(page(), "NoSuchGroup", "List");
  EXPECT_TRUE(ui.shown().empty());
}

TEST_F(HtmlRoutinesTest, ListsAndTheirOptions) {
  load("<select id=drop></select><select id=box size=4></select>");
  const ElementRef drop = el("drop");
  AddOption(page(), drop, "Orders", "Orders table");
  EXPECT_EQ(gfsGetSelectSingleValue(page(), "drop"), "Orders");  // the only option is the selected one
  AddOption(page(), drop, "Customers", "Customers table");
  EXPECT_EQ(gfsGetSelectSingleValue(page(), "drop"), "Orders");
  SetSelectSingleValue(page(), "drop", "Customers");
  EXPECT_EQ(gfsGetSelectSingleValue(page(), "drop"), "Customers");
  EXPECT_EQ(doc().options(drop)[1].text, "Customers table");
  EXPECT_TRUE(gfbIsOptionPresent(page(), drop, "Customers"));
  EXPECT_FALSE(gfbIsOptionPresent(page(), drop, "customers") || gfbIsOptionPresent(page(), drop, "Customers table"));

  const ElementRef box = el("box");
  for (const char* name : {"a", "b", "c", "d", "e"}) AddOption(page(), box, name, name);
  EXPECT_EQ(gfsGetSelectSingleValue(page(), "box"), "");  // a list box starts without a choice
  DeleteAllOptions(page(), box);
  EXPECT_TRUE(doc().options(box).empty());

  // No list at all: nothing happens and nothing is reported.
  AddOption(page(), ElementRef{}, "x", "x");
  DeleteAllOptions(page(), ElementRef{});
  EXPECT_FALSE(gfbIsOptionPresent(page(), ElementRef{}, "x"));
  EXPECT_TRUE(ui.shown().empty());
}

TEST_F(HtmlRoutinesTest, TextsAndMissingControls) {
  load("<input id=name value=Orders><textarea id=conn>DSN=x</textarea>");
  SetTextareaValue(page(), "conn", "Provider=SQLOLEDB;\r\nData Source=.");
  EXPECT_EQ(gfsGetTextAreaValue(page(), "conn"), "Provider=SQLOLEDB;\r\nData Source=.");
  // A control the page lacks: writes do nothing, reads give the default.
  SetTextInputValue(page(), "gone", "x");
  SetTextareaValue(page(), "gone", "x");
  SetSelectSingleValue(page(), "gone", "x");
  SetCheckboxValue(page(), "gone", true);
  ElementEnableState(page(), "gone", false);
  EnableInputControl(page(), "gone", false);
  EXPECT_EQ(gfsGetTextInputValue(page(), "gone") + gfsGetTextAreaValue(page(), "gone") +
                gfsGetSelectSingleValue(page(), "gone"),
            "");
  EXPECT_FALSE(gfbGetCheckboxValue(page(), "gone"));
  EXPECT_TRUE(ui.shown().empty());
}

TEST_F(HtmlRoutinesTest, AWrongKindOfControlIsReportedAndGivesTheDefault) {
  load("<div id=div>text</div><input id=box type=checkbox checked>");
  // With no scripted answer the report is answered Abort.
  EXPECT_EQ(gfsGetTextInputValue(page(), "div"), "");
  ASSERT_EQ(ui.shown().size(), 1u);
  EXPECT_NE(ui.shown()[0].find("HTMLRoutines.gfsGetTextInputValue"), std::string::npos) << ui.shown()[0];

  EXPECT_FALSE(gfbIsOptionPresent(page(), el("box"), "on"));
  ASSERT_EQ(ui.shown().size(), 2u);
  EXPECT_NE(ui.shown()[1].find("HTMLRoutines.gfbIsOptionPresent"), std::string::npos);

  // Ignore goes on; the reader still gives its default.
  ui.pushAnswer(MsgResult::Ignore);
  EXPECT_EQ(gfsGetSelectSingleValue(page(), "div"), "");
  EXPECT_EQ(ui.shown().size(), 3u);
}

}  // namespace
}  // namespace tvk
