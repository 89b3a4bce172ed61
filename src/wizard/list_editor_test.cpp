#include "wizard/list_editor.h"

#include <gtest/gtest.h>

#include <string>

#include "base/xml.h"
#include "support/wizard_document.h"

namespace tvk {
namespace {

using Rows = std::vector<ListEditorRow>;

class ListEditorTest : public testing::WizardDocumentTest {
 protected:
  // A field's LookupArray holding the given XML content.
  XmlNode lookupArray(std::string_view content) {
    XmlNode field = testing::addFieldRecord(data);
    XmlNode array = data.SetSubNodeText(field, wiz::LookupArray, "");
    std::string xml = "<LookupArray>" + std::string(content) + "</LookupArray>";
    XmlDocPtr parsed = xmlParseTextQuiet(xml, nullptr);
    for (const XmlNode& child : xmlRoot(parsed.get()).children()) {
      XmlNode row = array.appendElement(child.name());
      for (const XmlNode& cell : child.children()) row.appendElement(cell.name(), cell.text());
      if (child.children().empty()) row.setText(child.text());
    }
    return array;
  }

  // The Rows of the array as "join|display" texts, checking each Row holds
  // exactly JoinField then DisplayField.
  std::vector<std::string> written(const XmlNode& array) {
    std::vector<std::string> rows;
    for (const XmlNode& row : array.children()) {
      EXPECT_EQ(row.name(), "Row");
      std::vector<XmlNode> cells = row.children();
      EXPECT_EQ(cells.size(), 2u);
      if (cells.size() != 2) continue;
      EXPECT_EQ(cells[0].name(), "JoinField");
      EXPECT_EQ(cells[1].name(), "DisplayField");
      rows.push_back(cells[0].text() + "|" + cells[1].text());
    }
    return rows;
  }
};

TEST_F(ListEditorTest, LoadsRowsInOrder_AndWritesThemBackUnchanged) {
  XmlNode array = lookupArray(
      "<Row><JoinField>1</JoinField><DisplayField>One</DisplayField></Row>"
      "<Note>dropped on close</Note>"
      "<Row><DisplayField>no join</DisplayField></Row>"
      "<Row><JoinField>3</JoinField><DisplayField>Three</DisplayField></Row>");
  ListAdmin editor(*ui);
  editor.setListData(array);
  ASSERT_TRUE(editor.Form_Load());
  EXPECT_EQ(editor.rows(), (Rows{{"1", "One"}, {"", "no join"}, {"3", "Three"}}));
  ASSERT_EQ(editor.workingTable().columns().size(), 2u);
  EXPECT_EQ(editor.workingTable().columns()[0].maxLength, 50u);
  EXPECT_EQ(editor.workingTable().columns()[1].maxLength, 200u);

  editor.Form_Unload();
  // Only Rows are written back; the other child is gone.
  EXPECT_EQ(written(array), (std::vector<std::string>{"1|One", "|no join", "3|Three"}));
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(ListEditorTest, ShowWritesTheGridsRowsBack_OrNothingWhenTheyCannotBeStored) {
  XmlNode array = lookupArray("<Row><JoinField>A</JoinField><DisplayField>Alpha</DisplayField></Row>");
  ListAdmin editor(*ui);

  // Closed without changes: the same row again.
  editor.setListData(array);
  editor.Show();
  EXPECT_EQ(written(array), (std::vector<std::string>{"A|Alpha"}));
  EXPECT_EQ(ui->shown(), (std::vector<std::string>{"List: List Administration"}));

  // Edited and appended rows, in grid order; an empty cell stays empty.
  ui->pushRows({{"B", "Beta"}, {"A", "Alpha 2"}, {"C", ""}});
  editor.setListData(array);
  editor.Show();
  EXPECT_EQ(written(array), (std::vector<std::string>{"B|Beta", "A|Alpha 2", "C|"}));

  // A value longer than its column: a message, and the list stays.
  ui->pushRows({{"X", "x"}, {std::string(51, 'k'), "long key"}});
  editor.setListData(array);
  editor.Show();
  EXPECT_EQ(written(array), (std::vector<std::string>{"B|Beta", "A|Alpha 2", "C|"}));
  EXPECT_EQ(ui->shown().back(),
            "TVK Wizard: Row 2: the Link Field can hold at most 50 characters. The list was not changed.");
  ui->pushRows({{"X", std::string(201, 'd')}});
  editor.setListData(array);
  editor.Show();
  EXPECT_EQ(ui->shown().back(),
            "TVK Wizard: Row 1: the Display Field can hold at most 200 characters. The list was not changed.");
  ui->pushRows({{"X\x01", "bell"}});
  editor.setListData(array);
  editor.Show();
  EXPECT_EQ(written(array), (std::vector<std::string>{"B|Beta", "A|Alpha 2", "C|"}));

  // Exactly at the limits (counted in characters, not bytes) is fine.
  std::string fifty;
  for (int i = 0; i < 50; ++i) fifty += "\xC3\xA9";  // é
  ui->pushRows({{fifty, std::string(200, 'd')}});
  editor.setListData(array);
  editor.Show();
  EXPECT_EQ(written(array), (std::vector<std::string>{fifty + "|" + std::string(200, 'd')}));

  // An emptied grid leaves the element without children.
  ui->pushRows({});
  editor.setListData(array);
  editor.Show();
  EXPECT_TRUE(array.children().empty());
  EXPECT_EQ(array.text(), "");
}

TEST_F(ListEditorTest, LongerStoredValuesSurviveTheEditorWhole) {
  std::string longKey(80, 'k');
  XmlNode array = lookupArray("<Row><JoinField>" + longKey + "</JoinField><DisplayField>d</DisplayField></Row>");
  ListAdmin editor(*ui);
  editor.setListData(array);
  editor.Show();
  EXPECT_EQ(written(array), (std::vector<std::string>{longKey + "|d"}));
  EXPECT_EQ(ui->shown(), (std::vector<std::string>{"List: List Administration"}));
}

TEST_F(ListEditorTest, WithoutListDataNothingIsShownOrWritten) {
  ListAdmin editor(*ui);
  ui->pushAnswer(MsgResult::Abort);
  editor.Show();
  ASSERT_EQ(ui->shown().size(), 1u);  // the error report of Form_Load, no grid
  EXPECT_NE(ui->shown()[0].find("ListAdmin.Form_Load"), std::string::npos) << ui->shown()[0];
}

TEST(ListEditorGrid, EnterOnAPendingNewRowCommitsItAndStartsTheNext) {
  ListGridState grid{3, 3, 1, AddNewMode::Pending};
  EXPECT_TRUE(grdDataGrid_KeyPress(grid, kKeyEnter));
  EXPECT_EQ(grid.rowCount, 4u);
  EXPECT_EQ(grid.row, 4u);
  EXPECT_EQ(grid.column, 0);
  EXPECT_EQ(grid.addNew, AddNewMode::CurrentOnNewRow);

  // Enter on the fresh new row (nothing typed yet), on an existing row, and
  // any other key while a row is pending are the grid's own business.
  ListGridState fresh = grid;
  EXPECT_FALSE(grdDataGrid_KeyPress(fresh, kKeyEnter));
  EXPECT_EQ(fresh.row, 4u);
  ListGridState existing{3, 1, 1, AddNewMode::None};
  EXPECT_FALSE(grdDataGrid_KeyPress(existing, kKeyEnter));
  EXPECT_EQ(existing.row, 1u);
  EXPECT_EQ(existing.rowCount, 3u);
  ListGridState tab{3, 3, 0, AddNewMode::Pending};
  EXPECT_FALSE(grdDataGrid_KeyPress(tab, 9));
  EXPECT_EQ(tab.column, 0);
  EXPECT_EQ(tab.addNew, AddNewMode::Pending);
}

}  // namespace
}  // namespace tvk
