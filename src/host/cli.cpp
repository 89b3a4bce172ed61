#include "host/cli.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <iostream>
#include <utility>
#include <vector>

#include "host/commands.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

int runCommandLine(int argc, char** argv) {
  CLI::App app{
      "TVK Wizard: answers a short sequence of wizard pages about a database table and writes\n"
      "classic Active Server Pages for it (a list page and/or a form page, include files,\n"
      "a stylesheet and graphics). All answers live in one XML project file.",
      "tvkwizard"};
  app.set_version_flag("--version", "tvkwizard " + wizardVersion() + "." + std::to_string(TVK_VERSION_PATCH));
  app.require_subcommand(0, 1);

  // Each subcommand with its runner (get_subcommands() lists only the parsed
  // ones, so its positions are not the table's).
  std::vector<std::pair<CLI::App*, std::function<int()>>> runners;
  for (const CommandEntry& entry : commandTable()) {
    CLI::App* sub = app.add_subcommand(std::string(entry.name), std::string(entry.help));
    runners.emplace_back(sub, entry.setup(*sub));
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    // Usage errors exit 2; --help and --version exit 0.
    return code == 0 ? 0 : 2;
  }

  for (const auto& [sub, run] : runners) {
    if (sub->parsed()) return run();
  }
  const CommandEntry* fallback = defaultCommand();
  if (fallback == nullptr) {
    std::cout << app.help();
    return 0;
  }
  return fallback->runDefault();
}

}  // namespace tvk
