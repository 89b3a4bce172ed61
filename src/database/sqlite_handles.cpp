#include "database/sqlite_handles.h"

#include <sqlite3.h>

#include "base/error.h"

namespace tvk::db {

void SqliteCloser::operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }

void SqliteFinalizer::operator()(sqlite3_stmt* stmt) const noexcept { sqlite3_finalize(stmt); }

SqliteDb sqliteOpen(const std::string& path, int flags) {
  // SQLite counts every allocation for its memory statistics unless told
  // not to; nothing here reads them, and on a large schema the counting is a
  // good part of opening and closing. The setting only takes before SQLite's
  // first use in the process (later it is refused, harmlessly).
  static const bool quiet = [] { return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK; }();
  (void)quiet;
  // A relative name that looks like a URI ("file:...") stays a file name.
  std::string name = path.rfind("file:", 0) == 0 ? "./" + path : path;
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(name.c_str(), &raw, flags & ~SQLITE_OPEN_URI, nullptr);
  SqliteDb db(raw);
  if (rc != SQLITE_OK) {
    std::string message = raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
    raise(rc, std::string(kSqliteSource), message + ": " + path);
  }
  sqlite3_extended_result_codes(db.get(), 1);
  return db;
}

void raiseSqlite(sqlite3* db, int code) {
  std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  long number = db != nullptr ? sqlite3_extended_errcode(db) : code;
  raise(number, std::string(kSqliteSource), message);
}

SqliteStmt sqlitePrepare(sqlite3* db, std::string_view sql) {
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
  SqliteStmt stmt(raw);
  if (rc != SQLITE_OK) raiseSqlite(db, rc);
  if (!stmt) raise(err::kDatabase, std::string(kSqliteSource), "The statement is empty");
  return stmt;
}

void sqliteBind(sqlite3_stmt* stmt, int index, std::string_view text) {
  int rc = sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) raiseSqlite(sqlite3_db_handle(stmt), rc);
}

bool sqliteStep(sqlite3_stmt* stmt) {
  int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  raiseSqlite(sqlite3_db_handle(stmt), rc);
}

std::string sqliteText(sqlite3_stmt* stmt, int column) {
  const unsigned char* text = sqlite3_column_text(stmt, column);
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
}

long long sqliteInt(sqlite3_stmt* stmt, int column) { return sqlite3_column_int64(stmt, column); }

bool sqliteIsNull(sqlite3_stmt* stmt, int column) { return sqlite3_column_type(stmt, column) == SQLITE_NULL; }

void sqliteExecScript(sqlite3* db, const std::string& sql) {
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) raiseSqlite(db, rc);
}

}  // namespace tvk::db
