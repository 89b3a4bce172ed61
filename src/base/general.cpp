#include "base/general.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "base/error.h"
#include "base/session.h"
#include "base/ui.h"

namespace tvk {

namespace {
constexpr std::string_view kModule = "General";

std::string cutBeforeLastSlash(const std::string& s) {
  auto slash = s.rfind('/');
  return slash == std::string::npos ? std::string() : s.substr(0, slash);
}

void dropOneTrailingSlash(std::string& s) {
  if (!s.empty() && s.back() == '/') s.pop_back();
}
}  // namespace

std::string_view trimBlanks(std::string_view text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

std::string gfsUpper(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

std::string gfsLower(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

bool gfbEqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && gfsUpper(a) == gfsUpper(b);
}

bool gfbStartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && gfbEqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string gfsNormalisePath(std::string_view path) {
  std::string result(path);
  for (char& c : result)
    if (c == '\\') c = kPathSeparator;
  return result;
}

std::string gfsFileName(std::string_view path) {
  std::string p = gfsNormalisePath(path);
  auto slash = p.rfind(kPathSeparator);
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string gfsFilePath(std::string_view path) {
  std::string p = gfsNormalisePath(path);
  auto slash = p.rfind(kPathSeparator);
  return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
}

int fnDirLevels(std::string_view path) {
  int levels = 0;
  for (char c : path)
    if (c == '/') ++levels;
  return levels;
}

std::string gfsRelativePath(std::string_view fromDirectory, std::string_view toDirectory) {
  std::string result;
  std::string from = gfsNormalisePath(fromDirectory);
  std::string to = gfsNormalisePath(toDirectory);
  dropOneTrailingSlash(from);
  from = gfsUpper(from);
  dropOneTrailingSlash(to);
  const std::string kept = to;
  to = gfsUpper(to);

  while (to != from) {
    int fromLevels = fnDirLevels(from);
    int toLevels = fnDirLevels(to);
    if (fromLevels > toLevels) {
      result += "../";
      from = cutBeforeLastSlash(from);
    } else if (fromLevels < toLevels) {
      to = cutBeforeLastSlash(to);
    } else {
      result += "../";
      if (from.find('/') != std::string::npos) {
        from = cutBeforeLastSlash(from);
        to = cutBeforeLastSlash(to);
      } else {
        from.clear();
        to.clear();
      }
    }
  }

  if (gfsUpper(kept) != from) {
    if (!from.empty()) {
      result += kept.substr(from.size() + 1);
    } else {
      // The common directory is the file-system root, which the walk reaches
      // as the empty text: the rest of the path follows without its leading
      // separator ("../y/", not "..//y/").
      std::string_view rest = kept;
      if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
      result += rest;
    }
  }
  if (result.empty()) return result;
  return result + "/";
}

std::string gsQuoteDoubled(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    result += c;
    if (c == '"') result += '"';
  }
  return result;
}

std::string gfsHTMLEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string gfsURLEncode(std::string_view text, std::string_view keep) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    const bool plain = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || c == '-' ||
                       c == '_' || c == '.' || c == '~' || keep.find(c) != std::string_view::npos;
    if (plain) {
      out += c;
    } else {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 0x0F];
    }
  }
  return out;
}

bool gfbValidInteger(std::string_view text, std::optional<long> lower, std::optional<long> upper) {
  // The ordinary numeric conversion: blanks around the number are allowed, a
  // fraction rounds to the nearest whole number (halves to even).
  size_t begin = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  if (begin == std::string_view::npos) return false;
  std::string number(text.substr(begin, end - begin + 1));
  for (char c : number)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return false;
  errno = 0;
  char* parsed = nullptr;
  double value = std::strtod(number.c_str(), &parsed);
  if (errno != 0 || parsed != number.c_str() + number.size() || !std::isfinite(value)) return false;
  double rounded = std::nearbyint(value);
  if (rounded < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<int32_t>::max()))
    return false;
  long whole = static_cast<long>(rounded);
  if (lower && whole < *lower) return false;
  if (upper && whole > *upper) return false;
  return true;
}

std::string gfsGetDirectory(Ui& ui, std::string_view title, std::string_view startDirectory) {
  ErrorTrap trap{ui, kModule, "gfsGetDirectory"};
  std::string chosen;
  if (!trap([&] { chosen = ui.browseFolder(title, startDirectory); })) return {};
  auto nul = chosen.find('\0');
  if (nul != std::string::npos) chosen.resize(nul);
  return chosen;
}

}  // namespace tvk
