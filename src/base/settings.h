// The per-user settings store: text values by application, section and key
// (the recent projects list). Kept in an INI file, written atomically.
#pragma once

#include <string>
#include <string_view>

namespace tvk {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string get(std::string_view application, std::string_view section, std::string_view key,
                          std::string_view defaultValue) = 0;
  // Failures (an unwritable settings folder) pass on as WizError.
  virtual void set(std::string_view application, std::string_view section, std::string_view key,
                   std::string_view value) = 0;
};

}  // namespace tvk
