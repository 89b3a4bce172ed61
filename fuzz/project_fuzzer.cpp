// The project file reader followed by generation, as `tvkwizard generate`
// runs it: load, check the root, build the SELECT statement and lookup
// aliases, write every page and copy the templates. The four folders of the
// project are pointed into the fuzzer's temporary folder first, and a project
// name that is a path is skipped, so no input writes outside it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <sstream>

#include "base/session.h"
#include "base/ui.h"
#include "database/sql_statement_builder.h"
#include "fuzz_input.h"
#include "generator/output_files.h"
#include "generator/tvk_file_creator.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace {

bool isPathLike(const std::string& name) {
  return name.find_first_of("/\\") != std::string::npos || name == "." || name == "..";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fs = std::filesystem;
  const tvk::fuzz::ScratchFolder& scratch = tvk::fuzz::scratch();
  const std::string projectFile = scratch.write("Project.xml", data, size);

  std::ostringstream messages;
  tvk::Session session(std::make_shared<tvk::ConsoleUi>(messages));
  tvk::XMLWizData wizData(session);
  if (!wizData.Load(projectFile)) return 0;
  if (wizData.root().name() != tvk::wiz::kRoot) return 0;
  if (isPathLike(wizData.ProjectName())) return 0;

  const fs::path site = scratch.path() / "site";
  std::error_code ignored;
  fs::remove_all(site, ignored);
  for (auto [path, folder] : {std::pair{tvk::wiz::FileDirectory, "admin"},
                              {tvk::wiz::StylesheetDirectory, "styles"},
                              {tvk::wiz::GraphicsDirectory, "images"},
                              {tvk::wiz::IncludeDirectory, "include"}}) {
    fs::create_directories(site / folder);
    wizData.SetNodeText(path, (site / folder).string());
  }

  try {
    if (!tvk::SetupGenerationData(wizData)) return 0;
  } catch (...) {
    return 0;  // reported by `generate` as "cannot prepare the project"
  }
  std::unique_ptr<tvk::OutputFiles> output = tvk::outputFilesFor(session);
  tvk::TVKFileCreator creator(*output);
  tvk::GenerationReport report = creator.GenerateFiles(wizData);
  (void)tvk::renderReport(report, "\n");
  return 0;
}
