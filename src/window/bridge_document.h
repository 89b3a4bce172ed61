// The page shown in the browser window, as the wizard's logic reads and
// writes it: each operation is one `dom` message to the page. Calls that
// answer nothing are posted without waiting (a failure comes back with the
// next reply). The handlers bound to the page's elements live here and run
// when the browser reports their events.
//
// Reads are answered from a snapshot of the page's named elements (one
// round trip for all of them: storing or filling a page reads dozens),
// taken at the first read and kept until anything may have changed the page:
// a write, a click, a browser event, another page. A navigation and a click
// bring the page's snapshot as they leave it with their reply, which serves
// until the next change. Texts that cost the
// browser a layout (outerText) or may be large (innerHTML) and option lists
// are always asked for.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "wizard/page_document.h"

namespace tvk {

class Bridge;

class BridgeDocument final : public PageDocument {
 public:
  static constexpr std::string_view kSource = "BridgeDocument";

  explicit BridgeDocument(Bridge& bridge);

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

  // A new page is shown: the bindings of the old one are dropped.
  void reset();
  // The page's snapshot as the browser took it just now (after the page was
  // shown), for the reads that follow; anything else is ignored.
  void adoptSnapshot(const nlohmann::json& snapshot);
  // Runs the handler bound to an element's event (`handle` as the browser
  // names the element); events of elements of an earlier page, or without a
  // handler, do nothing.
  void dispatchEvent(std::string_view handle, std::string_view event);

 private:
  // The browser's handle of an element; fails at once for an empty one or
  // one of a page shown before (the page counter in the browser's handle
  // starts again in a window that reconnects, so it cannot tell on its own).
  std::string checked(const ElementRef& element) const;
  // The element as the logic holds it: the browser's handle, marked with
  // the showing it belongs to.
  ElementRef adopt(const std::string& handle);

  // What the snapshot holds of one element; what the page could not tell
  // (a value of an element that is no form control) is asked for, so that
  // the read fails as it would have.
  struct Snapshot {
    struct Element {
      std::optional<std::string> value, type, className, display, tagName;
      std::optional<bool> checked, disabled, readOnly;
      // A list's options once asked for (not part of the snapshot itself:
      // a list may hold a thousand).
      std::optional<std::vector<SelectOption>> options;
    };
    std::uint64_t writes = 0;
    std::uint64_t events = 0;
    std::string title;
    std::unordered_map<std::string, std::string> byId;  // the first element of each id
    std::unordered_map<std::string, std::vector<std::string>> byName;
    std::unordered_map<std::string, Element> elements;  // by the browser's handle
  };
  // The snapshot of the page as it is now, taken when there is none or it
  // may be out of date; null when the page changed while it was taken.
  const Snapshot* snapshot();
  // Keeps the browser's snapshot as current for the page as it was after
  // `writes` and `events`; null (and none kept) when it is no snapshot.
  const Snapshot* take(const nlohmann::json& result, std::uint64_t writes, std::uint64_t events);
  // The element's entry in a current snapshot, or null.
  const Snapshot::Element* cached(const ElementRef& element);
  // The element's entry in a current snapshot for a write to amend: null
  // when there is none or the element's tag is not among `tags` (empty:
  // any), which makes the write change the whole snapshot.
  Snapshot::Element* amendable(const ElementRef& element, std::initializer_list<std::string_view> tags);
  // Something may have changed the page.
  void touched() { ++writes_; }

  Bridge& bridge_;
  // Counts the pages shown.
  std::uint64_t shown_ = 0;
  // The browser's page counter ("<page>:<n>") of the page shown, learnt
  // from the first handle it hands out; empty until then.
  std::string page_;
  std::map<std::pair<std::string, std::string>, std::function<void()>, std::less<>> handlers_;
  std::uint64_t writes_ = 0;
  std::optional<Snapshot> snapshot_;
};

}  // namespace tvk
