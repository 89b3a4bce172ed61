#include "database/connection_pool.h"

#include <algorithm>

#include "base/error.h"

namespace tvk::db {

struct ConnectionPool::Backend {
  std::unique_ptr<Connection> connection;
  bool failed = false;
};

// Every call goes to the shared backend; any failure marks the backend
// failed, since after a lost server or a timeout nobody knows what state the
// connection is in. Closing a handle ends only the handle: the others, and
// the pool's catalogue, go on with the connection.
class ConnectionPool::Handle final : public Connection {
 public:
  explicit Handle(std::shared_ptr<Backend> backend) : backend_(std::move(backend)) {}

 private:
  template <class Body>
  auto call(Body&& body) {
    if (closed_) raise(kErrObjectClosed, "Connection", "Operation is not allowed when the object is closed.");
    try {
      return body(*backend_->connection);
    } catch (...) {
      backend_->failed = true;
      throw;
    }
  }

 public:
  std::string providerName() override {
    return call([](Connection& c) { return c.providerName(); });
  }
  std::string identifierQuote() override {
    return call([](Connection& c) { return c.identifierQuote(); });
  }
  void execute(std::string_view statement) override {
    call([&](Connection& c) { c.execute(statement); });
  }
  void close() override { closed_ = true; }
  std::vector<TableEntry> listTables() override {
    return call([](Connection& c) { return c.listTables(); });
  }
  std::optional<TableEntry> findTable(std::string_view name) override {
    return call([&](Connection& c) { return c.findTable(name); });
  }
  std::vector<Column> readColumns(const TableEntry& table) override {
    return call([&](Connection& c) { return c.readColumns(table); });
  }
  std::vector<Index> readIndexes(const TableEntry& table) override {
    return call([&](Connection& c) { return c.readIndexes(table); });
  }
  std::vector<Key> readKeys(const TableEntry& table) override {
    return call([&](Connection& c) { return c.readKeys(table); });
  }
  void forgetCachedSchema() override {
    if (!closed_) backend_->connection->forgetCachedSchema();
  }

 private:
  std::shared_ptr<Backend> backend_;
  bool closed_ = false;
};

ConnectionPool::ConnectionPool()
    : ConnectionPool([](const ConnectionSettings& settings) {
        return openConnection(settings.connectionString, settings.user, settings.password, -1);
      }) {}

ConnectionPool::ConnectionPool(Opener opener) : opener_(std::move(opener)) {}

ConnectionPool::~ConnectionPool() {
  const auto closeQuietly = [](Backend& backend) {
    try {
      backend.connection->close();
    } catch (...) {
      // Nothing is left to tell: the session is over.
    }
  };
  for (auto& [settings, entry] : entries_) closeQuietly(*entry.backend);
  for (const std::weak_ptr<Backend>& dropped : dropped_)
    if (std::shared_ptr<Backend> backend = dropped.lock()) closeQuietly(*backend);
}

std::shared_ptr<Connection> ConnectionPool::connection(const ConnectionSettings& settings) {
  return std::make_shared<Handle>(entry(settings).backend);
}

std::shared_ptr<Catalog> ConnectionPool::catalog(const ConnectionSettings& settings) { return entry(settings).catalog; }

ConnectionPool::Entry& ConnectionPool::entry(const ConnectionSettings& settings) {
  auto found = entries_.find(settings);
  if (found != entries_.end()) {
    if (!found->second.backend->failed) return found->second;
    std::erase_if(dropped_, [](const std::weak_ptr<Backend>& b) { return b.expired(); });
    dropped_.push_back(found->second.backend);
    entries_.erase(found);
  }
  auto backend = std::make_shared<Backend>();
  backend->connection = opener_(settings);
  if (!backend->connection) raise(err::kDatabase, "Connection", "The database could not be opened");
  Entry made{backend, std::make_shared<Catalog>(std::make_shared<Handle>(backend))};
  return entries_.emplace(settings, std::move(made)).first->second;
}

}  // namespace tvk::db
