// RAII owners over SQLite's handles and the few calls the backend and the
// sample database builder make, failing as WizError (source "SQLite", the
// extended result code, SQLite's own message). Keeps sqlite3.h out of every
// other header.
#pragma once

#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tvk::db {

inline constexpr std::string_view kSqliteSource = "SQLite";

struct SqliteCloser {
  void operator()(sqlite3* db) const noexcept;
};
using SqliteDb = std::unique_ptr<sqlite3, SqliteCloser>;

struct SqliteFinalizer {
  void operator()(sqlite3_stmt* stmt) const noexcept;
};
using SqliteStmt = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

// Opens `path` with the sqlite3_open_v2 flags given. Never treats the path as
// a URI. Fails with SQLite's message and the path.
SqliteDb sqliteOpen(const std::string& path, int flags);

[[noreturn]] void raiseSqlite(sqlite3* db, int code);

SqliteStmt sqlitePrepare(sqlite3* db, std::string_view sql);
void sqliteBind(sqlite3_stmt* stmt, int index, std::string_view text);
// True when a row is ready, false when the statement is done.
bool sqliteStep(sqlite3_stmt* stmt);
std::string sqliteText(sqlite3_stmt* stmt, int column);
long long sqliteInt(sqlite3_stmt* stmt, int column);
bool sqliteIsNull(sqlite3_stmt* stmt, int column);

// Runs every statement of a script.
void sqliteExecScript(sqlite3* db, const std::string& sql);

}  // namespace tvk::db
