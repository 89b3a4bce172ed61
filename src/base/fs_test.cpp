#include "base/fs.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "base/error.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

using test::readFile;
using test::ScopedTempDir;
using test::writeFile;

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(AtomicWrite, KeepsModeAndOwnerAndNeverFollowsALinkSwappedIn) {
  ScopedTempDir dir;
  const std::string page = dir / "site/page.asp";
  writeFile(page, "old");
  ASSERT_EQ(::chmod(page.c_str(), 0640), 0);
  files::writeFileAtomic(page, "new");
  struct stat st {};
  ASSERT_EQ(::stat(page.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);  // a page with a password stays private
  EXPECT_EQ(st.st_uid, ::getuid());
  EXPECT_EQ(readFile(page), "new");

  // While the new page waits to be put in place, the page is swapped for a
  // link to a file outside the site: the link is replaced, not followed.
  const std::string outside = dir / "outside.txt";
  writeFile(outside, "precious");
  files::AtomicWriteOptions options;
  options.beforeRename = [&](const std::string& path) {
    EXPECT_EQ(path, page);
    std::filesystem::remove(page);
    std::filesystem::create_symlink(outside, page);
  };
  files::writeFileAtomic(page, "newer", options);
  EXPECT_EQ(readFile(outside), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(page));
  EXPECT_EQ(readFile(page), "newer");

  // A link already there lends neither its target's mode nor its content.
  ASSERT_EQ(::chmod(outside.c_str(), 0600), 0);
  std::filesystem::remove(page);
  std::filesystem::create_symlink(outside, page);
  files::writeFileAtomic(page, "newest");
  EXPECT_EQ(readFile(outside), "precious");
  EXPECT_EQ(readFile(page), "newest");
  EXPECT_EQ(namesIn(dir / "site"), std::vector<std::string>{"page.asp"});
}

TEST(AtomicWrite, AFullDiskOrAKillLeavesTheOldFileWholeAndNoTemporary) {
  ScopedTempDir dir;
  const std::string page = dir / "page.asp";
  const std::string old(3000, 'o');
  writeFile(page, old);

  // A full disk, as a file-size limit makes it (for root as well).
  ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  std::optional<WizError> failure;
  try {
    files::writeFileAtomic(page, std::string(100000, 'n'));
  } catch (const WizError& e) {
    failure = e;
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, SIG_DFL);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->number(), err::kDiskFull);
  EXPECT_NE(failure->description().find(page), std::string::npos) << failure->description();
  EXPECT_EQ(readFile(page), old);
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"page.asp"});

  // Killed with the new content written but not yet in place.
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    files::AtomicWriteOptions options;
    options.beforeRename = [](const std::string&) { ::raise(SIGKILL); };
    try {
      files::writeFileAtomic(page, "new");
    } catch (...) {
    }
    files::writeFileAtomic(page, std::string(5000, 'n'), options);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(readFile(page), "new");
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"page.asp"});

  // A write into a folder that is not there names the missing path.
  try {
    files::writeFileAtomic(dir / "no/such/page.asp", "x");
    FAIL() << "wrote into a missing folder";
  } catch (const WizError& e) {
    EXPECT_EQ(e.number(), err::kPathNotFound);
  }
}

TEST(FolderLock, OneHolderAtATimeAndAClearRefusalAfterTheWait) {
  ScopedTempDir dir;
  std::optional<files::FolderLock> first;
  first.emplace(dir.path(), std::chrono::milliseconds(0));

  auto start = std::chrono::steady_clock::now();
  try {
    files::FolderLock second(dir.path(), std::chrono::milliseconds(300));
    FAIL() << "two holders of one folder";
  } catch (const WizError& e) {
    EXPECT_EQ(e.description(), "another generation is writing " + dir.path());
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));

  // A waiting run goes ahead as soon as the holder is done.
  std::thread holder([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    first.reset();
  });
  start = std::chrono::steady_clock::now();
  EXPECT_NO_THROW(files::FolderLock(dir.path(), std::chrono::seconds(5)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  holder.join();

  // Another folder is not held up.
  std::filesystem::create_directories(dir / "other");
  files::FolderLock here(dir.path(), std::chrono::milliseconds(0));
  EXPECT_NO_THROW(files::FolderLock(dir / "other", std::chrono::milliseconds(0)));
}

}  // namespace
}  // namespace tvk
