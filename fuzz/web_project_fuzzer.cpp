// The web project manifest reader: any manifest loads or is refused with a
// WizError naming the problem.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "base/error.h"
#include "base/web_project.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = tvk::fuzz::scratch().write("site.wproj", data, size);
  try {
    auto project = tvk::WebProject::Load(path);
    // Walk what was read, as the wizard does when it lists folders.
    std::function<void(const tvk::ProjectItem&)> walk = [&](const tvk::ProjectItem& item) {
      (void)item.find("admin");
      for (const auto& child : item.items) walk(*child);
    };
    walk(project->root());
  } catch (const tvk::WizError&) {
  }
  return 0;
}
