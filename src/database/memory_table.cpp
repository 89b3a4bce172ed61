#include "database/memory_table.h"

#include "base/error.h"
#include "database/data_access.h"

namespace tvk::db {

namespace {

constexpr std::string_view kSource = "MemoryTable";
// The numbers ADO users know: a value that does not fit, no current record.
constexpr long kErrDataOverflow = 3421;
constexpr long kErrNoCurrentRecord = 3021;
constexpr std::string_view kNoCurrentRecord = "Either BOF or EOF is True, or the current record has been deleted.";

}  // namespace

size_t utf8Length(std::string_view text) {
  size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

void MemoryTable::appendColumn(std::string name, size_t maxLength) {
  if (!rows_.empty())
    raise(err::kInvalidCall, std::string(kSource), "Columns cannot be added to a table that holds rows");
  columns_.push_back({std::move(name), maxLength});
}

void MemoryTable::addNew() {
  rows_.emplace_back(columns_.size());
  position_ = rows_.size() - 1;
}

size_t MemoryTable::columnIndex(std::string_view column) const {
  for (size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i].name == column) return i;
  raise(kErrItemNotFound, std::string(kSource),
        "Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

const std::vector<std::string>& MemoryTable::current() const {
  if (eof()) raise(kErrNoCurrentRecord, std::string(kSource), std::string(kNoCurrentRecord));
  return rows_[position_];
}

void MemoryTable::setValue(std::string_view column, std::string_view value) {
  size_t index = columnIndex(column);
  current();
  if (utf8Length(value) > columns_[index].maxLength)
    raise(kErrDataOverflow, std::string(kSource),
          "The value is longer than the " + std::to_string(columns_[index].maxLength) + " characters that " +
              columns_[index].name + " can hold");
  rows_[position_][index] = std::string(value);
}

std::string MemoryTable::value(std::string_view column) const {
  size_t index = columnIndex(column);
  return current()[index];
}

void MemoryTable::moveFirst() { position_ = 0; }

void MemoryTable::moveNext() {
  if (eof()) raise(kErrNoCurrentRecord, std::string(kSource), std::string(kNoCurrentRecord));
  ++position_;
}

void MemoryTable::eraseRow(size_t row) {
  if (row >= rows_.size()) raise(err::kSubscript, std::string(kSource), "Subscript out of range");
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
  if (position_ > rows_.size()) position_ = rows_.size();
}

}  // namespace tvk::db
