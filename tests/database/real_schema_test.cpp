// Pages for every table of schemas shaped as real applications ship them
// (tests/database/real_schema), made the way a developer makes them: the
// wizard's pages answered with their defaults (every field shown, lookups
// proposed from the foreign keys), a list page with editing and a list with
// a form page, generated with Finish. Every SELECT the pages run (plain,
// sorted by each sortable column, and finding one record) and an INSERT and
// an UPDATE of the fields the pages write then run against the database,
// natively on SQLite and on the PostgreSQL server of the test run
// (scripts/start-test-postgres; skipped without it).
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/ado_routines.h"
#include "base/error.h"
#include "base/fs.h"
#include "base/session.h"
#include "base/settings.h"
#include "base/ui.h"
#include "database/data_access.h"
#include "database/database_test_support.h"
#include "database/field_data.h"
#include "database/sample_database.h"
#include "support/temp_dir.h"
#include "wizard/frm_wizard.h"
#include "wizard/headless_view.h"
#include "wizard/page_answers.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

namespace stdfs = std::filesystem;
using test::ScopedTempDir;

// The tables whose names are plain identifiers.
const std::vector<std::string> kPlainTables = {"maintenances", "hosts",   "items",      "users",
                                               "alerts",       "session", "attachments"};
// A reserved word as a table name, and a hyphenated column.
const std::vector<std::string> kQuotedTables = {"user", "identities"};
// Keys the application assigns: a new record needs its key entered.
const std::set<std::string> kAssignedKeys = {"hosts", "alerts", "session"};

// Runs one statement; the database's message when it is rejected.
using Runner = std::function<std::optional<std::string>(const std::string&)>;

struct Backend {
  std::string name;
  std::string connection;  // what the wizard is given
  Runner run;
};

// What the tests want run: whole tables, or only the inserts of some.
struct Selection {
  std::vector<std::string> tables;
  bool assignedKeyInserts = false;  // the inserts into kAssignedKeys tables, or all but those
};

// A name as the statements of this test write it: in double quotes, which
// both databases take, as ADO quotes the names of the statements it makes.
std::string sqlName(const std::string& name) {
  std::string text = "\"";
  for (char c : name) text += c == '"' ? std::string("\"\"") : std::string(1, c);
  return text + "\"";
}

// A table name as those statements write it: "schema.table" part by part.
std::string sqlTable(const std::string& name) {
  size_t dot = name.find('.');
  if (dot == std::string::npos) return sqlName(name);
  return sqlName(name.substr(0, dot)) + "." + sqlName(name.substr(dot + 1));
}

// The VBScript string literal that starts after the quote at `open`, its
// doubled quotes made single; `end` is set after its closing quote.
std::string literalAt(const std::string& text, size_t open, size_t* end) {
  std::string value;
  size_t i = open + 1;
  while (i < text.size()) {
    if (text[i] == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') {
        value += '"';
        i += 2;
        continue;
      }
      break;
    }
    value += text[i++];
  }
  if (end != nullptr) *end = i + 1;
  return value;
}

// The SELECT statements a generated page runs, with `key` standing for the
// value a request carries.
std::vector<std::string> pageSelects(const std::string& page, const std::string& key) {
  std::vector<std::string> statements;
  std::string recordSet;
  std::vector<std::string> where;
  std::vector<std::string> sortColumns;
  size_t at = 0;
  while ((at = page.find("sSQL = ", at)) != std::string::npos) {
    at += 7;
    if (page.compare(at, 9, "sSQL & \" ") == 0) {
      size_t open = at + 7;
      std::string clause = literalAt(page, open, nullptr);
      if (clause.rfind(" WHERE ", 0) == 0) where.push_back(clause);
      continue;
    }
    if (page[at] != '"') continue;
    size_t end = 0;
    std::string sql = literalAt(page, at, &end);
    if (sql.rfind("SELECT ", 0) != 0) continue;  // the delete
    if (page.compare(end, 3, " & ") == 0)
      statements.push_back(sql + key);  // finds one record
    else
      recordSet = sql;
  }
  size_t sort = page.find("(Request(\"SortField\"), Array(");
  if (sort != std::string::npos) {
    size_t open = page.find("Array(", sort) + 6;
    size_t close = page.find(')', open);
    for (size_t q = page.find('"', open); q < close; q = page.find('"', q)) {
      size_t end = 0;
      sortColumns.push_back(literalAt(page, q, &end));
      q = end;
    }
  }
  if (recordSet.empty()) return statements;
  statements.push_back(recordSet);
  for (const std::string& column : sortColumns) statements.push_back(recordSet + " ORDER BY " + column + " DESC");
  for (const std::string& clause : where) statements.push_back(recordSet + clause + key);
  return statements;
}

struct FieldFacts {
  std::string name, readOnly, lookupTable, joinField;
  int type = 0;
};

