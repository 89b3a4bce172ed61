// The per-user settings store: text values by application, section and key
// (the recent projects list). Kept in an INI file, written atomically.
#pragma once

#include <map>
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

// Settings that live only as long as the object: for runs that must leave
// the user's settings alone (the demo, tests).
class MemorySettings final : public SettingsStore {
 public:
  std::string get(std::string_view application, std::string_view section, std::string_view key,
                  std::string_view defaultValue) override {
    auto found = values_.find(keyOf(application, section, key));
    return found == values_.end() ? std::string(defaultValue) : found->second;
  }
  void set(std::string_view application, std::string_view section, std::string_view key,
           std::string_view value) override {
    values_[keyOf(application, section, key)] = std::string(value);
  }

 private:
  static std::string keyOf(std::string_view application, std::string_view section, std::string_view key) {
    return std::string(application) + '\n' + std::string(section) + '\n' + std::string(key);
  }
  std::map<std::string, std::string> values_;
};

}  // namespace tvk
