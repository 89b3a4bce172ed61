#include "host/commands.h"

#include <vector>

namespace tvk {

std::span<const CommandEntry> commandTable() {
  static const std::vector<CommandEntry> table = {};
  return table;
}

const CommandEntry* defaultCommand() { return nullptr; }

}  // namespace tvk
