#include "database/odbc_api.h"

#include <dlfcn.h>

#include <cstring>
#include <string>

#include "base/error.h"

namespace tvk::db {

namespace {

// The driver manager's run-time name first, then the development link.
constexpr const char* kLibraries[] = {"libodbc.so.2", "libodbc.so"};

template <class Function>
void bind(void* library, const char* name, Function& function) {
  void* address = dlsym(library, name);
  if (address == nullptr) raise(err::kDatabase, "ODBC", std::string("The ODBC driver manager has no function ") + name);
  static_assert(sizeof function == sizeof address);
  std::memcpy(&function, &address, sizeof function);
}

}  // namespace

void OdbcApi::LibraryCloser::operator()(void* library) const noexcept { dlclose(library); }

std::shared_ptr<const OdbcApi> OdbcApi::load() {
  auto api = std::make_shared<OdbcApi>();
  // Never unloaded: drivers the manager loaded may still hold on to it.
  for (const char* name : kLibraries) {
    api->library_.reset(dlopen(name, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (api->library_) break;
  }
  if (!api->library_)
    raise(err::kDatabase, "ODBC",
          "The ODBC driver manager (unixODBC, " + std::string(kLibraries[0]) + ") cannot be loaded: " + dlerror());
  void* library = api->library_.get();
  bind(library, "SQLAllocHandle", api->SQLAllocHandle);
  bind(library, "SQLFreeHandle", api->SQLFreeHandle);
  bind(library, "SQLSetEnvAttr", api->SQLSetEnvAttr);
  bind(library, "SQLSetConnectAttr", api->SQLSetConnectAttr);
  bind(library, "SQLSetStmtAttr", api->SQLSetStmtAttr);
  bind(library, "SQLDriverConnect", api->SQLDriverConnect);
  bind(library, "SQLDisconnect", api->SQLDisconnect);
  bind(library, "SQLGetInfo", api->SQLGetInfo);
  bind(library, "SQLGetDiagRec", api->SQLGetDiagRec);
  bind(library, "SQLExecDirect", api->SQLExecDirect);
  bind(library, "SQLNumResultCols", api->SQLNumResultCols);
  bind(library, "SQLColAttribute", api->SQLColAttribute);
  bind(library, "SQLFetch", api->SQLFetch);
  bind(library, "SQLGetData", api->SQLGetData);
  bind(library, "SQLTables", api->SQLTables);
  bind(library, "SQLColumns", api->SQLColumns);
  bind(library, "SQLPrimaryKeys", api->SQLPrimaryKeys);
  bind(library, "SQLForeignKeys", api->SQLForeignKeys);
  bind(library, "SQLStatistics", api->SQLStatistics);
  return api;
}

}  // namespace tvk::db
