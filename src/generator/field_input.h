// The input of one field on a page that edits records: the form page's
// record and the list page's edit row both write their fields through here,
// so that a field of a given kind gets the same control on both pages.
#pragma once

#include <string_view>

namespace tvk::gen {

class CodePrinter;
struct FieldInfo;

// Where the two pages lay a field's input out differently.
struct FieldInputLayout {
  // Written before the control on its line, even when there is no control.
  std::string_view lead;
  // Long texts in a text area; otherwise in a one-line input like any text.
  bool longTextArea = false;
  // The one-line controls end their lines and a read-only field's carrier
  // comment has a line of its own. Otherwise the comment goes on after the
  // input on the same line, and the last line is left for the caller to end.
  bool endsLines = false;
};

// The form page: the control follows the "<TD>" that opens its cell.
inline constexpr FieldInputLayout kFormInput{"<TD>", true, true};
// The list page's edit row: the control starts a line of its own.
inline constexpr FieldInputLayout kEditRowInput{"", false, false};

// Writes the field's control: a check box for a Boolean, a text area or a
// one-line input for a text, the lookup's control for a lookup field, and
// for a read-only field without lookup a hidden input that carries the value
// (a disabled control is not posted back). A lookup control, and a control
// that does not end its line, leaves its line open: the caller's next line
// goes on from there.
void writeFieldInput(CodePrinter& p, const FieldInfo& field, const FieldInputLayout& layout);

}  // namespace tvk::gen
