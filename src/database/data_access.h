// The data access layer: one small interface over the databases the wizard
// reads. A Connection is a backend (native SQLite, or ODBC for everything
// else); a Catalog is the schema catalogue over one connection, read lazily:
// listing the tables reads only their names and types, and a table's
// columns, indexes and keys are read when that part of that table is first
// asked for. Failures are WizError carrying the driver's source, number and
// description.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ado_routines.h"

namespace tvk::db {

// Column attribute bits, as the rest of the system compares them.
inline constexpr long kColumnFixed = 1;
inline constexpr long kColumnNullable = 2;

// Error numbers of the data access layer itself (drivers bring their own).
inline constexpr long kErrItemNotFound = 3265;  // no table of that name
inline constexpr long kErrObjectClosed = 3704;  // the connection was closed
inline constexpr long kErrTimeout = 3712;       // a statement ran out of time

struct Column {
  std::string name;
  int type = adotype::Variant;  // ADO type code
  long definedSize = 0;
  long attributes = 0;         // kColumnNullable, kColumnFixed
  bool autoIncrement = false;  // the "Autoincrement" property
  bool hasDefault = false;     // the database has a default value for it

  bool nullable() const { return (attributes & kColumnNullable) != 0; }
  ColumnFacts facts() const { return {type, definedSize, autoIncrement}; }
};

struct Index {
  std::string name;
  bool primaryKey = false;
  bool unique = false;
  std::vector<std::string> columns;  // in key order
};

enum class KeyType { Primary = 1, Foreign = 2, Unique = 3 };

struct Key {
  std::string name;
  KeyType type = KeyType::Primary;
  std::vector<std::string> columns;         // in key order
  std::string relatedTable;                 // as the table list names it; empty unless a foreign key
  std::vector<std::string> relatedColumns;  // one per column, foreign keys only
};

// A table or view as the catalogue lists it. Type texts: "TABLE", "VIEW",
// "SYSTEM TABLE" and whatever else a driver reports.
struct TableEntry {
  std::string name;
  std::string type;
  std::string catalog;  // where the backend needs them to find the table again
  std::string schema;
  // Outside the schema unqualified SQL reaches: listed, stored and written
  // into SQL as "schema.table".
  bool qualified = false;

  std::string displayName() const { return qualified ? schema + "." + name : name; }
};

// How long the layer waits. Login covers connecting (a server that accepts
// but never answers); query covers each statement, catalogue calls included.
struct Timeouts {
  int loginSeconds = 15;
  int querySeconds = 30;
};

// One backend connection.
class Connection {
 public:
  virtual ~Connection() = default;
  Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // "SQLite" for the native backend, the DBMS name the driver reports else.
  virtual std::string providerName() = 0;
  // The character that quotes names in this database's SQL ("" when the
  // driver reports none).
  virtual std::string identifierQuote() { return {}; }
  // Runs one statement and discards its result; only success matters.
  virtual void execute(std::string_view statement) = 0;
  // Releases the database; later calls fail. Closing twice is harmless.
  virtual void close() = 0;

  // Catalogue primitives (use them through Catalog).
  virtual std::vector<TableEntry> listTables() = 0;
  virtual std::optional<TableEntry> findTable(std::string_view name) = 0;
  virtual std::vector<Column> readColumns(const TableEntry& table) = 0;
  // The primary-key index, when there is one, comes first.
  virtual std::vector<Index> readIndexes(const TableEntry& table) = 0;
  // The primary key first, then foreign keys, then unique keys.
  virtual std::vector<Key> readKeys(const TableEntry& table) = 0;
  // A backend may remember what it read of a table between the primitives
  // above; this forgets it, so that the next reads see the database as it
  // is now.
  virtual void forgetCachedSchema() {}
};

// Opens the connection a string describes: a Driver whose name begins with
// "SQLite" opens natively (read-only, never creating a file), anything else
// goes through ODBC. User and password, when the user is not empty, are
// handed to the driver. `options` is accepted for callers that pass ADO's
// "no options" (-1) and is otherwise unused.
std::unique_ptr<Connection> openConnection(std::string_view connectionString, std::string_view user = {},
                                           std::string_view password = {}, long options = -1,
                                           const Timeouts& timeouts = {});

class Table {
 public:
  Table(Connection& connection, TableEntry entry) : connection_(&connection), entry_(std::move(entry)) {}

  const std::string& name() const { return entry_.name; }
  const std::string& type() const { return entry_.type; }
  const TableEntry& entry() const { return entry_; }

  const std::vector<Column>& columns();
  const std::vector<Index>& indexes();
  const std::vector<Key>& keys();
  // The column of exactly that name, or none.
  const Column* column(std::string_view name);

 private:
  Connection* connection_;
  TableEntry entry_;
  std::optional<std::vector<Column>> columns_;
  std::optional<std::vector<Index>> indexes_;
  std::optional<std::vector<Key>> keys_;
};

// The catalogue remembers what it has read (the table list, and each table's
// columns, indexes and keys) until refresh().
class Catalog {
 public:
  explicit Catalog(std::shared_ptr<Connection> connection);
  // A catalogue whose active connection is the string (user and password
  // inside it).
  static std::unique_ptr<Catalog> open(std::string_view connectionString, const Timeouts& timeouts = {});

  std::string providerName() { return connection_->providerName(); }
  std::string identifierQuote() { return connection_->identifierQuote(); }
  // Every table and view in catalogue order, names and types only.
  const std::vector<TableEntry>& tables();
  // The table of that name (the driver's rules for letter case), or none.
  Table* findTable(std::string_view name);
  // The same, failing with kErrItemNotFound when there is none.
  Table& table(std::string_view name);
  // Forgets everything read so far: the next questions read the database
  // again. Tables handed out before stay valid (with what they had read)
  // for as long as the catalogue lives.
  void refresh();

 private:
  std::shared_ptr<Connection> connection_;
  std::optional<std::vector<TableEntry>> tables_;
  std::vector<std::unique_ptr<Table>> opened_;
  std::vector<std::unique_ptr<Table>> retired_;
};

// The defined size a column of a fixed-size ADO type reports (bytes, and 2
// for booleans as ADO does); 0 for the types whose size is declared.
long fixedDefinedSize(int adoType);
// True for the types whose defined size is the declared length or precision.
bool hasDeclaredSize(int adoType);

}  // namespace tvk::db
