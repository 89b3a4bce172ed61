// The document of the wizard page being shown, as the wizard's logic reads
// and writes it. Two implementations: the in-process one over libxml2's HTML
// parser (tests, `tvkwizard new`; page scripts do not run there) and the
// browser bridge (the real window; each call is one request to the page).
// So every operation here is one a remote browser can answer in one step.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tvk {

// An element of the page, as the document hands it out. Empty for a missing
// element. The text is the document's own handle (the in-process document
// numbers its nodes; the bridge numbers what the browser resolved); it stays
// valid until the page is replaced.
struct ElementRef {
  std::string handle;
  explicit operator bool() const { return !handle.empty(); }
  friend bool operator==(const ElementRef&, const ElementRef&) = default;
};

// Text properties of an element, as the browser names them.
enum class TextProperty { Value, Type, ClassName, InnerHTML, OuterText, StyleDisplay, TagName };
// Boolean properties.
enum class FlagProperty { Checked, Disabled, ReadOnly };

// The browser's names of the properties ("value", "style.display", ...).
std::string_view propertyName(TextProperty property);
std::string_view propertyName(FlagProperty property);

struct SelectOption {
  std::string value;
  std::string text;
  bool selected = false;
};

// Events the window binds. "propertychange" fires when a script or the
// window changes an input's value (the browser bridge watches the value of
// the elements bound for it).
inline constexpr std::string_view kEventClick = "click";
inline constexpr std::string_view kEventChange = "change";
inline constexpr std::string_view kEventPropertyChange = "propertychange";

class PageDocument {
 public:
  virtual ~PageDocument() = default;

  virtual std::string title() = 0;
  virtual ElementRef elementById(std::string_view id) = 0;
  // In document order.
  virtual std::vector<ElementRef> elementsByName(std::string_view name) = 0;

  // Type is the input's type attribute as written (the browser gives
  // "text" for an input without one); TagName is upper case ("SELECT").
  virtual std::string text(const ElementRef& element, TextProperty property) = 0;
  // Setting Value on a select selects the option with that value (none when
  // no option has it); setting OuterText replaces the element by the text.
  virtual void setText(const ElementRef& element, TextProperty property, std::string_view value) = 0;
  virtual bool flag(const ElementRef& element, FlagProperty property) = 0;
  virtual void setFlag(const ElementRef& element, FlagProperty property, bool value) = 0;

  // The element's click action: a check box toggles, a radio button checks
  // itself and clears the rest of its group, then bound click handlers run
  // (before this returns).
  virtual void click(const ElementRef& element) = 0;

  // The options of a select, in order.
  virtual std::vector<SelectOption> options(const ElementRef& select) = 0;
  // True when an option of the select has that value. A document that holds
  // its options itself answers without listing them all.
  virtual bool hasOption(const ElementRef& select, std::string_view value) {
    for (const SelectOption& option : options(select))
      if (option.value == value) return true;
    return false;
  }
  virtual void addOption(const ElementRef& select, std::string_view value, std::string_view text) = 0;
  virtual void removeOption(const ElementRef& select, int index) = 0;

  // Binds `handler` to an event of an element (one handler per element and
  // event; binding again replaces it). Handlers run on the wizard's thread.
  virtual void bind(const ElementRef& element, std::string_view event, std::function<void()> handler) = 0;
  virtual void unbind(const ElementRef& element, std::string_view event) = 0;
};

}  // namespace tvk
