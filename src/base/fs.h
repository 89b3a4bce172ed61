// The file-system layer under the file routines, the text stream and the
// project files. Failures throw WizError with the numbers users know
// (53 file not found, 70 permission denied, 76 path not found, 58 file
// already exists, 61 disk full) and a description that names the path.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace tvk::files {

inline constexpr std::string_view kSource = "FileSystem";

bool fileExists(const std::string& path);       // a regular file (or link to one)
bool directoryExists(const std::string& path);  // a directory (or link to one)

// The parent folder: "/a/b" -> "/a", "/a" -> "/", "/" -> "/", "a" -> "".
std::string parentFolder(const std::string& path);
bool isRoot(const std::string& path);

// Joins with the platform separator, never doubling it.
std::string join(std::string_view directory, std::string_view name);

std::string readFile(const std::string& path);
// Reads an open descriptor to its end; `path` names it in errors.
std::string readAll(int fd, const std::string& path);

// Deletes a file, read-only or not; a missing file is not an error.
void deleteFile(const std::string& path);

// What a caller may ask of an atomic write beyond the content. Tests use
// `beforeRename` to act between the finished, flushed temporary file and the
// rename that puts it in place (a path swapped for a link, a kill).
struct AtomicWriteOptions {
  std::function<void(const std::string& path)> beforeRename;
};

// Writes the whole content to a temporary file in the folder of `path`,
// flushes it to disk and renames it over `path`: readers see the old or the
// new file, never a part of one, and a failure (a full disk, a kill) leaves
// the old file as it was. The temporary file has no name until it is
// complete where the file system allows, so a kill leaves nothing behind.
// An existing regular file's mode and (where permitted) owner are kept; a
// link at `path` is replaced, never followed. New files get the mode the
// umask leaves of 0666.
void writeFileAtomic(const std::string& path, std::string_view content, const AtomicWriteOptions& options = {});

// Creates the directory and its missing parents.
void createDirectories(const std::string& path);

// The directory that holds the running program (symlinks resolved).
std::string programDirectory();

// Throws the WizError for the errno value of a failed call on `path`.
[[noreturn]] void raiseErrno(int errnum, std::string_view action, const std::string& path);

// An open file descriptor, closed on destruction.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle();
  FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  int get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }
  int release() noexcept {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  // Closes now, reporting a failed close (a late write error) as WizError.
  void close(const std::string& path);

 private:
  int fd_ = -1;
};

// Writes all bytes, retrying short writes.
void writeAll(int fd, std::string_view data, const std::string& path);

// An exclusive advisory lock (flock) on the file ".tvkwizard.lock" in a
// folder, held until destruction: one generation writes a folder at a time.
// Waits up to `wait` for another holder, then fails with
// "another generation is writing <folder>".
class FolderLock {
 public:
  static constexpr std::string_view kLockFileName = ".tvkwizard.lock";
  FolderLock(const std::string& folder, std::chrono::milliseconds wait);
  FolderLock(FolderLock&&) noexcept = default;
  FolderLock& operator=(FolderLock&&) noexcept = default;

 private:
  FileHandle fd_;
};

}  // namespace tvk::files
