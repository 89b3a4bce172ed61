// Times the two schema reads the wizard makes while the developer waits: the
// table list of the data source page, and the field records of the chosen
// table. Builds a SQLite database of 1,000 tables with 30 columns each and one
// table of 300 columns; against the PostgreSQL test server (TVK_TEST_PG_BENCH,
// see scripts/start-test-postgres) it also times the list of 200 tables.
// Prints the figures; exits 1 when a target is missed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "database/data_access.h"
#include "database/field_data.h"
#include "database/sample_database.h"
#include "wizard/table_list.h"
#include "base/error.h"
#include "base/ui.h"
#include "base/session.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace {

using namespace tvk;

struct Figures {
  double best;
  double median;
};

Figures timeMs(int runs, const std::function<void()>& work) {
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    work();
    samples.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(samples.begin(), samples.end());
  return {samples.front(), samples[samples.size() / 2]};
}

bool report(const std::string& what, const Figures& f, double target) {
  bool met = f.median < target;
  std::printf("%-52s median %8.2f ms  best %8.2f ms  target < %4.0f ms  %s\n", what.c_str(), f.median, f.best,
              target, met ? "ok" : "MISSED");
  return met;
}

std::string column(int i, const char* prefix) {
  // A mix of the usual column types.
  static const char* types[] = {"INTEGER", "VARCHAR(40)", "NUMERIC(10,2)", "DATE", "TEXT", "BOOLEAN"};
  return std::string(prefix) + std::to_string(i) + " " + types[i % 6];
}

std::string wideSchema() {
  std::ostringstream sql;
  for (int t = 1; t <= 1000; ++t) {
    sql << "CREATE TABLE t" << t << " (id INTEGER PRIMARY KEY";
    for (int c = 1; c < 30; ++c) sql << ", " << column(c, "c");
    sql << ");\n";
  }
  // The wide table: 300 columns, ten of them foreign keys into other tables.
  sql << "CREATE TABLE wide (id INTEGER PRIMARY KEY";
  for (int c = 1; c < 300; ++c) {
    if (c % 30 == 0) sql << ", ref" << c << " INTEGER REFERENCES t" << c << " (id)";
    else sql << ", " << column(c, "w");
  }
  sql << ");\n";
  return sql.str();
}

void choose(XMLWizData& wizData, const std::string& connection) {
  wizData.SetNodeText(wiz::DataSourceType, "ConnectionString");
  wizData.SetNodeText(wiz::ConnectionStringText, connection);
}

}  // namespace

int main() {
  std::ostringstream messages;
  auto ui = std::make_shared<ConsoleUi>(messages);
  Session session{ui};
  bool allMet = true;

  std::string dir = (std::filesystem::temp_directory_path() / ("tvk-bench-schema-" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(dir);
  std::string script = dir + "/wide.sql";
  std::string database = dir + "/wide.db";
  std::ofstream(script) << wideSchema();
  auto built = timeMs(1, [&] { db::buildSqliteDatabase(database, {script}); });
  std::printf("built SQLite database of 1,000 x 30 columns + 300 columns in %.0f ms\n", built.best);

  XMLWizData wizData{session};
  choose(wizData, db::sqliteConnectionString(database));
  size_t listed = 0;
  allMet &= report("SQLite: table list of 1,001 tables", timeMs(15, [&] { listed = HTMLTableList(wizData).size(); }),
                   50);
  wizData.SetNodeText(wiz::TableName, "wide");
  allMet &= report("SQLite: field data of the 300-column table", timeMs(15, [&] { ResetTableData(wizData); }), 20);
  size_t fields = wizData.GetFields().size();
  if (!std::getenv("TVK_BENCH_KEEP")) std::filesystem::remove_all(dir);
  if (listed != 1001 || fields != 300 || !ui->shown().empty()) {
    std::fprintf(stderr, "unexpected result: %zu tables, %zu fields\n%s", listed, fields, messages.str().c_str());
    return 1;
  }

  const char* pg = std::getenv("TVK_TEST_PG_BENCH");
  if (pg == nullptr || *pg == '\0') {
    std::printf("PostgreSQL: skipped (no TVK_TEST_PG_BENCH; run eval \"$(scripts/start-test-postgres)\")\n");
    return allMet ? 0 : 1;
  }
  try {
    std::unique_ptr<db::Connection> admin = db::openConnection(pg);
    std::ostringstream create;
    for (int t = 1; t <= 200; ++t) {
      admin->execute("DROP TABLE IF EXISTS bench_t" + std::to_string(t));
      std::string sql = "CREATE TABLE bench_t" + std::to_string(t) + " (id INTEGER PRIMARY KEY";
      for (int c = 1; c < 30; ++c) sql += ", " + column(c, "c");
      admin->execute(sql + ")");
    }
    XMLWizData pgData{session};
    choose(pgData, pg);
    allMet &= report("PostgreSQL (ODBC): table list of 200 tables",
                     timeMs(9, [&] { listed = HTMLTableList(pgData).size(); }), 200);
    pgData.SetNodeText(wiz::TableName, "bench_t1");
    Figures one = timeMs(9, [&] { ResetTableData(pgData); });
    std::printf("%-52s median %8.2f ms  best %8.2f ms\n", "PostgreSQL (ODBC): field data of a 30-column table",
                one.median, one.best);
    for (int t = 1; t <= 200; ++t) admin->execute("DROP TABLE bench_t" + std::to_string(t));
    if (listed < 200 || !ui->shown().empty()) {
      std::fprintf(stderr, "unexpected result: %zu tables\n%s", listed, messages.str().c_str());
      return 1;
    }
  } catch (...) {
    ErrorInfo e = currentErrorInfo();
    std::fprintf(stderr, "PostgreSQL: %s (%s)\n", e.description.c_str(), e.source.c_str());
    return 1;
  }
  return allMet ? 0 : 1;
}
