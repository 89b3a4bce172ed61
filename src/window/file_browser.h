// Directory listings for the window's file dialogs and folder browser. The
// network thread answers them itself, so the dialogs can browse while the
// wizard thread waits for their answer.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace tvk {

// A folder's listing: {"path": canonical path, "parent": its parent ("" at
// the root), "entries": [{"name", "folder"}]}: folders first, then the files
// matching any of `patterns` ("*.xml"; "*.*" or "*" is every file; no
// pattern is every file), each group sorted without regard to case; hidden
// names (a leading ".") are left out. An empty path or "~" is the home
// folder. A folder that cannot be read gives no entries and an "error" text
// ("Cannot open /x: Permission denied").
nlohmann::json listDirectory(std::string_view path, const std::vector<std::string>& patterns, bool foldersOnly);

// Whether a file name matches a dialog's pattern ('*' and '?' wildcards),
// without regard to case as the dialogs' users expect.
bool matchesPattern(std::string_view name, std::string_view pattern);

}  // namespace tvk
