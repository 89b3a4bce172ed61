#include "window/file_browser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tvk {
namespace {

using nlohmann::json;
using test::ScopedTempDir;
using test::writeFile;

std::vector<std::string> names(const json& listing) {
  std::vector<std::string> found;
  for (const json& entry : listing["entries"])
    found.push_back(entry["name"].get<std::string>() + (entry["folder"].get<bool>() ? "/" : ""));
  return found;
}

TEST(FileBrowserTest, FoldersFirstThenMatchingFilesEachSortedWithoutCase) {
  ScopedTempDir dir;
  for (const char* file : {"z.XML", "a.xml", "B.xml", "n.txt", "noext", ".hidden.xml", "b/inner.xml", "A/x", ".git/x"})
    writeFile(dir / file, "x");
  std::filesystem::create_directory(dir / "c");
  std::filesystem::create_symlink(dir / "c", dir / "link");
  const std::string path = std::filesystem::canonical(dir.path()).string();

  json listing = listDirectory(path + "/b/..", {"*.xml"}, false);
  EXPECT_EQ(listing["path"], path);
  EXPECT_EQ(listing["parent"], std::filesystem::path(path).parent_path().string());
  EXPECT_FALSE(listing.contains("error"));
  EXPECT_EQ(names(listing), (std::vector<std::string>{"A/", "b/", "c/", "link/", "a.xml", "B.xml", "z.XML"}));

  EXPECT_EQ(names(listDirectory(path, {"*.txt", "*.xml"}, false)),
            (std::vector<std::string>{"A/", "b/", "c/", "link/", "a.xml", "B.xml", "n.txt", "z.XML"}));
  EXPECT_EQ(names(listDirectory(path, {"*.*"}, false)),
            (std::vector<std::string>{"A/", "b/", "c/", "link/", "a.xml", "B.xml", "n.txt", "noext", "z.XML"}));
  EXPECT_EQ(names(listDirectory(path, {"*.xml"}, true)), (std::vector<std::string>{"A/", "b/", "c/", "link/"}));

  EXPECT_EQ(listDirectory("/", {}, true)["parent"], "");
  if (const char* home = std::getenv("HOME"); home && *home) {
    EXPECT_EQ(listDirectory("", {}, true)["path"], std::filesystem::canonical(home).string());
    EXPECT_EQ(listDirectory("~", {}, true)["path"], std::filesystem::canonical(home).string());
  }
}

// Lists a folder as an ordinary user: root reads every folder, so a test run
// as root lists it in a child process that has given its rights away.
json listAsUser(const std::string& path) {
  if (::geteuid() != 0) return listDirectory(path, {}, false);
  int fds[2];
  if (::pipe(fds) != 0) return json{{"error", "pipe failed"}};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    int code = 1;
    if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
      const std::string text = listDirectory(path, {}, false).dump();
      code = ::write(fds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1;
    }
    ::_exit(code);
  }
  ::close(fds[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return json::parse(text, nullptr, false);
}

TEST(FileBrowserTest, AFolderThatCannotBeReadSaysWhy) {
  ScopedTempDir dir;
  const std::string path = std::filesystem::canonical(dir.path()).string();
  json missing = listDirectory(path + "/nothing", {}, false);
  EXPECT_EQ(missing["error"], "Cannot open " + path + "/nothing: No such file or directory");
  EXPECT_TRUE(missing["entries"].empty());

  writeFile(dir / "file.txt", "x");
  EXPECT_EQ(listDirectory(path + "/file.txt", {}, false)["error"],
            "Cannot open " + path + "/file.txt: Not a directory");

  std::filesystem::create_directory(dir / "locked");
  writeFile(dir / "locked/in.xml", "x");
  ::chmod(dir.path().c_str(), 0755);
  ::chmod((dir / "locked").c_str(), 0);
  json locked = listAsUser(path + "/locked");
  EXPECT_EQ(locked["error"], "Cannot open " + path + "/locked: Permission denied");
  EXPECT_TRUE(locked["entries"].empty());
}

}  // namespace
}  // namespace tvk
