#include "host/cmd_schema.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "database/database_connection.h"
#include "wizard/table_choice.h"
#include "wizard/table_list.h"
#include "base/ui.h"
#include "base/session.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

std::function<int()> setupSchemaCommand(CLI::App& app) {
  auto options = std::make_shared<SchemaOptions>();
  app.add_option("--connection", options->connection,
                 "Connection string, e.g. \"Driver={SQLite3};Database=shop.db\" or any ODBC string")
      ->required();
  app.add_option("--table", options->table,
                 "Table or view to choose: prints the wizard data document it produces")
      ->check(CLI::Validator(
          [](std::string& value) { return value.empty() ? std::string("must not be empty") : std::string(); },
          "NAME"));
  app.add_option("--type", options->type, "Project type the table is chosen for (default List)")
      ->check(CLI::IsMember({"List", "Form", "ListForm"}));
  app.footer(
      "Without --table: the tables and views the data source page offers, one a line\n"
      "(\"T: name\" or \"V: name\"), in catalogue order. Messages go to stderr; exit 1 when\n"
      "the database cannot be opened or the wizard refuses the table.");
  return [options] { return runSchemaCommand(*options, std::cout, std::cerr); };
}

int runSchemaCommand(const SchemaOptions& options, std::ostream& out, std::ostream& err) {
  Session session(std::make_shared<ConsoleUi>(err));
  XMLWizData wizData(session);
  wizData.SetNodeText(wiz::ProjectType, options.type);
  wizData.SetNodeText(wiz::DataSourceType, wiz::kSourceConnectionString);
  wizData.SetNodeText(wiz::ConnectionStringText, options.connection);

  // The connection page refuses a database it cannot open.
  if (!fbValidDataConnection(wizData)) return 1;
  bool complete = false;
  std::vector<TableListOption> tables = HTMLTableList(wizData, &complete);
  if (!complete) return 1;

  if (options.table.empty()) {
    for (const TableListOption& option : tables) out << option.caption << '\n';
    return 0;
  }
  bool offered = false;
  for (const TableListOption& option : tables) offered = offered || option.value == options.table;
  if (!offered) {
    err << "tvkwizard schema: the data source page offers no table or view named \"" << options.table
        << "\" (see tvkwizard schema --connection ...)\n";
    return 1;
  }
  if (!gfbChooseTable(wizData, options.table)) return 1;
  out << wizData.GetXML();
  return 0;
}

}  // namespace tvk
