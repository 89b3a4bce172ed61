#include "base/fs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <thread>

#include "base/error.h"

namespace tvk::files {

namespace {

long errnoNumber(int errnum) {
  switch (errnum) {
    case ENOENT:
      return err::kFileNotFound;
    case ENOTDIR:
      return err::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return err::kPermissionDenied;
    case EEXIST:
      return err::kFileExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return err::kDiskFull;
    case ENAMETOOLONG:
      return err::kBadFileName;
    case EISDIR:
      return err::kPathFileAccess;
    case EIO:
      return err::kDeviceIO;
    default:
      return err::kPathFileAccess;
  }
}

}  // namespace

void raiseErrno(int errnum, std::string_view action, const std::string& path) {
  long number = errnoNumber(errnum);
  // A missing folder on the way to the file is "path not found".
  if (errnum == ENOENT && !path.empty()) {
    std::string parent = parentFolder(path);
    if (!parent.empty() && !directoryExists(parent)) number = err::kPathNotFound;
  }
  std::string description{action};
  description += " '";
  description += path;
  description += "': ";
  description += std::strerror(errnum);
  raise(number, std::string(kSource), std::move(description));
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isRoot(const std::string& path) { return !path.empty() && path.find_first_not_of('/') == std::string::npos; }

std::string parentFolder(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  if (isRoot(p)) return "/";
  auto slash = p.rfind('/');
  if (slash == std::string::npos) return {};
  if (slash == 0) return "/";
  p.resize(slash);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

std::string join(std::string_view directory, std::string_view name) {
  std::string result{directory};
  if (!result.empty() && result.back() != '/' && !name.empty() && name.front() != '/') result += '/';
  if (!result.empty() && result.back() == '/' && !name.empty() && name.front() == '/') name.remove_prefix(1);
  result += name;
  return result;
}

FileHandle::~FileHandle() {
  if (fd_ >= 0) ::close(fd_);
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.release();
  }
  return *this;
}

void FileHandle::close(const std::string& path) {
  int fd = release();
  if (fd >= 0 && ::close(fd) != 0) raiseErrno(errno, "Cannot write", path);
}

void writeAll(int fd, std::string_view data, const std::string& path) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      raiseErrno(errno, "Cannot write", path);
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
}

// Reads the descriptor to its end, handing each chunk to `sink`.
template <class Sink>
void readChunks(int fd, const std::string& path, Sink sink) {
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      raiseErrno(errno, "Cannot read", path);
    }
    if (n == 0) return;
    sink(std::string_view(buffer, static_cast<size_t>(n)));
  }
}

std::string readAll(int fd, const std::string& path) {
  std::string content;
  readChunks(fd, path, [&](std::string_view chunk) { content.append(chunk); });
  return content;
}

std::string readFile(const std::string& path) {
  FileHandle fd{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (!fd) raiseErrno(errno, "Cannot open", path);
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode)) raiseErrno(EISDIR, "Cannot read", path);
  std::string content;
  readChunks(fd.get(), path, [&](std::string_view chunk) { content.append(chunk); });
  return content;
}

void deleteFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) raiseErrno(errno, "Cannot delete", path);
}

namespace {

// A temporary file in `directory`: an unnamed one (O_TMPFILE) where the file
// system offers it, else a new name opened exclusively. `temp` is left empty
// for an unnamed file.
FileHandle openTemporary(const std::string& directory, const std::string& path, std::string& temp) {
  temp.clear();
  FileHandle fd{::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666)};
  if (fd) return fd;
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) raiseErrno(errno, "Cannot write", path);
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp = path + ".tmp" + std::to_string(random() % 1000000);
    fd = FileHandle{::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666)};
    if (fd) return fd;
    if (errno != EEXIST) raiseErrno(errno, "Cannot write", path);
  }
  raiseErrno(EEXIST, "Cannot write", path);
}

// Gives the unnamed temporary file a name beside `path`.
std::string nameTemporary(int fd, const std::string& path) {
  std::random_device random;
  std::string procPath = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string temp = path + ".tmp" + std::to_string(random() % 1000000);
    if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) return temp;
    if (errno != EEXIST) raiseErrno(errno, "Cannot write", path);
  }
  raiseErrno(EEXIST, "Cannot write", path);
}

}  // namespace

void writeFileAtomic(const std::string& path, std::string_view content, const AtomicWriteOptions& options) {
  std::string directory = parentFolder(path);
  if (directory.empty()) directory = ".";
  std::string temp;
  FileHandle fd = openTemporary(directory, path, temp);
  try {
    // The old file's mode and owner, never those of what a link points at.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      if (::fchown(fd.get(), st.st_uid, st.st_gid) != 0 && errno != EPERM) raiseErrno(errno, "Cannot write", path);
      if (::fchmod(fd.get(), st.st_mode & 07777) != 0) raiseErrno(errno, "Cannot write", path);
    }
    writeAll(fd.get(), content, path);
    if (::fsync(fd.get()) != 0) raiseErrno(errno, "Cannot write", path);
    // The hook runs while the new content has no name yet, so that a kill
    // there leaves no temporary file behind.
    if (options.beforeRename) options.beforeRename(path);
    if (temp.empty()) temp = nameTemporary(fd.get(), path);
    fd.close(path);
    if (::rename(temp.c_str(), path.c_str()) != 0) raiseErrno(errno, "Cannot write", path);
  } catch (...) {
    if (!temp.empty()) ::unlink(temp.c_str());
    throw;
  }
  // Make the rename itself durable.
  FileHandle dir{::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (dir) ::fsync(dir.get());
}

FolderLock::FolderLock(const std::string& folder, std::chrono::milliseconds wait) {
  const std::string path = join(folder, kLockFileName);
  fd_ = FileHandle{::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666)};
  if (!fd_) raiseErrno(errno, "Cannot lock", path);
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0) return;
    if (errno != EWOULDBLOCK && errno != EINTR) raiseErrno(errno, "Cannot lock", path);
    if (std::chrono::steady_clock::now() >= deadline)
      raise(err::kPermissionDenied, std::string(kSource), "another generation is writing " + folder);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

void createDirectories(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) raiseErrno(ec.value(), "Cannot create folder", path);
}

std::string programDirectory() {
  std::error_code ec;
  auto exe = std::filesystem::canonical("/proc/self/exe", ec);
  if (ec) return ".";
  return exe.parent_path().string();
}

}  // namespace tvk::files
