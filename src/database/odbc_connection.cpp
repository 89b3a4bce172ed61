#include "database/odbc_connection.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "base/ado_routines.h"
#include "base/error.h"
#include "base/general.h"
#include "database/connection_string.h"
#include "database/odbc_api.h"
#include "database/odbc_handle.h"

namespace tvk::db {

namespace {

constexpr std::string_view kOdbc = "ODBC";

std::string trimEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

struct Diagnostic {
  std::string state;
  long native = 0;
  std::string message;
};

std::vector<Diagnostic> diagnostics(const OdbcApi& api, SQLSMALLINT type, SQLHANDLE handle) {
  std::vector<Diagnostic> records;
  if (handle == nullptr) return records;
  for (SQLSMALLINT i = 1; i <= 20; ++i) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[2048] = {};
    SQLSMALLINT length = 0;
    SQLRETURN rc = api.SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    records.push_back(
        {reinterpret_cast<char*>(state), static_cast<long>(native), trimEnd(reinterpret_cast<char*>(message))});
  }
  return records;
}

// The failure of the last call on a handle: its first error record (a
// warning record only when there is nothing else).
[[noreturn]] void raiseOdbc(const OdbcApi& api, SQLSMALLINT type, SQLHANDLE handle, std::string_view call) {
  std::vector<Diagnostic> records = diagnostics(api, type, handle);
  auto chosen =
      std::find_if(records.begin(), records.end(), [](const Diagnostic& d) { return d.state.rfind("01", 0) != 0; });
  if (chosen == records.end() && !records.empty()) chosen = records.begin();
  if (chosen == records.end())
    raise(err::kDatabase, std::string(kOdbc), "The ODBC call " + std::string(call) + " failed");
  long number = chosen->native != 0 ? chosen->native : err::kDatabase;
  raise(number, std::string(kOdbc) + " " + chosen->state, chosen->message);
}

bool hasState(const OdbcApi& api, SQLSMALLINT type, SQLHANDLE handle, std::initializer_list<std::string_view> states) {
  for (const Diagnostic& d : diagnostics(api, type, handle))
    for (std::string_view s : states)
      if (d.state == s) return true;
  return false;
}

SQLCHAR* text(const std::string& s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str())); }

// psqlODBC reports a varchar longer than its MaxVarcharSize (255 unless
// told) as long text of no size: varchar(2048) would read as an unsortable
// memo. The wizard's own connection asks for PostgreSQL's largest varchar,
// unless the string sets the option itself; text stays long text only
// while MaxLongVarcharSize is the larger, so that one goes up as well.
constexpr std::string_view kMaxVarcharSize = "MaxVarcharSize";
constexpr std::string_view kPostgresVarcharLimit = "10485760";
constexpr std::string_view kMaxLongVarcharSize = "MaxLongVarcharSize";
constexpr std::string_view kPostgresLongVarcharLimit = "1073741823";

bool namesPostgresDriver(const ConnectionString& connection) {
  std::string driver = gfsUpper(connection.get("Driver").value_or(""));
  return driver.find("POSTGRES") != std::string::npos || driver.find("PSQLODBC") != std::string::npos;
}

// One statement handle with the query timeout set, and typed column reads.
class Statement {
 public:
  Statement(const std::shared_ptr<const OdbcApi>& api, SQLHANDLE connection, int querySeconds)
      : api_(api), handle_(api, SQL_HANDLE_STMT, connection) {
    // Drivers that cannot time out say so; the call still runs.
    api_->SQLSetStmtAttr(handle_.get(), SQL_ATTR_QUERY_TIMEOUT,
                         reinterpret_cast<SQLPOINTER>(static_cast<std::intptr_t>(querySeconds)), 0);
  }

  SQLHSTMT get() const { return handle_.get(); }

  void check(SQLRETURN rc, std::string_view call) const {
    if (!SQL_SUCCEEDED(rc)) raiseOdbc(*api_, SQL_HANDLE_STMT, handle_.get(), call);
  }
  // True when a catalogue function is one the driver does not have.
  bool unsupported(SQLRETURN rc) const {
    return !SQL_SUCCEEDED(rc) && hasState(*api_, SQL_HANDLE_STMT, handle_.get(), {"IM001", "HYC00"});
  }

