#include "wizard/html_routines.h"

#include <cctype>
#include <utility>

#include "base/error.h"

namespace tvk {

namespace {

constexpr std::string_view kModule = "HTMLRoutines";

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Runs `body` on the control with that id under the routine's error trap;
// a missing control is no failure, the routine just leaves it.
template <class Body>
void withElement(const HtmlPage& page, std::string_view routine, std::string_view id, Body&& body) {
  ErrorTrap trap{page.ui, kModule, routine};
  trap([&] {
    if (ElementRef element = page.doc.elementById(id)) body(element);
  });
}

// The same for a reader: the default result for a missing control or after
// Abort.
template <class Result, class Body>
Result readElement(const HtmlPage& page, std::string_view routine, std::string_view id, Body&& body) {
  ErrorTrap trap{page.ui, kModule, routine};
  Result result{};
  if (!trap([&] {
        result = Result{};
        if (ElementRef element = page.doc.elementById(id)) result = body(element);
      }))
    return Result{};
  return result;
}

std::string typeOf(PageDocument& doc, const ElementRef& element) {
  return upper(doc.text(element, TextProperty::Type));
}

}  // namespace

void ElementEnableState(const HtmlPage& page, std::string_view id, bool enable) {
  withElement(page, "ElementEnableState", id, [&](const ElementRef& element) {
    page.doc.setFlag(element, FlagProperty::Disabled, !enable);
    page.doc.setText(element, TextProperty::ClassName, enable ? "" : "Disabled");
  });
}

void EnableInputControl(const HtmlPage& page, std::string_view id, bool enable) {
  withElement(page, "EnableInputControl", id, [&](const ElementRef& element) {
    const std::string type = typeOf(page.doc, element);
    if (type == "CHECKBOX") {
      page.doc.setFlag(element, FlagProperty::Disabled, !enable);
    } else if (type == "TEXT") {
      page.doc.setFlag(element, FlagProperty::ReadOnly, !enable);
      page.doc.setText(element, TextProperty::ClassName, enable ? "" : "ReadOnly");
    }
  });
}

void SetTextInputValue(const HtmlPage& page, std::string_view id, std::string_view text) {
  withElement(page, "SetTextInputValue", id,
              [&](const ElementRef& element) { page.doc.setText(element, TextProperty::Value, text); });
}

std::string gfsGetTextInputValue(const HtmlPage& page, std::string_view id) {
  return readElement<std::string>(page, "gfsGetTextInputValue", id, [&](const ElementRef& element) {
    return page.doc.text(element, TextProperty::Value);
  });
}

std::string gfsGetSelectSingleValue(const HtmlPage& page, std::string_view id) {
  return readElement<std::string>(page, "gfsGetSelectSingleValue", id, [&](const ElementRef& element) {
    return page.doc.text(element, TextProperty::Value);
  });
}

void SetSelectSingleValue(const HtmlPage& page, std::string_view id, std::string_view value) {
  withElement(page, "SetSelectSingleValue", id,
              [&](const ElementRef& element) { page.doc.setText(element, TextProperty::Value, value); });
}

void DeleteAllOptions(const HtmlPage& page, const ElementRef& list) {
  ErrorTrap trap{page.ui, kModule, "DeleteAllOptions"};
  trap([&] {
    if (!list) return;
    // Removed from the last entry down, so no removal shifts the ones still
    // to go; then one look tells whether the list really emptied (in the
    // browser each look is a round trip, each removal is not).
    const size_t count = page.doc.options(list).size();
    for (size_t i = count; i > 0; --i) page.doc.removeOption(list, static_cast<int>(i - 1));
    if (count > 0 && !page.doc.options(list).empty())
      raise(err::kInternal, std::string(kModule), "The options of the list cannot be removed");
  });
}

void AddOption(const HtmlPage& page, const ElementRef& list, std::string_view value, std::string_view caption) {
  ErrorTrap trap{page.ui, kModule, "AddOption"};
  trap([&] {
    if (list) page.doc.addOption(list, value, caption);
  });
}

bool gfbIsOptionPresent(const HtmlPage& page, const ElementRef& list, std::string_view value) {
  ErrorTrap trap{page.ui, kModule, "gfbIsOptionPresent"};
  bool present = false;
  if (!trap([&] { present = list && page.doc.hasOption(list, value); })) return false;
  return present;
}

std::string gfsGetRadioInputValue(const HtmlPage& page, std::string_view groupName) {
  ErrorTrap trap{page.ui, kModule, "gfsGetRadioInputValue"};
  std::string value;
  if (!trap([&] {
        value.clear();
        for (const ElementRef& element : page.doc.elementsByName(groupName))
          if (typeOf(page.doc, element) == "RADIO" && page.doc.flag(element, FlagProperty::Checked)) {
            value = page.doc.text(element, TextProperty::Value);
            break;
          }
      }))
    return {};
  return value;
}

void SetRadioInputValue(const HtmlPage& page, std::string_view groupName, std::string_view value) {
  ErrorTrap trap{page.ui, kModule, "SetRadioInputValue"};
  trap([&] {
    for (const ElementRef& element : page.doc.elementsByName(groupName))
      if (typeOf(page.doc, element) == "RADIO" && page.doc.text(element, TextProperty::Value) == value) {
        page.doc.click(element);
        break;
      }
  });
}

bool gfbGetCheckboxValue(const HtmlPage& page, std::string_view id) {
  return readElement<bool>(page, "gfbGetCheckboxValue", id,
                           [&](const ElementRef& element) { return page.doc.flag(element, FlagProperty::Checked); });
}

void SetCheckboxValue(const HtmlPage& page, std::string_view id, bool checked) {
  withElement(page, "SetCheckboxValue", id, [&](const ElementRef& element) {
    if (page.doc.flag(element, FlagProperty::Checked) != checked) page.doc.click(element);
  });
}

void SetTextareaValue(const HtmlPage& page, std::string_view id, std::string_view text) {
  withElement(page, "SetTextareaValue", id,
              [&](const ElementRef& element) { page.doc.setText(element, TextProperty::Value, text); });
}

std::string gfsGetTextAreaValue(const HtmlPage& page, std::string_view id) {
  return readElement<std::string>(page, "gfsGetTextAreaValue", id, [&](const ElementRef& element) {
    return page.doc.text(element, TextProperty::Value);
  });
}

}  // namespace tvk
