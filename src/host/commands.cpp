#include "host/commands.h"

#include <vector>

#include "host/cmd_demo.h"
#include "host/cmd_generate.h"
#include "host/cmd_new.h"
#include "host/cmd_schema.h"

namespace tvk {

std::span<const CommandEntry> commandTable() {
  static const std::vector<CommandEntry> table = {
      {"schema", "List the tables of a database, or print the wizard data a table produces", setupSchemaCommand, {}},
      {"new", "Make a project by answering the wizard's pages from options", setupNewCommand, {}},
      {"generate", "Regenerate the pages of a saved project file", setupGenerate, {}},
      {"demo", "Build the sample database and a list-with-form project over its orders", setupDemoCommand, {}},
  };
  return table;
}

const CommandEntry* defaultCommand() { return nullptr; }

}  // namespace tvk
