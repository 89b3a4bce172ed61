// A table held in memory and bound to no database: named text columns with a
// maximum length, rows appended and read through a current-row cursor. The
// lookup list editor keeps its rows in one while its grid is open.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tvk::db {

struct MemoryColumn {
  std::string name;
  size_t maxLength = 0;  // characters
};

class MemoryTable {
 public:
  // Columns are appended before the first row; failures are WizError.
  void appendColumn(std::string name, size_t maxLength);
  const std::vector<MemoryColumn>& columns() const { return columns_; }

  // Appends an empty row (every value the empty text) and makes it current.
  void addNew();
  // Sets a value of the current row. A value longer than the column allows
  // fails (nothing is cut off silently); so does an unknown column.
  void setValue(std::string_view column, std::string_view value);
  std::string value(std::string_view column) const;

  void moveFirst();
  void moveNext();
  bool eof() const { return position_ >= rows_.size(); }
  bool bof() const { return rows_.empty(); }

  size_t rowCount() const { return rows_.size(); }
  // The rows themselves, for a grid bound to the table.
  const std::vector<std::vector<std::string>>& rows() const { return rows_; }
  void eraseRow(size_t row);

 private:
  size_t columnIndex(std::string_view column) const;
  const std::vector<std::string>& current() const;

  std::vector<MemoryColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
  size_t position_ = 0;
};

// The number of characters of a UTF-8 text.
size_t utf8Length(std::string_view text);

}  // namespace tvk::db
