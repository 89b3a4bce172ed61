// `tvkwizard new`: a project made by answering the wizard's pages from
// options, through the same loaders, storers and validators as the window.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "wizard/page_answers.h"

namespace CLI {
class App;
}

namespace tvk {

struct NewOptions {
  std::string projectFile;  // -o
  bool generate = false;
  ProjectAnswers answers;
  // Where the program's data files are; empty: beside the program.
  std::string dataDirectory;
  // The settings file; empty: the user's (the recent list is not touched
  // by `new`, but the intro page reads it).
  std::string settingsFile;
};

std::function<int()> setupNewCommand(CLI::App& app);

// 0 when the project file was written (and, with --generate, every file
// generated); 1 after a refusal (the wizard's message on `err`, nothing
// written) or a failed generation.
int runNewCommand(const NewOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tvk
