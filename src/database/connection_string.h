// ODBC-style connection strings: "key=value;" lists. A value may be wrapped in
// braces, inside which ";" is literal and "}}" stands for "}". Keys compare
// without regard to case. The same string serves the wizard here and ADO on
// the web server, so it is passed on as unchanged as the backend allows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvk::db {

struct ConnectionAttribute {
  std::string key;
  std::string value;
};

class ConnectionString {
 public:
  ConnectionString() = default;
  // Throws WizError for a value whose opening brace is never closed.
  static ConnectionString parse(std::string_view text);

  const std::vector<ConnectionAttribute>& attributes() const { return attributes_; }
  // The value of the last attribute with that key (later ones win, as when
  // the wizard appends a user name to a string that already names one).
  std::optional<std::string> get(std::string_view key) const;
  // Replaces every attribute with that key by one (at the first one's place),
  // or appends it.
  void set(std::string_view key, std::string_view value);
  void remove(std::string_view key);
  // Renames every key of `aliases` to `key`, keeping the last value.
  void fold(std::string_view key, const std::vector<std::string_view>& aliases);

  // The string again; values are braced when they need it.
  std::string text() const;

 private:
  std::vector<ConnectionAttribute> attributes_;
};

// A value as written into a connection string: braced (with "}" doubled)
// when it holds a character that would end or confuse it.
std::string connectionValue(std::string_view value);

// True when the string is opened natively with SQLite: its Driver is a name
// that begins with "SQLite" (braces optional, any letter case).
bool usesNativeSqlite(const ConnectionString& connection);

}  // namespace tvk::db
