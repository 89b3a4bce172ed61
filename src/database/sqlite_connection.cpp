#include "database/sqlite_connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>

#include "base/error.h"
#include "base/general.h"
#include "database/connection_string.h"
#include "database/sqlite_handles.h"

namespace tvk::db {

namespace {

using Clock = std::chrono::steady_clock;

// "  Varying   character ( 40 ) " -> name "VARYING CHARACTER", first number 40.
struct DeclaredType {
  std::string name;
  long size = 0;
};

DeclaredType parseDeclaredType(std::string_view text) {
  DeclaredType result;
  size_t open = text.find('(');
  std::string_view head = text.substr(0, open);
  bool blank = false;
  for (char c : head) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      blank = !result.name.empty();
      continue;
    }
    if (blank) result.name += ' ';
    blank = false;
    result.name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (open != std::string_view::npos) {
    std::string digits;
    for (size_t i = open + 1; i < text.size() && digits.size() < 10; ++i) {
      char c = text[i];
      if (c >= '0' && c <= '9')
        digits += c;
      else if (c == ' ' || c == '\t') {
        if (!digits.empty()) break;
      } else
        break;
    }
    if (!digits.empty()) result.size = std::strtol(digits.c_str(), nullptr, 10);
  }
  return result;
}

bool isSystemName(std::string_view name) { return gfbStartsWithNoCase(name, "sqlite_"); }

// 'text' as an SQL string literal.
std::string sqlLiteral(std::string_view text) {
  std::string literal = "'";
  for (char c : text) {
    if (c == '\'') literal += '\'';
    literal += c;
  }
  return literal + "'";
}

class SqliteConnection final : public Connection {
 public:
  SqliteConnection(SqliteDb db, const Timeouts& timeouts) : db_(std::move(db)), timeouts_(timeouts) {
    sqlite3_busy_timeout(db_.get(), timeouts_.querySeconds * 1000);
    sqlite3_progress_handler(db_.get(), 10000, &SqliteConnection::onProgress, this);
  }
  ~SqliteConnection() override = default;

  std::string providerName() override { return "SQLite"; }
  std::string identifierQuote() override { return "\""; }

  void execute(std::string_view statement) override {
    Deadline deadline(*this);
    SqliteStmt stmt = sqlitePrepare(handle(), statement);
    // The first row proves the statement runs; the rest is never read.
    step(stmt.get());
  }

  void close() override { db_.reset(); }

  std::vector<TableEntry> listTables() override {
    Deadline deadline(*this);
    std::vector<TableEntry> tables;
    SqliteStmt stmt =
        sqlitePrepare(handle(), "SELECT name, type FROM sqlite_schema WHERE type IN ('table', 'view') ORDER BY rowid");
    while (step(stmt.get())) tables.push_back(entry(sqliteText(stmt.get(), 0), sqliteText(stmt.get(), 1)));
    stmt.reset();
    // The schema's pages are cached since the database was opened; once the
    // list is read nothing else reads them (the schema itself is parsed in
    // memory), so their memory goes back for what the wizard builds next.
    sqlite3_db_release_memory(handle());
    return tables;
  }

  std::optional<TableEntry> findTable(std::string_view name) override {
    Deadline deadline(*this);
    SqliteStmt stmt = sqlitePrepare(handle(),
                                    "SELECT name, type FROM sqlite_schema WHERE type IN ('table', 'view') "
                                    "AND name = ?1 COLLATE NOCASE ORDER BY rowid");
    sqliteBind(stmt.get(), 1, name);
    if (!step(stmt.get())) return std::nullopt;
    return entry(sqliteText(stmt.get(), 0), sqliteText(stmt.get(), 1));
  }

  std::vector<Column> readColumns(const TableEntry& table) override {
    Deadline deadline(*this);
    const TableShape& shape = readShape(table.name);
    std::vector<Column> columns;
    for (const ColumnRow& row : shape.rows) {
      Column column;
      column.name = row.name;
      SqliteColumnType type = sqliteColumnType(row.declaredType);
      column.type = type.type;
      column.definedSize = type.definedSize;
      if (!row.notNull) column.attributes |= kColumnNullable;
      if (fixedDefinedSize(column.type) != 0) column.attributes |= kColumnFixed;
      column.autoIncrement = shape.rowidKey && row.pk == 1;
      column.hasDefault = row.hasDefault;
      columns.push_back(std::move(column));
    }
    return columns;
  }

