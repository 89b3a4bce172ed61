#include "wizard/html_document.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

std::unique_ptr<HtmlDocument> page(const std::string& body) {
  return HtmlDocument::fromText("<!DOCTYPE html><html><head><title> My \n page </title></head><body>" + body +
                                "</body></html>");
}

long errorNumber(const std::function<void()>& call) {
  try {
    call();
  } catch (const WizError& e) {
    return e.number();
  }
  return 0;
}

TEST(HtmlDocument, ReadsControlsAsABrowserDoes) {
  auto doc = page(
      "<input id=plain><input id=named type=hidden value=' TRUE '>"
      "<input id=box type=checkbox><input id=radio type=RADIO value=List checked>"
      "<textarea id=area>line 1\nline &amp; 2</textarea>"
      "<select id=drop><option value=a>A</option><option>  Two\n words </option></select>"
      "<select id=picked><option value=a>A</option><option value=b selected>B</option></select>"
      "<select id=listbox size=5><option value=a>A</option></select>"
      "<select id=empty></select><div id=div class='Note Wide' style='color: red; DISPLAY : none'></div>");
  EXPECT_EQ(doc->title(), "My page");
  auto value = [&](const char* id) { return doc->text(doc->elementById(id), TextProperty::Value); };
  // A drop-down list always has a choice (drop), a list box may have none.
  std::string values;
  for (const char* id : {"named", "box", "radio", "area", "drop", "picked", "listbox", "empty"})
    values += value(id) + "|";
  EXPECT_EQ(values, " TRUE |on|List|line 1\nline & 2|a|b|||");

  const std::vector<SelectOption> options = doc->options(doc->elementById("drop"));
  ASSERT_EQ(options.size(), 2u);
  EXPECT_EQ(options[1].value, "Two words");  // no value attribute: the shown text
  EXPECT_TRUE(options[0].selected);
  EXPECT_FALSE(options[1].selected);

  EXPECT_EQ(doc->text(doc->elementById("plain"), TextProperty::Type) + "/" +
                doc->text(doc->elementById("radio"), TextProperty::Type) + "/" +
                doc->text(doc->elementById("drop"), TextProperty::TagName),
            "text/RADIO/SELECT");
  EXPECT_EQ(doc->text(doc->elementById("div"), TextProperty::StyleDisplay), "none");

  // A property the element does not have is a failure, not an empty answer.
  EXPECT_EQ(errorNumber([&] { doc->text(doc->elementById("div"), TextProperty::Value); }), err::kNoSuchMember);
  EXPECT_EQ(errorNumber([&] { doc->options(doc->elementById("plain")); }), err::kNoSuchMember);
  EXPECT_EQ(errorNumber([&] { doc->text(ElementRef{}, TextProperty::Value); }), err::kObjectNotSet);
}

TEST(HtmlDocument, OptionsAreFoundByTheValueTheListGives) {
  auto doc = page(
      "<select id=list size=4><option value='a&amp;b'>A</option><option>  Two\n words </option>"
      "<option><b>Bold</b> text</option><option value=''>None</option></select><div id=div></div>");
  ElementRef list = doc->elementById("list");
  for (const char* value : {"a&b", "Two words", "Bold text", ""}) EXPECT_TRUE(doc->hasOption(list, value)) << value;
  for (const char* value : {"A", "None", "Two", "  Two\n words "}) EXPECT_FALSE(doc->hasOption(list, value)) << value;
  doc->addOption(list, "t1", "T: t1");
  EXPECT_TRUE(doc->hasOption(list, "t1"));
  EXPECT_FALSE(doc->hasOption(list, "T: t1"));
  EXPECT_EQ(doc->options(list).back().text, "T: t1");
  // Choosing by value finds the option whose text stands in for its value.
  doc->setText(list, TextProperty::Value, "Bold text");
  EXPECT_TRUE(doc->options(list)[2].selected);
  EXPECT_EQ(errorNumber([&] { doc->hasOption(doc->elementById("div"), "a"); }), err::kNoSuchMember);

  // A size is read with leading blanks, a sign and trailing text; a list of
  // more than one row is a list box, which need not choose an option.
  std::string chosen;
  for (const char* size : {" 3", "+2", "2px", "1", "abc", "99999999999", "-4"}) {
    auto sized = page(std::string("<select id=s size='") + size + "'><option value=x>X</option></select>");
    chosen += sized->text(sized->elementById("s"), TextProperty::Value) + "|";
  }
  EXPECT_EQ(chosen, "|||x|x|x|x|");
}

