// `tvkwizard generate <project.xml>`: regenerates the pages of a saved
// project without the wizard window.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

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
};

// Adds the command's arguments and returns the function that runs it.
std::function<int()> setupGenerate(CLI::App& app);

// Loads the project, builds the SELECT statement and lookup aliases in
// memory (the file is not changed), writes every file and prints the report
// on `out`, one line per file. Messages go to `err`. Returns 0 when every
// file was created or already present and nothing went wrong on the way,
// 1 otherwise.
int runGenerate(const GenerateOptions& options, std::ostream& out, std::ostream& err);

// The same for a project already in memory, of `session`. `command` names
// the command in messages ("tvkwizard demo").
int generateLoadedProject(Session& session, XMLWizData& data, const std::string& templatesDirectory,
                          std::string_view command, std::ostream& out, std::ostream& err);

}  // namespace tvk
