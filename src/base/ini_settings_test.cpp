#include "base/ini_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "base/error.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

using test::ScopedTempDir;
constexpr std::string_view kApp = "TVKWizard";

TEST(IniSettings, ValuesRoundTripExactly_AndNamesALineCannotHoldAreRefused) {
  ScopedTempDir dir;
  std::string path = dir / "TVKWizard/settings.ini";  // the folder is made on the first write
  IniSettings settings(path);
  EXPECT_EQ(settings.get(kApp, "Recent", "1", "none"), "none");
  settings.set(kApp, "Recent", "1", " spaced path ");
  settings.set(kApp, "Recent", "2", "a\\b\nc");
  settings.set(kApp, "Other", "1", "x=y");
  settings.set(kApp, "Recent", "3", "");
  EXPECT_EQ(test::readFile(path), "[Recent]\n1= spaced path \n2=a\\\\b\\nc\n3=\n\n[Other]\n1=x=y\n");

  IniSettings reread(path);
  EXPECT_EQ(reread.get(kApp, "Recent", "1", ""), " spaced path ");
  EXPECT_EQ(reread.get(kApp, "recent", "2", ""), "a\\b\nc");  // names ignore case
  EXPECT_EQ(reread.get(kApp, "Recent", "3", "d"), "");
  EXPECT_EQ(reread.get(kApp, "Other", "1", ""), "x=y");
  EXPECT_EQ(reread.get("OtherApp", "Other", "1", "d"), "d");

  for (auto [section, key] : {std::pair{"A]", "k"}, {"A", "k=1"}, {"A", ""}, {"A", "k\n[B]"}})
    EXPECT_THROW(settings.set(kApp, section, key, "v"), WizError) << section << key;
  EXPECT_THROW(settings.set("OtherApp", "A", "k", "v"), WizError);
}

TEST(IniSettings, HandWrittenLinesAreReadLenientlyAndKept) {
  ScopedTempDir dir;
  std::string path = dir / "settings.ini";
  test::writeFile(path, "; comment\r\n[recent]\r\n1=C:\\dir\r\ngarbage\r\n[broken\r\n 2 = b\r\n[X] tail\r\n3=c\r\n");
  IniSettings settings(path);
  EXPECT_EQ(settings.get(kApp, "Recent", "1", ""), "C:\\dir");  // an unknown escape stays
  EXPECT_EQ(settings.get(kApp, "Recent", "2", ""), " b");
  EXPECT_EQ(settings.get(kApp, "Recent", "3", ""), "c");  // malformed headers start no section
  settings.set(kApp, "Recent", "2", "new");
  settings.set(kApp, "Recent", "4", "four");
  EXPECT_EQ(test::readFile(path), "; comment\n[recent]\n1=C:\\dir\ngarbage\n[broken\n2=new\n[X] tail\n3=c\n4=four\n");
}

TEST(IniSettings, WritesKeepTheModeAndNeverReplaceAnUnreadableFile) {
  ScopedTempDir dir;
  std::string path = dir / "settings.ini";
  test::writeFile(path, "[A]\nk=v\n");
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  IniSettings(path).set(kApp, "A", "k", "w");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temp file left

  std::string folder = dir / "folder";  // cannot be read as a file
  std::filesystem::create_directories(folder + "/inside");
  IniSettings unreadable(folder);
  EXPECT_EQ(unreadable.get(kApp, "A", "k", "d"), "d");
  EXPECT_THROW(unreadable.set(kApp, "A", "k", "v"), WizError);
  EXPECT_TRUE(std::filesystem::exists(folder + "/inside"));
}

TEST(IniSettings, DefaultPathFollowsXdgConfigHomeThenHome) {
  std::string xdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", "/home/me", 1);
  ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
  EXPECT_EQ(IniSettings::defaultPath(), "/xdg/TVKWizard/settings.ini");
  EXPECT_EQ(IniSettings::defaultPath("Other"), "/xdg/Other/settings.ini");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // only an absolute one counts
  EXPECT_EQ(IniSettings::defaultPath(), "/home/me/.config/TVKWizard/settings.ini");
  ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
  ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace tvk
