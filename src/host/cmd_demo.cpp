#include "host/cmd_demo.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <optional>

#include "base/error.h"
#include "base/fs.h"
#include "base/session.h"
#include "base/settings.h"
#include "base/ui.h"
#include "host/cmd_generate.h"
#include "wizard/demo_project.h"
#include "wizard/frm_wizard.h"
#include "wizard/headless_view.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

std::function<int()> setupDemoCommand(CLI::App& app) {
  auto directory = std::make_shared<std::string>("demo");
  app.add_option("dir", *directory, "Folder for the demo (default ./demo); files of an earlier demo are replaced");
  return [directory] { return runDemoCommand(*directory, std::cout, std::cerr); };
}

int runDemoCommand(const std::string& directory, std::ostream& out, std::ostream& err,
                   std::chrono::milliseconds lockWait) {
  Session session(std::make_shared<ConsoleUi>(err));
  DemoProject demo = demoLayout(directory);
  // The demo answers the pages itself; it reads and writes no settings.
  MemorySettings settings;
  HeadlessView view;
  FrmWizard wizard(session, view, settings, files::programDirectory());
  // One demo at a time into a folder: the database, the project file and
  // the pages of two runs would be written over each other.
  std::optional<files::FolderLock> lock;
  try {
    files::createDirectories(demo.site);
    lock.emplace(demo.site, lockWait);
    if (!buildDemoProject(demo, wizard)) return 1;
  } catch (...) {
    ErrorInfo error = currentErrorInfo();
    err << "tvkwizard demo: " << error.description << " (" << error.source << ", " << error.number << ")\n";
    return 1;
  }
  if (!checkProjectValues(wizard.wizData(), "tvkwizard demo", demo.projectFile, err)) return 1;
  int status = generateLoadedProject(session, wizard.wizData(), {}, "tvkwizard demo", out, err);
  out << '\n'
      << "Sample database: " << demo.database << '\n'
      << "Connection string: " << demo.connectionString << '\n'
      << "Project file: " << demo.projectFile << '\n'
      << "Regenerate with: tvkwizard generate " << demo.projectFile << '\n';
  return status;
}

}  // namespace tvk
