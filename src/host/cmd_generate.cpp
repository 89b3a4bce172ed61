#include "host/cmd_generate.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "base/error.h"
#include "base/fs.h"
#include "base/session.h"
#include "base/ui.h"
#include "database/sql_statement_builder.h"
#include "generator/output_files.h"
#include "generator/tvk_file_creator.h"
#include "wizdata/project_values.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {
constexpr std::string_view kCommand = "tvkwizard generate";
}

std::function<int()> setupGenerate(CLI::App& app) {
  auto options = std::make_shared<GenerateOptions>();
  app.add_option("project", options->projectFile, "The project file (.xml) saved by the wizard")->required();
  app.footer(
      "Prints one line per file. Exit status 0 when every file was created or already present,\n"
      "1 when a file could not be written or the project cannot be read.");
  return [options] { return runGenerate(*options, std::cout, std::cerr); };
}

int runGenerate(const GenerateOptions& options, std::ostream& out, std::ostream& err) {
  // Error reports of the generator are printed and answered with Abort.
  Session session(std::make_shared<ConsoleUi>(err));
  XMLWizData data(session);
  if (!data.Load(options.projectFile)) {
    err << kCommand << ": cannot read the project file '" << options.projectFile << "': " << data.lastLoadError()
        << '\n';
    return 1;
  }
  if (data.root().name() != wiz::kRoot) {
    err << kCommand << ": '" << options.projectFile << "' is not a TVK Wizard project file (its root element is <"
        << data.root().name() << ">, not <" << wiz::kRoot << ">)\n";
    return 1;
  }
  if (!checkProjectValues(data, kCommand, options.projectFile, err)) return 1;
  std::error_code ec;
  std::filesystem::path base = std::filesystem::absolute(options.projectFile, ec).parent_path();
  resolveProjectFolders(data, base.string());
  std::optional<files::FolderLock> lock;
  if (!lockPageFolder(data, options.lockWait, kCommand, lock, err)) return 1;
  return generateLoadedProject(session, data, options.templatesDirectory, kCommand, out, err);
}

bool checkProjectValues(const XMLWizData& data, std::string_view command, std::string_view label, std::ostream& err) {
  std::optional<ProjectProblem> problem;
  try {
    problem = projectProblem(data);
  } catch (...) {
    ErrorInfo error = currentErrorInfo();
    err << command << ": " << label << ": " << error.description << '\n';
    return false;
  }
  if (!problem) return true;
  err << command << ": " << label << ": " << problem->describe() << '\n';
  return false;
}

bool lockPageFolder(const XMLWizData& data, std::chrono::milliseconds wait, std::string_view command,
                    std::optional<files::FolderLock>& lock, std::ostream& err) {
  std::string folder = data.GetNodeText(wiz::FileDirectory);
  // A folder that is not there holds nothing to protect; the pages are
  // reported as failed when they cannot be written into it.
  if (!files::directoryExists(folder)) return true;
  try {
    lock.emplace(folder, wait);
  } catch (...) {
    err << command << ": " << currentErrorInfo().description << '\n';
    return false;
  }
  return true;
}

int generateLoadedProject(Session& session, XMLWizData& data, const std::string& templatesDirectory,
                          std::string_view command, std::ostream& out, std::ostream& err) {
  try {
    if (!SetupGenerationData(data)) {
      // Pages written now would open whatever statement the file last held.
      err << command << ": the SELECT statement could not be built; no file was written\n";
      return 1;
    }
  } catch (...) {
    ErrorInfo error = currentErrorInfo();
    err << command << ": cannot prepare the project: " << error.description << " (" << error.source << ")\n";
    return 1;
  }

  std::unique_ptr<OutputFiles> output = outputFilesFor(session);
  TVKFileCreator creator =
      templatesDirectory.empty() ? TVKFileCreator(*output) : TVKFileCreator(*output, templatesDirectory);
  GenerationReport report = creator.GenerateFiles(data);
  out << renderReport(report, "\n");
  for (const FileReport& entry : report.entries)
    if (!entry.succeeded()) err << command << ": " << entry.line << '\n';
  for (const std::string& routine : report.failedRoutines)
    err << command << ": " << routine << " failed; its part of the page is missing\n";
  if (report.entries.empty()) err << command << ": generation stopped; no report\n";
  return report.succeeded() ? 0 : 1;
}

}  // namespace tvk
