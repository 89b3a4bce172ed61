#include "wizard/recent_projects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "base/ini_settings.h"
#include "support/temp_dir.h"
#include "wizard/project_files.h"

namespace tvk {
namespace {

using Paths = std::vector<std::string>;

class RecentProjectsTest : public ::testing::Test {
 protected:
  testing::ScopedTempDir dir;
  IniSettings settings{dir / "TVKWizard/settings.ini"};

  // Every position 1 to 10 as stored, empty values included.
  Paths positions() {
    IniSettings reread(settings.path());
    Paths values;
    for (int i = 1; i <= 10; ++i)
      values.push_back(reread.get("TVKWizard", "RecentProjects", std::to_string(i), "<missing>"));
    return values;
  }
};

TEST_F(RecentProjectsTest, OpenedPathsMoveToTheFront) {
  AddToRUFL(settings, "/p/C");
  AddToRUFL(settings, "/p/B");
  AddToRUFL(settings, "/p/A");
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"/p/A", "/p/B", "/p/C"}));

  AddToRUFL(settings, "/p/C");  // the last one moves to the front
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"/p/C", "/p/A", "/p/B"}));
  AddToRUFL(settings, "/p/B");
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"/p/B", "/p/C", "/p/A"}));
  AddToRUFL(settings, "/p/B");  // already first: nothing moves
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"/p/B", "/p/C", "/p/A"}));

  // A new path enters at the front; the positions behind the list are
  // written empty.
  AddToRUFL(settings, "/p/D");
  EXPECT_EQ(positions(), (Paths{"/p/D", "/p/B", "/p/C", "/p/A", "", "", "", "", "", ""}));
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"/p/D", "/p/B", "/p/C", "/p/A"}));

  // Letter case makes a different file.
  AddToRUFL(settings, "/p/d");
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"/p/d", "/p/D", "/p/B", "/p/C", "/p/A"}));
}

TEST_F(RecentProjectsTest, TheListHoldsTenAndDropsTheOldest) {
  for (int i = 1; i <= 10; ++i) AddToRUFL(settings, "/p/" + std::to_string(i) + ".xml");
  Paths full = recentProjectPaths(settings);
  ASSERT_EQ(full.size(), 10u);
  EXPECT_EQ(full.front(), "/p/10.xml");
  EXPECT_EQ(full.back(), "/p/1.xml");

  AddToRUFL(settings, "/p/new.xml");
  Paths after = recentProjectPaths(settings);
  ASSERT_EQ(after.size(), 10u);
  EXPECT_EQ(after.front(), "/p/new.xml");
  EXPECT_EQ(after.back(), "/p/2.xml");  // the tenth entry fell off

  // The entry in the tenth place moves to the front without losing another.
  AddToRUFL(settings, "/p/2.xml");
  EXPECT_EQ(recentProjectPaths(settings),
            (Paths{"/p/2.xml", "/p/new.xml", "/p/10.xml", "/p/9.xml", "/p/8.xml", "/p/7.xml", "/p/6.xml",
                   "/p/5.xml", "/p/4.xml", "/p/3.xml"}));
}

TEST_F(RecentProjectsTest, TheListEndsAtTheFirstEmptyEntry_AndWriteFailuresPassOn) {
  settings.set("TVKWizard", "RecentProjects", "1", "/p/one.xml");
  settings.set("TVKWizard", "RecentProjects", "2", "");
  settings.set("TVKWizard", "RecentProjects", "3", "/p/three.xml");
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"/p/one.xml"}));

  // An entry behind the gap is still found and moved to the front.
  AddToRUFL(settings, "/p/three.xml");
  EXPECT_EQ(recentProjectPaths(settings), (Paths{"/p/three.xml", "/p/one.xml"}));

  // A settings file that cannot be written is the caller's to report.
  IniSettings blocked(dir / "TVKWizard");  // a folder, not a file
  EXPECT_THROW(AddToRUFL(blocked, "/p/x.xml"), WizError);
}

}  // namespace
}  // namespace tvk
