// The subcommands of tvkwizard, one row each. A command's setup adds its
// options to its CLI11 subcommand and returns the function that runs it.
#pragma once

#include <functional>
#include <span>
#include <string_view>

namespace CLI {
class App;
}

namespace tvk {

struct CommandEntry {
  std::string_view name;
  std::string_view help;
  std::function<std::function<int()>(CLI::App&)> setup;
  // Runs the command with its defaults when no command is named (only the
  // default command has one).
  std::function<int()> runDefault;
};

std::span<const CommandEntry> commandTable();
// The command that runs when none is named; none while the wizard window
// cannot be shown.
const CommandEntry* defaultCommand();

}  // namespace tvk