  bool fetch() {
    SQLRETURN rc = api_->SQLFetch(handle_.get());
    if (rc == SQL_NO_DATA) return false;
    check(rc, "SQLFetch");
    return true;
  }

  std::optional<std::string> column(SQLUSMALLINT index) {
    std::string value;
    char buffer[512];
    for (;;) {
      SQLLEN indicator = 0;
      SQLRETURN rc = api_->SQLGetData(handle_.get(), index, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
      if (rc == SQL_NO_DATA) break;
      check(rc, "SQLGetData");
      if (indicator == SQL_NULL_DATA) return std::nullopt;
      if (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer)) {
        value.append(buffer, sizeof buffer - 1);
        continue;
      }
      value.append(buffer, static_cast<size_t>(indicator));
      break;
    }
    return value;
  }
  std::string columnText(SQLUSMALLINT index) { return column(index).value_or(std::string()); }
  long columnNumber(SQLUSMALLINT index, long fallback = 0) {
    SQLINTEGER value = 0;
    SQLLEN indicator = 0;
    check(api_->SQLGetData(handle_.get(), index, SQL_C_SLONG, &value, sizeof value, &indicator), "SQLGetData");
    return indicator == SQL_NULL_DATA ? fallback : static_cast<long>(value);
  }

 private:
  std::shared_ptr<const OdbcApi> api_;
  OdbcHandle handle_;
};

