// Names made unique among the names of one statement or one page, where
// letter case does not tell names apart (SQL's unquoted names, VBScript's
// names): a name is handed out as wanted while it is free, else numbered
// "_2", "_3"... (or "_1", "_2"... for a name that is always numbered). The
// numbers of one stem go on from where its last one stopped, so a thousand
// clashes do not try the earlier numbers again.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

namespace tvk {

class UniqueNames {
 public:
  // Marks a name as in use; false when it already was.
  bool take(std::string_view name);
  // The name itself when it is free, else the first free "name_N" from 2
  // on; the result is taken.
  std::string unique(std::string_view name);
  // The first free "stem_N" from `first` on; the result is taken.
  std::string numbered(std::string_view stem, int first);

 private:
  std::set<std::string> names_;             // folded
  std::map<std::string, int> nextNumbers_;  // per folded stem
};

// A name with its ASCII letters in lower case, as names that differ only in
// case are compared.
std::string gfsFoldedName(std::string_view name);

}  // namespace tvk
