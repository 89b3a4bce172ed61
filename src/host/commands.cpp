#include "host/commands.h"

#include <iostream>
#include <vector>

#include "host/cmd_demo.h"
#include "host/cmd_generate.h"
#include "host/cmd_new.h"
#include "host/cmd_schema.h"
#include "host/cmd_wizard.h"

namespace tvk {

std::span<const CommandEntry> commandTable() {
  static const std::vector<CommandEntry> table = {
      {"wizard", "Show the wizard in the browser (the default command)", setupWizardCommand,
       [] { return runWizardCommand(WizardCommandOptions{}, std::cout, std::cerr); }},
      {"add-item",
       "Show the wizard for a folder of a web project; the pages join the project",
       setupAddItemCommand,
       {}},
      {"schema", "List the tables of a database, or print the wizard data a table produces", setupSchemaCommand, {}},
      {"new", "Make a project by answering the wizard's pages from options", setupNewCommand, {}},
      {"generate", "Regenerate the pages of a saved project file", setupGenerate, {}},
      {"demo", "Build the sample database and a list-with-form project over its orders", setupDemoCommand, {}},
  };
  return table;
}

const CommandEntry* defaultCommand() { return &commandTable().front(); }

}  // namespace tvk
