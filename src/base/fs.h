// The file-system layer under the file routines, the text stream and the
// project files. Failures throw WizError with the numbers users know
// (53 file not found, 70 permission denied, 76 path not found, 58 file
// already exists, 61 disk full) and a description that names the path.
#pragma once

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

// Copies without overwriting: fails with 58 when the target exists.
void copyNoOverwrite(const std::string& source, const std::string& target);

// Deletes a file, read-only or not; a missing file is not an error.
void deleteFile(const std::string& path);

// Writes the whole content to a temporary file beside `path`, flushes it to
// disk and renames it over `path`: readers see the old or the new file, never
// a part of one. The existing file's permissions are kept.
void writeFileAtomic(const std::string& path, std::string_view content);

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

}  // namespace tvk::files
