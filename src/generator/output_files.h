// Where generated files go, and what became of each. The file creator writes
// through an OutputFiles: on plain disk (stand-alone), or on disk with every
// new file registered as an item of the web project (inside the environment).
// Its result is a list of entries that one function renders as the report
// text the final page shows; callers act on the entries, never on the text.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_routines.h"
#include "base/fs.h"

namespace tvk {

class Session;

class OutputFiles {
 public:
  virtual ~OutputFiles() = default;
  // A generated page has been written and closed at `path`.
  virtual void pageWritten(const std::string& path) = 0;
  // Copies a template into the directory unless it is there already.
  virtual FileReport copyTemplate(const std::string& sourcePath, const std::string& targetDirectory) = 0;

  // How every file of the run is written (pages and copies alike).
  files::AtomicWriteOptions writeOptions;
};

class DiskOutput final : public OutputFiles {
 public:
  void pageWritten(const std::string&) override {}
  FileReport copyTemplate(const std::string& sourcePath, const std::string& targetDirectory) override;
};

class ProjectOutput final : public OutputFiles {
 public:
  explicit ProjectOutput(const Session& session) : session_(session) {}
  void pageWritten(const std::string& path) override;
  FileReport copyTemplate(const std::string& sourcePath, const std::string& targetDirectory) override;

 private:
  const Session& session_;
};

// The output for the session's mode.
std::unique_ptr<OutputFiles> outputFilesFor(const Session& session);

struct GenerationReport {
  std::vector<FileReport> entries;
  // Routines whose failure was reported while writing; their pages lack them.
  std::vector<std::string> failedRoutines;
  // True when there are entries, every file was created or already present,
  // and no routine failed.
  bool succeeded() const;
};

// One line per entry, each ended by `lineEnd` (CR LF on the final page).
std::string renderReport(const GenerationReport& report, std::string_view lineEnd = "\r\n");

}  // namespace tvk
