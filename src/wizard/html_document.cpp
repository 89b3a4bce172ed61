#include "wizard/html_document.h"

#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>

#include "base/error.h"
#include "base/fs.h"
#include "base/general.h"

namespace tvk {

namespace {

constexpr int kParseOptions = HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;

const xmlChar* xc(const char* s) { return reinterpret_cast<const xmlChar*>(s); }
const xmlChar* xc(const std::string& s) { return xc(s.c_str()); }

std::string fromXml(const xmlChar* s) { return s ? std::string(reinterpret_cast<const char*>(s)) : std::string(); }

struct XmlCharFree {
  void operator()(xmlChar* p) const noexcept { xmlFree(p); }
};
using XmlString = std::unique_ptr<xmlChar, XmlCharFree>;

struct XmlBufferFree {
  void operator()(xmlBuffer* p) const noexcept { xmlBufferFree(p); }
};

std::string lower(std::string_view text) { return gfsLower(text); }

std::string upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// What a browser shows of a text: blanks stripped at both ends, runs of
// white space collapsed to one blank (an option's text, the title).
std::string collapse(std::string_view text) {
  std::string result;
  bool pendingSpace = false;
  for (char c : text) {
    if (isSpace(c)) {
      pendingSpace = !result.empty();
    } else {
      if (pendingSpace) result += ' ';
      pendingSpace = false;
      result += c;
    }
  }
  return result;
}

std::string trim(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && isSpace(text[first])) ++first;
  size_t last = text.size();
  while (last > first && isSpace(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

bool isElement(const xmlNode* node) { return node && node->type == XML_ELEMENT_NODE; }

// The element's name: libxml2's HTML parser gives every name in lower case,
// and the document makes its own elements so, which keeps this free of
// copies on the paths that walk long option lists.
std::string_view tag(const xmlNode* node) {
  return node->name ? std::string_view(reinterpret_cast<const char*>(node->name)) : std::string_view();
}

bool hasAttr(xmlNode* node, const char* name) { return xmlHasProp(node, xc(name)) != nullptr; }

std::string attr(xmlNode* node, const char* name) {
  XmlString value{xmlGetProp(node, xc(name))};
  return fromXml(value.get());
}

void setAttr(xmlNode* node, const char* name, std::string_view value) {
  const std::string text(value);
  if (!xmlSetProp(node, xc(name), xc(text)))
    raise(err::kOutOfMemory, std::string(HtmlDocument::kSource), "Out of memory");
}

void setBoolAttr(xmlNode* node, const char* name, bool on) {
  if (on) {
    if (!hasAttr(node, name)) setAttr(node, name, name);
  } else {
    xmlUnsetProp(node, xc(name));
  }
}

std::string content(xmlNode* node) {
  XmlString text{xmlNodeGetContent(node)};
  return fromXml(text.get());
}

// The text of a node that holds one piece of text (as the parser and this
// document make attribute values and option captions), without a copy;
// nothing for any other shape.
std::optional<std::string_view> singleText(const xmlNode* node) {
  const xmlNode* child = node->children;
  if (child == nullptr) return std::string_view();
  if (child->next != nullptr || child->type != XML_TEXT_NODE || child->content == nullptr) return std::nullopt;
  return std::string_view(reinterpret_cast<const char*>(child->content));
}

// Calls `use` with the attribute's value (a view valid during the call; empty
// for a missing attribute), copying it only when it is not one piece of text.
template <class Use>
auto withAttr(xmlNode* node, const char* name, Use&& use) {
  xmlAttr* found = xmlHasProp(node, xc(name));
  if (found != nullptr && found->type == XML_ATTRIBUTE_NODE)
    if (std::optional<std::string_view> text = singleText(reinterpret_cast<xmlNode*>(found))) return use(*text);
  const std::string copy = found != nullptr ? attr(node, name) : std::string();
  return use(std::string_view(copy));
}

void removeChildren(xmlNode* node) {
  xmlNode* child = node->children;
  while (child) {
    xmlNode* next = child->next;
    xmlUnlinkNode(child);
    xmlFreeNode(child);
    child = next;
  }
}

// The next node in document order below `root`, or null at the end.
xmlNode* nextInOrder(xmlNode* node, xmlNode* root) {
  if (node->children && node->type != XML_ENTITY_REF_NODE) return node->children;
  while (node && node != root) {
    if (node->next) return node->next;
    node = node->parent;
  }
  return nullptr;
}

template <class Visit>
void forEachElement(xmlNode* root, Visit&& visit) {
  for (xmlNode* node = root; node; node = nextInOrder(node, root))
    if (isElement(node) && !visit(node)) return;
}

xmlNode* documentRoot(xmlDoc* doc) { return reinterpret_cast<xmlNode*>(doc); }

std::vector<xmlNode*> optionNodes(xmlNode* select) {
  std::vector<xmlNode*> result;
  forEachElement(select, [&](xmlNode* node) {
    if (tag(node) == "option") result.push_back(node);
    return true;
  });
  return result;
}

std::string optionText(xmlNode* option) {
  if (std::optional<std::string_view> text = singleText(option)) return collapse(*text);
  return collapse(content(option));
}

std::string optionValue(xmlNode* option) {
  return hasAttr(option, "value") ? withAttr(option, "value", [](std::string_view v) { return std::string(v); })
                                  : optionText(option);
}

// True when the option's value is `value`; long lists are searched with
// this, so it compares without copying where it can.
bool optionValueIs(xmlNode* option, std::string_view value) {
  if (hasAttr(option, "value")) return withAttr(option, "value", [&](std::string_view v) { return v == value; });
  return optionText(option) == value;
}

// A list box shows several rows and may have no option selected; a drop-down
// list always shows (and so selects) one. The size is read as std::stoi
// reads it (leading blanks and a sign allowed, trailing text ignored).
bool isListBox(xmlNode* select) {
  if (hasAttr(select, "multiple")) return true;
  return withAttr(select, "size", [](std::string_view size) {
    // Both the document's text and a copy end in a NUL, as strtol needs.
    const char* start = size.data();
    char* end = nullptr;
    errno = 0;
    const long rows = std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE || rows > INT_MAX || rows < INT_MIN) return false;
    return rows > 1;
  });
}

// True when an option of the list is selected (stops at the first).
bool hasSelectedOption(xmlNode* select) {
  bool found = false;
  forEachElement(select, [&](xmlNode* node) {
    found = tag(node) == "option" && hasAttr(node, "selected");
    return !found;
  });
  return found;
}

// The browser's rule after options change: a single-choice list keeps only
// its last selected option, and a drop-down list without one selects its
// first option that is not disabled.
void normaliseSelection(xmlNode* select) {
  if (hasAttr(select, "multiple")) return;
  std::vector<xmlNode*> options = optionNodes(select);
  xmlNode* chosen = nullptr;
  for (xmlNode* option : options)
    if (hasAttr(option, "selected")) {
      if (chosen) xmlUnsetProp(chosen, xc("selected"));
      chosen = option;
    }
  if (chosen || isListBox(select)) return;
  for (xmlNode* option : options)
    if (!hasAttr(option, "disabled")) {
      setBoolAttr(option, "selected", true);
      return;
    }
}

std::string inputType(xmlNode* input) { return hasAttr(input, "type") ? attr(input, "type") : std::string("text"); }

bool isCheckable(xmlNode* node) {
  if (tag(node) != "input") return false;
  const std::string type = lower(inputType(node));
  return type == "checkbox" || type == "radio";
}

bool isFormControl(xmlNode* node) {
  const std::string_view name = tag(node);
  return name == "input" || name == "button" || name == "select" || name == "textarea" || name == "option";
}

xmlNode* formOf(xmlNode* node) {
  for (xmlNode* up = node->parent; up; up = up->parent)
    if (isElement(up) && tag(up) == "form") return up;
  return nullptr;
}

// The other radio buttons of the same group (same name, same form).
std::vector<xmlNode*> radioGroup(xmlDoc* doc, xmlNode* radio) {
  std::vector<xmlNode*> group;
  const std::string name = attr(radio, "name");
  if (name.empty()) return group;
  xmlNode* form = formOf(radio);
  forEachElement(documentRoot(doc), [&](xmlNode* node) {
    if (node != radio && tag(node) == "input" && lower(inputType(node)) == "radio" && attr(node, "name") == name &&
        formOf(node) == form)
      group.push_back(node);
    return true;
  });
  return group;
}

void setChecked(xmlDoc* doc, xmlNode* input, bool checked) {
  setBoolAttr(input, "checked", checked);
  if (checked && lower(inputType(input)) == "radio")
    for (xmlNode* other : radioGroup(doc, input)) setBoolAttr(other, "checked", false);
}

// The declarations of a style attribute, in order.
std::vector<std::pair<std::string, std::string>> styleDeclarations(const std::string& style) {
  std::vector<std::pair<std::string, std::string>> result;
  size_t start = 0;
  while (start <= style.size()) {
    size_t end = style.find(';', start);
    if (end == std::string::npos) end = style.size();
    const std::string declaration = style.substr(start, end - start);
    const size_t colon = declaration.find(':');
    if (colon != std::string::npos) {
      std::string name = lower(trim(declaration.substr(0, colon)));
      if (!name.empty()) result.emplace_back(std::move(name), trim(declaration.substr(colon + 1)));
    }
    start = end + 1;
  }
  return result;
}

[[noreturn]] void raiseNoMember(xmlNode* node, const std::string& what) {
  raise(err::kNoSuchMember, std::string(HtmlDocument::kSource),
        "Object doesn't support this property or method: " + what + " of " + upper(std::string(tag(node))));
}

XmlDocPtr parseHtml(std::string_view html) {
  if (html.empty()) return XmlDocPtr(htmlNewDocNoDtD(nullptr, nullptr));
  return XmlDocPtr(htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8", kParseOptions));
}

}  // namespace

HtmlDocument::HtmlDocument(XmlDocPtr doc) : doc_(std::move(doc)) {
  std::random_device random;
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "%08x%08x:", random(), random());
  handlePrefix_ = prefix;
  std::vector<xmlNode*> selects;
  forEachElement(documentRoot(doc_.get()), [&](xmlNode* node) {
    if (tag(node) == "select") selects.push_back(node);
    return true;
  });
  for (xmlNode* select : selects) normaliseSelection(select);
}

HtmlDocument::~HtmlDocument() { *alive_ = false; }

std::unique_ptr<HtmlDocument> HtmlDocument::load(const std::string& path) {
  std::string html;
  try {
    html = files::readFile(path);
  } catch (const WizError& e) {
    raise(e.number(), std::string(kSource), "The page '" + path + "' cannot be read: " + e.description());
  }
  XmlDocPtr doc = parseHtml(html);
  if (!doc) raise(err::kXml, std::string(kSource), "The page '" + path + "' cannot be parsed");
  return std::unique_ptr<HtmlDocument>(new HtmlDocument(std::move(doc)));
}

std::unique_ptr<HtmlDocument> HtmlDocument::fromText(std::string_view html) {
  XmlDocPtr doc = parseHtml(html);
  if (!doc) raise(err::kXml, std::string(kSource), "The page cannot be parsed");
  return std::unique_ptr<HtmlDocument>(new HtmlDocument(std::move(doc)));
}

xmlNode* HtmlDocument::resolve(const ElementRef& element) const {
  if (!element) raise(err::kObjectNotSet, std::string(kSource), "Object variable not set (no element)");
  auto it = nodes_.find(element.handle);
  if (it == nodes_.end())
    raise(err::kObjectNotSet, std::string(kSource),
          "The element '" + element.handle + "' is no longer part of the page");
  return it->second;
}

ElementRef HtmlDocument::refFor(xmlNode* node) {
  if (!node) return {};
  auto it = handles_.find(node);
  if (it != handles_.end()) return ElementRef{it->second};
  std::string handle = handlePrefix_ + std::to_string(nextHandle_++);
  handles_.emplace(node, handle);
  nodes_.emplace(handle, node);
  return ElementRef{std::move(handle)};
}

void HtmlDocument::forget(xmlNode* root) {
  for (xmlNode* node = root; node; node = nextInOrder(node, root)) {
    auto it = handles_.find(node);
    if (it == handles_.end()) continue;
    const std::string handle = it->second;
    handles_.erase(it);
    nodes_.erase(handle);
    auto first = handlers_.lower_bound(std::make_pair(handle, std::string()));
    auto last = first;
    while (last != handlers_.end() && last->first.first == handle) ++last;
    handlers_.erase(first, last);
  }
}

std::function<void()> HtmlDocument::handlerFor(xmlNode* node, std::string_view event) const {
  auto handle = handles_.find(node);
  if (handle == handles_.end()) return {};
  auto it = handlers_.find(std::make_pair(handle->second, std::string(event)));
  return it == handlers_.end() ? std::function<void()>() : it->second;
}

std::string HtmlDocument::title() {
  std::string result;
  forEachElement(documentRoot(doc_.get()), [&](xmlNode* node) {
    if (tag(node) != "title") return true;
    result = collapse(content(node));
    return false;
  });
  return result;
}

ElementRef HtmlDocument::elementById(std::string_view id) {
  if (id.empty()) return {};
  xmlNode* found = nullptr;
  forEachElement(documentRoot(doc_.get()), [&](xmlNode* node) {
    if (!hasAttr(node, "id") || attr(node, "id") != id) return true;
    found = node;
    return false;
  });
  return refFor(found);
}

std::vector<ElementRef> HtmlDocument::elementsByName(std::string_view name) {
  std::vector<ElementRef> result;
  if (name.empty()) return result;
  forEachElement(documentRoot(doc_.get()), [&](xmlNode* node) {
    if (hasAttr(node, "name") && attr(node, "name") == name) result.push_back(refFor(node));
    return true;
  });
  return result;
}

std::vector<HtmlDocument::NamedElement> HtmlDocument::namedElements() {
  std::vector<NamedElement> result;
  forEachElement(documentRoot(doc_.get()), [&](xmlNode* node) {
    const bool hasId = hasAttr(node, "id");
    const bool hasName = hasAttr(node, "name");
    if (hasId || hasName)
      result.push_back(NamedElement{refFor(node), hasId ? std::string(attr(node, "id")) : std::string(),
                                    hasName ? std::string(attr(node, "name")) : std::string()});
    return true;
  });
  return result;
}

std::string HtmlDocument::text(const ElementRef& element, TextProperty property) {
  xmlNode* node = resolve(element);
  const std::string_view name = tag(node);
  switch (property) {
    case TextProperty::Value:
      if (name == "input") {
        if (hasAttr(node, "value")) return attr(node, "value");
        return isCheckable(node) ? "on" : "";
      }
      if (name == "textarea") return content(node);
      if (name == "select") {
        for (xmlNode* option : optionNodes(node))
          if (hasAttr(option, "selected")) return optionValue(option);
        return {};
      }
      if (name == "option") return optionValue(node);
      if (name == "button") return attr(node, "value");
      raiseNoMember(node, "value");
    case TextProperty::Type:
      if (name == "input") return inputType(node);
      if (name == "button") return hasAttr(node, "type") ? attr(node, "type") : "submit";
      if (name == "select") return hasAttr(node, "multiple") ? "select-multiple" : "select-one";
      if (name == "textarea") return "textarea";
      return attr(node, "type");
    case TextProperty::ClassName:
      return attr(node, "class");
    case TextProperty::InnerHTML: {
      std::unique_ptr<xmlBuffer, XmlBufferFree> buffer{xmlBufferCreate()};
      if (!buffer) raise(err::kOutOfMemory, std::string(kSource), "Out of memory");
      for (xmlNode* child = node->children; child; child = child->next) htmlNodeDump(buffer.get(), doc_.get(), child);
      return fromXml(xmlBufferContent(buffer.get()));
    }
    case TextProperty::OuterText:
      return content(node);
    case TextProperty::StyleDisplay:
      for (const auto& [key, value] : styleDeclarations(attr(node, "style")))
        if (key == "display") return value;
      return {};
    case TextProperty::TagName:
      return upper(name);
  }
  raiseNoMember(node, std::string(propertyName(property)));
}

void HtmlDocument::setText(const ElementRef& element, TextProperty property, std::string_view value) {
  xmlNode* node = resolve(element);
  const std::string_view name = tag(node);
  switch (property) {
    case TextProperty::Value: {
      if (name != "input" && name != "textarea" && name != "select" && name != "option" && name != "button")
        raiseNoMember(node, "value");
      std::function<void()> handler = handlerFor(node, kEventPropertyChange);
      const std::string before = handler ? text(element, property) : std::string();
      if (name == "textarea") {
        removeChildren(node);
        const std::string textValue(value);
        if (!textValue.empty()) xmlAddChild(node, xmlNewDocText(doc_.get(), xc(textValue)));
      } else if (name == "select") {
        bool found = false;
        for (xmlNode* option : optionNodes(node)) {
          const bool match = !found && optionValueIs(option, value);
          setBoolAttr(option, "selected", match);
          found = found || match;
        }
      } else {
        setAttr(node, "value", value);
      }
      if (handler && text(element, property) != before) handler();
      return;
    }
    case TextProperty::Type:
      setAttr(node, "type", value);
      return;
    case TextProperty::ClassName:
      if (value.empty())
        xmlUnsetProp(node, xc("class"));
      else
        setAttr(node, "class", value);
      return;
    case TextProperty::InnerHTML: {
      // Parsed as the body of a page of its own, then copied in: a fragment
      // that does not balance cannot break the page around it.
      const std::string wrapped = "<html><body>" + std::string(value) + "</body></html>";
      XmlDocPtr fragment(
          htmlReadMemory(wrapped.data(), static_cast<int>(wrapped.size()), nullptr, "UTF-8", kParseOptions));
      xmlNode* body = nullptr;
      if (fragment)
        forEachElement(documentRoot(fragment.get()), [&](xmlNode* candidate) {
          if (tag(candidate) != "body") return true;
          body = candidate;
          return false;
        });
      for (xmlNode* child = node->children; child; child = child->next) forget(child);
      removeChildren(node);
      if (body) {
        for (xmlNode* child = body->children; child; child = child->next) {
          xmlNode* copy = xmlDocCopyNode(child, doc_.get(), 1);
          if (!copy) raise(err::kOutOfMemory, std::string(kSource), "Out of memory");
          xmlAddChild(node, copy);
        }
      } else if (!value.empty()) {
        xmlAddChild(node, xmlNewDocText(doc_.get(), xc(std::string(value))));
      }
      if (name == "select") normaliseSelection(node);
      return;
    }
    case TextProperty::OuterText: {
      if (!node->parent || node->parent->type == XML_DOCUMENT_NODE || node->parent->type == XML_HTML_DOCUMENT_NODE)
        raise(err::kInvalidCall, std::string(kSource), "The page's root element cannot be replaced");
      xmlNode* replacement = xmlNewDocText(doc_.get(), xc(std::string(value)));
      if (!replacement) raise(err::kOutOfMemory, std::string(kSource), "Out of memory");
      forget(node);
      xmlReplaceNode(node, replacement);
      xmlFreeNode(node);
      return;
    }
    case TextProperty::StyleDisplay: {
      std::string style;
      bool placed = false;
      for (const auto& [key, current] : styleDeclarations(attr(node, "style"))) {
        std::string shown = current;
        if (key == "display") {
          if (placed || value.empty()) continue;
          shown = std::string(value);
          placed = true;
        }
        if (!style.empty()) style += "; ";
        style += key + ": " + shown;
      }
      if (!placed && !value.empty()) {
        if (!style.empty()) style += "; ";
        style += "display: " + std::string(value);
      }
      if (style.empty())
        xmlUnsetProp(node, xc("style"));
      else
        setAttr(node, "style", style);
      return;
    }
    case TextProperty::TagName:
      break;
  }
  raise(err::kInvalidCall, std::string(kSource),
        "The property " + std::string(propertyName(property)) + " of " + upper(name) + " cannot be set");
}

bool HtmlDocument::flag(const ElementRef& element, FlagProperty property) {
  xmlNode* node = resolve(element);
  const std::string_view name = tag(node);
  switch (property) {
    case FlagProperty::Checked:
      if (name != "input") raiseNoMember(node, "checked");
      return hasAttr(node, "checked");
    case FlagProperty::Disabled:
      return hasAttr(node, "disabled");
    case FlagProperty::ReadOnly:
      if (name != "input" && name != "textarea") raiseNoMember(node, "readOnly");
      return hasAttr(node, "readonly");
  }
  raiseNoMember(node, std::string(propertyName(property)));
}

void HtmlDocument::setFlag(const ElementRef& element, FlagProperty property, bool value) {
  xmlNode* node = resolve(element);
  const std::string_view name = tag(node);
  switch (property) {
    case FlagProperty::Checked:
      if (name != "input") raiseNoMember(node, "checked");
      setChecked(doc_.get(), node, value);
      return;
    case FlagProperty::Disabled:
      setBoolAttr(node, "disabled", value);
      return;
    case FlagProperty::ReadOnly:
      if (name != "input" && name != "textarea") raiseNoMember(node, "readOnly");
      setBoolAttr(node, "readonly", value);
      return;
  }
  raiseNoMember(node, std::string(propertyName(property)));
}

void HtmlDocument::click(const ElementRef& element) {
  xmlNode* node = resolve(element);
  // A browser ignores clicks on a disabled control, script clicks included.
  if (isFormControl(node) && hasAttr(node, "disabled")) return;
  bool changed = false;
  if (isCheckable(node)) {
    const bool checked = hasAttr(node, "checked");
    if (lower(inputType(node)) == "checkbox") {
      setChecked(doc_.get(), node, !checked);
      changed = true;
    } else if (!checked) {
      setChecked(doc_.get(), node, true);
      changed = true;
    }
  }
  // Handlers may navigate away (destroying this document) or change the
  // bindings: each is copied first, and nothing of this document is touched
  // once it is gone.
  const std::weak_ptr<bool> alive = alive_;
  if (std::function<void()> handler = handlerFor(node, kEventClick)) {
    handler();
    if (alive.expired() || !handles_.count(node)) return;
  }
  // As in a browser, a click that changed a box's state also reports a change.
  if (changed)
    if (std::function<void()> handler = handlerFor(node, kEventChange)) handler();
}

std::vector<SelectOption> HtmlDocument::options(const ElementRef& select) {
  xmlNode* node = resolve(select);
  if (tag(node) != "select") raiseNoMember(node, "options");
  const std::vector<xmlNode*> nodes = optionNodes(node);
  std::vector<SelectOption> result;
  result.reserve(nodes.size());
  for (xmlNode* option : nodes)
    result.push_back(SelectOption{optionValue(option), optionText(option), hasAttr(option, "selected")});
  return result;
}

bool HtmlDocument::hasOption(const ElementRef& select, std::string_view value) {
  xmlNode* node = resolve(select);
  if (tag(node) != "select") raiseNoMember(node, "options");
  bool found = false;
  forEachElement(node, [&](xmlNode* option) {
    found = tag(option) == "option" && optionValueIs(option, value);
    return !found;
  });
  return found;
}

void HtmlDocument::addOption(const ElementRef& select, std::string_view value, std::string_view text) {
  xmlNode* node = resolve(select);
  if (tag(node) != "select") raiseNoMember(node, "options.add");
  xmlNode* option = xmlNewDocNode(doc_.get(), nullptr, xc("option"), nullptr);
  if (!option) raise(err::kOutOfMemory, std::string(kSource), "Out of memory");
  xmlAddChild(node, option);
  // The option is new: its attribute is made directly, without the search
  // for an existing one (and the document type's defaults) that setting
  // an attribute does. Value and caption are short texts a long list of
  // tables holds by the thousand: shared ones, as the document makes them.
  xmlAttr* attribute = xmlNewProp(option, xc("value"), nullptr);
  if (!attribute) raise(err::kOutOfMemory, std::string(kSource), "Out of memory");
  xmlAddChild(reinterpret_cast<xmlNode*>(attribute), newXmlText(doc_.get(), value));
  if (!text.empty()) xmlAddChild(option, newXmlText(doc_.get(), text));
  // A new option, not selected, changes the selection only of a drop-down
  // list that has none yet (every change leaves the list normalised, so one
  // that has a selected option keeps it). Asking first keeps filling a long
  // list linear.
  if (!isListBox(node) && !hasSelectedOption(node)) normaliseSelection(node);
}

void HtmlDocument::removeOption(const ElementRef& select, int index) {
  xmlNode* node = resolve(select);
  if (tag(node) != "select") raiseNoMember(node, "options.remove");
  std::vector<xmlNode*> options = optionNodes(node);
  // Like the browser's options.remove: an index out of range removes nothing.
  if (index < 0 || static_cast<size_t>(index) >= options.size()) return;
  xmlNode* option = options[static_cast<size_t>(index)];
  forget(option);
  xmlUnlinkNode(option);
  xmlFreeNode(option);
  normaliseSelection(node);
}

void HtmlDocument::bind(const ElementRef& element, std::string_view event, std::function<void()> handler) {
  resolve(element);
  auto key = std::make_pair(element.handle, std::string(event));
  if (handler)
    handlers_[std::move(key)] = std::move(handler);
  else
    handlers_.erase(key);
}

void HtmlDocument::unbind(const ElementRef& element, std::string_view event) {
  if (!element) return;
  handlers_.erase(std::make_pair(element.handle, std::string(event)));
}

std::string HtmlDocument::html() const {
  xmlChar* memory = nullptr;
  int size = 0;
  htmlDocDumpMemory(doc_.get(), &memory, &size);
  XmlString owner{memory};
  return memory ? std::string(reinterpret_cast<const char*>(memory), static_cast<size_t>(size)) : std::string();
}

std::string_view propertyName(TextProperty property) {
  switch (property) {
    case TextProperty::Value:
      return "value";
    case TextProperty::Type:
      return "type";
    case TextProperty::ClassName:
      return "className";
    case TextProperty::InnerHTML:
      return "innerHTML";
    case TextProperty::OuterText:
      return "outerText";
    case TextProperty::StyleDisplay:
      return "style.display";
    case TextProperty::TagName:
      return "tagName";
  }
  return "property";
}

std::string_view propertyName(FlagProperty property) {
  switch (property) {
    case FlagProperty::Checked:
      return "checked";
    case FlagProperty::Disabled:
      return "disabled";
    case FlagProperty::ReadOnly:
      return "readOnly";
  }
  return "property";
}

}  // namespace tvk
