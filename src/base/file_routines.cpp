#include "base/file_routines.h"

#include <cerrno>

#include "base/error.h"
#include "base/fs.h"
#include "base/general.h"
#include "base/session.h"
#include "base/vid_integration.h"
#include "base/web_project.h"

namespace tvk {

namespace {

constexpr std::string_view kModule = "FileRoutines";

// Walks upward from the start directory to the file-system root, asking
// `found` of each folder's candidate path.
template <class Test>
std::string searchUpward(const std::string& startDirectory, std::string_view name, Test found) {
  std::string current = gfsNormalisePath(startDirectory);
  while (current.size() > 1 && current.back() == kPathSeparator) current.pop_back();
  while (!current.empty()) {
    std::string candidate = files::join(current, name);
    if (found(candidate)) return candidate;
    if (files::isRoot(current)) break;
    current = files::parentFolder(current);
  }
  return {};
}

std::string gfsFindDirectoryOnDisk(const std::string& startDirectory, std::string_view name) {
  return orEmpty<std::string>([&] {
    return searchUpward(startDirectory, name, [](const std::string& p) { return files::directoryExists(p); });
  });
}

std::string gfsFindFile(const std::string& startDirectory, std::string_view name) {
  return orEmpty<std::string>(
      [&] { return searchUpward(startDirectory, name, [](const std::string& p) { return files::fileExists(p); }); });
}

bool quietlyInProject(const Session& session, const std::string& path) {
  // The project search clears failures instead of reporting them.
  WebProject* project = session.goProject.get();
  if (!project) return false;
  std::string virtualPath = gfsVirtualPath(session, path);
  return gfoProjectItem(session, virtualPath, project->root()) != nullptr;
}

std::string gfsFindDirectoryInProject(const Session& session, const std::string& startDirectory,
                                      std::string_view name) {
  return orEmpty<std::string>([&] {
    std::string candidate = files::join(gfsNormalisePath(startDirectory), name);
    if (quietlyInProject(session, candidate)) return candidate;
    candidate = files::join(gfsNormalisePath(session.gsLocalDirectory), name);
    if (quietlyInProject(session, candidate)) return candidate;
    return std::string();
  });
}

}  // namespace

int gfFilePresent(const Session& session, const std::string& path) {
  ErrorTrap trap{session.ui(), kModule, "gfFilePresent"};
  int result = 0;
  if (!trap([&] {
        const Session& context = session;
        if (context.gbInEnvironment) {
          if (!gfbFileInProject(session, context.goProject.get(), path))
            result = kFileNotInProject;
          else
            result = files::fileExists(path) ? kFileInProject : kFileNoLocalCopy;
        } else {
          result = files::fileExists(path) ? kFileOnDisk : kFileNotOnDisk;
        }
      }))
    return 0;
  return result;
}

bool gfbDirectoryPresent(const Session& session, const std::string& path) {
  if (session.gbInEnvironment) return true;
  return files::directoryExists(gfsNormalisePath(path));
}

std::string gfsFindDirectory(const Session& session, const std::string& startDirectory, std::string_view name) {
  ErrorTrap trap{session.ui(), kModule, "gfsFindDirectory"};
  std::string found;
  if (!trap([&] {
        found = session.gbInEnvironment ? gfsFindDirectoryInProject(session, startDirectory, name)
                                        : gfsFindDirectoryOnDisk(startDirectory, name);
      }))
    return {};
  return found;
}

std::string gfsGlobalASAPath(const Session& session, const std::string& startDirectory) {
  ErrorTrap trap{session.ui(), kModule, "gfsGlobalASAPath"};
  std::string found;
  if (!trap([&] {
        const Session& context = session;
        if (context.gbInEnvironment) {
          std::string candidate = files::join(gfsNormalisePath(context.gsLocalDirectory), "global.asa");
          found = gfbFileInProject(session, context.goProject.get(), candidate) ? candidate : std::string();
        } else {
          found = gfsFindFile(startDirectory, "global.asa");
        }
      }))
    return {};
  return found;
}

namespace {

FileReport copyFailed(const std::string& target) {
  ErrorInfo error = currentErrorInfo();
  return {target, FileReport::Outcome::Failed,
          "Error creating file " + target + " - (" + std::to_string(error.number) + ") " + error.source + " : " +
              error.description};
}

}  // namespace

namespace {

// What is at a template's place in the target folder. A file that holds the
// start of the template and no more (an empty or cut-short copy from an
// interrupted run of an older version) is repaired; a file with any other
// content is the developer's own edit and is kept.
enum class TemplateCopy { Missing, Whole, Partial, Edited };

TemplateCopy templateCopyState(const std::string& content, const std::string& target) {
  if (!files::fileExists(target)) return TemplateCopy::Missing;
  std::string present = files::readFile(target);
  if (present == content) return TemplateCopy::Whole;
  if (present.size() < content.size() && content.compare(0, present.size(), present) == 0) return TemplateCopy::Partial;
  return TemplateCopy::Edited;
}

FileReport created(const std::string& target, const std::string& fileName, const std::string& targetDirectory) {
  return {target, FileReport::Outcome::Created, "File " + fileName + " successfully created in " + targetDirectory};
}

}  // namespace

FileReport copyTemplateToDisk(const std::string& sourcePath, const std::string& targetDirectory,
                              const files::AtomicWriteOptions& options) {
  const std::string fileName = gfsFileName(sourcePath);
  const std::string target = files::join(gfsNormalisePath(targetDirectory), fileName);
  try {
    const std::string content = files::readFile(sourcePath);
    TemplateCopy state = templateCopyState(content, target);
    if (state == TemplateCopy::Whole || state == TemplateCopy::Edited)
      return {target, FileReport::Outcome::AlreadyPresent,
              "File " + fileName + " already present in " + targetDirectory};
    files::writeFileAtomic(target, content, options);
    return created(target, fileName, targetDirectory);
  } catch (...) {
    return copyFailed(target);
  }
}

FileReport copyTemplateToProject(const Session& session, const std::string& sourcePath,
                                 const std::string& targetDirectory, const files::AtomicWriteOptions& options) {
  const std::string fileName = gfsFileName(sourcePath);
  const std::string target = files::join(gfsNormalisePath(targetDirectory), fileName);
  try {
    const std::string content = files::readFile(sourcePath);
    if (gfFilePresent(session, target) != kFileNotInProject) {
      if (templateCopyState(content, target) != TemplateCopy::Partial)
        return {target, FileReport::Outcome::AlreadyPresent, "File " + fileName + " already present in project"};
      files::writeFileAtomic(target, content, options);
      return created(target, fileName, targetDirectory);
    }
    // A file of the developer's own under that name is not replaced.
    if (templateCopyState(content, target) == TemplateCopy::Edited) files::raiseErrno(EEXIST, "Cannot create", target);
    files::writeFileAtomic(target, content, options);
    // Adding reports its own failures; the copy stands either way.
    AddFileToProject(session, session.goProject.get(), target);
    return created(target, fileName, targetDirectory);
  } catch (...) {
    return copyFailed(target);
  }
}

std::string gsCreateFileReport(const Session& session, const std::string& sourcePath,
                               const std::string& targetDirectory) {
  return (session.gbInEnvironment ? copyTemplateToProject(session, sourcePath, targetDirectory)
                                  : copyTemplateToDisk(sourcePath, targetDirectory))
      .line;
}

}  // namespace tvk
