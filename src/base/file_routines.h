// File questions in the wizard's two modes: inside a web project a file
// "exists" when it is an item of the project; stand-alone, when it is on disk.
#pragma once

#include <string>
#include <string_view>

#include "base/fs.h"

namespace tvk {

class Session;

// Results of gfFilePresent.
inline constexpr int kFileInProject = 1;     // project item, on disk
inline constexpr int kFileNotInProject = 2;  // not a project item
inline constexpr int kFileNoLocalCopy = 3;   // project item, missing on disk
inline constexpr int kFileOnDisk = -1;       // stand-alone: on disk
inline constexpr int kFileNotOnDisk = 0;     // stand-alone: not on disk

int gfFilePresent(const Session& session, const std::string& path);
// Failures pass on to the caller.
bool gfbDirectoryPresent(const Session& session, const std::string& path);
std::string gfsFindDirectory(const Session& session, const std::string& startDirectory, std::string_view name);
std::string gfsGlobalASAPath(const Session& session, const std::string& startDirectory);
// One line of the generation report: the file, what became of it, and the
// line the user reads.
struct FileReport {
  enum class Outcome { Created, AlreadyPresent, Failed };
  std::string file;
  Outcome outcome = Outcome::Failed;
  std::string line;

  bool succeeded() const { return outcome != Outcome::Failed; }
};

// Copies one template into the target directory (written atomically). On
// disk a file present counts as present; inside a web project, a project
// item does (and a copied file becomes one). A present file holding only the
// start of the template (an empty or cut-short copy) is written again; one
// with other content is the developer's and is kept.
FileReport copyTemplateToDisk(const std::string& sourcePath, const std::string& targetDirectory,
                              const files::AtomicWriteOptions& options = {});
FileReport copyTemplateToProject(const Session& session, const std::string& sourcePath,
                                 const std::string& targetDirectory, const files::AtomicWriteOptions& options = {});
// The copy for the session's mode, as its report line.
std::string gsCreateFileReport(const Session& session, const std::string& sourcePath,
                               const std::string& targetDirectory);

}  // namespace tvk
