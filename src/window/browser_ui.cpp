#include "window/browser_ui.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "window/bridge.h"
#include "window/protocol.h"

namespace tvk {

using nlohmann::json;

namespace {

json filterList(const std::vector<FileFilter>& filters) {
  json list = json::array();
  for (const FileFilter& filter : filters)
    list.push_back(json{{"description", filter.description}, {"pattern", filter.pattern}});
  return list;
}

json dialog(std::string_view kind, std::string_view title) {
  return json{{"op", "dialog"}, {"kind", std::string(kind)}, {"title", std::string(title)}};
}

// The dialog's answer, or nothing when nobody can give one any more (the
// window has gone for good) or the page answered something else. Never
// throws: a message box is how the wizard reports its errors, so it must
// not become one.
std::optional<json> ask(Bridge& bridge, json request) {
  try {
    return bridge.call(std::move(request));
  } catch (...) {
    return std::nullopt;
  }
}

std::string pathAnswer(Bridge& bridge, json request) {
  std::optional<json> answer = ask(bridge, std::move(request));
  return answer && answer->is_string() ? answer->get<std::string>() : std::string();
}

}  // namespace

std::string cutUtf8(std::string_view text, size_t maxCharacters) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    // A character starts at every byte that is not a continuation byte.
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == maxCharacters)
      return std::string(text.substr(0, i));
  }
  return std::string(text);
}

BrowserUi::BrowserUi(Bridge& bridge) : bridge_(bridge) {}

MsgResult BrowserUi::messageBox(std::string_view text, MsgButtons buttons, MsgIcon icon, std::string_view title) {
  json request = dialog("message", title);
  request["text"] = std::string(text);
  request["buttons"] = std::string(msgButtonsName(buttons));
  request["icon"] = std::string(msgIconName(icon));
  std::optional<json> answer = ask(bridge_, std::move(request));
  if (answer && answer->is_string())
    if (std::optional<MsgResult> result = msgResultFromName(answer->get<std::string>());
        result && offersAnswer(buttons, *result))
      return *result;
  return dismissedAnswer(buttons);
}

std::string BrowserUi::openFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                                      std::string_view initialDirectory) {
  json request = dialog("openFile", title);
  request["filters"] = filterList(filters);
  request["directory"] = std::string(initialDirectory);
  return pathAnswer(bridge_, std::move(request));
}

std::string BrowserUi::saveFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                                      std::string_view initialDirectory, std::string_view defaultName) {
  json request = dialog("saveFile", title);
  request["filters"] = filterList(filters);
  request["directory"] = std::string(initialDirectory);
  request["name"] = std::string(defaultName);
  return pathAnswer(bridge_, std::move(request));
}

std::string BrowserUi::browseFolder(std::string_view title, std::string_view startDirectory) {
  json request = dialog("folder", title);
  request["directory"] = std::string(startDirectory);
  return pathAnswer(bridge_, std::move(request));
}

bool BrowserUi::editList(std::string_view title, std::vector<ListEditorRow>& rows) {
  json request = dialog("listEditor", title);
  json list = json::array();
  for (const ListEditorRow& row : rows) list.push_back(json{{"link", row.linkField}, {"display", row.displayField}});
  request["rows"] = std::move(list);
  // Texts the list held already pass through whole: a list written elsewhere
  // may hold longer ones, and cutting them here would lose them unseen.
  std::set<std::string, std::less<>> links;
  std::set<std::string, std::less<>> displays;
  for (const ListEditorRow& row : rows) {
    links.insert(row.linkField);
    displays.insert(row.displayField);
  }
  auto kept = [](const std::set<std::string, std::less<>>& known, const std::string& text, size_t limit) {
    return known.count(text) ? text : cutUtf8(text, limit);
  };
  std::optional<json> answer = ask(bridge_, std::move(request));
  if (!answer || !answer->is_array()) return false;
  std::vector<ListEditorRow> edited;
  for (const json& row : *answer) {
    // A malformed answer changes nothing rather than half of the list.
    if (!row.is_object()) return false;
    auto link = row.find("link");
    auto display = row.find("display");
    if (link == row.end() || display == row.end() || !link->is_string() || !display->is_string()) return false;
    // The grid keeps typed texts to these lengths; so does this side, for a
    // page that does not.
    edited.push_back(ListEditorRow{kept(links, link->get<std::string>(), kMaxLinkLength),
                                   kept(displays, display->get<std::string>(), kMaxDisplayLength)});
  }
  rows = std::move(edited);
  return true;
}

}  // namespace tvk
