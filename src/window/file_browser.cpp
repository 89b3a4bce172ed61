#include "window/file_browser.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tvk {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

char lowerAscii(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? std::string(home) : std::string("/");
}

std::string expandHome(std::string_view path) {
  if (path.empty() || path == "~") return homeFolder();
  if (path.substr(0, 2) == "~/") return homeFolder() + std::string(path.substr(1));
  return std::string(path);
}

bool lessNoCase(const std::string& a, const std::string& b) {
  const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                 [](char x, char y) { return lowerAscii(x) < lowerAscii(y); });
  const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                    [](char x, char y) { return lowerAscii(x) < lowerAscii(y); });
  // Names that differ only in case keep one order from run to run.
  return less || (!greater && a < b);
}

json failure(const std::string& path, const std::error_code& ec) {
  return json{{"path", path},
              {"parent", ""},
              {"entries", json::array()},
              {"error", "Cannot open " + path + ": " + ec.message()}};
}

}  // namespace

bool matchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  // Iterative wildcard match: remembers the last '*' to fall back to.
  size_t n = 0, p = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

json listDirectory(std::string_view requested, const std::vector<std::string>& patterns, bool foldersOnly) {
  const std::string given = expandHome(requested);
  std::error_code ec;
  const fs::path canonical = fs::canonical(given, ec);
  if (ec) return failure(given, ec);
  const std::string path = canonical.string();
  if (!fs::is_directory(canonical, ec))
    return failure(path, ec ? ec : std::make_error_code(std::errc::not_a_directory));

  std::vector<std::string> folders;
  std::vector<std::string> files;
  fs::directory_iterator it(canonical, fs::directory_options::none, ec);
  if (ec) return failure(path, ec);
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return failure(path, ec);
    std::string name = it->path().filename().string();
    if (name.empty() || name.front() == '.') continue;
    std::error_code statError;
    // Links count as what they point to; a broken link is a file.
    if (it->is_directory(statError)) {
      folders.push_back(std::move(name));
    } else if (!foldersOnly) {
      const bool wanted = patterns.empty() || std::any_of(patterns.begin(), patterns.end(), [&](const std::string& p) {
                            return matchesPattern(name, p);
                          });
      if (wanted) files.push_back(std::move(name));
    }
  }
  if (ec) return failure(path, ec);
  std::sort(folders.begin(), folders.end(), lessNoCase);
  std::sort(files.begin(), files.end(), lessNoCase);

  json entries = json::array();
  for (const std::string& name : folders) entries.push_back(json{{"name", name}, {"folder", true}});
  for (const std::string& name : files) entries.push_back(json{{"name", name}, {"folder", false}});
  const std::string parent = canonical == canonical.root_path() ? std::string() : canonical.parent_path().string();
  return json{{"path", path}, {"parent", parent}, {"entries", std::move(entries)}};
}

}  // namespace tvk
