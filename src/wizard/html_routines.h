// Typed reading and writing of a wizard page's controls, so that the page
// loaders and storers never touch the document directly. Every routine finds
// its control by id (radio groups by name) and tolerates a missing control:
// setters do nothing, readers return the empty text or false. Any other
// failure is shown with the standard error report (module "HTMLRoutines")
// and the routine returns its default.
#pragma once

#include <string>
#include <string_view>

#include "wizard/page_document.h"

namespace tvk {

class Ui;

// The page document with the user interface its routines report to.
struct HtmlPage {
  PageDocument& doc;
  Ui& ui;
};

// Enabled: `disabled` false and no class name; disabled: `disabled` true and
// class name "Disabled".
void ElementEnableState(const HtmlPage& page, std::string_view id, bool enable);
// A check box: `disabled` := !enable. A text input: `readOnly` := !enable and
// class name "" or "ReadOnly". Other types unchanged.
void EnableInputControl(const HtmlPage& page, std::string_view id, bool enable);
void SetTextInputValue(const HtmlPage& page, std::string_view id, std::string_view text);
std::string gfsGetTextInputValue(const HtmlPage& page, std::string_view id);
std::string gfsGetSelectSingleValue(const HtmlPage& page, std::string_view id);
void SetSelectSingleValue(const HtmlPage& page, std::string_view id, std::string_view value);
void DeleteAllOptions(const HtmlPage& page, const ElementRef& list);
void AddOption(const HtmlPage& page, const ElementRef& list, std::string_view value, std::string_view caption);
bool gfbIsOptionPresent(const HtmlPage& page, const ElementRef& list, std::string_view value);
std::string gfsGetRadioInputValue(const HtmlPage& page, std::string_view groupName);
// Clicks the radio button of the group with that value; nothing when none has it.
void SetRadioInputValue(const HtmlPage& page, std::string_view groupName, std::string_view value);
bool gfbGetCheckboxValue(const HtmlPage& page, std::string_view id);
// Clicks the box only when its state differs from `checked`.
void SetCheckboxValue(const HtmlPage& page, std::string_view id, bool checked);
void SetTextareaValue(const HtmlPage& page, std::string_view id, std::string_view text);
std::string gfsGetTextAreaValue(const HtmlPage& page, std::string_view id);

}  // namespace tvk
