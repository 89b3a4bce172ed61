#include "host/cmd_generate.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "database/sql_statement_builder.h"
#include "files/error.h"
#include "generator/tvk_file_creator.h"
#include "host/ui.h"
#include "host/wizard_context.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {
constexpr std::string_view kCommand = "tvkwizard generate: ";
}

std::function<int()> setupGenerate(CLI::App& app) {
  auto options = std::make_shared<GenerateOptions>();
  app.add_option("project", options->projectFile, "The project file (.xml) saved by the wizard")
      ->required();
  app.footer(
      "Prints one line per file. Exit status 0 when every file was created or already present,\n"
      "1 when a file could not be written or the project cannot be read.");
  return [options] { return runGenerate(*options, std::cout, std::cerr); };
}

int runGenerate(const GenerateOptions& options, std::ostream& out, std::ostream& err) {
  // Error reports of the generator are printed and answered with Abort; any
  // of them makes the run a failure even when every file got written.
  auto ui = std::make_shared<ConsoleUi>(err);
  ScopedWizardContext context{ui};

  XMLWizData data;
  if (!data.Load(options.projectFile)) {
    err << kCommand << "cannot read the project file '" << options.projectFile << "': " << data.lastLoadError()
        << '\n';
    return 1;
  }
  if (data.root().name() != wiz::kRoot) {
    err << kCommand << "'" << options.projectFile << "' is not a TVK Wizard project file (its root element is <"
        << data.root().name() << ">, not <" << wiz::kRoot << ">)\n";
    return 1;
  }

  return generateLoadedProject(data, options.templatesDirectory, *ui, out, err);
}

int generateLoadedProject(XMLWizData& data, const std::string& templatesDirectory, const ConsoleUi& ui,
                          std::ostream& out, std::ostream& err) {
  try {
    SetupGenerationData(data);
  } catch (...) {
    ErrorInfo error = currentErrorInfo();
    err << kCommand << "cannot prepare the project: " << error.description << " (" << error.source << ")\n";
    return 1;
  }
  if (!ui.shown().empty()) {
    // The SELECT statement could not be built: pages written now would
    // open whatever statement the file last held.
    err << kCommand << "the SELECT statement could not be built; no file was written\n";
    return 1;
  }

  TVKFileCreator creator = templatesDirectory.empty() ? TVKFileCreator()
                                                               : TVKFileCreator(templatesDirectory);
  std::string report = creator.GenerateFiles(data);
  bool succeeded = !report.empty();
  size_t pos = 0;
  while (pos < report.size()) {
    size_t end = report.find("\r\n", pos);
    if (end == std::string::npos) end = report.size();
    std::string_view line(report.data() + pos, end - pos);
    out << line << '\n';
    if (!gfbReportLineSucceeded(line)) succeeded = false;
    pos = end + 2;
  }
  return succeeded && ui.shown().empty() ? 0 : 1;
}

}  // namespace tvk