  std::vector<Index> readIndexes(const TableEntry& table) override {
    Deadline deadline(*this);
    const TableShape& shape = readShape(table.name);
    std::vector<Index> indexes;
    const std::vector<IndexRow>& rows = readIndexRows(table.name);
    if (!shape.keyColumns.empty()) {
      Index primary;
      primary.name = "PRIMARY";
      primary.primaryKey = true;
      primary.unique = true;
      primary.columns = shape.keyColumns;
      for (const IndexRow& row : rows)
        if (row.origin == "pk") primary.name = row.name;
      indexes.push_back(std::move(primary));
    }
    for (const IndexRow& row : rows) {
      if (row.origin == "pk") continue;
      indexes.push_back({row.name, false, row.unique, row.columns});
    }
    return indexes;
  }

  std::vector<Key> readKeys(const TableEntry& table) override {
    Deadline deadline(*this);
    const TableShape& shape = readShape(table.name);
    std::vector<Key> keys;
    if (!shape.keyColumns.empty()) {
      Key primary;
      primary.name = "PRIMARY";
      primary.type = KeyType::Primary;
      primary.columns = shape.keyColumns;
      keys.push_back(std::move(primary));
    }
    // Foreign keys: the pragma numbers them from the last declared one.
    SqliteStmt fk = sqlitePrepare(handle(),
                                  "SELECT id, \"table\", \"from\", \"to\" FROM pragma_foreign_key_list(?1) "
                                  "ORDER BY id DESC, seq");
    sqliteBind(fk.get(), 1, table.name);
    long long lastId = -1;
    while (step(fk.get())) {
      long long id = sqliteInt(fk.get(), 0);
      if (id != lastId) {
        Key key;
        key.name = "FK" + std::to_string(id);
        key.type = KeyType::Foreign;
        key.relatedTable = sqliteText(fk.get(), 1);
        keys.push_back(std::move(key));
        lastId = id;
      }
      keys.back().columns.push_back(sqliteText(fk.get(), 2));
      keys.back().relatedColumns.push_back(sqliteText(fk.get(), 3));
    }
    fk.reset();
    for (size_t i = 0; i < keys.size(); ++i) {
      Key& key = keys[i];
      if (key.type != KeyType::Foreign) continue;
      // The table as the catalogue names it, and the columns a bare
      // "REFERENCES t" means: t's primary key.
      if (std::optional<TableEntry> related = findTable(key.relatedTable)) {
        key.relatedTable = related->name;
        if (std::any_of(key.relatedColumns.begin(), key.relatedColumns.end(),
                        [](const std::string& c) { return c.empty(); })) {
          std::vector<std::string> primary = readShape(related->name).keyColumns;
          if (primary.size() == key.relatedColumns.size()) key.relatedColumns = primary;
        }
      }
    }
    for (const IndexRow& row : readIndexRows(table.name)) {
      if (row.origin != "u" || !row.unique) continue;
      keys.push_back({row.name, KeyType::Unique, row.columns, {}, {}});
    }
    return keys;
  }

  void forgetCachedSchema() override {
    shapes_.clear();
    indexRows_.clear();
  }

 private:
  struct ColumnRow {
    std::string name;
    std::string declaredType;
    bool notNull = false;
    int pk = 0;
    bool hasDefault = false;
  };
  struct TableShape {
    std::vector<ColumnRow> rows;
    std::vector<std::string> keyColumns;  // in the key's declared order
    bool rowidKey = false;                // "INTEGER PRIMARY KEY": the rowid
  };
  struct IndexRow {
    std::string name;
    bool unique = false;
    std::string origin;
    std::vector<std::string> columns;
  };

  // Statements of the catalogue and of execute run against a deadline; the
  // progress handler interrupts them when it has passed.
  class Deadline {
   public:
    explicit Deadline(SqliteConnection& owner) : owner_(owner), outer_(owner.deadline_) {
      if (!outer_) owner_.deadline_ = Clock::now() + std::chrono::seconds(owner_.timeouts_.querySeconds);
    }
    ~Deadline() { owner_.deadline_ = outer_; }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

   private:
    SqliteConnection& owner_;
    std::optional<Clock::time_point> outer_;
  };

  static int onProgress(void* self) {
    auto* connection = static_cast<SqliteConnection*>(self);
    return connection->deadline_ && Clock::now() > *connection->deadline_ ? 1 : 0;
  }

  sqlite3* handle() {
    if (!db_)
      raise(kErrObjectClosed, std::string(kSqliteSource), "Operation is not allowed when the object is closed.");
    return db_.get();
  }

