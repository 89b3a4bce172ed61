#include "window/bridge_document.h"

#include <algorithm>
#include <initializer_list>
#include <nlohmann/json.hpp>

#include "base/error.h"
#include "window/bridge.h"

namespace tvk {

using nlohmann::json;

namespace {

std::string_view pageOf(std::string_view handle) {
  const size_t colon = handle.find(':');
  return colon == std::string_view::npos ? std::string_view() : handle.substr(0, colon);
}

json dom(std::string_view call, json args) {
  return json{{"op", "dom"}, {"call", std::string(call)}, {"args", std::move(args)}};
}

std::string asText(const json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_null()) return {};
  return value.dump();
}

}  // namespace

BridgeDocument::BridgeDocument(Bridge& bridge) : bridge_(bridge) {}

void BridgeDocument::reset() {
  touched();
  snapshot_.reset();
  ++shown_;
  page_.clear();
  handlers_.clear();
}

std::string BridgeDocument::checked(const ElementRef& element) const {
  if (!element) raise(err::kObjectNotSet, std::string(kSource), "Object required: the element does not exist");
  const std::string_view text = element.handle;
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos || text.substr(0, slash) != std::to_string(shown_))
    raise(err::kInvalidCall, std::string(kSource), "The element belongs to a page that is no longer shown");
  return std::string(text.substr(slash + 1));
}

ElementRef BridgeDocument::adopt(const std::string& handle) {
  if (page_.empty()) page_ = std::string(pageOf(handle));
  return ElementRef{std::to_string(shown_) + "/" + handle};
}

const BridgeDocument::Snapshot* BridgeDocument::snapshot() {
  if (snapshot_ && snapshot_->writes == writes_ && snapshot_->events == bridge_.eventsDispatched()) return &*snapshot_;
  snapshot_.reset();
  const std::uint64_t writes = writes_;
  const std::uint64_t events = bridge_.eventsDispatched();
  json result = bridge_.call(dom("snapshot", json::array()));
  // A handler that ran while the snapshot was on its way may have changed
  // the page after the browser took it.
  if (writes != writes_ || events != bridge_.eventsDispatched()) return nullptr;
  return take(result, writes, events);
}

void BridgeDocument::adoptSnapshot(const json& snapshot) { take(snapshot, writes_, bridge_.eventsDispatched()); }

const BridgeDocument::Snapshot* BridgeDocument::take(const json& result, std::uint64_t writes, std::uint64_t events) {
  if (!result.is_object()) return nullptr;
  Snapshot taken;
  taken.writes = writes;
  taken.events = events;
  taken.title = asText(result.value("title", json()));
  auto list = result.find("elements");
  if (list == result.end() || !list->is_array()) return nullptr;
  for (const json& entry : *list) {
    if (!entry.is_array() || entry.size() != 11 || !entry[0].is_string()) return nullptr;
    const std::string handle = entry[0].get<std::string>();
    const std::string id = asText(entry[1]);
    const std::string name = asText(entry[2]);
    if (!id.empty()) taken.byId.try_emplace(id, handle);
    if (!name.empty()) taken.byName[name].push_back(handle);
    const auto text = [&](size_t i) { return entry[i].is_null() ? std::nullopt : std::optional(asText(entry[i])); };
    const auto flag = [&](size_t i) {
      return entry[i].is_boolean() ? std::optional(entry[i].get<bool>()) : std::nullopt;
    };
    Snapshot::Element element{text(5), text(4), text(6), text(7), text(3), flag(8), flag(9), flag(10), std::nullopt};
    taken.elements.emplace(handle, std::move(element));
  }
  snapshot_ = std::move(taken);
  return &*snapshot_;
}

const BridgeDocument::Snapshot::Element* BridgeDocument::cached(const ElementRef& element) {
  const std::string handle = checked(element);
  const Snapshot* page = snapshot();
  if (!page) return nullptr;
  auto found = page->elements.find(handle);
  return found == page->elements.end() ? nullptr : &found->second;
}

std::string BridgeDocument::title() {
  if (const Snapshot* page = snapshot()) return page->title;
  return asText(bridge_.call(dom("title", json::array())));
}

