// The ODBC driver manager (unixODBC), loaded when the first ODBC connection
// is made instead of linked into the program: a command that only reads a
// SQLite file never maps the driver manager and its module loader, which is
// a noticeable part of a short command's start.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <memory>

namespace tvk::db {

class OdbcApi {
 public:
  // The driver manager's entry points, or WizError when the library or one
  // of its functions cannot be found. Once mapped the library stays, so a
  // later load only finds it again.
  static std::shared_ptr<const OdbcApi> load();

  decltype(&::SQLAllocHandle) SQLAllocHandle = nullptr;
  decltype(&::SQLFreeHandle) SQLFreeHandle = nullptr;
  decltype(&::SQLSetEnvAttr) SQLSetEnvAttr = nullptr;
  decltype(&::SQLSetConnectAttr) SQLSetConnectAttr = nullptr;
  decltype(&::SQLSetStmtAttr) SQLSetStmtAttr = nullptr;
  decltype(&::SQLDriverConnect) SQLDriverConnect = nullptr;
  decltype(&::SQLDisconnect) SQLDisconnect = nullptr;
  decltype(&::SQLGetInfo) SQLGetInfo = nullptr;
  decltype(&::SQLGetDiagRec) SQLGetDiagRec = nullptr;
  decltype(&::SQLExecDirect) SQLExecDirect = nullptr;
  decltype(&::SQLNumResultCols) SQLNumResultCols = nullptr;
  decltype(&::SQLColAttribute) SQLColAttribute = nullptr;
  decltype(&::SQLFetch) SQLFetch = nullptr;
  decltype(&::SQLGetData) SQLGetData = nullptr;
  decltype(&::SQLTables) SQLTables = nullptr;
  decltype(&::SQLColumns) SQLColumns = nullptr;
  decltype(&::SQLPrimaryKeys) SQLPrimaryKeys = nullptr;
  decltype(&::SQLForeignKeys) SQLForeignKeys = nullptr;
  decltype(&::SQLStatistics) SQLStatistics = nullptr;

 private:
  struct LibraryCloser {
    void operator()(void* library) const noexcept;
  };
  std::unique_ptr<void, LibraryCloser> library_;
};

}  // namespace tvk::db
