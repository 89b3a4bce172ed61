#include "base/ini_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "base/error.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

using testing::ScopedTempDir;

constexpr std::string_view kApp = "TVKWizard";

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(IniSettings, ValuesRoundTripExactlyThroughTheFile) {
  ScopedTempDir dir;
  std::string path = dir / "TVKWizard/settings.ini";  // the folder does not exist yet
  {
    IniSettings settings(path);
    EXPECT_EQ(settings.get(kApp, "RecentProjects", "1", "none"), "none");
    settings.set(kApp, "RecentProjects", "1", "/home/me/ orders .xml ");
    settings.set(kApp, "RecentProjects", "2", "C:\\web\\new\nline\r.xml");
    settings.set(kApp, "RecentProjects", "3", "");
    settings.set(kApp, "Other", "1", "a=b");
    EXPECT_EQ(settings.get(kApp, "RecentProjects", "1", ""), "/home/me/ orders .xml ");
  }
  IniSettings reread(path);
  EXPECT_EQ(reread.get(kApp, "RecentProjects", "1", "x"), "/home/me/ orders .xml ");
  EXPECT_EQ(reread.get(kApp, "RecentProjects", "2", "x"), "C:\\web\\new\nline\r.xml");
  EXPECT_EQ(reread.get(kApp, "RecentProjects", "3", "x"), "");  // present but empty
  EXPECT_EQ(reread.get(kApp, "Other", "1", "x"), "a=b");
  EXPECT_EQ(reread.get(kApp, "RecentProjects", "4", "x"), "x");
  EXPECT_EQ(reread.get(kApp, "Missing", "1", "x"), "x");
  // One line per entry: the line break inside the value is escaped.
  EXPECT_EQ(testing::readFile(path),
            "[RecentProjects]\n1=/home/me/ orders .xml \n2=C:\\\\web\\\\new\\nline\\r.xml\n3=\n\n"
            "[Other]\n1=a=b\n");
}

TEST(IniSettings, HandWrittenFilesReadLeniently_AndKeepWhatTheyHold) {
  ScopedTempDir dir;
  std::string path = dir / "settings.ini";
  testing::writeFile(path,
                     "; recent files\r\n"
                     "[recentprojects]\r\n"
                     "1=C:\\dir\\a.xml\r\n"
                     "garbage without equals\r\n"
                     "=no key\r\n"
                     "[broken\r\n"
                     "  2  = spaced\r\n"
                     "[Next] trailing\r\n"
                     "3=still RecentProjects\r\n"
                     "[Later]\r\n"
                     "1=later\r\n");
  IniSettings settings(path);
  // Section and key names ignore letter case; unknown escapes stay as typed.
  EXPECT_EQ(settings.get(kApp, "RecentProjects", "1", ""), "C:\\dir\\a.xml");
  EXPECT_EQ(settings.get(kApp, "RECENTPROJECTS", "2", ""), " spaced");
  // A malformed section line does not start a section.
  EXPECT_EQ(settings.get(kApp, "RecentProjects", "3", ""), "still RecentProjects");
  EXPECT_EQ(settings.get(kApp, "Later", "1", ""), "later");

  settings.set(kApp, "RecentProjects", "2", "new");
  settings.set(kApp, "RecentProjects", "4", "four");
  // Only the entries set change; comments and malformed lines stay.
  EXPECT_EQ(testing::readFile(path),
            "; recent files\n"
            "[recentprojects]\n"
            "1=C:\\dir\\a.xml\n"
            "garbage without equals\n"
            "=no key\n"
            "[broken\n"
            "2=new\n"
            "[Next] trailing\n"
            "3=still RecentProjects\n"
            "4=four\n"
            "[Later]\n"
            "1=later\n");
  EXPECT_EQ(IniSettings(path).get(kApp, "RecentProjects", "1", ""), "C:\\dir\\a.xml");
}

TEST(IniSettings, WritingKeepsTheFileModeAndNeverReplacesAnUnreadableFile) {
  ScopedTempDir dir;
  std::string path = dir / "settings.ini";
  testing::writeFile(path, "[A]\nk=v\n");
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  IniSettings settings(path);
  settings.set(kApp, "A", "k", "w");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(std::filesystem::directory_iterator(dir.path())->path().filename(), "settings.ini")
      << "no temporary file left behind";

  // A settings path that cannot be read (here a folder): defaults, and a
  // write fails instead of replacing it.
  std::string blocked = dir / "blocked";
  std::filesystem::create_directories(blocked + "/inside");
  IniSettings unreadable(blocked);
  EXPECT_EQ(unreadable.get(kApp, "A", "k", "default"), "default");
  EXPECT_THROW(unreadable.set(kApp, "A", "k", "v"), WizError);
  EXPECT_TRUE(std::filesystem::is_directory(blocked + "/inside"));

  // Names a line cannot hold, and another application's settings.
  EXPECT_THROW(settings.set(kApp, "A]", "k", "v"), WizError);
  EXPECT_THROW(settings.set(kApp, "A", "k=1", "v"), WizError);
  EXPECT_THROW(settings.set(kApp, "A", "", "v"), WizError);
  EXPECT_THROW(settings.set(kApp, "A", "k\n[B]", "v"), WizError);
  EXPECT_THROW(settings.set("OtherApp", "A", "k", "v"), WizError);
  EXPECT_EQ(settings.get("OtherApp", "A", "k", "d"), "d");
  EXPECT_EQ(testing::readFile(path), "[A]\nk=w\n");
}

TEST(IniSettings, SetSeesChangesMadeByAnotherRun) {
  ScopedTempDir dir;
  std::string path = dir / "settings.ini";
  IniSettings first(path);
  IniSettings second(path);
  EXPECT_EQ(first.get(kApp, "S", "a", ""), "");  // read while the file is missing
  second.set(kApp, "S", "b", "from second");
  first.set(kApp, "S", "a", "from first");
  IniSettings reread(path);
  EXPECT_EQ(reread.get(kApp, "S", "a", ""), "from first");
  EXPECT_EQ(reread.get(kApp, "S", "b", ""), "from second");
}

TEST(IniSettings, DefaultPathFollowsXdgConfigHomeThenHome) {
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg/config");
    ScopedEnv home("HOME", "/home/me");
    EXPECT_EQ(IniSettings::defaultPath(), "/xdg/config/TVKWizard/settings.ini");
    EXPECT_EQ(IniSettings::defaultPath("Other"), "/xdg/config/Other/settings.ini");
  }
  {
    // A relative XDG_CONFIG_HOME is ignored, as is an empty one.
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/config");
    ScopedEnv home("HOME", "/home/me");
    EXPECT_EQ(IniSettings::defaultPath(), "/home/me/.config/TVKWizard/settings.ini");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", nullptr);
    std::string path = IniSettings::defaultPath();
    EXPECT_TRUE(path.ends_with("/.config/TVKWizard/settings.ini")) << path;
  }
}

}  // namespace
}  // namespace tvk