class OdbcConnection final : public Connection {
 public:
  OdbcConnection(const ConnectionString& connection, const Timeouts& timeouts)
      : api_(OdbcApi::load()), timeouts_(timeouts) {
    env_ = OdbcHandle(api_, SQL_HANDLE_ENV, nullptr);
    api_->SQLSetEnvAttr(env_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    dbc_ = OdbcHandle(api_, SQL_HANDLE_DBC, env_.get());
    api_->SQLSetConnectAttr(dbc_.get(), SQL_ATTR_LOGIN_TIMEOUT,
                            reinterpret_cast<SQLPOINTER>(static_cast<std::intptr_t>(timeouts.loginSeconds)), 0);
    api_->SQLSetConnectAttr(dbc_.get(), SQL_ATTR_CONNECTION_TIMEOUT,
                            reinterpret_cast<SQLPOINTER>(static_cast<std::intptr_t>(timeouts.querySeconds)), 0);
    ConnectionString settings = connection;
    bool sizeSet = connection.get(kMaxVarcharSize).has_value();
    const auto widen = [&] {
      settings.set(kMaxVarcharSize, kPostgresVarcharLimit);
      if (!connection.get(kMaxLongVarcharSize)) settings.set(kMaxLongVarcharSize, kPostgresLongVarcharLimit);
    };
    if (!sizeSet && namesPostgresDriver(connection)) {
      widen();
      sizeSet = true;
    }
    connect(settings);
    dbms_ = info(SQL_DBMS_NAME);
    // A data source name hides the driver: PostgreSQL is known only now.
    if (!sizeSet && gfbEqualNoCase(dbms_, "PostgreSQL")) {
      api_->SQLDisconnect(dbc_.get());
      connected_ = false;
      widen();
      connect(settings);
    }
    escape_ = info(SQL_SEARCH_PATTERN_ESCAPE);
    quote_ = info(SQL_IDENTIFIER_QUOTE_CHAR);
    user_ = info(SQL_USER_NAME);
    if (quote_ == " ") quote_.clear();
  }

  ~OdbcConnection() override { close(); }

  std::string providerName() override {
    handle();
    return dbms_;
  }

  std::string identifierQuote() override {
    handle();
    return quote_;
  }

  void execute(std::string_view statement) override {
    Statement stmt(api_, handle(), timeouts_.querySeconds);
    std::string sql(statement);
    stmt.check(api_->SQLExecDirect(stmt.get(), text(sql), SQL_NTS), "SQLExecDirect");
    SQLSMALLINT columns = 0;
    api_->SQLNumResultCols(stmt.get(), &columns);
    // The first row proves the statement runs; the rest is never read.
    if (columns > 0) stmt.fetch();
  }

  void close() override {
    if (connected_) api_->SQLDisconnect(dbc_.get());
    connected_ = false;
    dbc_ = OdbcHandle();
    env_ = OdbcHandle();
  }

  std::vector<TableEntry> listTables() override { return tables(nullptr); }

  std::optional<TableEntry> findTable(std::string_view name) override {
    std::string wanted(name);
    std::string pattern = escaped(wanted);
    std::vector<TableEntry> exact;
    for (TableEntry& entry : tables(&pattern))
      if (entry.name == name) exact.push_back(std::move(entry));
    if (!exact.empty()) return preferredSchema(std::move(exact));
    // "schema.table", as the list shows a table outside the default schema.
    if (size_t dot = wanted.find('.'); dot != std::string::npos && dot > 0 && dot + 1 < wanted.size()) {
      // Asked for in its schema: psqlODBC answers a name asked for without
      // one from the search path only. A driver without schemas may refuse
      // the schema; it is then asked for the name alone, as before.
      std::string schema = wanted.substr(0, dot);
      std::string bare = escaped(wanted.substr(dot + 1));
      std::string schemaPattern = escaped(schema);
      std::vector<TableEntry> candidates;
      try {
        candidates = tables(&bare, &schemaPattern);
      } catch (const WizError&) {
        candidates = tables(&bare);
      }
      for (TableEntry& entry : candidates)
        if (entry.schema == schema && entry.name == wanted.substr(dot + 1)) return std::move(entry);
    }
    // Not under its exact name: the database may fold letter case the way
    // its SQL does, so a unique match without regard to case counts.
    std::vector<TableEntry> folded;
    for (TableEntry& entry : tables(nullptr))
      if (gfbEqualNoCase(entry.name, name)) folded.push_back(std::move(entry));
    if (folded.empty()) return std::nullopt;
    for (const TableEntry& entry : folded)
      if (entry.name != folded.front().name) return std::nullopt;  // which one is meant?
    return preferredSchema(std::move(folded));
  }

  std::vector<Column> readColumns(const TableEntry& table) override {
    Statement stmt(api_, handle(), timeouts_.querySeconds);
    std::string catalog = table.catalog, schema = escaped(table.schema), name = escaped(table.name);
    stmt.check(api_->SQLColumns(stmt.get(), optional(catalog), length(catalog), optional(schema), length(schema),
                                text(name), SQL_NTS, nullptr, 0),
               "SQLColumns");
    std::vector<Column> columns;
    while (stmt.fetch()) {
      if (!sameTable(table, stmt.columnText(2), stmt.columnText(3))) continue;
      Column column;
      column.name = stmt.columnText(4);
      int sqlType = static_cast<int>(stmt.columnNumber(5));
      column.type = adoTypeFromOdbc(sqlType, stmt.columnText(6));
      column.definedSize = adoDefinedSize(column.type, stmt.columnNumber(7));
      if (stmt.columnNumber(11, SQL_NULLABLE_UNKNOWN) != SQL_NO_NULLS) column.attributes |= kColumnNullable;
      if (fixedDefinedSize(column.type) != 0) column.attributes |= kColumnFixed;
      // COLUMN_DEF: a serial column's nextval(...), an identity's or any other default.
      // Some drivers report "NULL" for a column without one.
      std::string defaultValue = stmt.columnText(13);
      column.hasDefault = !defaultValue.empty() && !gfbEqualNoCase(defaultValue, "NULL");
      columns.push_back(std::move(column));
    }
    markAutoIncrement(table, columns);
    if (mysqlFamily()) applyMysqlDeclarations(table, columns);
    return columns;
  }

  std::vector<Index> readIndexes(const TableEntry& table) override {
    const PrimaryKey& primary = primaryKey(table);
    std::vector<Index> indexes = statistics(table);
    auto isPrimary = [&](const Index& index) {
      if (primary.columns.empty() || !index.unique) return false;
      if (!primary.name.empty() && index.name == primary.name) return true;
      return index.columns == primary.columns;
    };
    auto found = std::find_if(indexes.begin(), indexes.end(), isPrimary);
    Index primaryIndex;
    if (found != indexes.end()) {
      primaryIndex = std::move(*found);
      indexes.erase(found);
    } else if (!primary.columns.empty()) {
      primaryIndex.name = primary.name.empty() ? "PRIMARY" : primary.name;
      primaryIndex.unique = true;
      primaryIndex.columns = primary.columns;
    }
    if (!primary.columns.empty()) {
      primaryIndex.primaryKey = true;
      indexes.insert(indexes.begin(), std::move(primaryIndex));
    }
    return indexes;
  }

  std::vector<Key> readKeys(const TableEntry& table) override {
    std::vector<Key> keys;
    const PrimaryKey& primary = primaryKey(table);
    if (!primary.columns.empty())
      keys.push_back({primary.name.empty() ? "PRIMARY" : primary.name, KeyType::Primary, primary.columns, {}, {}});

    Statement stmt(api_, handle(), timeouts_.querySeconds);
    std::string catalog = table.catalog, schema = table.schema, name = table.name;
    SQLRETURN rc = api_->SQLForeignKeys(stmt.get(), nullptr, 0, nullptr, 0, nullptr, 0, optional(catalog),
                                        length(catalog), optional(schema), length(schema), text(name), SQL_NTS);
    if (!stmt.unsupported(rc)) {
      stmt.check(rc, "SQLForeignKeys");
      std::string lastName;
      while (stmt.fetch()) {
        if (!sameTable(table, stmt.columnText(6), stmt.columnText(7))) continue;
        long sequence = stmt.columnNumber(9, 1);
        std::string keyName = stmt.columnText(12);
        bool next = keys.empty() || keys.back().type != KeyType::Foreign || sequence <= 1 ||
                    (!keyName.empty() && keyName != lastName);
        if (next) {
          std::string relatedSchema = stmt.columnText(2);
          keys.push_back({keyName, KeyType::Foreign, {}, listedName(relatedSchema, stmt.columnText(3)), {}});
          lastName = keyName;
        }
        keys.back().columns.push_back(stmt.columnText(8));
        keys.back().relatedColumns.push_back(stmt.columnText(4));
      }
    }
    for (const Index& index : statistics(table)) {
      if (!index.unique || index.columns == primary.columns || (!primary.name.empty() && index.name == primary.name))
        continue;
      keys.push_back({index.name, KeyType::Unique, index.columns, {}, {}});
    }
    return keys;
  }

  void forgetCachedSchema() override {
    primaryKeys_.clear();
    statistics_.clear();
  }

 private:
  struct PrimaryKey {
    std::string name;
    std::vector<std::string> columns;
  };

  void connect(const ConnectionString& connection) {
    std::string in = connection.text();
    SQLCHAR out[2048];
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = api_->SQLDriverConnect(dbc_.get(), nullptr, text(in), SQL_NTS, out, sizeof out, &outLength,
                                          SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) raiseOdbc(*api_, SQL_HANDLE_DBC, dbc_.get(), "SQLDriverConnect");
    connected_ = true;
  }

  SQLHDBC handle() {
    if (!connected_) raise(kErrObjectClosed, std::string(kOdbc), "Operation is not allowed when the object is closed.");
    return dbc_.get();
  }

  std::string info(SQLUSMALLINT what) {
    char buffer[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(api_->SQLGetInfo(dbc_.get(), what, buffer, sizeof buffer, &length))) return {};
    return buffer;
  }

  static SQLCHAR* optional(std::string& s) { return s.empty() ? nullptr : text(s); }
  static SQLSMALLINT length(const std::string& s) { return s.empty() ? 0 : SQL_NTS; }

  // Names go into pattern arguments: "_" and "%" must match only themselves.
  std::string escaped(const std::string& name) const {
    if (escape_.empty()) return name;
    std::string out;
    for (char c : name) {
      if (c == '_' || c == '%' || escape_.find(c) != std::string::npos) out += escape_;
      out += c;
    }
    return out;
  }

  // The schemas unqualified SQL reaches on most servers: the user's own,
  // then the usual default ones.
  bool defaultSchema(const std::string& schema) const {
    return schema == user_ || schema == "public" || schema == "dbo";
  }

  // Whether a table of that schema is listed, stored and written as
  // "schema.table".
  bool qualifies(const std::string& schema) const { return !schema.empty() && !defaultSchema(schema); }

  // A table as the table list names it. A foreign key into another schema
  // then proposes that schema's table: by its bare name the lookup would
  // open the default schema's table of that name, or none.
  std::string listedName(const std::string& schema, const std::string& name) const {
    return qualifies(schema) ? schema + "." + name : name;
  }

  // Of tables with one name in several schemas, the one unqualified SQL
  // reaches (see defaultSchema).
  TableEntry preferredSchema(std::vector<TableEntry> entries) {
    for (const std::string& schema : {user_, std::string("public"), std::string("dbo")}) {
      if (schema.empty()) continue;
      for (TableEntry& entry : entries)
        if (entry.schema == schema) return std::move(entry);
    }
    return std::move(entries.front());
  }

  static bool sameTable(const TableEntry& table, const std::string& schema, const std::string& name) {
    return name == table.name && (table.schema.empty() || schema.empty() || schema == table.schema);
  }

  std::vector<TableEntry> tables(const std::string* pattern, const std::string* schemaPattern = nullptr) {
    Statement stmt(api_, handle(), timeouts_.querySeconds);
    SQLCHAR* schema = schemaPattern == nullptr ? nullptr : text(*schemaPattern);
    SQLSMALLINT schemaLength = schemaPattern == nullptr ? 0 : SQL_NTS;
    SQLRETURN rc =
        pattern == nullptr
            ? api_->SQLTables(stmt.get(), nullptr, 0, schema, schemaLength, nullptr, 0, nullptr, 0)
            : api_->SQLTables(stmt.get(), nullptr, 0, schema, schemaLength, text(*pattern), SQL_NTS, nullptr, 0);
    stmt.check(rc, "SQLTables");
    // SQLite's own tables are system tables, whatever its driver says.
    bool sqlite = gfbEqualNoCase(dbms_, "SQLite");
    // MariaDB's driver adds the tables of the server's own databases that
    // every user may read (performance_schema): they belong to another
    // database than the connection's, which unqualified SQL does not reach.
    std::string current = mysqlFamily() ? currentCatalog() : std::string();
    std::vector<TableEntry> entries;
    while (stmt.fetch()) {
      TableEntry entry;
      entry.catalog = stmt.columnText(1);
      entry.schema = stmt.columnText(2);
      entry.name = stmt.columnText(3);
      entry.type = stmt.columnText(4);
      entry.qualified = qualifies(entry.schema);
      if (sqlite && gfbEqualNoCase(entry.type, "TABLE") && gfbStartsWithNoCase(entry.name, "sqlite_"))
        entry.type = "SYSTEM TABLE";
      if (!current.empty() && !entry.catalog.empty() && entry.catalog != current) entry.type = "SYSTEM TABLE";
      entries.push_back(std::move(entry));
    }
    return entries;
  }

  // Indexes and keys both need a table's primary key and its index
  // statistics, each a round trip to the server: they are read once per
  // table until forgetCachedSchema().
  static std::string memoKey(const TableEntry& table) {
    return table.catalog + '\x1f' + table.schema + '\x1f' + table.name;
  }

  const PrimaryKey& primaryKey(const TableEntry& table) {
    std::string memo = memoKey(table);
    auto cached = primaryKeys_.find(memo);
    if (cached != primaryKeys_.end()) return cached->second;
    return primaryKeys_.emplace(memo, readPrimaryKey(table)).first->second;
  }

  const std::vector<Index>& statistics(const TableEntry& table) {
    std::string memo = memoKey(table);
    auto cached = statistics_.find(memo);
    if (cached != statistics_.end()) return cached->second;
    return statistics_.emplace(memo, readStatistics(table)).first->second;
  }

  PrimaryKey readPrimaryKey(const TableEntry& table) {
    Statement stmt(api_, handle(), timeouts_.querySeconds);
    std::string catalog = table.catalog, schema = table.schema, name = table.name;
    SQLRETURN rc = api_->SQLPrimaryKeys(stmt.get(), optional(catalog), length(catalog), optional(schema),
                                        length(schema), text(name), SQL_NTS);
    PrimaryKey key;
    if (stmt.unsupported(rc)) return key;
    stmt.check(rc, "SQLPrimaryKeys");
    std::map<long, std::string> columns;
    while (stmt.fetch()) {
      if (!sameTable(table, stmt.columnText(2), stmt.columnText(3))) continue;
      columns[stmt.columnNumber(5)] = stmt.columnText(4);
      key.name = stmt.columnText(6);
    }
    for (auto& [sequence, column] : columns) key.columns.push_back(std::move(column));
    return key;
  }

  std::vector<Index> readStatistics(const TableEntry& table) {
    Statement stmt(api_, handle(), timeouts_.querySeconds);
    std::string catalog = table.catalog, schema = table.schema, name = table.name;
    SQLRETURN rc = api_->SQLStatistics(stmt.get(), optional(catalog), length(catalog), optional(schema), length(schema),
                                       text(name), SQL_NTS, SQL_INDEX_ALL, SQL_QUICK);
    std::vector<Index> indexes;
    if (stmt.unsupported(rc)) return indexes;
    stmt.check(rc, "SQLStatistics");
    while (stmt.fetch()) {
      if (!sameTable(table, stmt.columnText(2), stmt.columnText(3))) continue;
      if (stmt.columnNumber(7) == SQL_TABLE_STAT) continue;
      std::string indexName = stmt.columnText(6);
      if (indexes.empty() || indexes.back().name != indexName)
        indexes.push_back({indexName, false, stmt.columnNumber(4, 1) == SQL_FALSE, {}});
      indexes.back().columns.push_back(stmt.columnText(9));
    }
    return indexes;
  }

  std::string quoted(const std::string& name) const {
    if (quote_.empty()) return name;
    std::string out = quote_;
    for (char c : name) {
      out += c;
      if (quote_.size() == 1 && c == quote_[0]) out += c;
    }
    return out + quote_;
  }

  // ODBC's catalogue has no auto-increment column; a result set's column
  // attributes have. An empty select over the table asks for them; a table
  // that cannot be selected simply has no auto-increment columns.
  void markAutoIncrement(const TableEntry& table, std::vector<Column>& columns) {
    try {
      Statement stmt(api_, handle(), timeouts_.querySeconds);
      std::string sql = "SELECT * FROM ";
      if (!table.schema.empty()) sql += quoted(table.schema) + ".";
      sql += quoted(table.name) + " WHERE 1=0";
      stmt.check(api_->SQLExecDirect(stmt.get(), text(sql), SQL_NTS), "SQLExecDirect");
      SQLSMALLINT count = 0;
      api_->SQLNumResultCols(stmt.get(), &count);
      for (SQLSMALLINT i = 1; i <= count; ++i) {
        SQLCHAR name[512] = {};
        SQLSMALLINT nameLength = 0;
        SQLLEN automatic = SQL_FALSE;
        api_->SQLColAttribute(stmt.get(), static_cast<SQLUSMALLINT>(i), SQL_DESC_NAME, name, sizeof name, &nameLength,
                              nullptr);
        api_->SQLColAttribute(stmt.get(), static_cast<SQLUSMALLINT>(i), SQL_DESC_AUTO_UNIQUE_VALUE, nullptr, 0, nullptr,
                              &automatic);
        if (automatic != SQL_TRUE) continue;
        std::string columnName = reinterpret_cast<char*>(name);
        for (Column& column : columns)
          if (column.name == columnName) column.autoIncrement = true;
      }
    } catch (const WizError&) {
    }
  }

  bool mysqlFamily() const { return gfbEqualNoCase(dbms_, "MariaDB") || gfbEqualNoCase(dbms_, "MySQL"); }

  std::string currentCatalog() { return info(SQL_DATABASE_NAME); }

  // What MariaDB's and MySQL's driver reports differently from the
  // declaration, taken from the declaration as the server's own clients
  // show it: BOOLEAN is TINYINT(1), reported as TINYINT, and is a Boolean
  // here as on every other database; a TIMESTAMP column is always reported
  // nullable, even when it is NOT NULL without a default.
  void applyMysqlDeclarations(const TableEntry& table, std::vector<Column>& columns) {
    auto literal = [](const std::string& s) {
      std::string out = "'";
      for (char c : s) {
        if (c == '\\' || c == '\'') out += c;
        out += c;
      }
      return out + "'";
    };
    std::string sql =
        "SELECT COLUMN_NAME, COLUMN_TYPE, IS_NULLABLE FROM information_schema.COLUMNS WHERE TABLE_NAME = " +
        literal(table.name) +
        " AND TABLE_SCHEMA = " + (table.catalog.empty() ? std::string("DATABASE()") : literal(table.catalog));
    try {
      Statement stmt(api_, handle(), timeouts_.querySeconds);
      stmt.check(api_->SQLExecDirect(stmt.get(), text(sql), SQL_NTS), "SQLExecDirect");
      while (stmt.fetch()) {
        std::string name = stmt.columnText(1), declared = stmt.columnText(2), nullable = stmt.columnText(3);
        for (Column& column : columns) {
          if (!gfbEqualNoCase(column.name, name)) continue;
          if (column.type == adotype::TinyInt && gfbEqualNoCase(declared, "tinyint(1)")) {
            column.type = adotype::Boolean;
            column.definedSize = adoDefinedSize(adotype::Boolean, 0);
          }
          if (gfbEqualNoCase(nullable, "NO")) column.attributes &= ~kColumnNullable;
        }
      }
    } catch (const WizError&) {
    }
  }

  std::shared_ptr<const OdbcApi> api_;
  Timeouts timeouts_;
  OdbcHandle env_;
  OdbcHandle dbc_;
  bool connected_ = false;
  std::string dbms_;
  std::string escape_;
  std::string quote_;
  std::string user_;
  std::map<std::string, PrimaryKey> primaryKeys_;
  std::map<std::string, std::vector<Index>> statistics_;
};

}  // namespace

