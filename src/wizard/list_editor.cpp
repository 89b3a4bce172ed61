#include "wizard/list_editor.h"

#include <algorithm>
#include <string>

#include "base/error.h"
#include "wizdata/xml_wiz_constants.h"

namespace tvk {

namespace {

// The working table with its two columns, each at least as wide as the grid
// allows and wide enough for `rows`.
db::MemoryTable makeTable(const std::vector<ListEditorRow>& rows, size_t linkLength, size_t displayLength) {
  for (const ListEditorRow& row : rows) {
    linkLength = std::max(linkLength, db::utf8Length(row.linkField));
    displayLength = std::max(displayLength, db::utf8Length(row.displayField));
  }
  db::MemoryTable table;
  table.appendColumn(std::string(ListAdmin::kLinkColumn), linkLength);
  table.appendColumn(std::string(ListAdmin::kDisplayColumn), displayLength);
  return table;
}

void fill(db::MemoryTable& table, const std::vector<ListEditorRow>& rows) {
  for (const ListEditorRow& row : rows) {
    table.addNew();
    table.setValue(ListAdmin::kLinkColumn, row.linkField);
    table.setValue(ListAdmin::kDisplayColumn, row.displayField);
  }
}

// A control character other than tab, line feed and carriage return: an XML
// file cannot hold it, so the saved project file would not load again.
bool storable(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    auto code = static_cast<unsigned char>(c);
    return code < 0x20 && c != '\t' && c != '\n' && c != '\r';
  });
}

}  // namespace

void ListAdmin::setListData(const XmlNode& lookupArray) { listData_ = lookupArray; }

bool ListAdmin::Form_Load() {
  ErrorTrap trap{*ui_, kModule, "Form_Load"};
  return trap([&] {
    if (!listData_) raise(err::kObjectNotSet, std::string(kModule), "Object variable not set");
    std::vector<ListEditorRow> rows;
    for (const XmlNode& child : listData_.children()) {
      if (child.name() != wiz::Row) continue;
      XmlNode join = child.child(wiz::JoinField);
      XmlNode display = child.child(wiz::DisplayField);
      rows.push_back({join ? join.text() : std::string(), display ? display.text() : std::string()});
    }
    db::MemoryTable table = makeTable(rows, kLinkFieldMaxLength, kDisplayFieldMaxLength);
    fill(table, rows);
    table_ = std::move(table);
  });
}

std::vector<ListEditorRow> ListAdmin::rows() const {
  std::vector<ListEditorRow> rows;
  rows.reserve(table_.rowCount());
  for (const std::vector<std::string>& row : table_.rows()) rows.push_back({row.at(0), row.at(1)});
  return rows;
}

bool ListAdmin::setRows(const std::vector<ListEditorRow>& rows) {
  if (table_.columns().size() != 2) return false;  // never loaded
  size_t linkLength = table_.columns()[0].maxLength;
  size_t displayLength = table_.columns()[1].maxLength;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!storable(rows[i].linkField) || !storable(rows[i].displayField)) {
      std::string text = "Row " + std::to_string(i + 1) +
                         ": a value holds a control character that cannot be stored. The list was not changed.";
      gMsgBox(*ui_, text, MsgButtons::OK, MsgIcon::Exclamation);
      return false;
    }
    bool linkFits = db::utf8Length(rows[i].linkField) <= linkLength;
    if (linkFits && db::utf8Length(rows[i].displayField) <= displayLength) continue;
    std::string text = "Row " + std::to_string(i + 1) + ": the ";
    text += linkFits ? kDisplayCaption : kLinkCaption;
    text += " can hold at most ";
    text += std::to_string(linkFits ? displayLength : linkLength);
    text += " characters. The list was not changed.";
    gMsgBox(*ui_, text, MsgButtons::OK, MsgIcon::Exclamation);
    return false;
  }
  db::MemoryTable table = makeTable({}, linkLength, displayLength);
  fill(table, rows);
  table_ = std::move(table);
  return true;
}

void ListAdmin::Form_Unload() {
  ErrorTrap trap{*ui_, kModule, "Form_Unload"};
  trap([&] {
    if (!listData_) return;
    // Read every row before the list is touched, so a failure on the way
    // leaves the list as it was rather than half written.
    std::vector<ListEditorRow> rows;
    if (!(table_.bof() && table_.eof())) {
      table_.moveFirst();
      while (!table_.eof()) {
        rows.push_back({table_.value(kLinkColumn), table_.value(kDisplayColumn)});
        table_.moveNext();
      }
    }
    // Every child goes, not only the Row elements.
    listData_.setText("");
    for (const ListEditorRow& row : rows) {
      XmlNode element = listData_.appendElement(wiz::Row);
      element.appendElement(wiz::JoinField, row.linkField);
      element.appendElement(wiz::DisplayField, row.displayField);
    }
  });
  release();
}

void ListAdmin::release() {
  table_ = db::MemoryTable{};
  listData_ = XmlNode{};
}

void ListAdmin::Show() {
  if (!Form_Load()) {
    release();
    return;
  }
  std::vector<ListEditorRow> edited = rows();
  if (ui_->editList(kCaption, edited) && setRows(edited)) {
    Form_Unload();
  } else {
    release();
  }
}

bool grdDataGrid_KeyPress(ListGridState& grid, int keyCode) {
  if (keyCode != kKeyEnter || grid.addNew != AddNewMode::Pending) return false;
  // Moving past the last row commits the pending one; the cursor lands on
  // the first cell of the next new row.
  grid.rowCount += 1;
  grid.row = grid.rowCount;
  grid.column = 0;
  grid.addNew = AddNewMode::CurrentOnNewRow;
  return true;
}

}  // namespace tvk
