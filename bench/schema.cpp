// Times what the developer waits for when the wizard reads a schema, as whole
// processes: `tvkwizard schema --connection C [--table T]` beside the
// database's own command-line client running the equivalent catalogue
// queries (the table list; and for one table its columns, indexes and
// foreign keys) against the same database, and the ratio of the two medians.
//
// SQLite: a database of 1,000 tables of 30 columns and one of 300 columns
// (1,001 tables), read with the `sqlite3` tool. PostgreSQL, when the test
// server is given (TVK_TEST_PG_BENCH, see scripts/start-test-postgres): 200
// tables of 30 columns and one of 300 in the bench database, read with `psql`.
//
// tvkwizard is looked for beside this program (TVK_WIZARD overrides it);
// TVK_BENCH_RUNS sets the runs per command (default 11). The two commands of
// a case run alternately, so that a busy machine slows both alike. Exits 1
// when a ratio is 1.5 or more, or a command fails or answers wrongly.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "database/connection_string.h"
#include "database/data_access.h"
#include "database/sample_database.h"

namespace {

using namespace tvk;

constexpr double kTargetRatio = 1.5;

// Runs a program with its output into `output` (or nowhere); the exit status,
// or -1 when it could not be started or did not exit normally.
int runProcess(const std::vector<std::string>& argv, const std::string& output = "/dev/null") {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int null = open("/dev/null", O_WRONLY);
    if (out < 0 || null < 0) _exit(127);
    dup2(out, 1);
    dup2(null, 2);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

double timedRun(const std::vector<std::string>& argv, bool& ok) {
  auto start = std::chrono::steady_clock::now();
  int status = runProcess(argv);
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (status != 0) ok = false;
  return ms;
}

double median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

struct Case {
  std::string what;
  std::vector<std::string> wizard;  // the tvkwizard command line
  std::vector<std::string> client;  // the database client's command line
};

// Median of both commands over `runs` alternate runs (after one warm-up run
// each), printed with their ratio; false when a command failed or the ratio
// misses the target.
bool compare(const Case& c, int runs) {
  bool ok = true;
  timedRun(c.wizard, ok);
  timedRun(c.client, ok);
  std::vector<double> wizard, client;
  for (int i = 0; i < runs; ++i) {
    wizard.push_back(timedRun(c.wizard, ok));
    client.push_back(timedRun(c.client, ok));
  }
  double w = median(wizard), k = median(client), ratio = w / k;
  bool met = ok && ratio < kTargetRatio;
  std::printf("%-50s tvkwizard %7.1f ms  %-7s %7.1f ms  ratio %4.2f  %s\n", c.what.c_str(), w,
              std::filesystem::path(c.client[0]).filename().c_str(), k, ratio,
              !ok   ? "FAILED"
              : met ? "ok"
                    : "MISSED");
  return met;
}

// The output of one run, for checking that the command answers what it should.
std::string outputOf(const std::vector<std::string>& argv, const std::string& dir, int& status) {
  std::string file = dir + "/output.txt";
  status = runProcess(argv, file);
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

size_t occurrences(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

// True when the wizard lists `tables` entries and reads `columns` fields for
// `table`; prints what went wrong otherwise.
bool answersRightly(const std::vector<std::string>& wizard, const std::string& connection, const std::string& table,
                    size_t tables, size_t columns, const std::string& dir) {
  int status = 0;
  std::string list = outputOf({wizard[0], "schema", "--connection", connection}, dir, status);
  size_t listed = occurrences(list, "T: ");
  if (status != 0 || listed != tables) {
    std::fprintf(stderr, "unexpected table list: exit %d, %zu tables (expected %zu)\n", status, listed, tables);
    return false;
  }
  std::string document = outputOf({wizard[0], "schema", "--connection", connection, "--table", table}, dir, status);
  size_t fields = occurrences(document, "<FieldName>");
  if (status != 0 || fields != columns) {
    std::fprintf(stderr, "unexpected field data of %s: exit %d, %zu fields (expected %zu)\n", table.c_str(), status,
                 fields, columns);
    return false;
  }
  return true;
}

std::string columnDefinition(int i, const char* prefix) {
  // A mix of the usual column types.
  static const char* types[] = {"INTEGER", "VARCHAR(40)", "NUMERIC(10,2)", "DATE", "TEXT", "BOOLEAN"};
  return std::string(prefix) + std::to_string(i) + " " + types[i % 6];
}

// `count` tables of 30 columns named prefix1... and the wide table of 300
// columns, nine of them foreign keys into the first tables.
std::vector<std::string> schemaStatements(const std::string& prefix, int count, const std::string& wide) {
  std::vector<std::string> statements;
  for (int t = 1; t <= count; ++t) {
    std::string sql = "CREATE TABLE " + prefix + std::to_string(t) + " (id INTEGER PRIMARY KEY";
    for (int c = 1; c < 30; ++c) sql += ", " + columnDefinition(c, "c");
    statements.push_back(sql + ")");
  }
  std::string sql = "CREATE TABLE " + wide + " (id INTEGER PRIMARY KEY";
  for (int c = 1; c < 300; ++c) {
    if (c % 30 == 0)
      sql += ", ref" + std::to_string(c) + " INTEGER REFERENCES " + prefix + std::to_string(c / 30) + " (id)";
    else
      sql += ", " + columnDefinition(c, "w");
  }
  statements.push_back(sql + ")");
  return statements;
}

std::string sqliteTableQueries(const std::string& table) {
  return "SELECT name,type FROM sqlite_schema; PRAGMA table_info(" + table + "); PRAGMA index_list(" + table +
         "); PRAGMA foreign_key_list(" + table + ");";
}

std::string postgresTableQueries(const std::string& table) {
  std::string regclass = "'" + table + "'::regclass";
  return "SELECT c.relname, c.relkind FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = "
         "c.relnamespace WHERE c.relkind IN ('r', 'v') AND n.nspname NOT IN ('pg_catalog', 'information_schema');"
         "SELECT attname, format_type(atttypid, atttypmod), attnotnull FROM pg_catalog.pg_attribute WHERE attrelid = " +
         regclass + " AND attnum > 0 AND NOT attisdropped ORDER BY attnum;" +
         "SELECT indexrelid::regclass, indisunique, indisprimary, indkey FROM pg_catalog.pg_index WHERE indrelid = " +
         regclass + ";" +
         "SELECT conname, confrelid::regclass, conkey, confkey FROM pg_catalog.pg_constraint WHERE conrelid = " +
         regclass + " AND contype = 'f';";
}

std::string wizardPath(const char* argv0) {
  if (const char* set = std::getenv("TVK_WIZARD"); set != nullptr && *set != '\0') return set;
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = argv0;
  return (self.parent_path() / "tvkwizard").string();
}

bool onPath(const std::string& program) { return runProcess({"sh", "-c", "command -v " + program}) == 0; }

int benchSqlite(const std::string& wizard, int runs, const std::string& dir) {
  if (!onPath("sqlite3")) {
    std::fprintf(stderr, "SQLite: the sqlite3 tool is not installed (scripts/install-deps installs it)\n");
    return 1;
  }
  std::string script = dir + "/wide.sql";
  std::string database = dir + "/wide.db";
  {
    std::ofstream out(script);
    for (const std::string& statement : schemaStatements("t", 1000, "wide")) out << statement << ";\n";
  }
  db::buildSqliteDatabase(database, {script});
  std::string connection = db::sqliteConnectionString(database);
  if (!answersRightly({wizard}, connection, "wide", 1001, 300, dir)) return 1;

  bool met = true;
  met &= compare({"SQLite: table list of 1,001 tables",
                  {wizard, "schema", "--connection", connection},
                  {"sqlite3", "-readonly", database, "SELECT name,type FROM sqlite_schema;"}},
                 runs);
  met &= compare({"SQLite: one 30-column table among 1,001",
                  {wizard, "schema", "--connection", connection, "--table", "t500"},
                  {"sqlite3", "-readonly", database, sqliteTableQueries("t500")}},
                 runs);
  met &= compare({"SQLite: the 300-column table",
                  {wizard, "schema", "--connection", connection, "--table", "wide"},
                  {"sqlite3", "-readonly", database, sqliteTableQueries("wide")}},
                 runs);
  return met ? 0 : 1;
}

int benchPostgres(const std::string& wizard, int runs, const std::string& dir, const std::string& connection) {
  if (!onPath("psql")) {
    std::fprintf(stderr, "PostgreSQL: psql is not installed\n");
    return 1;
  }
  db::ConnectionString parsed = db::ConnectionString::parse(connection);
  const auto part = [&](const char* key) { return parsed.get(key).value_or(""); };
  std::string conninfo =
      "host=" + part("Server") + " port=" + part("Port") + " user=" + part("UID") + " dbname=" + part("Database");
  // psql reads the password from its environment, not its command line.
  setenv("PGPASSWORD", part("PWD").c_str(), 1);
  const std::vector<std::string> psql = {"psql", "-X", "-q", "-A", "-t", "-v", "ON_ERROR_STOP=1", conninfo, "-c"};
  const auto client = [&](const std::string& sql) {
    std::vector<std::string> argv = psql;
    argv.push_back(sql);
    return argv;
  };

  std::unique_ptr<db::Connection> admin = db::openConnection(connection);
  const auto dropAll = [&] {
    admin->execute("DROP TABLE IF EXISTS bench_wide");
    for (int t = 1; t <= 200; ++t) admin->execute("DROP TABLE IF EXISTS bench_t" + std::to_string(t));
  };
  dropAll();
  for (const std::string& statement : schemaStatements("bench_t", 200, "bench_wide")) admin->execute(statement);

  int result = 1;
  if (answersRightly({wizard}, connection, "bench_wide", 201, 300, dir)) {
    bool met = true;
    met &= compare({"PostgreSQL (ODBC): table list of 201 tables",
                    {wizard, "schema", "--connection", connection},
                    client("SELECT c.relname, c.relkind FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                           "ON n.oid = c.relnamespace WHERE c.relkind IN ('r', 'v') AND n.nspname NOT IN "
                           "('pg_catalog', 'information_schema')")},
                   runs);
    met &= compare({"PostgreSQL (ODBC): one 30-column table among 201",
                    {wizard, "schema", "--connection", connection, "--table", "bench_t100"},
                    client(postgresTableQueries("bench_t100"))},
                   runs);
    met &= compare({"PostgreSQL (ODBC): the 300-column table",
                    {wizard, "schema", "--connection", connection, "--table", "bench_wide"},
                    client(postgresTableQueries("bench_wide"))},
                   runs);
    result = met ? 0 : 1;
  }
  dropAll();
  return result;
}

}  // namespace

int main(int /*argc*/, char** argv) {
  std::string wizard = wizardPath(argv[0]);
  if (!std::filesystem::exists(wizard)) {
    std::fprintf(stderr, "%s not found (build the tvkwizard target, or set TVK_WIZARD)\n", wizard.c_str());
    return 1;
  }
  int runs = 11;
  if (const char* set = std::getenv("TVK_BENCH_RUNS"); set != nullptr && std::atoi(set) > 0) runs = std::atoi(set);
  std::printf("median of %d runs per command; target ratio < %.1f\n", runs, kTargetRatio);

  std::string dir =
      (std::filesystem::temp_directory_path() / ("tvk-bench-schema-" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(dir);
  int result = 0;
  try {
    result |= benchSqlite(wizard, runs, dir);
    const char* pg = std::getenv("TVK_TEST_PG_BENCH");
    if (pg == nullptr || *pg == '\0')
      std::printf("PostgreSQL: skipped (no TVK_TEST_PG_BENCH; run eval \"$(scripts/start-test-postgres)\")\n");
    else
      result |= benchPostgres(wizard, runs, dir, pg);
  } catch (...) {
    ErrorInfo e = currentErrorInfo();
    std::fprintf(stderr, "%s (%s)\n", e.description.c_str(), e.source.c_str());
    result = 1;
  }
  if (!std::getenv("TVK_BENCH_KEEP")) std::filesystem::remove_all(dir);
  return result;
}
