// The connections of one session: one open connection, and one schema
// catalogue over it, per database the session chose, shared by every routine
// that opens that database. Opening a database is the dear part of reading a
// schema (SQLite reads the whole schema, a server wants a new login), and one
// choice of a table opens it several times.
//
// The pool lives in the session (Session::resource) and closes its
// connections when the session ends. A connection on which anything failed
// is dropped from the pool: the next open makes a fresh one, while handles
// taken before keep theirs.
#pragma once

#include <compare>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "database/data_access.h"

namespace tvk::db {

// Where a database is: the connection string, and the user and password
// handed to the driver besides it (ignored for an empty user). Equal
// settings share one pooled connection.
struct ConnectionSettings {
  std::string connectionString;
  std::string user;
  std::string password;

  auto operator<=>(const ConnectionSettings&) const = default;
};

class ConnectionPool {
 public:
  // Makes a new backend connection; failures are WizError.
  using Opener = std::function<std::unique_ptr<Connection>(const ConnectionSettings&)>;

  // Opens with openConnection.
  ConnectionPool();
  explicit ConnectionPool(Opener opener);
  // Closes every connection the pool opened, also those still borrowed.
  ~ConnectionPool();
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

  // A handle of the caller's own on the pooled connection to the database,
  // which is opened now when the pool has none (a failure to open passes on
  // and pools nothing). Closing the handle ends only the handle.
  std::shared_ptr<Connection> connection(const ConnectionSettings& settings);
  // The catalogue over the pooled connection to the database, one for every
  // caller in the session; opened as above.
  std::shared_ptr<Catalog> catalog(const ConnectionSettings& settings);

  // How many connections are pooled (a failed one counts until the next
  // open of its database drops it).
  size_t size() const { return entries_.size(); }

  // Replaces how connections are made from now on (another backend, or a
  // test counting opens); pooled connections stay.
  void setOpener(Opener opener) { opener_ = std::move(opener); }

 private:
  struct Backend;  // the open database and whether anything failed on it
  class Handle;    // a Connection over a Backend
  struct Entry {
    std::shared_ptr<Backend> backend;
    std::shared_ptr<Catalog> catalog;
  };

  Entry& entry(const ConnectionSettings& settings);

  Opener opener_;
  std::map<ConnectionSettings, Entry> entries_;
  // Dropped after a failure but perhaps still borrowed: closed with the rest.
  std::vector<std::weak_ptr<Backend>> dropped_;
};

}  // namespace tvk::db
