#include "database/memory_table.h"

#include <gtest/gtest.h>

#include "base/error.h"

namespace tvk::db {
namespace {

MemoryTable lookupTable() {
  MemoryTable table;
  table.appendColumn("LinkField", 50);
  table.appendColumn("DisplayField", 200);
  return table;
}

TEST(MemoryTable, EmptyTableIsAtBothEnds) {
  MemoryTable table = lookupTable();
  EXPECT_TRUE(table.bof());
  EXPECT_TRUE(table.eof());
  EXPECT_THROW(table.value("LinkField"), WizError);
  EXPECT_THROW(table.moveNext(), WizError);
}

TEST(MemoryTable, RowsAreReadBackInOrder) {
  MemoryTable table = lookupTable();
  const char* rows[][2] = {{"A", "Active"}, {"I", "Inactive"}, {"", "Unknown"}};
  for (auto& row : rows) {
    table.addNew();
    table.setValue("LinkField", row[0]);
    table.setValue("DisplayField", row[1]);
  }
  EXPECT_FALSE(table.bof());
  std::vector<std::string> read;
  for (table.moveFirst(); !table.eof(); table.moveNext())
    read.push_back(table.value("LinkField") + "=" + table.value("DisplayField"));
  EXPECT_EQ(read, (std::vector<std::string>{"A=Active", "I=Inactive", "=Unknown"}));
  table.eraseRow(1);
  EXPECT_EQ(table.rowCount(), 2u);
  EXPECT_EQ(table.rows()[1][1], "Unknown");
  EXPECT_THROW(table.eraseRow(5), WizError);
}

TEST(MemoryTable, ValuesLongerThanTheColumnFailWithoutChangingIt) {
  MemoryTable table = lookupTable();
  table.addNew();
  table.setValue("LinkField", std::string(50, 'x'));
  // Fifty characters are fifty characters, however many bytes they take.
  std::string umlauts;
  for (int i = 0; i < 50; ++i) umlauts += "\xc3\xa4";
  table.setValue("LinkField", umlauts);
  EXPECT_EQ(table.value("LinkField"), umlauts);
  try {
    table.setValue("LinkField", std::string(51, 'x'));
    FAIL() << "accepted 51 characters";
  } catch (const WizError& e) {
    EXPECT_NE(e.description().find("50"), std::string::npos);
  }
  EXPECT_EQ(table.value("LinkField"), umlauts);
  EXPECT_THROW(table.setValue("Nope", "x"), WizError);
  EXPECT_THROW(table.appendColumn("Late", 10), WizError);
}

}  // namespace
}  // namespace tvk::db
