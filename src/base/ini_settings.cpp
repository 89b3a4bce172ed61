#include "base/ini_settings.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "base/error.h"
#include "base/fs.h"
#include "base/general.h"

namespace tvk {

namespace {

constexpr std::string_view kSource = "IniSettings";

std::string_view trimSpaceAndTab(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string unescapeValue(std::string_view text) {
  std::string value;
  value.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      char next = text[i + 1];
      if (next == '\\' || next == 'n' || next == 'r') {
        value += next == '\\' ? '\\' : next == 'n' ? '\n' : '\r';
        ++i;
        continue;
      }
    }
    value += text[i];
  }
  return value;
}

// A name that a "[Section]" or "key=" line can hold and read back the same.
void checkName(std::string_view what, std::string_view name) {
  bool valid = !name.empty() && trimSpaceAndTab(name) == name;
  for (char c : name)
    if (c == '\n' || c == '\r' || c == '\0' || c == '=' || c == '[' || c == ']') valid = false;
  if (valid && (name.front() == ';' || name.front() == '#')) valid = false;
  if (!valid) {
    std::string description = "Cannot store the setting: invalid ";
    description += what;
    description += " name '";
    description += name;
    description += "'";
    raise(err::kInvalidCall, std::string(kSource), std::move(description));
  }
}

std::string homeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  // No HOME (a service account, a stripped environment): the password entry.
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::string buffer(size > 0 ? static_cast<size_t>(size) : 16384, '\0');
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr)
    return found->pw_dir;
  return ".";
}

}  // namespace

IniSettings::IniSettings(std::string path, std::string application)
    : path_(std::move(path)), application_(std::move(application)) {}

std::string IniSettings::defaultPath(std::string_view application) {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    base = files::join(homeDirectory(), ".config");
  }
  return files::join(files::join(base, application), kFileName);
}

std::string IniSettings::escapeValue(std::string_view value) {
  std::string text;
  text.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '\\':
        text += "\\\\";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\r':
        text += "\\r";
        break;
      default:
        text += c;
    }
  }
  return text;
}

std::vector<IniSettings::Line> IniSettings::parse(std::string_view content) {
  std::vector<Line> lines;
  while (!content.empty()) {
    size_t end = content.find('\n');
    std::string_view raw = content.substr(0, end);
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

    Line line;
    line.text = raw;
    std::string_view trimmed = trimSpaceAndTab(raw);
    if (!trimmed.empty() && trimmed.front() == '[') {
      size_t close = trimmed.find(']');
      // "[Section]" with nothing but blanks after it; anything else is malformed.
      if (close != std::string_view::npos && trimSpaceAndTab(trimmed.substr(close + 1)).empty()) {
        line.kind = Line::Kind::Section;
        line.name = trimSpaceAndTab(trimmed.substr(1, close - 1));
      }
    } else if (!trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '#') {
      size_t equals = raw.find('=');
      if (equals != std::string_view::npos) {
        std::string_view key = trimSpaceAndTab(raw.substr(0, equals));
        if (!key.empty()) {
          line.kind = Line::Kind::Entry;
          line.name = key;
          line.value = unescapeValue(raw.substr(equals + 1));
        }
      }
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

void IniSettings::load() {
  lines_.reset();
  unreadable_ = false;
  std::string content;
  try {
    if (files::fileExists(path_) || files::directoryExists(path_)) content = files::readFile(path_);
  } catch (...) {
    unreadable_ = true;
    lines_.emplace();
    throw;
  }
  lines_ = parse(content);
}

bool IniSettings::sameApplication(std::string_view application) const {
  return gfbEqualNoCase(application, application_);
}

std::string IniSettings::get(std::string_view application, std::string_view section, std::string_view key,
                             std::string_view defaultValue) {
  if (!sameApplication(application)) return std::string(defaultValue);
  if (!lines_) {
    // An unreadable file reads as defaults; set() refuses to overwrite it.
    try {
      load();
    } catch (...) {
      return std::string(defaultValue);
    }
  }
  bool inSection = false;
  for (const Line& line : *lines_) {
    if (line.kind == Line::Kind::Section) {
      inSection = gfbEqualNoCase(line.name, section);
    } else if (inSection && line.kind == Line::Kind::Entry && gfbEqualNoCase(line.name, key)) {
      return line.value;
    }
  }
  return std::string(defaultValue);
}

void IniSettings::set(std::string_view application, std::string_view section, std::string_view key,
                      std::string_view value) {
  if (!sameApplication(application)) {
    std::string description = "Cannot store the setting: '";
    description += path_;
    description += "' holds the settings of ";
    description += application_;
    description += ", not of ";
    description += application;
    raise(err::kInvalidCall, std::string(kSource), std::move(description));
  }
  checkName("section", section);
  checkName("key", key);
  load();  // throws for an unreadable file, which must not be replaced

  std::vector<Line>& lines = *lines_;
  Line entry;
  entry.kind = Line::Kind::Entry;
  entry.name = key;
  entry.value = value;
  entry.text = std::string(key) + "=" + escapeValue(value);

  bool inSection = false;
  size_t insertAt = lines.size();  // after the last entry of the section
  bool sectionFound = false;
  bool replaced = false;
  for (size_t i = 0; i < lines.size() && !replaced; ++i) {
    const Line& line = lines[i];
    if (line.kind == Line::Kind::Section) {
      if (inSection) break;  // the section ended without the key
      inSection = gfbEqualNoCase(line.name, section);
      if (inSection) {
        sectionFound = true;
        insertAt = i + 1;
      }
    } else if (inSection && line.kind == Line::Kind::Entry) {
      if (gfbEqualNoCase(line.name, key)) {
        lines[i] = entry;
        replaced = true;
      } else {
        insertAt = i + 1;
      }
    }
  }
  if (!replaced) {
    if (sectionFound) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    } else {
      if (!lines.empty() && !trimSpaceAndTab(lines.back().text).empty()) lines.push_back(Line{});
      Line header;
      header.kind = Line::Kind::Section;
      header.name = section;
      header.text = "[" + std::string(section) + "]";
      lines.push_back(std::move(header));
      lines.push_back(entry);
    }
  }

  std::string content;
  for (const Line& line : lines) {
    content += line.text;
    content += '\n';
  }
  std::string folder = files::parentFolder(path_);
  if (!folder.empty() && !files::directoryExists(folder)) files::createDirectories(folder);
  try {
    files::writeFileAtomic(path_, content);
  } catch (...) {
    lines_.reset();  // what is on disk is the truth; read it again next time
    throw;
  }
}

}  // namespace tvk
