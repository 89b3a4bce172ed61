#include "database/data_access.h"

#include <gtest/gtest.h>

#include <memory>

namespace tvk::db {
namespace {

// A backend with a table of one name in two schemas, as a server lists them,
// that prefers the "public" one when asked by name (as unqualified SQL would).
class TwoSchemas final : public Connection {
 public:
  explicit TwoSchemas(int& finds) : finds_(finds) {}
  std::string providerName() override { return "Fake"; }
  void execute(std::string_view) override {}
  void close() override {}
  std::vector<TableEntry> listTables() override {
    return {{"regions", "TABLE", "", "archive"}, {"orders", "TABLE", "", "public"}, {"regions", "TABLE", "", "public"}};
  }
  std::optional<TableEntry> findTable(std::string_view name) override {
    ++finds_;
    for (const TableEntry& entry : listTables())
      if (entry.name == name && entry.schema == "public") return entry;
    return std::nullopt;
  }
  std::vector<Column> readColumns(const TableEntry&) override { return {}; }
  std::vector<Index> readIndexes(const TableEntry&) override { return {}; }
  std::vector<Key> readKeys(const TableEntry&) override { return {}; }

 private:
  int& finds_;
};

TEST(CatalogTest, TheListAnswersOnlyNamesItHoldsOnce) {
  int finds = 0;
  Catalog catalog(std::make_shared<TwoSchemas>(finds));
  ASSERT_EQ(catalog.tables().size(), 3u);
  // A name listed once is answered from the list.
  EXPECT_EQ(catalog.table("orders").entry().schema, "public");
  EXPECT_EQ(finds, 0);
  // Of a name in two schemas, the backend knows which one SQL reaches.
  EXPECT_EQ(catalog.table("regions").entry().schema, "public");
  EXPECT_EQ(finds, 1);
  EXPECT_EQ(&catalog.table("regions"), &catalog.table("regions"));
  EXPECT_EQ(finds, 1);
}

}  // namespace
}  // namespace tvk::db
