// tvkwizard wizard / add-item: the wizard in the browser. Both start the local
// server, print its address, open the default browser (unless told not to)
// and serve the window until the developer ends it.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace tvk {

struct WizardCommandOptions {
  unsigned short port = 0;  // 0: a free port
  bool openBrowser = true;
  std::string dataDirectory;  // empty: beside the program
  std::string settingsFile;   // empty: the user's settings file
};

struct AddItemOptions {
  std::string manifest;  // the web project's .wproj file
  std::string folder;    // the folder of the project the item goes to, relative to it
  std::string itemName;
};

std::function<int()> setupWizardCommand(CLI::App& app);
std::function<int()> setupAddItemCommand(CLI::App& app);

// The stand-alone wizard (the default command).
int runWizardCommand(const WizardCommandOptions& options, std::ostream& out, std::ostream& err);
// The wizard inside a web project.
int runAddItemCommand(const WizardCommandOptions& options, const AddItemOptions& item, std::ostream& out,
                      std::ostream& err);

}  // namespace tvk