  bool step(sqlite3_stmt* stmt) {
    try {
      return sqliteStep(stmt);
    } catch (const WizError& e) {
      if ((e.number() & 0xff) == SQLITE_INTERRUPT)
        raise(kErrTimeout, std::string(kSqliteSource),
              "The statement did not finish within " + std::to_string(timeouts_.querySeconds) + " seconds");
      throw;
    }
  }

  TableEntry entry(std::string name, std::string_view type) {
    TableEntry e;
    e.type = type == "view" ? "VIEW" : isSystemName(name) ? "SYSTEM TABLE" : "TABLE";
    e.name = std::move(name);
    e.schema = "main";
    return e;
  }

  // Columns, indexes and keys each need the table's shape, and indexes and
  // keys its index list: each is read once per table until
  // forgetCachedSchema().
  const TableShape& readShape(const std::string& table) {
    auto cached = shapes_.find(table);
    if (cached != shapes_.end()) return cached->second;
    TableShape shape;
    // The pragma itself (rows in column order: cid, name, type, notnull,
    // dflt_value, pk, hidden) rather than its table-valued form, which runs
    // the same pragma inside a virtual table and costs several times as much
    // on a wide table. The name goes in as a string literal.
    SqliteStmt stmt = sqlitePrepare(handle(), "PRAGMA table_xinfo(" + sqlLiteral(table) + ")");
    std::map<int, std::string> key;
    while (step(stmt.get())) {
      // Hidden columns of virtual tables (hidden = 1) are not part of a row.
      if (sqliteInt(stmt.get(), 6) == 1) continue;
      ColumnRow row{sqliteText(stmt.get(), 1), sqliteText(stmt.get(), 2), sqliteInt(stmt.get(), 3) != 0,
                    static_cast<int>(sqliteInt(stmt.get(), 5)), sqlite3_column_type(stmt.get(), 4) != SQLITE_NULL};
      if (row.pk > 0) key[row.pk] = row.name;
      shape.rows.push_back(std::move(row));
    }
    for (auto& [ordinal, name] : key) shape.keyColumns.push_back(name);
    if (key.size() == 1) {
      const ColumnRow& keyRow =
          *std::find_if(shape.rows.begin(), shape.rows.end(), [](const ColumnRow& r) { return r.pk == 1; });
      // Only a rowid table's single INTEGER key is the rowid; such a table
      // lists no index for it (WITHOUT ROWID tables and other key types do).
      if (parseDeclaredType(keyRow.declaredType).name == "INTEGER" &&
          keyRow.declaredType.find('(') == std::string::npos) {
        SqliteStmt pk = sqlitePrepare(handle(), "SELECT 1 FROM pragma_index_list(?1) WHERE origin = 'pk'");
        sqliteBind(pk.get(), 1, table);
        shape.rowidKey = !step(pk.get());
      }
    }
    return shapes_.emplace(table, std::move(shape)).first->second;
  }

  const std::vector<IndexRow>& readIndexRows(const std::string& table) {
    auto cached = indexRows_.find(table);
    if (cached != indexRows_.end()) return cached->second;
    // The pragma lists the newest index first; creation order reads better.
    // The list first, then each index's columns: most tables have few
    // indexes or none, and a join of the two pragmas costs more to prepare
    // than the lists cost to read.
    std::vector<IndexRow> rows;
    {
      SqliteStmt list =
          sqlitePrepare(handle(), "SELECT name, \"unique\", origin FROM pragma_index_list(?1) ORDER BY seq DESC");
      sqliteBind(list.get(), 1, table);
      while (step(list.get()))
        rows.push_back({sqliteText(list.get(), 0), sqliteInt(list.get(), 1) != 0, sqliteText(list.get(), 2), {}});
    }
    for (IndexRow& row : rows) {
      SqliteStmt info = sqlitePrepare(handle(), "SELECT name FROM pragma_index_info(?1) ORDER BY seqno");
      sqliteBind(info.get(), 1, row.name);
      // Expression columns have no name; they still hold a place.
      while (step(info.get())) row.columns.push_back(sqliteText(info.get(), 0));
    }
    // An index without key columns is not one the joined reading listed.
    std::erase_if(rows, [](const IndexRow& row) { return row.columns.empty(); });
    return indexRows_.emplace(table, std::move(rows)).first->second;
  }

  SqliteDb db_;
  Timeouts timeouts_;
  std::optional<Clock::time_point> deadline_;
  std::map<std::string, TableShape> shapes_;
  std::map<std::string, std::vector<IndexRow>> indexRows_;
};

}  // namespace