TEST(HtmlDocument, WritesControls) {
  auto doc = page(
      "<input id=name value=old><textarea id=area>old</textarea>"
      "<select id=list><option value=a>A</option><option value=b>B</option></select>"
      "<div id=div style='color: red; display: none'>x</div>");
  const ElementRef name = doc->elementById("name");
  doc->setText(name, TextProperty::Value, "Tom & <Jerry> \"quoted\"");
  EXPECT_EQ(doc->text(name, TextProperty::Value), "Tom & <Jerry> \"quoted\"");

  const ElementRef area = doc->elementById("area");
  doc->setText(area, TextProperty::Value, "a <b>\r\nc");
  EXPECT_EQ(doc->text(area, TextProperty::Value), "a <b>\r\nc");

  const ElementRef list = doc->elementById("list");
  doc->setText(list, TextProperty::Value, "none of them");
  EXPECT_EQ(doc->text(list, TextProperty::Value), "");
  // Adding to a drop-down list without a choice selects its first option.
  doc->addOption(list, "c", "C");
  EXPECT_EQ(doc->text(list, TextProperty::Value), "a");
  doc->setText(list, TextProperty::Value, "c");
  doc->removeOption(list, 0);
  doc->removeOption(list, 7);  // out of range: nothing
  ASSERT_EQ(doc->options(list).size(), 2u);
  EXPECT_EQ(doc->options(list)[0].value, "b");
  EXPECT_EQ(doc->text(list, TextProperty::Value), "c");
  doc->removeOption(list, 1);  // the chosen one goes: the first takes over
  EXPECT_EQ(doc->text(list, TextProperty::Value), "b");

  const ElementRef div = doc->elementById("div");
  doc->setText(div, TextProperty::StyleDisplay, "");
  EXPECT_EQ(doc->text(div, TextProperty::StyleDisplay), "");
  EXPECT_NE(doc->html().find("color: red"), std::string::npos);  // the rest of the style stays

  doc->setText(div, TextProperty::InnerHTML, "3 < 4 & true");
  EXPECT_EQ(doc->text(div, TextProperty::OuterText), "3 < 4 & true");
  doc->setText(div, TextProperty::InnerHTML, "first<BR>second &amp; third");
  EXPECT_EQ(doc->text(div, TextProperty::OuterText), "firstsecond & third");
  EXPECT_NE(doc->text(div, TextProperty::InnerHTML).find("<br>"), std::string::npos);

  EXPECT_EQ(errorNumber([&] { doc->setFlag(div, FlagProperty::ReadOnly, true); }), err::kNoSuchMember);
  EXPECT_EQ(errorNumber([&] { doc->setText(div, TextProperty::TagName, "P"); }), err::kInvalidCall);
}

TEST(HtmlDocument, ClickChangesBoxesAndRadioGroupsThenRunsHandlers) {
  auto doc = page(
      "<input id=box type=checkbox><input id=off type=checkbox disabled>"
      "<input type=radio name=Type id=list value=List checked><input type=radio name=Type id=form value=Form>"
      "<input type=text name=Type id=text value=Form><form><input type=radio name=Type id=other value=X "
      "checked></form>");
  std::vector<std::string> events;
  const ElementRef box = doc->elementById("box");
  doc->bind(box, kEventClick, [&] {
    // The handler sees the state after the click, as a page's handler does.
    events.push_back(std::string("click ") + (doc->flag(box, FlagProperty::Checked) ? "on" : "off"));
  });
  doc->bind(box, kEventChange, [&] { events.push_back("change"); });
  doc->click(box);
  doc->click(box);
  EXPECT_EQ(events, (std::vector<std::string>{"click on", "change", "click off", "change"}));

  events.clear();
  const ElementRef off = doc->elementById("off");
  doc->bind(off, kEventClick, [&] { events.push_back("disabled clicked"); });
  doc->click(off);
  EXPECT_FALSE(doc->flag(off, FlagProperty::Checked));
  EXPECT_TRUE(events.empty());

  const ElementRef list = doc->elementById("list");
  const ElementRef form = doc->elementById("form");
  doc->bind(form, kEventChange, [&] { events.push_back("form change"); });
  doc->click(form);
  EXPECT_TRUE(doc->flag(form, FlagProperty::Checked));
  EXPECT_FALSE(doc->flag(list, FlagProperty::Checked));
  EXPECT_TRUE(doc->flag(doc->elementById("other"), FlagProperty::Checked));  // another form's group
  doc->click(form);                                                          // already checked: stays, no change
  EXPECT_TRUE(doc->flag(form, FlagProperty::Checked));
  EXPECT_EQ(events, std::vector<std::string>{"form change"});

  doc->unbind(box, kEventClick);
  events.clear();
  doc->click(box);
  EXPECT_EQ(events, std::vector<std::string>{"change"});

  EXPECT_EQ(doc->elementsByName("Type").size(), 4u);
  EXPECT_TRUE(doc->elementsByName("Nothing").empty());
}

