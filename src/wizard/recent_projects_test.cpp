#include "wizard/recent_projects.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/ini_settings.h"
#include "support/temp_dir.h"
#include "wizard/project_files.h"

namespace tvk {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentProjects, OpenedPathsMoveToTheFront_AndTheListEndsAtAGap) {
  test::ScopedTempDir dir;
  IniSettings settings(dir / "settings.ini");
  for (const char* path : {"C", "B", "A", "C", "B"}) AddToRUFL(settings, path);
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"B", "C", "A"}));

  // A new path enters at the front and the places behind the list are
  // written empty; letter case makes another file.
  AddToRUFL(settings, "b");
  IniSettings reread(settings.path());
  Paths stored;
  for (int i = 1; i <= 10; ++i) stored.push_back(reread.get("TVKWizard", "RecentProjects", std::to_string(i), "-"));
  EXPECT_EQ(stored, (Paths{"b", "B", "C", "A", "", "", "", "", "", ""}));

  // The list ends at the first empty entry, but one behind it is still found.
  settings.set("TVKWizard", "RecentProjects", "2", "");
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"b"}));
  AddToRUFL(settings, "A");
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"A", "b"}));

  IniSettings blocked(dir.path());  // a folder: the caller reports the failure
  EXPECT_THROW(AddToRUFL(blocked, "x"), WizError);
}

TEST(RecentProjects, TheListHoldsTenAndDropsTheOldest) {
  test::ScopedTempDir dir;
  IniSettings settings(dir / "settings.ini");
  for (int i = 1; i <= 11; ++i) AddToRUFL(settings, std::to_string(i));
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"11", "10", "9", "8", "7", "6", "5", "4", "3", "2"}));
  AddToRUFL(settings, "2");  // from the tenth place, losing nothing
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"2", "11", "10", "9", "8", "7", "6", "5", "4", "3"}));
}

}  // namespace
}  // namespace tvk
