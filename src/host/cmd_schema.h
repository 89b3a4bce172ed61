// tvkwizard schema: what the data source page offers for a connection, and
// the wizard data document that choosing one of its tables produces.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace tvk {

struct SchemaOptions {
  std::string connection;
  std::string table;
  std::string type = "List";
};

std::function<int()> setupSchemaCommand(CLI::App& app);

// Runs the command: output on `out`, messages on `err`. 0 when done, 1 when
// the connection fails or the wizard refuses the table.
int runSchemaCommand(const SchemaOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tvk
