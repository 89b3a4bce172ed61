#include "database/odbc_api.h"

#include <gtest/gtest.h>

namespace tvk::db {
namespace {

// The driver manager is found at run time; every entry point the backend
// calls is bound, and a handle allocated through one load is freed through
// another (the library is the same mapped one).
TEST(OdbcApi, LoadsTheDriverManagerOnDemand) {
  std::shared_ptr<const OdbcApi> api = OdbcApi::load();
  ASSERT_TRUE(api);
  for (const void* entry :
       {reinterpret_cast<const void*>(api->SQLAllocHandle), reinterpret_cast<const void*>(api->SQLFreeHandle),
        reinterpret_cast<const void*>(api->SQLDriverConnect), reinterpret_cast<const void*>(api->SQLGetDiagRec),
        reinterpret_cast<const void*>(api->SQLStatistics), reinterpret_cast<const void*>(api->SQLForeignKeys)})
    EXPECT_NE(entry, nullptr);
  SQLHANDLE env = SQL_NULL_HANDLE;
  ASSERT_TRUE(SQL_SUCCEEDED(api->SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)));
  std::shared_ptr<const OdbcApi> again = OdbcApi::load();
  EXPECT_EQ(again->SQLFreeHandle, api->SQLFreeHandle);
  api.reset();
  EXPECT_TRUE(SQL_SUCCEEDED(again->SQLFreeHandle(SQL_HANDLE_ENV, env)));
}

}  // namespace
}  // namespace tvk::db
