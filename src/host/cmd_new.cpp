#include "host/cmd_new.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "base/error.h"
#include "base/fs.h"
#include "base/ini_settings.h"
#include "base/session.h"
#include "base/ui.h"
#include "host/cmd_generate.h"
#include "wizard/frm_wizard.h"
#include "wizard/headless_view.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

constexpr std::string_view kCommand = "tvkwizard new";

// The per-field options as given on the command line, parsed after CLI11 is
// done so that one message can name the bad value.
struct FieldOptionTexts {
  std::vector<std::string> labels, readOnly, writable, required, optional, sort, noSort, lookups, lists, radio,
      noLookup;
};

// "FIELD=rest": the field and the rest; false without "=" or a field.
bool splitField(const std::string& text, std::string& field, std::string& rest) {
  size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  field = text.substr(0, eq);
  rest = text.substr(eq + 1);
  return true;
}

std::vector<std::string> splitOn(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

// Fills the answers' per-field options; the first bad value is described in
// `problem`.
bool parseFieldOptions(const FieldOptionTexts& t, ProjectAnswers& answers, std::string& problem) {
  auto flag = [&](const std::vector<std::string>& names, std::optional<bool> FieldAnswers::*member, bool value) {
    for (const std::string& name : names) answers.fields[name].*member = value;
  };
  flag(t.readOnly, &FieldAnswers::readOnly, true);
  flag(t.writable, &FieldAnswers::readOnly, false);
  flag(t.required, &FieldAnswers::required, true);
  flag(t.optional, &FieldAnswers::required, false);
  flag(t.sort, &FieldAnswers::sorting, true);
  flag(t.noSort, &FieldAnswers::sorting, false);
  flag(t.radio, &FieldAnswers::radioButtons, true);
  for (const std::string& name : t.noLookup) answers.fields[name].noLookup = true;
  std::string field, rest;
  for (const std::string& text : t.labels) {
    if (!splitField(text, field, rest)) return problem = "--label \"" + text + "\" is not FIELD=TEXT", false;
    answers.fields[field].label = rest;
  }
  for (const std::string& text : t.lookups) {
    std::vector<std::string> parts;
    if (splitField(text, field, rest)) parts = splitOn(rest, ':');
    if (parts.size() != 3 || parts[0].empty() || parts[1].empty() || parts[2].empty())
      return problem = "--lookup \"" + text + "\" is not FIELD=TABLE:LINKCOLUMN:SHOWNCOLUMN", false;
    FieldAnswers& f = answers.fields[field];
    f.lookupTable = parts[0];
    f.lookupJoinField = parts[1];
    f.lookupShowField = parts[2];
  }
  for (const std::string& text : t.lists) {
    LookupRows rows;
    bool good = splitField(text, field, rest) && !rest.empty();
    if (good) {
      for (const std::string& pair : splitOn(rest, ';')) {
        std::string value, shown;
        if (!splitField(pair, value, shown)) {
          good = false;
          break;
        }
        rows.emplace_back(value, shown);
      }
    }
    if (!good) return problem = "--list \"" + text + "\" is not FIELD=VALUE=TEXT;VALUE=TEXT;...", false;
    answers.fields[field].lookupList = std::move(rows);
  }
  for (const auto& [name, f] : answers.fields) {
    if (f.lookupTable && f.lookupList) return problem = "the field " + name + " has both --lookup and --list", false;
    if (f.noLookup && (f.lookupTable || f.lookupList))
      return problem = "the field " + name + " has --no-lookup and a lookup", false;
  }
  return true;
}

// A check box of an option page: --name sets it, --no-name clears it.
void checkFlag(CLI::App& app, std::map<std::string, bool>& checks, const std::string& name, const std::string& id,
               const std::string& help) {
  app.add_flag_function(
      "--" + name + ",!--no-" + name, [&checks, id](std::int64_t count) { checks[id] = count > 0; }, help);
}

}  // namespace

