// Reading the data connections a web application defines in its global.asa:
// lines of the form Application("N_ConnectionString") = "...".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/xml.h"

namespace tvk {

// The data sources named in the file's Application_OnStart procedure, in file
// order: elements named "DatabaseConnection" whose text is the name (once per
// occurrence). An empty list when the file has no Application_OnStart; no
// list at all when the file cannot be read or the procedure never ends.
std::optional<XmlNodeList> gfoGlobalASADataSources(const std::string& path);

// The value of Application("key") = "value" from the first line, outside a
// comment, that assigns it (the key without regard to letter case); the empty
// text when there is none or the file cannot be read.
std::string gfsGlobalASAValue(const std::string& path, std::string_view key);

}  // namespace tvk
