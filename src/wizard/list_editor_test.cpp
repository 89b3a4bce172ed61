#include "wizard/list_editor.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/wizard_document.h"

namespace tvk {
namespace {

using Rows = std::vector<ListEditorRow>;
using Texts = std::vector<std::string>;

class ListEditorTest : public test::WizardDocumentTest {
 protected:
  XmlNode array = data.SetSubNodeText(test::addFieldRecord(data), wiz::LookupArray, "");
  ListAdmin editor{*ui};

  void addRow(const std::string& join, const std::string& display) {
    XmlNode row = array.appendElement(wiz::Row);
    row.appendElement(wiz::JoinField, join);
    row.appendElement(wiz::DisplayField, display);
  }
  void edit() {
    editor.setListData(array);
    editor.Show();
  }
  // The children as written: "join|display" for each Row of exactly
  // JoinField then DisplayField, the element name for anything else.
  Texts written() {
    Texts rows;
    for (const XmlNode& row : array.children()) {
      Texts cells;
      for (const XmlNode& cell : row.children()) cells.push_back(cell.name());
      bool rowShape = row.name() == "Row" && cells == Texts{"JoinField", "DisplayField"};
      rows.push_back(rowShape ? row.children()[0].text() + "|" + row.children()[1].text() : row.name());
    }
    return rows;
  }
};

TEST_F(ListEditorTest, RowsLoadInOrderAndOnlyRowsAreWrittenBack) {
  addRow("1", "One");
  array.appendElement("Note", "dropped");
  array.appendElement(wiz::Row).appendElement(wiz::DisplayField, "no join");
  addRow("3", "Three");
  editor.setListData(array);
  ASSERT_TRUE(editor.Form_Load());
  EXPECT_EQ(editor.rows(), (Rows{{"1", "One"}, {"", "no join"}, {"3", "Three"}}));
  EXPECT_EQ(editor.workingTable().columns()[0].maxLength, 50u);
  EXPECT_EQ(editor.workingTable().columns()[1].maxLength, 200u);
  editor.Form_Unload();
  EXPECT_EQ(written(), (Texts{"1|One", "|no join", "3|Three"}));

  // A stored value longer than the grid allows survives whole.
  array.children()[0].children()[0].setText(std::string(80, 'k'));
  edit();
  EXPECT_EQ(written()[0], std::string(80, 'k') + "|One");
}

TEST_F(ListEditorTest, TheGridsRowsReplaceTheList_UnlessOneCannotBeStored) {
  addRow("A", "Alpha");
  edit();  // closed unchanged
  EXPECT_EQ(written(), (Texts{"A|Alpha"}));
  ui->pushRows({{"B", "Beta"}, {"A", "Alpha 2"}, {"C", ""}});
  edit();
  EXPECT_EQ(written(), (Texts{"B|Beta", "A|Alpha 2", "C|"}));

  ui->pushRows({{"X", "x"}, {std::string(51, 'k'), "long"}});
  ui->pushRows({{"X", std::string(201, 'd')}});
  ui->pushRows({{"X\x01", "control"}});
  for (int i = 0; i < 3; ++i) edit();
  EXPECT_EQ(written(), (Texts{"B|Beta", "A|Alpha 2", "C|"}));
  EXPECT_EQ(ui->shown(),
            (Texts{"List: List Administration", "List: List Administration", "List: List Administration",
                   "TVK Wizard: Row 2: the Link Field can hold at most 50 characters. The list was not changed.",
                   "List: List Administration",
                   "TVK Wizard: Row 1: the Display Field can hold at most 200 characters. The list was not changed.",
                   "List: List Administration",
                   "TVK Wizard: Row 1: a value holds a control character that cannot be stored. The list was not "
                   "changed."}));

  std::string fifty;  // the limit counts characters, not bytes
  for (int i = 0; i < 50; ++i) fifty += "\xC3\xA9";
  ui->pushRows({{fifty, "d"}});
  edit();
  EXPECT_EQ(written(), (Texts{fifty + "|d"}));
  ui->pushRows({});
  edit();
  EXPECT_TRUE(written().empty());
}

TEST_F(ListEditorTest, NoListDataWritesNothingAndIsReported) {
  ListAdmin unset{*ui};
  ui->pushAnswer(MsgResult::Abort);
  unset.Show();
  ASSERT_EQ(ui->shown().size(), 1u);  // no grid, only the report
  EXPECT_NE(ui->shown()[0].find("ListAdmin.Form_Load"), std::string::npos) << ui->shown()[0];
}

TEST(ListEditorGrid, EnterOnAPendingNewRowCommitsItAndStartsTheNext) {
  ListGridState grid{3, 3, 1, AddNewMode::Pending};
  EXPECT_TRUE(grdDataGrid_KeyPress(grid, kKeyEnter));
  EXPECT_EQ(std::tuple(grid.rowCount, grid.row, grid.column, grid.addNew),
            std::tuple(size_t{4}, size_t{4}, 0, AddNewMode::CurrentOnNewRow));
  // Enter again on the fresh row, Enter on an existing row, another key.
  for (auto [state, key] : {std::pair{grid, kKeyEnter},
                            {ListGridState{3, 1, 1, AddNewMode::None}, kKeyEnter},
                            {ListGridState{3, 3, 0, AddNewMode::Pending}, 9}}) {
    ListGridState before = state;
    EXPECT_FALSE(grdDataGrid_KeyPress(state, key));
    EXPECT_EQ(std::tuple(state.rowCount, state.row, state.column, state.addNew),
              std::tuple(before.rowCount, before.row, before.column, before.addNew));
  }
}

}  // namespace
}  // namespace tvk