std::vector<FieldFacts> fieldFacts(const XMLWizData& data, const XmlNodeList& fields) {
  std::vector<FieldFacts> facts;
  for (const XmlNode& field : fields) {
    FieldFacts f;
    f.name = data.GetSubNodeText(field, wiz::FieldName);
    f.readOnly = data.GetSubNodeText(field, wiz::FieldReadOnly);
    f.type = std::stoi(data.GetSubNodeText(field, wiz::DataType));
    if (data.GetSubNodeText(field, wiz::UseLookupTable) == wiz::kTrue &&
        data.GetSubNodeText(field, wiz::LookupTableType) == wiz::kLookupDatabaseTable) {
      f.lookupTable = data.GetSubNodeText(field, wiz::LookupTableName);
      f.joinField = data.GetSubNodeText(field, wiz::LookupJoinField);
    }
    facts.push_back(f);
  }
  return facts;
}

// Text keys written by one run; the PostgreSQL test server keeps its rows
// between runs (the default and the sanitizer presets share it), so the
// keys carry the moment of the run.
const std::string& runStamp() {
  static const std::string stamp = std::to_string(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
          .count());
  return stamp;
}

// A value the user could have typed for a field, as SQL: a lookup takes a
// row of its table, the key a value no record has.
std::string valueFor(const FieldFacts& f, const std::string& table, const std::string& key, int serial) {
  if (!f.lookupTable.empty()) return "(SELECT MIN(" + sqlName(f.joinField) + ") FROM " + sqlTable(f.lookupTable) + ")";
  bool text = gfbIsTextType(f.type);
  if (f.name == key)
    return text ? "'new" + runStamp() + "-" + std::to_string(serial) + "'"
                : "(SELECT MAX(" + sqlName(key) + ") + 1 FROM " + sqlName(table) + ")";
  if (text) return "'v'";
  switch (gfnBaseDataType(f.type)) {
    case adotype::Boolean:
      return "TRUE";
    case adotype::Date:
      return f.type == adotype::DBTime ? "'03:04:05'" : "'2024-01-02'";
    case adotype::Binary:
    case adotype::VarBinary:
    case adotype::LongVarBinary:
      return "NULL";
    default:
      return "7";
  }
}

// The insert and the update of the fields a page writes (those not read
// only), as ADO makes them from the page's record set.
std::vector<std::string> pageWrites(const std::vector<FieldFacts>& fields, const std::string& table,
                                    const std::string& key, const std::string& keyValue, bool inserts, bool updates,
                                    int serial) {
  std::string columns, values, assignments;
  for (const FieldFacts& f : fields) {
    if (f.readOnly == wiz::kTrue) continue;
    std::string value = valueFor(f, table, key, serial);
    columns += (columns.empty() ? "" : ", ") + sqlName(f.name);
    values += (values.empty() ? "" : ", ") + value;
    if (f.name != key) assignments += (assignments.empty() ? "" : ", ") + sqlName(f.name) + " = " + value;
  }
  std::vector<std::string> writes;
  if (inserts) writes.push_back("INSERT INTO " + sqlName(table) + " (" + columns + ") VALUES (" + values + ")");
  if (updates && !assignments.empty())
    writes.push_back("UPDATE " + sqlName(table) + " SET " + assignments + " WHERE " + sqlName(key) + " = " + keyValue);
  return writes;
}

