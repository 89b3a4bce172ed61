// Helpers for the database tests: the fixture schemas built into SQLite
// files, the PostgreSQL server of the test run, and field records as text.
// Temporary folders come from tests/support/temp_dir.h.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/sample_database.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::test {

inline std::string sourceFile(std::string_view relative) {
  return std::string(TVK_SOURCE_DIR) + "/" + std::string(relative);
}

// The portable fixture (and, unless `portableOnly`, the SQLite-only tables)
// built into `path`; returns its native connection string.
inline std::string buildFixtureDatabase(const std::string& path, bool portableOnly = false) {
  std::vector<std::string> scripts = {sourceFile("tests/database/fixture.sql")};
  if (!portableOnly) scripts.push_back(sourceFile("tests/database/fixture_sqlite.sql"));
  db::buildSqliteDatabase(path, scripts);
  return db::sqliteConnectionString(path);
}

// An environment variable's value, or none when unset or empty.
inline std::optional<std::string> environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

// One field record on one line, every child in document order:
// "name|label|type|description|size|required|read-only|lookup|sorting", the
// lookup as "TRUE:table:join:show" or its flag alone.
inline std::string fieldRecord(const XmlNode& field) {
  std::string line;
  for (const XmlNode& child : field.children()) {
    if (!line.empty()) line += '|';
    if (child.name() == "LookupTable") {
      std::string lookup;
      for (const XmlNode& part : child.children()) lookup += (lookup.empty() ? "" : ":") + part.text();
      line += lookup;
    } else {
      line += child.text();
    }
  }
  return line;
}

inline std::vector<std::string> fieldRecords(const XMLWizData& wizData) {
  std::vector<std::string> lines;
  for (const XmlNode& field : wizData.GetFields()) lines.push_back(fieldRecord(field));
  return lines;
}

}  // namespace tvk::test