ElementRef BridgeDocument::elementById(std::string_view id) {
  if (const Snapshot* page = snapshot()) {
    auto found = page->byId.find(std::string(id));
    return found == page->byId.end() ? ElementRef{} : adopt(found->second);
  }
  json result = bridge_.call(dom("byId", json::array({std::string(id)})));
  if (!result.is_string() || result.get<std::string>().empty()) return {};
  return adopt(result.get<std::string>());
}

std::vector<ElementRef> BridgeDocument::elementsByName(std::string_view name) {
  if (const Snapshot* page = snapshot()) {
    std::vector<ElementRef> elements;
    if (auto found = page->byName.find(std::string(name)); found != page->byName.end())
      for (const std::string& handle : found->second) elements.push_back(adopt(handle));
    return elements;
  }
  json result = bridge_.call(dom("byName", json::array({std::string(name)})));
  std::vector<ElementRef> elements;
  if (!result.is_array()) return elements;
  for (const json& handle : result)
    if (handle.is_string() && !handle.get<std::string>().empty()) elements.push_back(adopt(handle.get<std::string>()));
  return elements;
}

std::string BridgeDocument::text(const ElementRef& element, TextProperty property) {
  // Long or costly texts (innerHTML, outerText) are not in the snapshot.
  if (property != TextProperty::InnerHTML && property != TextProperty::OuterText) {
    if (const Snapshot::Element* entry = cached(element)) {
      const std::optional<std::string>* known = nullptr;
      switch (property) {
        case TextProperty::Value:
          known = &entry->value;
          break;
        case TextProperty::Type:
          known = &entry->type;
          break;
        case TextProperty::ClassName:
          known = &entry->className;
          break;
        case TextProperty::StyleDisplay:
          known = &entry->display;
          break;
        case TextProperty::TagName:
          known = &entry->tagName;
          break;
        case TextProperty::InnerHTML:
        case TextProperty::OuterText:
          break;
      }
      if (known && *known) return **known;
    }
  }
  return asText(bridge_.call(dom("getText", json::array({checked(element), propertyName(property)}))));
}

BridgeDocument::Snapshot::Element* BridgeDocument::amendable(const ElementRef& element,
                                                             std::initializer_list<std::string_view> tags) {
  const std::string handle = checked(element);
  if (!snapshot_ || snapshot_->writes != writes_ || snapshot_->events != bridge_.eventsDispatched()) return nullptr;
  auto found = snapshot_->elements.find(handle);
  if (found == snapshot_->elements.end() || !found->second.tagName) return nullptr;
  // A write the browser will refuse: the next read goes to the page, so
  // that it raises the failure as it always has.
  if (tags.size() != 0 && std::find(tags.begin(), tags.end(), *found->second.tagName) == tags.end()) return nullptr;
  return &found->second;
}

void BridgeDocument::setText(const ElementRef& element, TextProperty property, std::string_view value) {
  // A value, class or style written changes that element alone; what the
  // browser made of it is asked for when next read (a select without the
  // value, a style it does not know). New markup changes the page.
  Snapshot::Element* entry = nullptr;
  if (property == TextProperty::Value)
    // (An option's value is part of its list: that changes the page.)
    entry = amendable(element, {"INPUT", "TEXTAREA", "SELECT", "BUTTON"});
  else if (property == TextProperty::Type)
    entry = amendable(element, {"INPUT"});
  else if (property == TextProperty::ClassName || property == TextProperty::StyleDisplay)
    entry = amendable(element, {});
  if (entry) {
    switch (property) {
      case TextProperty::Value:
        entry->value.reset();
        entry->options.reset();  // which one is selected
        break;
      case TextProperty::Type:
        entry->type.reset();
        entry->value.reset();
        break;
      case TextProperty::ClassName:
        entry->className.reset();
        break;
      case TextProperty::StyleDisplay:
        entry->display.reset();
        break;
      case TextProperty::InnerHTML:
      case TextProperty::OuterText:
      case TextProperty::TagName:
        touched();
        break;
    }
  } else {
    touched();
  }
  bridge_.post(dom("setText", json::array({checked(element), propertyName(property), std::string(value)})));
}

bool BridgeDocument::flag(const ElementRef& element, FlagProperty property) {
  if (const Snapshot::Element* entry = cached(element)) {
    const std::optional<bool>& known = property == FlagProperty::Checked    ? entry->checked
                                       : property == FlagProperty::Disabled ? entry->disabled
                                                                            : entry->readOnly;
    if (known) return *known;
  }
  json result = bridge_.call(dom("getFlag", json::array({checked(element), propertyName(property)})));
  return result.is_boolean() && result.get<bool>();
}

