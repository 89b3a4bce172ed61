#include "database/sample_database.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

#include "base/error.h"
#include "base/fs.h"
#include "database/connection_string.h"
#include "database/sqlite_handles.h"

namespace tvk::db {

void buildSqliteDatabase(const std::string& path, const std::vector<std::string>& scripts) {
  std::string building = path + ".building";
  std::error_code ignored;
  std::filesystem::remove(building, ignored);
  try {
    {
      SqliteDb db = sqliteOpen(building, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
      sqliteExecScript(db.get(), "PRAGMA foreign_keys = ON; BEGIN");
      for (const std::string& script : scripts) sqliteExecScript(db.get(), files::readFile(script));
      sqliteExecScript(db.get(), "COMMIT");
    }
    if (std::rename(building.c_str(), path.c_str()) != 0) files::raiseErrno(errno, "rename", path);
  } catch (...) {
    std::filesystem::remove(building, ignored);
    throw;
  }
}

std::string sampleDatabaseScript() {
  return files::join(files::join(files::programDirectory(), "samples"), "orders.sql");
}

std::string sqliteConnectionString(const std::string& path) {
  return "Driver={SQLite3};Database=" + connectionValue(path);
}

}  // namespace tvk::db
