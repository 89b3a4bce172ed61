#include "generator/output_files.h"

#include <algorithm>

#include "base/session.h"
#include "base/vid_integration.h"

namespace tvk {

FileReport DiskOutput::copyTemplate(const std::string& sourcePath, const std::string& targetDirectory) {
  return copyTemplateToDisk(sourcePath, targetDirectory, writeOptions);
}

void ProjectOutput::pageWritten(const std::string& path) { AddFileToProject(session_, session_.goProject.get(), path); }

FileReport ProjectOutput::copyTemplate(const std::string& sourcePath, const std::string& targetDirectory) {
  return copyTemplateToProject(session_, sourcePath, targetDirectory, writeOptions);
}

std::unique_ptr<OutputFiles> outputFilesFor(const Session& session) {
  if (session.gbInEnvironment) return std::make_unique<ProjectOutput>(session);
  return std::make_unique<DiskOutput>();
}

bool GenerationReport::succeeded() const {
  return !entries.empty() && failedRoutines.empty() &&
         std::all_of(entries.begin(), entries.end(), [](const FileReport& e) { return e.succeeded(); });
}

std::string renderReport(const GenerationReport& report, std::string_view lineEnd) {
  std::string text;
  for (const FileReport& entry : report.entries) {
    text += entry.line;
    text += lineEnd;
  }
  return text;
}

}  // namespace tvk
