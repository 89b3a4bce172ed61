// The connection string parser: any text either parses or is refused with a
// WizError; what parses renders to a text that parses again to the same
// attributes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/error.h"
#include "database/connection_string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tvk::db::ConnectionString parsed;
  try {
    parsed = tvk::db::ConnectionString::parse(text);
  } catch (const tvk::WizError&) {
    return 0;
  }
  (void)parsed.get("Driver");
  (void)tvk::db::usesNativeSqlite(parsed);
  const std::string rendered = parsed.text();
  tvk::db::ConnectionString again = tvk::db::ConnectionString::parse(rendered);
  if (again.attributes().size() != parsed.attributes().size()) std::abort();
  for (size_t i = 0; i < parsed.attributes().size(); ++i)
    if (again.attributes()[i].key != parsed.attributes()[i].key ||
        again.attributes()[i].value != parsed.attributes()[i].value)
      std::abort();
  parsed.set("Uid", text.substr(0, 16));
  parsed.fold("Database", {"Dbq", "Data Source"});
  parsed.remove("Pwd");
  (void)tvk::db::ConnectionString::parse(parsed.text());
  return 0;
}