class RealSchema : public ::testing::Test {
 protected:
  // Makes and generates the project of one table; adds the statements its
  // pages run to `statements`, and what went wrong on the way to `problems`.
  void generate(const Backend& backend, const std::string& table, const std::string& type, bool reads, bool inserts,
                std::vector<std::string>& statements, std::vector<std::string>& problems) {
    ScopedTempDir dir;
    stdfs::create_directories(dir / "site");
    auto ui = std::make_shared<ConsoleUi>();
    Session session{ui};
    MemorySettings settings;
    ProjectAnswers a;
    a.type = type;
    a.style = "XP";
    a.name = "Page";
    a.directory = dir / "site";
    a.connection = backend.connection;
    a.table = table;
    a.listTexts["RecordsPerPage"] = "10";
    a.listTexts["MaxPages"] = "5";
    for (const char* id : {"AllowAddRecord", "AllowUpdateRecord", "AllowDeleteRecord"}) {
      if (type == "List")
        a.listChecks[id] = true;
      else
        a.formChecks[id] = true;
    }
    std::string where = backend.name + " " + table + " " + type;
    std::string refused;
    // The lookups the foreign keys propose, taken as proposed.
    {
      HeadlessView chooseView;
      FrmWizard choose{session, chooseView, settings, files::programDirectory()};
      if (!answerPages(choose, a, &refused, "TVKDataSource")) {
        problems.push_back(where + ": the wizard refused " + refused);
        return;
      }
      const XMLWizData& proposed = choose.wizData();
      for (const XmlNode& field : proposed.GetFields()) {
        if (proposed.GetSubNodeText(field, wiz::UseLookupTable) != wiz::kTrue) continue;
        FieldAnswers& answer = a.fields[proposed.GetSubNodeText(field, wiz::FieldName)];
        // A proposal without a link column (no column of a fitting type)
        // cannot be taken; the developer turns it off.
        if (proposed.GetSubNodeText(field, wiz::LookupJoinField).empty() ||
            proposed.GetSubNodeText(field, wiz::LookupShowField).empty()) {
          answer.noLookup = true;
          continue;
        }
        answer.lookupTable = proposed.GetSubNodeText(field, wiz::LookupTableName);
        answer.lookupJoinField = proposed.GetSubNodeText(field, wiz::LookupJoinField);
        answer.lookupShowField = proposed.GetSubNodeText(field, wiz::LookupShowField);
      }
    }
    HeadlessView view;
    FrmWizard wizard{session, view, settings, files::programDirectory()};
    if (!answerPages(wizard, a, &refused)) {
      problems.push_back(where + ": the wizard refused " + refused + ": " +
                         (ui->shown().empty() ? "" : ui->shown().back()));
      return;
    }
    wizard.cmdFinish_Click();
    for (const std::string& shown : ui->shown()) problems.push_back(where + ": " + shown);

    const XMLWizData& data = wizard.wizData();
    std::string key = data.GetNodeText(wiz::PrimaryKey);
    std::string keyValue = "(SELECT MIN(" + sqlName(key) + ") FROM " + sqlName(table) + ")";
    for (const char* file : {"PageList.asp", "PageForm.asp"}) {
      std::string path = dir / ("site/" + std::string(file));
      if (!stdfs::exists(path)) continue;
      std::string page = files::readFile(path);
      std::vector<std::string> selects = pageSelects(page, keyValue);
      if (selects.empty()) problems.push_back(where + ": no SELECT found in " + file);
      if (reads) statements.insert(statements.end(), selects.begin(), selects.end());
      recordSets_.insert(selects.begin(), selects.end());
    }
    if (!stdfs::exists(dir / "site/PageList.asp")) problems.push_back(where + ": no list page");
    std::vector<FieldFacts> fields = fieldFacts(data, type == "List" ? data.GetListFields() : data.GetFormFields());
    std::vector<std::string> writes = pageWrites(fields, table, key, keyValue, inserts, reads, ++serial_);
    statements.insert(statements.end(), writes.begin(), writes.end());
  }

  // Every statement of the selected tables' pages that the database
  // rejects, with its message.
  std::vector<std::string> rejected(const Backend& backend, const Selection& selection) {
    std::vector<std::string> failures;
    for (const std::string& table : selection.tables) {
      bool assigned = kAssignedKeys.count(table) > 0;
      bool reads = !selection.assignedKeyInserts;
      bool inserts = selection.assignedKeyInserts == assigned;
      if (!reads && !inserts) continue;
      for (const char* type : {"List", "ListForm"}) {
        std::vector<std::string> statements;
        generate(backend, table, type, reads, inserts, statements, failures);
        for (const std::string& sql : statements)
          if (std::optional<std::string> error = backend.run(sql))
            failures.push_back(backend.name + " " + table + " " + type + ": " + sql + "\n    " + *error);
      }
    }
    return failures;
  }

  // Every statement found in the pages, for the checks that the shapes
  // were made as meant.
  bool anyRecordSetHas(const std::string& part) const {
    for (const std::string& sql : recordSets_)
      if (sql.find(part) != std::string::npos) return true;
    return false;
  }

  std::optional<Backend> sqlite() {
    std::string path = dir_ / "real.db";
    db::buildSqliteDatabase(path, {test::sourceFile("tests/database/real_schema/sqlite.sql")});
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      sqlite3_close(raw);
      return std::nullopt;
    }
    sqliteDb_.reset(raw);
    sqlite3_exec(raw, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    sqlite3* db = sqliteDb_.get();
    return Backend{"SQLite", db::sqliteConnectionString(path),
                   [db](const std::string& sql) -> std::optional<std::string> {
                     char* message = nullptr;
                     if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return std::nullopt;
                     std::string text = message != nullptr ? message : "failed";
                     sqlite3_free(message);
                     return text;
                   }};
  }

  std::optional<Backend> postgres() {
    std::optional<std::string> connection = test::environment("TVK_TEST_PG_REAL");
    if (!connection) return std::nullopt;
    pg_ = db::openConnection(*connection);
    db::Connection* pg = pg_.get();
    return Backend{"PostgreSQL", *connection, [pg](const std::string& sql) -> std::optional<std::string> {
                     try {
                       pg->execute(sql);
                       return std::nullopt;
                     } catch (const WizError& e) {
                       return e.description();
                     }
                   }};
  }

