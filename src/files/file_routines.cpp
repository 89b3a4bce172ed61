#include "files/file_routines.h"

#include "files/error.h"
#include "files/fs.h"
#include "files/general.h"
#include "files/vid_integration.h"
#include "files/web_project.h"
#include "host/wizard_context.h"

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
    std::string candidate = fs::join(current, name);
    if (found(candidate)) return candidate;
    if (fs::isRoot(current)) break;
    current = fs::parentFolder(current);
  }
  return {};
}

std::string gfsFindDirectoryOnDisk(const std::string& startDirectory, std::string_view name) {
  return orEmpty<std::string>(
      [&] { return searchUpward(startDirectory, name, [](const std::string& p) { return fs::directoryExists(p); }); });
}

std::string gfsFindFile(const std::string& startDirectory, std::string_view name) {
  return orEmpty<std::string>(
      [&] { return searchUpward(startDirectory, name, [](const std::string& p) { return fs::fileExists(p); }); });
}

bool quietlyInProject(const std::string& path) {
  // The project search clears failures instead of reporting them.
  WebProject* project = wizardContext().goProject.get();
  if (!project) return false;
  std::string virtualPath = gfsVirtualPath(path);
  return gfoProjectItem(virtualPath, project->root()) != nullptr;
}

std::string gfsFindDirectoryInProject(const std::string& startDirectory, std::string_view name) {
  return orEmpty<std::string>([&] {
    std::string candidate = fs::join(gfsNormalisePath(startDirectory), name);
    if (quietlyInProject(candidate)) return candidate;
    candidate = fs::join(gfsNormalisePath(wizardContext().gsLocalDirectory), name);
    if (quietlyInProject(candidate)) return candidate;
    return std::string();
  });
}

}  // namespace

int gfFilePresent(const std::string& path) {
  ErrorTrap trap{kModule, "gfFilePresent"};
  int result = 0;
  if (!trap([&] {
        const WizardContext& context = wizardContext();
        if (context.gbInEnvironment) {
          if (!gfbFileInProject(context.goProject.get(), path))
            result = kFileNotInProject;
          else
            result = fs::fileExists(path) ? kFileInProject : kFileNoLocalCopy;
        } else {
          result = fs::fileExists(path) ? kFileOnDisk : kFileNotOnDisk;
        }
      }))
    return 0;
  return result;
}

bool gfbDirectoryPresent(const std::string& path) {
  if (wizardContext().gbInEnvironment) return true;
  return fs::directoryExists(gfsNormalisePath(path));
}

std::string gfsFindDirectory(const std::string& startDirectory, std::string_view name) {
  ErrorTrap trap{kModule, "gfsFindDirectory"};
  std::string found;
  if (!trap([&] {
        found = wizardContext().gbInEnvironment ? gfsFindDirectoryInProject(startDirectory, name)
                                                : gfsFindDirectoryOnDisk(startDirectory, name);
      }))
    return {};
  return found;
}

std::string gfsGlobalASAPath(const std::string& startDirectory) {
  ErrorTrap trap{kModule, "gfsGlobalASAPath"};
  std::string found;
  if (!trap([&] {
        const WizardContext& context = wizardContext();
        if (context.gbInEnvironment) {
          std::string candidate = fs::join(gfsNormalisePath(context.gsLocalDirectory), "global.asa");
          found = gfbFileInProject(context.goProject.get(), candidate) ? candidate : std::string();
        } else {
          found = gfsFindFile(startDirectory, "global.asa");
        }
      }))
    return {};
  return found;
}

std::string gsCreateFileReport(const std::string& sourcePath, const std::string& targetDirectory) {
  const std::string fileName = gfsFileName(sourcePath);
  const std::string target = fs::join(gfsNormalisePath(targetDirectory), fileName);
  try {
    const WizardContext& context = wizardContext();
    if (context.gbInEnvironment) {
      if (gfFilePresent(target) == kFileNotInProject) {
        fs::copyNoOverwrite(sourcePath, target);
        // Adding reports its own failures; the copy stands either way.
        AddFileToProject(context.goProject.get(), target);
        return "File " + fileName + " successfully created in " + targetDirectory;
      }
      return "File " + fileName + " already present in project";
    }
    if (fs::fileExists(target)) return "File " + fileName + " already present in " + targetDirectory;
    fs::copyNoOverwrite(sourcePath, target);
    return "File " + fileName + " successfully created in " + targetDirectory;
  } catch (...) {
    ErrorInfo error = currentErrorInfo();
    return "Error creating file " + target + " - (" + std::to_string(error.number) + ") " + error.source +
           " : " + error.description;
  }
}

}  // namespace tvk
