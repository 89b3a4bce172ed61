// The global.asa reader: any file content gives a list of data sources (or
// none) and a value lookup without crashing.
#include <cstddef>
#include <cstdint>

#include "database/global_asa.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = tvk::fuzz::scratch().write("global.asa", data, size);
  if (auto sources = tvk::gfoGlobalASADataSources(path))
    for (const tvk::XmlNode& source : *sources) (void)source.text();
  (void)tvk::gfsGlobalASAValue(path, "Northwind_ConnectionString");
  return 0;
}
