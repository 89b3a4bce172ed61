// The recently used project files, kept in the per-user settings store:
// application "TVKWizard", section "RecentProjects", keys "1" (the most
// recent) to "10", each value a project file's full path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tvk {

class SettingsStore;

inline constexpr std::string_view kRecentApplication = "TVKWizard";
inline constexpr std::string_view kRecentSection = "RecentProjects";
inline constexpr int kRecentMaxEntries = 10;

// The list from key "1" up to the first missing or empty entry. Entries
// whose file no longer exists are listed too (they keep their place).
std::vector<std::string> recentProjectPaths(SettingsStore& settings);

}  // namespace tvk
