#include "generator/field_input.h"

#include <string>

#include "base/general.h"
#include "generator/code_printer.h"
#include "generator/field_types.h"
#include "generator/gen_context.h"
#include "generator/page_safety.h"
#include "generator/shared_routines.h"

namespace tvk::gen {

namespace {

// The control of a field without lookup.
std::string plainControl(const FieldInfo& field, bool longTextArea) {
  std::string quoted = fsVBStringText(field.name);     // inside a string literal
  std::string name = fsHTMLAttributeText(field.name);  // inside an attribute
  std::string_view disabled = field.isReadOnly() ? kReadOnlyAttribute : std::string_view();
  if (isBoolean(field))
    return substitute(
        R"(<INPUT TYPE="Checkbox" NAME="$F$" VALUE="1" <%= gfsFieldChecked(gfsFieldValue(rs,"$Q$")) %>$D$>)",
        {{"F", name}, {"Q", quoted}, {"D", disabled}});
  // A text input drops line breaks, and the update would store the text
  // without them: where the page has room, long texts get a text area.
  if (longTextArea && isLongText(field))
    return substitute(R"(<TEXTAREA NAME="$F$" ROWS="5" COLS="50"$D$><%= gfsFieldValue(rs,"$Q$") %></TEXTAREA>)",
                      {{"F", name}, {"Q", quoted}, {"D", disabled}});
  std::string size;
  std::string width = inputWidth(field);
  if (!width.empty() && width != "0")
    size = substitute(R"( SIZE="$n$" MAXLENGTH="$n$" )", {{"n", fsHTMLAttributeText(width)}});
  return substitute(R"(<INPUT TYPE="Text" NAME="$F$" VALUE="<%= gfsFieldValue(rs,"$Q$") %>"$Z$$D$>)",
                    {{"F", name}, {"Q", quoted}, {"Z", size}, {"D", disabled}});
}

constexpr std::string_view kCarrierComment =
    "<!-- If DISABLED then result will not be posted back - important for failed updates where we "
    "want to show the last value entered -->";

}  // namespace

void writeFieldInput(CodePrinter& p, const FieldInfo& field, const FieldInputLayout& layout) {
  if (field.usesLookup()) {
    if (field.isReadOnly()) {
      // Shows the looked-up text; the field's own value is never written
      // back, so it needs no carrier.
      std::string input = fsHTMLReadOnlyLookup(field);
      if (!input.empty())
        p.emit("$Lead$$Input$\n", {{"Lead", layout.lead}, {"Input", input}});
      else if (!layout.lead.empty())
        p.emit("$Lead$", {{"Lead", layout.lead}});
      return;
    }
    // Drawn by an include routine at run time.
    std::string control = fsASPLookupControl(field);
    if (!layout.lead.empty() || !control.empty())
      p.emit("$Lead$$Control$", {{"Lead", layout.lead}, {"Control", control}});
    return;
  }

  std::string control = plainControl(field, layout.longTextArea);
  std::string hidden;
  if (field.isReadOnly())
    hidden = substitute(R"(<INPUT TYPE="HIDDEN" NAME="$F$" VALUE="<%= gfsFieldValue(rs,"$Q$") %>" >)",
                        {{"F", fsHTMLAttributeText(field.name)}, {"Q", fsVBStringText(field.name)}});
  TemplateVars vars = {{"Lead", layout.lead}, {"Control", control}, {"Comment", kCarrierComment}, {"Hidden", hidden}};
  if (layout.endsLines) {
    p.emit("$Lead$$Control$\n", vars);
    if (field.isReadOnly()) p.emit("$Comment$\n$Hidden$\n", vars);
  } else {
    p.emit("$Lead$$Control$", vars);
    if (field.isReadOnly()) p.emit("$Comment$\n$Hidden$", vars);
  }
}

}  // namespace tvk::gen
