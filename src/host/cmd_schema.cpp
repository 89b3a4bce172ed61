#include "host/cmd_schema.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>

#include "base/error.h"
#include "base/fs.h"
#include "base/session.h"
#include "base/settings.h"
#include "base/ui.h"
#include "base/xml.h"
#include "database/database_connection.h"
#include "wizard/frm_wizard.h"
#include "wizard/headless_view.h"
#include "wizard/page_answers.h"
#include "wizard/table_list.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

std::function<int()> setupSchemaCommand(CLI::App& app) {
  auto options = std::make_shared<SchemaOptions>();
  app.add_option("--connection", options->connection,
                 "Connection string, e.g. \"Driver={SQLite3};Database=shop.db\" or any ODBC string")
      ->required();
  app.add_option("--table", options->table, "Table or view to choose: prints the wizard data document it produces")
      ->check(CLI::Validator(
          [](std::string& value) { return value.empty() ? std::string("must not be empty") : std::string(); }, "NAME"));
  app.add_option("--type", options->type, "Project type the table is chosen for (default List)")
      ->check(CLI::IsMember({"List", "Form", "ListForm"}));
  app.footer(
      "Without --table: the tables and views the data source page offers, one a line\n"
      "(\"T: name\" or \"V: name\"), in catalogue order. Messages go to stderr; exit 1 when\n"
      "the database cannot be opened or the wizard refuses the table.");
  return [options] { return runSchemaCommand(*options, std::cout, std::cerr); };
}

namespace {

// The project name the pages before the data source page are answered with:
// the table's own when the project-name page would take it.
std::string projectNameFor(const std::string& table) {
  for (char c : table) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!plain) return "Project";
  }
  return table;
}

// A refused name as the message shows it: quoted, with control characters
// and every byte outside ASCII as \xNN (the terminal could not show them).
std::string visibleName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown = "\"";
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7f) {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 15];
    } else {
      shown += c;
    }
  }
  return shown + "\"";
}

}  // namespace

int runSchemaCommand(const SchemaOptions& options, std::ostream& out, std::ostream& err) {
  Session session(std::make_shared<ConsoleUi>(err));
  if (options.table.empty()) {
    // The data source page's list for this connection.
    XMLWizData wizData(session);
    wizData.SetNodeText(wiz::DataSourceType, wiz::kSourceConnectionString);
    wizData.SetNodeText(wiz::ConnectionStringText, options.connection);
    if (!fbValidDataConnection(wizData)) return 1;
    bool complete = false;
    std::vector<TableListOption> tables = HTMLTableList(wizData, &complete);
    if (!complete) return 1;
    for (const TableListOption& option : tables) out << option.caption << '\n';
    return 0;
  }

  // Choosing the table as the wizard's pages do, up to the data source page.
  MemorySettings settings;
  HeadlessView view;
  FrmWizard wizard(session, view, settings, files::programDirectory());
  ProjectAnswers answers;
  answers.type = options.type;
  answers.name = projectNameFor(options.table);
  answers.directory = std::filesystem::current_path().string();
  answers.connection = options.connection;
  answers.table = options.table;
  std::string refusedPage;
  if (!answerPages(wizard, answers, &refusedPage, "TVKDataSource")) {
    err << "tvkwizard schema: the wizard stopped on the page " << refusedPage << '\n';
    return 1;
  }
  // A name XML cannot hold would make the document unreadable; the column
  // is named so that it can be renamed or left out by a view.
  const XMLWizData& data = wizard.wizData();
  if (!isXmlText(options.table)) {
    err << "tvkwizard schema: the table name " << visibleName(options.table)
        << " holds a character that XML 1.0 cannot hold (a control character or bytes that are not UTF-8)\n";
    return 1;
  }
  for (const XmlNode& field : data.GetFields()) {
    std::string name = field.child(wiz::FieldName).text();
    if (!isXmlText(name)) {
      err << "tvkwizard schema: the column " << visibleName(name) << " of " << options.table
          << " holds a character that XML 1.0 cannot hold (a control character or bytes that are not UTF-8)\n";
      return 1;
    }
  }
  try {
    data.WriteXML(out);
  } catch (...) {
    err << "tvkwizard schema: " << currentErrorInfo().description << '\n';
    return 1;
  }
  return 0;
}

}  // namespace tvk
