// `tvkwizard generate <project.xml>`: regenerates the pages of a saved
// project without the wizard window.
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "base/fs.h"

namespace CLI {
class App;
}

namespace tvk {

class Session;
class XMLWizData;

struct GenerateOptions {
  std::string projectFile;
  // Where the templates are; empty: the Templates directory beside the
  // program (tests point elsewhere; the command line does not offer it).
  std::string templatesDirectory;
  // How long to wait for another generation into the same folder.
  std::chrono::milliseconds lockWait{10000};
};

// Adds the command's arguments and returns the function that runs it.
std::function<int()> setupGenerate(CLI::App& app);

// Loads the project, checks its values (a refusal names the element and
// the value, and nothing is written), takes its folders relative to the
// project file's own folder, locks the page folder against another
// generation, builds the SELECT statement and lookup aliases in memory (the
// file is not changed), writes every file and prints the report on `out`,
// one line per file. Messages (and every failed line again) go to `err`.
// Returns 0 when every file was created or already present and nothing went
// wrong on the way, 1 otherwise.
int runGenerate(const GenerateOptions& options, std::ostream& out, std::ostream& err);

// The project check for a command: prints "<command>: <label>: <problem>"
// and returns false when the project must not be generated.
bool checkProjectValues(const XMLWizData& data, std::string_view command, std::string_view label, std::ostream& err);

// Locks the project's page folder for this generation (nothing is locked
// when the folder does not exist); false, after a message, when another
// generation holds it past `wait`.
bool lockPageFolder(const XMLWizData& data, std::chrono::milliseconds wait, std::string_view command,
                    std::optional<files::FolderLock>& lock, std::ostream& err);

// Generates a project already in memory, of `session`, whose values have
// been checked and whose folder the caller has locked. `command` names the
// command in messages ("tvkwizard demo").
int generateLoadedProject(Session& session, XMLWizData& data, const std::string& templatesDirectory,
                          std::string_view command, std::ostream& out, std::ostream& err);

}  // namespace tvk