void BridgeDocument::setFlag(const ElementRef& element, FlagProperty property, bool value) {
  // Checking a radio button unchecks the others of its group.
  Snapshot::Element* entry = property == FlagProperty::Checked ? nullptr : amendable(element, {});
  if (!entry)
    touched();
  else if (property == FlagProperty::Disabled)
    entry->disabled.reset();
  else
    entry->readOnly.reset();
  bridge_.post(dom("setFlag", json::array({checked(element), propertyName(property), value})));
}

void BridgeDocument::click(const ElementRef& element) {
  touched();
  const std::uint64_t writes = writes_;
  const std::uint64_t events = bridge_.eventsDispatched();
  // The bound handlers' events come before the reply, so they have run when
  // this returns; the page they leave is read afresh.
  json result = bridge_.call(dom("click", json::array({checked(element)})));
  if (writes == writes_ && events == bridge_.eventsDispatched()) take(result, writes, events);
}

std::vector<SelectOption> BridgeDocument::options(const ElementRef& select) {
  if (Snapshot::Element* known = amendable(select, {"SELECT"}); known && known->options) return *known->options;
  const std::uint64_t writes = writes_;
  const std::uint64_t events = bridge_.eventsDispatched();
  json result = bridge_.call(dom("options", json::array({checked(select)})));
  std::vector<SelectOption> options;
  if (!result.is_array()) return options;
  for (const json& option : result) {
    if (!option.is_object()) continue;
    SelectOption entry;
    entry.value = asText(option.value("value", json()));
    entry.text = asText(option.value("text", json()));
    auto selected = option.find("selected");
    entry.selected = selected != option.end() && selected->is_boolean() && selected->get<bool>();
    options.push_back(std::move(entry));
  }
  // Kept while nothing has touched the page meanwhile.
  if (writes == writes_ && events == bridge_.eventsDispatched())
    if (Snapshot::Element* kept = amendable(select, {"SELECT"})) kept->options = options;
  return options;
}

bool BridgeDocument::hasOption(const ElementRef& select, std::string_view value) {
  if (Snapshot::Element* entry = amendable(select, {"SELECT"}); entry && entry->options) {
    for (const SelectOption& option : *entry->options)
      if (option.value == value) return true;
    return false;
  }
  json result = bridge_.call(dom("hasOption", json::array({checked(select), std::string(value)})));
  return result.is_boolean() && result.get<bool>();
}

void BridgeDocument::addOption(const ElementRef& select, std::string_view value, std::string_view text) {
  // The list's choice may move; nothing else changes.
  if (Snapshot::Element* entry = amendable(select, {"SELECT"})) {
    entry->value.reset();
    entry->options.reset();
  } else
    touched();
  bridge_.post(dom("addOption", json::array({checked(select), std::string(value), std::string(text)})));
}

void BridgeDocument::removeOption(const ElementRef& select, int index) {
  // The list's choice may move; nothing else changes.
  if (Snapshot::Element* entry = amendable(select, {"SELECT"})) {
    entry->value.reset();
    entry->options.reset();
  } else
    touched();
  bridge_.post(dom("removeOption", json::array({checked(select), index})));
}

void BridgeDocument::bind(const ElementRef& element, std::string_view event, std::function<void()> handler) {
  const std::string handle = checked(element);
  handlers_[{handle, std::string(event)}] = std::move(handler);
  bridge_.post(dom("bind", json::array({handle, std::string(event)})));
}

void BridgeDocument::unbind(const ElementRef& element, std::string_view event) {
  const std::string handle = checked(element);
  auto found = handlers_.find(std::pair{handle, std::string(event)});
  if (found == handlers_.end()) return;
  handlers_.erase(found);
  bridge_.post(dom("unbind", json::array({handle, std::string(event)})));
}

void BridgeDocument::dispatchEvent(std::string_view handle, std::string_view event) {
  if (page_.empty() || pageOf(handle) != page_) return;
  auto found = handlers_.find(std::pair{std::string(handle), std::string(event)});
  if (found == handlers_.end()) return;
  // A copy: the handler may rebind, unbind or navigate away while it runs.
  std::function<void()> handler = found->second;
  if (handler) handler();
}

}  // namespace tvk
