#include "wizard/recent_projects.h"

#include "base/settings.h"
#include "wizard/project_files.h"

namespace tvk {

namespace {

std::string readPosition(SettingsStore& settings, int position) {
  return settings.get(kRecentApplication, kRecentSection, std::to_string(position), "");
}

}  // namespace

std::vector<std::string> recentProjectPaths(SettingsStore& settings) {
  std::vector<std::string> paths;
  for (int position = 1; position <= kRecentMaxEntries; ++position) {
    std::string path = readPosition(settings, position);
    if (path.empty()) break;
    paths.push_back(std::move(path));
  }
  return paths;
}

// Kept apart from the page handlers so the list's rules can be used (and
// tested) without a wizard window.
void AddToRUFL(SettingsStore& settings, std::string_view path) {
  // Exact comparison: paths differing in letter case are different files.
  int found = kRecentMaxEntries + 1;
  for (int position = 1; position <= kRecentMaxEntries; ++position) {
    if (readPosition(settings, position) == path) {
      found = position;
      break;
    }
  }
  // Everything before the path's old place (or the whole list, dropping the
  // last entry, for a new path) moves down one place.
  int last = found > kRecentMaxEntries ? kRecentMaxEntries : found;
  for (int position = last; position >= 2; --position)
    settings.set(kRecentApplication, kRecentSection, std::to_string(position), readPosition(settings, position - 1));
  settings.set(kRecentApplication, kRecentSection, "1", path);
}

}  // namespace tvk
