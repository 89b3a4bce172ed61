// The wizard page as an in-process document over libxml2's HTML parser: the
// document the tests and `tvkwizard new` answer the pages with. No page
// script runs here; clicks change check boxes and radio groups the way a
// browser does and then run the handlers the window bound.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/xml.h"
#include "wizard/page_document.h"

struct _xmlNode;

namespace tvk {

class HtmlDocument final : public PageDocument {
 public:
  static constexpr std::string_view kSource = "HtmlDocument";

  // Reads and parses a page file; an unreadable file fails with WizError
  // (53 for a missing file) naming the path.
  static std::unique_ptr<HtmlDocument> load(const std::string& path);
  static std::unique_ptr<HtmlDocument> fromText(std::string_view html);

  ~HtmlDocument() override;
  HtmlDocument(const HtmlDocument&) = delete;
  HtmlDocument& operator=(const HtmlDocument&) = delete;

  std::string title() override;
  ElementRef elementById(std::string_view id) override;
  std::vector<ElementRef> elementsByName(std::string_view name) override;

  std::string text(const ElementRef& element, TextProperty property) override;
  void setText(const ElementRef& element, TextProperty property, std::string_view value) override;
  bool flag(const ElementRef& element, FlagProperty property) override;
  void setFlag(const ElementRef& element, FlagProperty property, bool value) override;

  void click(const ElementRef& element) override;

  std::vector<SelectOption> options(const ElementRef& select) override;
  bool hasOption(const ElementRef& select, std::string_view value) override;
  void addOption(const ElementRef& select, std::string_view value, std::string_view text) override;
  void removeOption(const ElementRef& select, int index) override;

  void bind(const ElementRef& element, std::string_view event, std::function<void()> handler) override;
  void unbind(const ElementRef& element, std::string_view event) override;

  // The page as HTML, for diagnostics and tests.
  std::string html() const;

  // Every element with an id or a name, in document order (what a browser
  // snapshot of the page lists).
  struct NamedElement {
    ElementRef ref;
    std::string id;
    std::string name;
  };
  std::vector<NamedElement> namedElements();

 private:
  explicit HtmlDocument(XmlDocPtr doc);

  _xmlNode* resolve(const ElementRef& element) const;
  ElementRef refFor(_xmlNode* node);
  // Forgets the handles and bindings of a node and everything under it,
  // before the node is freed (a later node may reuse its address).
  void forget(_xmlNode* node);
  // A copy of the bound handler (empty when none): the handler may rebind
  // or unbind while it runs.
  std::function<void()> handlerFor(_xmlNode* node, std::string_view event) const;

  XmlDocPtr doc_;
  // Handles start with a prefix of their own document, so a handle kept from
  // an earlier page never names an element of the next one.
  std::string handlePrefix_;
  std::uint64_t nextHandle_ = 1;
  std::map<_xmlNode*, std::string> handles_;
  std::map<std::string, _xmlNode*, std::less<>> nodes_;
  std::map<std::pair<std::string, std::string>, std::function<void()>, std::less<>> handlers_;
  // Cleared on destruction: a handler that navigates away destroys the
  // document whose click is still on the stack.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tvk
