#include "database/global_asa.h"

#include <memory>

#include "base/fs.h"
#include "base/general.h"

namespace tvk {

std::optional<XmlNodeList> gfoGlobalASADataSources(const std::string& path) {
  try {
    std::string text = files::readFile(path);
    std::shared_ptr<_xmlDoc> scratch(newXmlDocument().release(), XmlDocDeleter{});
    XmlNode root = setRootElement(scratch.get(), "ROOT");
    XmlNodeList names;

    constexpr std::string_view kStart = "Sub Application_OnStart";
    constexpr std::string_view kEnd = "End Sub";
    constexpr std::string_view kSuffix = "_ConnectionString\")";
    constexpr std::string_view kPrefix = "Application(\"";

    size_t start = text.find(kStart);
    if (start == std::string::npos) return names;
    size_t end = text.find(kEnd, start);
    if (end == std::string::npos) return std::nullopt;
    std::string_view procedure = std::string_view(text).substr(start, end + kEnd.size() - start);

    size_t at = procedure.find(kSuffix);
    while (at != std::string_view::npos) {
      size_t open = procedure.rfind(kPrefix, at);
      if (open != std::string_view::npos) {
        size_t nameStart = open + kPrefix.size();
        XmlNode element = root.appendElement("DatabaseConnection", procedure.substr(nameStart, at - nameStart));
        names.push_back(XmlNode(element.get(), scratch));
      }
      at = procedure.find(kSuffix, at + kSuffix.size());
    }
    return names;
  } catch (...) {
    return std::nullopt;
  }
}

std::string gfsGlobalASAValue(const std::string& path, std::string_view key) {
  try {
    std::string text = files::readFile(path);
    std::string search = gfsUpper("Application(\"" + std::string(key) + "\")");
    size_t lineStart = 0;
    while (lineStart <= text.size()) {
      size_t lineEnd = text.find('\n', lineStart);
      if (lineEnd == std::string::npos) lineEnd = text.size();
      std::string line = text.substr(lineStart, lineEnd - lineStart);
      lineStart = lineEnd + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (size_t comment = line.find('\''); comment != std::string::npos) line.erase(comment);
      size_t found = gfsUpper(line).find(search);
      if (found == std::string::npos) continue;
      size_t open = line.find('"', found + search.size());
      size_t close = line.rfind('"');
      if (open == std::string::npos || close == std::string::npos || close <= open) return {};
      return line.substr(open + 1, close - open - 1);
    }
    return {};
  } catch (...) {
    return {};
  }
}

}  // namespace tvk
