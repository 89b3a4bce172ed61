// tvkwizard demo: the sample database and a list-with-form project over its
// Orders table, built into a folder.
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace tvk {

std::function<int()> setupDemoCommand(CLI::App& app);

// `lockWait`: how long to wait for another demo or generation writing the
// same folder.
int runDemoCommand(const std::string& directory, std::ostream& out, std::ostream& err,
                   std::chrono::milliseconds lockWait = std::chrono::seconds(10));

}  // namespace tvk