OdbcHandle::OdbcHandle(std::shared_ptr<const OdbcApi> api, short type, void* parent)
    : api_(std::move(api)), type_(type) {
  SQLHANDLE handle = SQL_NULL_HANDLE;
  SQLRETURN rc = api_->SQLAllocHandle(type, parent == nullptr ? SQL_NULL_HANDLE : parent, &handle);
  if (!SQL_SUCCEEDED(rc)) {
    if (parent != nullptr)
      raiseOdbc(*api_, type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV : SQL_HANDLE_DBC, parent, "SQLAllocHandle");
    raise(err::kDatabase, std::string(kOdbc), "The ODBC driver manager could not allocate a handle");
  }
  handle_ = handle;
}

OdbcHandle::~OdbcHandle() { release(); }

void OdbcHandle::release() noexcept {
  if (handle_ != nullptr) api_->SQLFreeHandle(type_, handle_);
  handle_ = nullptr;
}

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& other) noexcept {
  if (this != &other) {
    release();
    api_ = std::move(other.api_);
    type_ = other.type_;
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

int adoTypeFromOdbc(int sqlType, std::string_view typeName) {
  bool isUnsigned = gfsUpper(typeName).find("UNSIGNED") != std::string::npos;
  switch (sqlType) {
    case SQL_CHAR:
      return adotype::Char;
    case SQL_VARCHAR:
      return adotype::VarChar;
    case SQL_LONGVARCHAR:
      return adotype::LongVarChar;
    case SQL_WCHAR:
      return adotype::WChar;
    case SQL_WVARCHAR:
      return adotype::VarWChar;
    case SQL_WLONGVARCHAR:
      return adotype::LongVarWChar;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return adotype::Numeric;
    case SQL_SMALLINT:
      return isUnsigned ? adotype::UnsignedSmallInt : adotype::SmallInt;
    case SQL_INTEGER:
      return isUnsigned ? adotype::UnsignedInt : adotype::Integer;
    case SQL_REAL:
      return adotype::Single;
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return adotype::Double;
    case SQL_BIT:
      return adotype::Boolean;
    case SQL_TINYINT:
      return isUnsigned ? adotype::UnsignedTinyInt : adotype::TinyInt;
    case SQL_BIGINT:
      return isUnsigned ? adotype::UnsignedBigInt : adotype::BigInt;
    case SQL_BINARY:
      return adotype::Binary;
    case SQL_VARBINARY:
      return adotype::VarBinary;
    case SQL_LONGVARBINARY:
      return adotype::LongVarBinary;
    case SQL_TYPE_DATE:
    case SQL_DATE:
      return adotype::DBDate;
    case SQL_TYPE_TIME:
    case SQL_TIME:
      return adotype::DBTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
      return adotype::DBTimeStamp;
    case SQL_GUID:
      return adotype::GUID;
    default:
      return adotype::Variant;
  }
}

long adoDefinedSize(int adoType, long columnSize) {
  if (long fixed = fixedDefinedSize(adoType); fixed != 0) return fixed;
  if (hasDeclaredSize(adoType)) return std::max(columnSize, 0L);
  return 0;
}

std::unique_ptr<Connection> openOdbcConnection(const ConnectionString& connection, const Timeouts& timeouts) {
  return std::make_unique<OdbcConnection>(connection, timeouts);
}

}  // namespace tvk::db
