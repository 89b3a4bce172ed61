#include "window/request_guard.h"

#include <array>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace tvk {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

std::string_view trimSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Calls `visit(name, value)` for each `name=value` item of a list separated
// by `separator`, until it returns true.
template <class Visit>
bool anyItem(std::string_view list, char separator, Visit visit) {
  while (!list.empty()) {
    const auto end = list.find(separator);
    const std::string_view item = trimSpaces(list.substr(0, end));
    const auto equals = item.find('=');
    if (equals != std::string_view::npos && visit(item.substr(0, equals), item.substr(equals + 1))) return true;
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return false;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes %XX escapes once. Nothing when an escape is broken or the path
// would hold a separator or NUL that the raw target did not show.
std::optional<std::string> decodePath(std::string_view path) {
  std::string decoded;
  decoded.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    char c = path[i];
    if (c == '%') {
      if (i + 2 >= path.size()) return std::nullopt;
      const int high = hexValue(path[i + 1]);
      const int low = hexValue(path[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      c = static_cast<char>(high * 16 + low);
      if (c == '/') return std::nullopt;
      i += 2;
    }
    if (c == '\\' || c == '\0') return std::nullopt;
    decoded.push_back(c);
  }
  return decoded;
}

std::vector<std::string_view> splitSegments(std::string_view path) {
  std::vector<std::string_view> segments;
  for (;;) {
    const auto slash = path.find('/');
    segments.push_back(path.substr(0, slash));
    if (slash == std::string_view::npos) return segments;
    path.remove_prefix(slash + 1);
  }
}

bool isInside(const std::filesystem::path& file, const std::filesystem::path& folder) {
  const std::string& f = file.native();
  const std::string& d = folder.native();
  return f.size() > d.size() + 1 && f.compare(0, d.size(), d) == 0 && f[d.size()] == '/';
}

}  // namespace

bool tokensEqual(std::string_view given, std::string_view expected) {
  if (given.size() != expected.size()) return false;
  unsigned char difference = 0;
  for (std::size_t i = 0; i < given.size(); ++i) difference |= static_cast<unsigned char>(given[i] ^ expected[i]);
  return difference == 0;
}

TokenSource findToken(std::string_view target, std::string_view cookieHeader, std::string_view token) {
  if (token.empty()) return TokenSource::None;
  const auto question = target.find('?');
  if (question != std::string_view::npos) {
    const bool inQuery = anyItem(target.substr(question + 1), '&', [&](std::string_view name, std::string_view value) {
      return name == "token" && tokensEqual(value, token);
    });
    if (inQuery) return TokenSource::Query;
  }
  const bool inCookie = anyItem(cookieHeader, ';', [&](std::string_view name, std::string_view value) {
    return name == "tvk_token" && tokensEqual(value, token);
  });
  return inCookie ? TokenSource::Cookie : TokenSource::None;
}

bool hostAllowed(std::string_view host, unsigned short port) {
  const auto colon = host.rfind(':');
  if (colon == std::string_view::npos || host.substr(colon + 1) != std::to_string(port)) return false;
  const std::string_view name = host.substr(0, colon);
  return name == "127.0.0.1" || equalsIgnoringCase(name, "localhost");
}

bool originAllowed(std::string_view origin, unsigned short port) {
  constexpr std::string_view scheme = "http://";
  if (origin.size() <= scheme.size() || !equalsIgnoringCase(origin.substr(0, scheme.size()), scheme)) return false;
  return hostAllowed(origin.substr(scheme.size()), port);
}

std::string_view targetPath(std::string_view target) { return target.substr(0, target.find('?')); }

ResolvedPath resolvePath(std::string_view target, const std::string& dataDirectory) {
  const std::string_view rawPath = targetPath(target);
  if (rawPath.empty() || rawPath.front() != '/') return {PathStatus::NotFound, {}};

  std::string decoded;
  if (rawPath == "/") {
    decoded = "/" + std::string(kWindowFolder) + "/window.html";
  } else {
    auto result = decodePath(rawPath);
    if (!result) return {PathStatus::Forbidden, {}};
    decoded = std::move(*result);
  }

  const auto segments = splitSegments(std::string_view(decoded).substr(1));
  for (const auto segment : segments)
    if (segment == "." || segment == "..") return {PathStatus::Forbidden, {}};
  if (segments.size() < 2 || (segments[0] != kWindowFolder && segments[0] != kPagesFolder))
    return {PathStatus::NotFound, {}};
  for (const auto segment : segments)
    if (segment.empty()) return {PathStatus::NotFound, {}};

  // The folder itself may be a link (the build tree links the data folders
  // beside the program); what counts is that the file stays inside it.
  std::error_code ec;
  const auto folder = std::filesystem::canonical(std::filesystem::path(dataDirectory) / segments[0], ec);
  if (ec) return {PathStatus::NotFound, {}};
  const auto file = std::filesystem::canonical(folder / std::string_view(decoded).substr(segments[0].size() + 2), ec);
  if (ec || !isInside(file, folder) || !std::filesystem::is_regular_file(file, ec)) return {PathStatus::NotFound, {}};
  return {PathStatus::Ok, file.string()};
}

std::string_view contentType(std::string_view file) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kTypes{{
      {".html", "text/html; charset=utf-8"},
      {".htm", "text/html; charset=utf-8"},
      {".js", "text/javascript"},
      {".css", "text/css"},
      {".png", "image/png"},
      {".gif", "image/gif"},
      {".svg", "image/svg+xml"},
      {".ico", "image/x-icon"},
  }};
  const auto slash = file.rfind('/');
  const auto dot = file.rfind('.');
  if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)) {
    const std::string_view extension = file.substr(dot);
    for (const auto& [known, type] : kTypes)
      if (equalsIgnoringCase(extension, known)) return type;
  }
  return "application/octet-stream";
}

}  // namespace tvk
