// The lookup list editor ("List Administration"): the rows of a field's
// hand-made lookup list, edited in a grid of two columns (the stored value
// and the text shown for it). The rows live in a working table while the
// grid is open and replace the field's LookupArray when it closes.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "base/ui.h"
#include "base/xml.h"
#include "database/memory_table.h"

namespace tvk {

class ListAdmin {
 public:
  static constexpr std::string_view kModule = "ListAdmin";
  static constexpr std::string_view kCaption = "List Administration";
  // Working table columns, their grid captions and the most a cell holds.
  static constexpr std::string_view kLinkColumn = "LinkField";
  static constexpr std::string_view kDisplayColumn = "DisplayField";
  static constexpr std::string_view kLinkCaption = "Link Field";
  static constexpr std::string_view kDisplayCaption = "Display Field";
  static constexpr size_t kLinkFieldMaxLength = 50;
  static constexpr size_t kDisplayFieldMaxLength = 200;

  explicit ListAdmin(Ui& ui) : ui_(&ui) {}

  // ListData: the LookupArray element to edit; set before the editor opens.
  void setListData(const XmlNode& lookupArray);

  // Opens the editor modally: loads the rows, shows the grid, and when it
  // closes writes its rows back into ListData. Nothing is written when the
  // rows could not be read, the grid was dismissed, or a typed value is
  // longer than its column holds (after a message).
  void Show();

  // Builds the working table from ListData's Row elements. A list written
  // elsewhere may hold longer values than the grid lets a user type; the
  // columns then widen to hold them whole rather than cut them. False after
  // the error report when the rows cannot be read.
  bool Form_Load();
  // The working table's rows, as the grid shows them.
  std::vector<ListEditorRow> rows() const;
  // Replaces the working rows by the grid's. False after a message naming
  // the first value that does not fit its column; the table is then as it was.
  bool setRows(const std::vector<ListEditorRow>& rows);
  // Replaces every child of ListData by one Row (JoinField, DisplayField) per
  // working row, in grid order, and releases the table and ListData.
  void Form_Unload();

  const db::MemoryTable& workingTable() const { return table_; }

 private:
  void release();

  Ui* ui_;
  XmlNode listData_;
  db::MemoryTable table_;
};

// The grid's state as the Enter rule sees it: how many rows it holds (the
// new row being typed is not yet one of them), the current cell, and its
// add-new state.
enum class AddNewMode { None = 0, CurrentOnNewRow = 1, Pending = 2 };
struct ListGridState {
  size_t rowCount = 0;
  size_t row = 0;
  int column = 0;
  AddNewMode addNew = AddNewMode::None;
};

inline constexpr int kKeyEnter = 13;

// Enter while a new row is pending commits it and puts the cursor on the
// first cell of the next new row, so a list is typed as value, Tab, text,
// Enter. True when the key was handled; every other key (and Enter on a row
// that is not being added) is left to the grid.
bool grdDataGrid_KeyPress(ListGridState& grid, int keyCode);

}  // namespace tvk