namespace {

// The declared types the wizard knows by name; Variant for any other.
SqliteColumnType knownColumnType(const DeclaredType& t) {
  const std::string& n = t.name;
  const auto is = [&](std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), n) != names.end();
  };
  if (is({"INTEGER", "INT", "MEDIUMINT"})) return {adotype::Integer, 4};
  if (is({"SMALLINT"})) return {adotype::SmallInt, 2};
  if (is({"TINYINT"})) return {adotype::UnsignedTinyInt, 1};
  if (is({"BIGINT"})) return {adotype::BigInt, 8};
  if (is({"BOOLEAN", "BOOL", "BIT"})) return {adotype::Boolean, 2};
  if (is({"REAL", "DOUBLE", "DOUBLE PRECISION", "FLOAT"})) return {adotype::Double, 8};
  if (is({"NUMERIC", "DECIMAL"})) return {adotype::Numeric, t.size};
  if (is({"MONEY", "CURRENCY"})) return {adotype::Currency, 8};
  if (is({"DATE"})) return {adotype::DBDate, 0};
  if (is({"TIME"})) return {adotype::DBTime, 0};
  if (is({"DATETIME", "TIMESTAMP"})) return {adotype::DBTimeStamp, 0};
  if (is({"CHAR", "NCHAR", "CHARACTER"})) return {adotype::WChar, t.size};
  if (is({"VARCHAR", "NVARCHAR", "VARYING CHARACTER"})) {
    if (t.size > 0) return {adotype::VarWChar, t.size};
    return {adotype::LongVarWChar, 0};
  }
  if (is({"TEXT", "CLOB", "MEMO", "NTEXT"})) return {adotype::LongVarWChar, 0};
  if (is({"BLOB", "BINARY", "VARBINARY"})) return {adotype::LongVarBinary, 0};
  return {adotype::Variant, 0};
}

bool endsWithWord(std::string_view name, std::string_view word) {
  return name.size() > word.size() && name.substr(name.size() - word.size()) == word &&
         name[name.size() - word.size() - 1] == ' ';
}

}  // namespace

SqliteColumnType sqliteColumnType(std::string_view declaredType) {
  DeclaredType t = parseDeclaredType(declaredType);
  SqliteColumnType known = knownColumnType(t);
  if (known.type != adotype::Variant || t.name.empty()) return known;
  // MySQL-style modifiers, as schemas written for both databases carry them:
  // "INTEGER UNSIGNED" is the INTEGER SQLite stores.
  DeclaredType bare = t;
  while (endsWithWord(bare.name, "UNSIGNED") || endsWithWord(bare.name, "ZEROFILL"))
    bare.name.resize(bare.name.rfind(' '));
  if (bare.name != t.name) {
    known = knownColumnType(bare);
    if (known.type != adotype::Variant) return known;
  }
  // Any other name: SQLite's own affinity rules, in their order. Names that
  // would fall through to numeric affinity (JSON, STRING) stay Variant: they
  // hold text as often as numbers.
  const std::string& n = t.name;
  const auto has = [&](std::string_view part) { return n.find(part) != std::string::npos; };
  if (has("INT")) return has("BIG") ? SqliteColumnType{adotype::BigInt, 8} : SqliteColumnType{adotype::Integer, 4};
  if (has("CHAR") || has("CLOB") || has("TEXT"))
    return t.size > 0 ? SqliteColumnType{adotype::VarWChar, t.size} : SqliteColumnType{adotype::LongVarWChar, 0};
  if (has("BLOB")) return {adotype::LongVarBinary, 0};
  if (has("REAL") || has("FLOA") || has("DOUB")) return {adotype::Double, 8};
  return {adotype::Variant, 0};
}

std::unique_ptr<Connection> openSqliteConnection(const ConnectionString& connection, const Timeouts& timeouts) {
  std::optional<std::string> database = connection.get("Database");
  if (!database || database->empty())
    raise(err::kDatabase, std::string(kSqliteSource), "The connection string names no database file (Database=...)");
  SqliteDb db = sqliteOpen(*database, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
  // A database file is only a database for SQLite once its header has been
  // read: do it now, so that a wrong file fails here and not later. Views and
  // triggers of an unknown file must not reach application functions.
  sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db.get(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  {
    SqliteStmt probe = sqlitePrepare(db.get(), "SELECT count(*) FROM sqlite_schema");
    sqliteStep(probe.get());
  }
  return std::make_unique<SqliteConnection>(std::move(db), timeouts);
}

std::string sqliteVersion() { return sqlite3_libversion(); }

}  // namespace tvk::db
