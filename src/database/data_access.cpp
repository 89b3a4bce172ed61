#include "database/data_access.h"

#include <algorithm>

#include "base/error.h"
#include "database/connection_string.h"
#include "database/odbc_connection.h"
#include "database/sqlite_connection.h"

namespace tvk::db {

std::unique_ptr<Connection> openConnection(std::string_view connectionString, std::string_view user,
                                           std::string_view password, long /*options*/, const Timeouts& timeouts) {
  ConnectionString parsed = ConnectionString::parse(connectionString);
  if (usesNativeSqlite(parsed)) return openSqliteConnection(parsed, timeouts);
  // ADO spellings of the user keys become the ODBC ones, so that a user named
  // in the string reaches every driver.
  parsed.fold("UID", {"User ID", "User", "UserName"});
  parsed.fold("PWD", {"Password"});
  if (!user.empty()) {
    parsed.set("UID", user);
    parsed.set("PWD", password);
  }
  return openOdbcConnection(parsed, timeouts);
}

const std::vector<Column>& Table::columns() {
  if (!columns_) columns_ = connection_->readColumns(entry_);
  return *columns_;
}

const std::vector<Index>& Table::indexes() {
  if (!indexes_) indexes_ = connection_->readIndexes(entry_);
  return *indexes_;
}

const std::vector<Key>& Table::keys() {
  if (!keys_) keys_ = connection_->readKeys(entry_);
  return *keys_;
}

const Column* Table::column(std::string_view name) {
  for (const Column& c : columns())
    if (c.name == name) return &c;
  return nullptr;
}

Catalog::Catalog(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}

std::unique_ptr<Catalog> Catalog::open(std::string_view connectionString, const Timeouts& timeouts) {
  return std::make_unique<Catalog>(openConnection(connectionString, {}, {}, -1, timeouts));
}

const std::vector<TableEntry>& Catalog::tables() {
  if (!tables_) tables_ = connection_->listTables();
  return *tables_;
}

Table* Catalog::findTable(std::string_view name) {
  for (const auto& table : opened_)
    if (table->entry().displayName() == name) return table.get();
  std::optional<TableEntry> entry;
  if (tables_) {
    // Only a name the list holds once: of one name in several schemas the
    // backend knows which one unqualified SQL reaches.
    const auto named = [&](const TableEntry& e) { return e.displayName() == name; };
    auto exact = std::find_if(tables_->begin(), tables_->end(), named);
    if (exact != tables_->end() && std::count_if(exact, tables_->end(), named) == 1) entry = *exact;
  }
  if (!entry) entry = connection_->findTable(name);
  if (!entry) return nullptr;
  for (const auto& table : opened_)
    if (table->name() == entry->name && table->entry().schema == entry->schema) return table.get();
  opened_.push_back(std::make_unique<Table>(*connection_, std::move(*entry)));
  return opened_.back().get();
}

void Catalog::refresh() {
  tables_.reset();
  for (auto& table : opened_) retired_.push_back(std::move(table));
  opened_.clear();
  connection_->forgetCachedSchema();
}

Table& Catalog::table(std::string_view name) {
  Table* found = findTable(name);
  if (found == nullptr)
    raise(kErrItemNotFound, "Catalog",
          "Item cannot be found in the collection corresponding to the requested name or ordinal.");
  return *found;
}

long fixedDefinedSize(int adoType) {
  switch (adoType) {
    case adotype::TinyInt:
    case adotype::UnsignedTinyInt:
      return 1;
    case adotype::SmallInt:
    case adotype::UnsignedSmallInt:
    case adotype::Boolean:
      return 2;
    case adotype::Integer:
    case adotype::UnsignedInt:
    case adotype::Single:
      return 4;
    case adotype::Double:
    case adotype::Currency:
    case adotype::BigInt:
    case adotype::UnsignedBigInt:
      return 8;
    case adotype::GUID:
      return 16;
    default:
      return 0;
  }
}

bool hasDeclaredSize(int adoType) {
  switch (adoType) {
    case adotype::Char:
    case adotype::WChar:
    case adotype::VarChar:
    case adotype::VarWChar:
    case adotype::Binary:
    case adotype::VarBinary:
    case adotype::Numeric:
    case adotype::Decimal:
      return true;
    default:
      return false;
  }
}

}  // namespace tvk::db