std::function<int()> setupNewCommand(CLI::App& app) {
  auto options = std::make_shared<NewOptions>();
  auto fieldTexts = std::make_shared<FieldOptionTexts>();
  ProjectAnswers& a = options->answers;
  auto text = [&app](const std::string& name, std::optional<std::string>& target, const std::string& help) {
    app.add_option_function<std::string>(
        name, [&target](const std::string& v) { target = v; }, help);
  };

  app.add_option("-o,--output", options->projectFile, "The project file to write (.xml)")->required();
  app.add_flag("--generate", options->generate, "Also generate the pages, as Finish does");
  text("--type", a.type, "Project type: List, Form or ListForm (default List)");
  text("--style", a.style, "Visual style: Classic, Professional or XP (default Classic)");
  text("--name", a.name, "Project name: the pages are <name>List.asp and <name>Form.asp");
  text("--dir", a.directory, "Folder the pages are written to");
  text("--connection", a.connection, "Connection string, e.g. \"Driver={SQLite3};Database=shop.db\"");
  text("--global-asa-source", a.globalAsaSource, "A data source of the web application's global.asa instead");
  text("--table", a.table, "The table or view the pages show");

  checkFlag(app, a.listChecks, "list-add", "AllowAddRecord", "List page: adding records (--no-list-add: off)");
  checkFlag(app, a.listChecks, "list-update", "AllowUpdateRecord", "List page: editing records in the list");
  checkFlag(app, a.listChecks, "list-delete", "AllowDeleteRecord", "List page: deleting records");
  checkFlag(app, a.listChecks, "paging", "AllowPaging", "List page: show the records a page at a time");
  checkFlag(app, a.listChecks, "skip-one", "Skip1HavigationButtons", "List page: previous/next page buttons");
  checkFlag(app, a.listChecks, "skip-end", "SkipEndHavigationButtons", "List page: first/last page buttons");
  checkFlag(app, a.listChecks, "page-links", "PageNumberNavigation", "List page: links to page numbers");
  // A new project's list options page comes up with its number boxes
  // empty; the command answers them with the page's own figures.
  a.listTexts["RecordsPerPage"] = "10";
  a.listTexts["MaxPages"] = "10";
  app.add_option_function<std::string>(
      "--records-per-page", [&a](const std::string& v) { a.listTexts["RecordsPerPage"] = v; },
      "List page: records per page (default 10)");
  app.add_option_function<std::string>(
      "--max-pages", [&a](const std::string& v) { a.listTexts["MaxPages"] = v; },
      "List page: at most this many page-number links (default 10)");
  checkFlag(app, a.formChecks, "form-add", "AllowAddRecord", "Form page: adding records");
  checkFlag(app, a.formChecks, "form-update", "AllowUpdateRecord", "Form page: updating records");
  checkFlag(app, a.formChecks, "form-delete", "AllowDeleteRecord", "Form page: deleting records");
  checkFlag(app, a.formChecks, "navigation", "AllowNavigation", "Form page: record navigation");
  checkFlag(app, a.formChecks, "form-skip-one", "Skip1HavigationButtons", "Form page: previous/next buttons");
  checkFlag(app, a.formChecks, "form-skip-end", "SkipEndHavigationButtons", "Form page: first/last buttons");
  checkFlag(app, a.formChecks, "record-number", "DisplayRecordNo", "Form page: show the record number");

  app.add_option_function<std::vector<std::string>>(
         "--list-fields", [&a](const std::vector<std::string>& v) { a.listFields = v; },
         "Fields the list page shows, in order (default: every field)")
      ->delimiter(',');
  app.add_option_function<std::vector<std::string>>(
         "--form-fields", [&a](const std::vector<std::string>& v) { a.formFields = v; },
         "Fields the form page shows, in order (default: every field)")
      ->delimiter(',');
  FieldOptionTexts& t = *fieldTexts;
  app.add_option("--label", t.labels, "FIELD=TEXT: the field's column label");
  app.add_option("--read-only", t.readOnly, "FIELD: the pages show the field but do not change it");
  app.add_option("--writable", t.writable, "FIELD: the pages may change the field");
  app.add_option("--required", t.required, "FIELD: the pages refuse an empty value");
  app.add_option("--optional", t.optional, "FIELD: the field may be left empty");
  app.add_option("--sort", t.sort, "FIELD: the list may be sorted by the field");
  app.add_option("--no-sort", t.noSort, "FIELD: the list is not sorted by the field");
  app.add_option("--lookup", t.lookups, "FIELD=TABLE:LINKCOLUMN:SHOWNCOLUMN: show a value of another table");
  app.add_option("--list", t.lists, "FIELD=VALUE=TEXT;VALUE=TEXT;...: show a text from a hand-made list");
  app.add_option("--radio", t.radio, "FIELD: offer the field's lookup as radio buttons");
  app.add_option("--no-lookup", t.noLookup, "FIELD: no lookup for the field");
  app.footer(
      "Answers the wizard's pages from these options; what is not given keeps the page's default,\n"
      "and the list and form pages show every field in table order unless told otherwise.\n"
      "A refusal prints the wizard's message and exits 1 without writing anything.\n\n"
      "Example:\n"
      "  tvkwizard new -o Orders.xml --type ListForm --style XP --name Orders --dir site \\\n"
      "    --connection \"Driver={SQLite3};Database=shop.db\" --table Orders --records-per-page 20 \\\n"
      "    --list-fields OrderID,OrderDate,CustomerID --label OrderDate=Ordered \\\n"
      "    --lookup CustomerID=Customers:CustomerID:CompanyName --list Status=N=New;S=Shipped --generate");

  return [options, fieldTexts] {
    std::string problem;
    if (!parseFieldOptions(*fieldTexts, options->answers, problem)) {
      std::cerr << kCommand << ": " << problem << "\nRun with --help for more information.\n";
      return 2;
    }
    return runNewCommand(*options, std::cout, std::cerr);
  };
}

int runNewCommand(const NewOptions& options, std::ostream& out, std::ostream& err) {
  Session session(std::make_shared<ConsoleUi>(err));
  std::string dataDirectory = options.dataDirectory.empty() ? files::programDirectory() : options.dataDirectory;
  IniSettings settings(options.settingsFile.empty() ? IniSettings::defaultPath() : options.settingsFile);
  HeadlessView view;
  FrmWizard wizard(session, view, settings, dataDirectory);

  std::string refusedPage;
  if (!answerPages(wizard, options.answers, &refusedPage)) {
    err << kCommand << ": the wizard stopped on the page " << refusedPage << "; nothing was written\n";
    return 1;
  }
  XMLWizData& data = wizard.wizData();
  try {
    data.SetNodeText(wiz::WizardDataFile, options.projectFile);
    data.Save(options.projectFile);
  } catch (...) {
    ErrorInfo error = currentErrorInfo();
    err << kCommand << ": cannot write the project file: " << error.description << '\n';
    return 1;
  }
  out << "Project file " << options.projectFile << " written\n";
  if (!options.generate) return 0;
  return generateLoadedProject(session, data, {}, kCommand, out, err);
}

}  // namespace tvk
