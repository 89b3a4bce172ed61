#include "database/connection_string.h"

#include <gtest/gtest.h>

#include "base/error.h"

namespace tvk::db {
namespace {

TEST(ConnectionString, ParsesBracesBlanksAndEmptyParts) {
  ConnectionString c = ConnectionString::parse(
      " Driver = {PostgreSQL Unicode} ;;Server=db.local;PWD={a;b}}c};Database= shop ;junk;UID=me");
  ASSERT_EQ(c.attributes().size(), 5u);
  EXPECT_EQ(c.get("driver"), "PostgreSQL Unicode");
  EXPECT_EQ(c.get("SERVER"), "db.local");
  EXPECT_EQ(c.get("pwd"), "a;b}c");
  EXPECT_EQ(c.get("Database"), "shop");
  EXPECT_EQ(c.get("UID"), "me");
  EXPECT_FALSE(c.get("Port"));
  // Written again, the values that need braces get them.
  EXPECT_EQ(c.text(), "Driver={PostgreSQL Unicode};Server=db.local;PWD={a;b}}c};Database=shop;UID=me;");
  EXPECT_EQ(ConnectionString::parse(c.text()).get("PWD"), "a;b}c");
}

TEST(ConnectionString, UnclosedBraceFails) {
  try {
    ConnectionString::parse("Driver={SQLite3;Database=x");
    FAIL() << "parsed";
  } catch (const WizError& e) {
    EXPECT_EQ(e.source(), "ConnectionString");
    EXPECT_NE(e.description().find("Driver"), std::string::npos);
  }
}

TEST(ConnectionString, LaterValuesWinAndAliasesFold) {
  ConnectionString c = ConnectionString::parse("DSN=x;UID=first;User ID=second;user=third;Password=p1;PWD=p2");
  EXPECT_EQ(c.get("UID"), "first");  // get() looks at one key only
  c.fold("UID", {"User ID", "User", "UserName"});
  c.fold("PWD", {"Password"});
  EXPECT_EQ(c.text(), "DSN=x;UID=third;PWD=p2;");
  c.set("uid", "fourth");
  EXPECT_EQ(c.text(), "DSN=x;uid=fourth;PWD=p2;");
  c.remove("PWD");
  EXPECT_EQ(c.text(), "DSN=x;uid=fourth;");
  c.fold("PWD", {"Password"});  // nothing to fold
  EXPECT_EQ(c.text(), "DSN=x;uid=fourth;");
}

TEST(ConnectionString, NativeSqliteByDriverName) {
  EXPECT_TRUE(usesNativeSqlite(ConnectionString::parse("Driver={SQLite3};Database=a.db")));
  EXPECT_TRUE(usesNativeSqlite(ConnectionString::parse("driver=sqlite;Database=a.db")));
  EXPECT_TRUE(usesNativeSqlite(ConnectionString::parse("Driver={SQLite3 ODBC Driver};Database=a.db")));
  EXPECT_FALSE(usesNativeSqlite(ConnectionString::parse("Driver=libsqlite3odbc.so;Database=a.db")));
  EXPECT_FALSE(usesNativeSqlite(ConnectionString::parse("DSN=SQLite;Database=a.db")));
  EXPECT_FALSE(usesNativeSqlite(ConnectionString::parse("Driver={PostgreSQL};Server=x")));
  EXPECT_FALSE(usesNativeSqlite(ConnectionString::parse("")));
}

TEST(ConnectionString, ValuesAreBracedOnlyWhenNeeded) {
  EXPECT_EQ(connectionValue("/srv/shop.db"), "/srv/shop.db");
  EXPECT_EQ(connectionValue("/my files/shop.db"), "{/my files/shop.db}");
  EXPECT_EQ(connectionValue("a;b"), "{a;b}");
  EXPECT_EQ(connectionValue("}"), "{}}}");
}

}  // namespace
}  // namespace tvk::db
