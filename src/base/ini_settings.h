// The per-user settings store as an INI file: one file per application (the
// application names the folder), "[Section]" lines and "key=value" lines
// below them.
//
// Values are kept exactly: everything after the first "=" up to the end of
// the line, leading and trailing blanks included, because a stored path may
// legitimately begin or end with one. Only a CR before the line end (a file
// edited on another system) is dropped. A backslash, a line feed and a
// carriage return inside a value are written as "\\", "\n" and "\r" so a
// value never breaks the line structure; any other backslash reads as itself,
// so a hand-written "C:\dir" survives. Section and key names compare without
// regard to ASCII letter case, as the settings stores users know do.
//
// The file is read on first use. A line that is neither a section, an entry,
// a comment (";" or "#") nor blank is skipped when reading and kept as it
// stands when the file is written again, as are comments: writing changes
// only the entry it sets.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"

namespace tvk {

class IniSettings final : public SettingsStore {
 public:
  static constexpr std::string_view kApplication = "TVKWizard";
  static constexpr std::string_view kFileName = "settings.ini";

  // The store in `path`, holding the settings of `application`. Requests for
  // any other application read their defaults and refuse to write.
  explicit IniSettings(std::string path, std::string application = std::string(kApplication));

  // $XDG_CONFIG_HOME/<application>/settings.ini, or ~/.config/... when
  // XDG_CONFIG_HOME is unset, empty or not absolute.
  static std::string defaultPath(std::string_view application = kApplication);

  const std::string& path() const { return path_; }

  // The stored value, or `defaultValue` when the entry is missing or the
  // file cannot be read.
  std::string get(std::string_view application, std::string_view section, std::string_view key,
                  std::string_view defaultValue) override;
  // Reads the file again (another run may have changed it), changes the one
  // entry and writes the whole file atomically, keeping its permissions.
  // Fails with WizError when the file exists but cannot be read (it would
  // otherwise be replaced by a file without its other settings), when the
  // folder or file cannot be written, or for a section or key that an INI
  // line cannot hold.
  void set(std::string_view application, std::string_view section, std::string_view key,
           std::string_view value) override;

  // One line of the file as read; exposed for the tests of the parser.
  struct Line {
    enum class Kind { Section, Entry, Other };
    Kind kind = Kind::Other;
    std::string text;   // the line as it stands in the file (without its end)
    std::string name;   // section name, or entry key
    std::string value;  // entry value, unescaped
  };
  static std::vector<Line> parse(std::string_view content);
  static std::string escapeValue(std::string_view value);

 private:
  // Loads the file into lines_; a missing file is an empty store. Throws
  // WizError for a file that exists but cannot be read.
  void load();
  bool sameApplication(std::string_view application) const;

  std::string path_;
  std::string application_;
  std::optional<std::vector<Line>> lines_;  // empty until first read
  bool unreadable_ = false;
};

}  // namespace tvk
