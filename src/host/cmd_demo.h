// tvkwizard demo: the sample database and a list-with-form project over its
// Orders table, built into a folder.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace tvk {

std::function<int()> setupDemoCommand(CLI::App& app);

int runDemoCommand(const std::string& directory, std::ostream& out, std::ostream& err);

}  // namespace tvk
