// The demo project: the sample database built into a folder and a
// list-with-form project over its Orders table, answered the way a
// developer would answer the wizard's pages.
#pragma once

#include <string>

namespace tvk {

class FrmWizard;

struct DemoProject {
  std::string directory;         // the demo folder, absolute
  std::string database;          // the sample SQLite database in it
  std::string site;              // where the pages are generated
  std::string projectFile;       // the saved project
  std::string connectionString;  // opens the sample database
};

// The file and folder names of a demo in `directory`.
DemoProject demoLayout(const std::string& directory);

// Builds the sample database (replacing an earlier one) and the site
// folders, then answers the wizard's pages in `wizard` the way a developer
// would and saves the project file. False after a refusal that has shown
// its message; other failures are WizError.
bool buildDemoProject(const DemoProject& demo, FrmWizard& wizard);

}  // namespace tvk
