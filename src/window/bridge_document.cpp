#include "window/bridge_document.h"

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

std::string BridgeDocument::title() { return asText(bridge_.call(dom("title", json::array()))); }

ElementRef BridgeDocument::elementById(std::string_view id) {
  json result = bridge_.call(dom("byId", json::array({std::string(id)})));
  if (!result.is_string() || result.get<std::string>().empty()) return {};
  return adopt(result.get<std::string>());
}

std::vector<ElementRef> BridgeDocument::elementsByName(std::string_view name) {
  json result = bridge_.call(dom("byName", json::array({std::string(name)})));
  std::vector<ElementRef> elements;
  if (!result.is_array()) return elements;
  for (const json& handle : result)
    if (handle.is_string() && !handle.get<std::string>().empty()) elements.push_back(adopt(handle.get<std::string>()));
  return elements;
}

std::string BridgeDocument::text(const ElementRef& element, TextProperty property) {
  return asText(bridge_.call(dom("getText", json::array({checked(element), propertyName(property)}))));
}

void BridgeDocument::setText(const ElementRef& element, TextProperty property, std::string_view value) {
  bridge_.post(dom("setText", json::array({checked(element), propertyName(property), std::string(value)})));
}

bool BridgeDocument::flag(const ElementRef& element, FlagProperty property) {
  json result = bridge_.call(dom("getFlag", json::array({checked(element), propertyName(property)})));
  return result.is_boolean() && result.get<bool>();
}

void BridgeDocument::setFlag(const ElementRef& element, FlagProperty property, bool value) {
  bridge_.post(dom("setFlag", json::array({checked(element), propertyName(property), value})));
}

void BridgeDocument::click(const ElementRef& element) {
  // The bound handlers' events come before the reply, so they have run when
  // this returns.
  bridge_.call(dom("click", json::array({checked(element)})));
}

std::vector<SelectOption> BridgeDocument::options(const ElementRef& select) {
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
  return options;
}

void BridgeDocument::addOption(const ElementRef& select, std::string_view value, std::string_view text) {
  bridge_.post(dom("addOption", json::array({checked(select), std::string(value), std::string(text)})));
}

void BridgeDocument::removeOption(const ElementRef& select, int index) {
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