TEST(HtmlDocument, PropertyChangeRunsOnlyWhenTheValueChanges) {
  auto doc =
      page("<input id=WIZF_NextURL type=hidden value=TRUE><select id=s><option>a</option><option>b</option></select>");
  const ElementRef next = doc->elementById("WIZF_NextURL");
  std::vector<std::string> seen;
  doc->bind(next, kEventPropertyChange, [&] { seen.push_back(doc->text(next, TextProperty::Value)); });
  doc->setText(next, TextProperty::Value, "TRUE");
  doc->setText(next, TextProperty::Value, "FALSE");
  doc->setText(next, TextProperty::Value, "FALSE");
  EXPECT_EQ(seen, std::vector<std::string>{"FALSE"});

  // Setting a list's value is no user choice: its change handler stays quiet.
  int changes = 0;
  const ElementRef s = doc->elementById("s");
  doc->bind(s, kEventChange, [&] { ++changes; });
  doc->setText(s, TextProperty::Value, "b");
  EXPECT_EQ(changes, 0);
}

TEST(HtmlDocument, HandlersMayReenterTheDocument) {
  auto doc = page(
      "<input id=master type=checkbox><input id=slave type=checkbox>"
      "<input id=count value=0><input id=echo>");
  const ElementRef master = doc->elementById("master");
  const ElementRef slave = doc->elementById("slave");
  const ElementRef count = doc->elementById("count");
  int slaveClicks = 0;
  // The master's handler clicks another box, writes values and rebinds
  // itself; the slave's handler unbinds itself while it runs.
  doc->bind(slave, kEventClick, [&] {
    ++slaveClicks;
    doc->unbind(slave, kEventClick);
  });
  doc->bind(count, kEventPropertyChange, [&] {
    doc->setText(doc->elementById("echo"), TextProperty::Value, doc->text(count, TextProperty::Value));
  });
  doc->bind(master, kEventClick, [&] {
    doc->click(slave);
    doc->setText(count, TextProperty::Value, "1");
    doc->bind(master, kEventClick, [&] { doc->setText(count, TextProperty::Value, "2"); });
  });
  doc->click(master);
  doc->click(master);
  doc->click(slave);
  EXPECT_EQ(slaveClicks, 1);
  EXPECT_FALSE(doc->flag(slave, FlagProperty::Checked));  // clicked twice
  EXPECT_EQ(doc->text(doc->elementById("echo"), TextProperty::Value), "2");
}

TEST(HtmlDocument, OuterTextReplacesTheElementAndItsHandle) {
  auto doc = page("<p id=para>Save as <button id=save>Save</button> or not</p>");
  const ElementRef save = doc->elementById("save");
  int clicks = 0;
  doc->bind(save, kEventClick, [&] { ++clicks; });
  doc->setText(save, TextProperty::OuterText, "saved to a <file>");
  EXPECT_FALSE(doc->elementById("save"));
  EXPECT_EQ(doc->text(doc->elementById("para"), TextProperty::OuterText), "Save as saved to a <file> or not");
  EXPECT_EQ(errorNumber([&] { doc->click(save); }), err::kObjectNotSet);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(errorNumber([&] { doc->bind(save, kEventClick, [] {}); }), err::kObjectNotSet);
}

TEST(HtmlDocument, LoadingFailsOnlyForAMissingFile) {
  test::ScopedTempDir temp;
  try {
    HtmlDocument::load(temp / "absent.htm");
    FAIL() << "a missing page loaded";
  } catch (const WizError& e) {
    EXPECT_EQ(e.number(), err::kFileNotFound);
    EXPECT_NE(e.description().find("absent.htm"), std::string::npos);
  }
  // Bytes that are no HTML still make a page, as in a browser.
  test::writeFile(temp / "odd.htm", std::string("\x01\x02<<>>", 6));
  EXPECT_FALSE(HtmlDocument::load(temp / "odd.htm")->elementById("x"));
  EXPECT_FALSE(HtmlDocument::fromText("")->elementById("x"));
}

}  // namespace
}  // namespace tvk
