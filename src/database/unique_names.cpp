#include "database/unique_names.h"

#include <cctype>

namespace tvk {

std::string gfsFoldedName(std::string_view name) {
  std::string text(name);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

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
