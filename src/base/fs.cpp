#include "base/fs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

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

std::string readFile(const std::string& path) {
  FileHandle fd{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (!fd) raiseErrno(errno, "Cannot open", path);
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode)) raiseErrno(EISDIR, "Cannot read", path);
  std::string content;
  readChunks(fd.get(), path, [&](std::string_view chunk) { content.append(chunk); });
  return content;
}

void copyNoOverwrite(const std::string& source, const std::string& target) {
  FileHandle in{::open(source.c_str(), O_RDONLY | O_CLOEXEC)};
  if (!in) raiseErrno(errno, "Cannot open", source);
  struct stat st {};
  if (::fstat(in.get(), &st) != 0) raiseErrno(errno, "Cannot read", source);
  if (S_ISDIR(st.st_mode)) raiseErrno(EISDIR, "Cannot read", source);
  FileHandle out{::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)};
  if (!out) raiseErrno(errno, "Cannot create", target);
  try {
    readChunks(in.get(), source, [&](std::string_view chunk) { writeAll(out.get(), chunk, target); });
    out.close(target);
  } catch (...) {
    // A part-copied template is worse than none: the next run would count
    // it as present and never copy it again.
    ::unlink(target.c_str());
    throw;
  }
}

void deleteFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) raiseErrno(errno, "Cannot delete", path);
}

void writeFileAtomic(const std::string& path, std::string_view content) {
  std::string directory = parentFolder(path);
  if (directory.empty()) directory = ".";
  std::random_device random;
  std::string temp;
  FileHandle fd;
  for (int attempt = 0; attempt < 16 && !fd; ++attempt) {
    temp = path + ".tmp" + std::to_string(random() % 1000000);
    fd = FileHandle{::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)};
    if (!fd && errno != EEXIST) raiseErrno(errno, "Cannot write", path);
  }
  if (!fd) raiseErrno(EEXIST, "Cannot write", path);
  try {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) ::fchmod(fd.get(), st.st_mode & 07777);
    writeAll(fd.get(), content, path);
    if (::fsync(fd.get()) != 0) raiseErrno(errno, "Cannot write", path);
    fd.close(path);
    if (::rename(temp.c_str(), path.c_str()) != 0) raiseErrno(errno, "Cannot write", path);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  // Make the rename itself durable.
  FileHandle dir{::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (dir) ::fsync(dir.get());
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