  static std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
  }

  struct SqliteClose {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
  };
  ScopedTempDir dir_;
  std::unique_ptr<sqlite3, SqliteClose> sqliteDb_;
  std::unique_ptr<db::Connection> pg_;
  std::set<std::string> recordSets_;
  int serial_ = 0;
};

constexpr const char* kNoServer =
    "no PostgreSQL test server with the real schema: run eval \"$(scripts/start-test-postgres)\" first";

TEST_F(RealSchema, SqlitePagesRunEveryStatement) {
  std::optional<Backend> backend = sqlite();
  ASSERT_TRUE(backend);
  std::vector<std::string> failures = rejected(*backend, {kPlainTables, false});
  EXPECT_TRUE(failures.empty()) << joined(failures);
  // The shapes came out as meant: a table joined to itself and two keys
  // into one table, each repeat under its own alias.
  EXPECT_TRUE(anyRecordSetHas("FROM hosts LEFT OUTER JOIN hosts AS hosts_1 ON hosts.proxy_hostid = hosts_1.hostid "));
  EXPECT_TRUE(anyRecordSetHas("LEFT OUTER JOIN hosts AS hosts_2 ON hosts.templateid = hosts_2.hostid "));
  EXPECT_TRUE(anyRecordSetHas("LEFT OUTER JOIN users AS users_1 ON alerts.ack_userid = users_1.userid "));
  // A bigint column into an INTEGER key links on that key.
  EXPECT_TRUE(anyRecordSetHas("LEFT OUTER JOIN maintenances ON hosts.maintenanceid = maintenances.maintenanceid "));
}

TEST_F(RealSchema, PostgresPagesRunEveryStatement) {
  std::optional<Backend> backend = postgres();
  if (!backend) GTEST_SKIP() << kNoServer;
  std::vector<std::string> failures = rejected(*backend, {kPlainTables, false});
  EXPECT_TRUE(failures.empty()) << joined(failures);
  EXPECT_TRUE(anyRecordSetHas("FROM hosts LEFT OUTER JOIN hosts AS hosts_1 ON hosts.proxy_hostid = hosts_1.hostid "));
  EXPECT_TRUE(anyRecordSetHas("LEFT OUTER JOIN users AS users_1 ON alerts.ack_userid = users_1.userid "));
  EXPECT_TRUE(anyRecordSetHas("LEFT OUTER JOIN maintenances ON hosts.maintenanceid = maintenances.maintenanceid "));
}

// A key into another schema's table proposes that table as the table list
// names it, not the default schema's table of the same name; the pages
// then join it and run.
TEST_F(RealSchema, PostgresLookupIntoAnotherSchema) {
  std::optional<Backend> backend = postgres();
  if (!backend) GTEST_SKIP() << kNoServer;
  auto ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  XMLWizData data{session};
  data.SetNodeText(wiz::DataSourceType, "ConnectionString");
  data.SetNodeText(wiz::ConnectionStringText, backend->connection);
  data.SetNodeText(wiz::DataProvider, "OTHER");
  data.SetNodeText(wiz::TableName, "sites");
  ResetTableData(data);
  ASSERT_EQ(test::fieldRecords(data).size(), 3u) << (ui->shown().empty() ? "" : ui->shown().front());
  EXPECT_EQ(test::fieldRecords(data).at(2),
            "region_id|region_id|3|Integer|4|FALSE|FALSE|TRUE:archive.regions:region_id:region_name|TRUE");
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();

  std::vector<std::string> failures = rejected(*backend, {{"sites"}, false});
  EXPECT_TRUE(failures.empty()) << joined(failures);
  EXPECT_TRUE(anyRecordSetHas("LEFT OUTER JOIN archive.regions ON sites.region_id = archive.regions.region_id "));
}

// Names that need the database's own quotes, and keys the application
// assigns, which the form must take on insert.
TEST_F(RealSchema, QuotedNamesAndAssignedKeys) {
  std::optional<Backend> lite = sqlite();
  ASSERT_TRUE(lite);
  std::vector<std::string> failures = rejected(*lite, {kQuotedTables, false});
  std::vector<std::string> inserts = rejected(*lite, {kPlainTables, true});
  failures.insert(failures.end(), inserts.begin(), inserts.end());
  if (std::optional<Backend> pg = postgres()) {
    std::vector<std::string> more = rejected(*pg, {kQuotedTables, false});
    failures.insert(failures.end(), more.begin(), more.end());
    more = rejected(*pg, {kPlainTables, true});
    failures.insert(failures.end(), more.begin(), more.end());
  }
  EXPECT_TRUE(failures.empty()) << joined(failures);
}

}  // namespace
}  // namespace tvk
