#include "database/unique_names.h"

#include "base/general.h"

namespace tvk {

std::string gfsFoldedName(std::string_view name) { return gfsLower(name); }

bool UniqueNames::take(std::string_view name) { return names_.insert(gfsFoldedName(name)).second; }

std::string UniqueNames::unique(std::string_view name) {
  if (take(name)) return std::string(name);
  return numbered(name, 2);
}

std::string UniqueNames::numbered(std::string_view stem, int first) {
  std::string name;
  for (int& n = nextNumbers_.try_emplace(gfsFoldedName(stem), first).first->second;; ++n) {
    name = std::string(stem) + "_" + std::to_string(n);
    if (take(name)) break;
  }
  return name;
}

}  // namespace tvk
