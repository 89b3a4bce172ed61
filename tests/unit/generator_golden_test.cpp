// Generates the pages of every project under tests/generator/projects and
// compares them byte for byte with the expected pages under tests/golden.
//
// The project files place their pages under "/web/site"; the test moves that
// folder into a temporary directory (the relative links between the folders
// stay the same). Set TVK_UPDATE_GOLDEN=1 to write the expected files from
// the current output instead; check every changed line before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "database/sql_statement_builder.h"
#include "generator/data_actions.h"
#include "generator/gen_context.h"
#include "generator/tvk_file_creator.h"
#include "generator/tvk_text_stream.h"
#include "base/ui.h"
#include "base/session.h"
#include "support/temp_dir.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

namespace stdfs = std::filesystem;
using testing::ScopedTempDir;

const std::string kSourceDir = TVK_SOURCE_DIR;
const std::string kProjects = kSourceDir + "/tests/generator/projects";
const std::string kTemplates = kSourceDir + "/tests/generator/templates";
const std::string kGolden = kSourceDir + "/tests/golden";
constexpr std::string_view kSiteRoot = "/web/site";

bool updating() {
  const char* value = std::getenv("TVK_UPDATE_GOLDEN");
  return value != nullptr && std::string(value) == "1";
}

std::vector<std::string> projectStems() {
  std::vector<std::string> stems;
  for (const auto& entry : stdfs::directory_iterator(kProjects))
    if (entry.path().extension() == ".xml") stems.push_back(entry.path().stem().string());
  std::sort(stems.begin(), stems.end());
  return stems;
}

// The first line where two texts differ, shown with its neighbours.
std::string firstDifference(const std::string& expected, const std::string& actual) {
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  size_t lineStart = expected.rfind('\n', at == 0 ? 0 : at - 1);
  lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
  size_t line = static_cast<size_t>(std::count(expected.begin(), expected.begin() + static_cast<long>(lineStart), '\n')) + 1;
  auto show = [&](const std::string& text) {
    std::string piece = text.substr(lineStart, 160);
    std::string visible;
    for (char c : piece) {
      if (c == '\t') visible += "\\t";
      else if (c == '\r') visible += "\\r";
      else if (c == '\n') visible += "\\n";
      else visible += c;
    }
    return visible;
  };
  return "first difference at line " + std::to_string(line) + "\nexpected: " + show(expected) +
         "\nactual:   " + show(actual);
}

void compareWithGolden(const std::string& goldenPath, const std::string& actual) {
  if (updating()) {
    testing::writeFile(goldenPath, actual);
    return;
  }
  ASSERT_TRUE(stdfs::exists(goldenPath)) << "no expected file " << goldenPath;
  std::string expected = testing::readFile(goldenPath);
  EXPECT_TRUE(expected == actual) << goldenPath << "\n" << firstDifference(expected, actual);
}

// The form page's data action routines, in the order and under the
// conditions in which the form page writes them.
std::string formRoutines(const XMLWizData& data) {
  gen::GenContext ctx(data, kTemplates);
  gen::FormFlags f = gen::formFlags(ctx);
  std::string text;
  if (f.any || f.listForm) text += gen::fsASPPerformDataActions(ctx);
  if (f.add) text += gen::fsASPFormInsertRecord(ctx);
  if (f.update) text += gen::fsASPFormUpdateRecord(ctx);
  if (f.remove) text += gen::fsASPDeleteRecord(ctx);
  return gfsToCodePage1252(text);
}

class GoldenPages : public ::testing::TestWithParam<std::string> {
 protected:
  std::shared_ptr<ConsoleUi> ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  ScopedTempDir temp;
};

TEST_P(GoldenPages, MatchExpectedFiles) {
  const std::string stem = GetParam();
  XMLWizData data{session};
  ASSERT_TRUE(data.Load(kProjects + "/" + stem + ".xml")) << data.lastLoadError();

  const std::string site = temp.path() + std::string(kSiteRoot);
  for (std::string_view path : {wiz::FileDirectory, wiz::IncludeDirectory, wiz::StylesheetDirectory,
                                wiz::GraphicsDirectory}) {
    std::string directory = data.GetNodeText(path);
    ASSERT_EQ(directory.rfind(kSiteRoot, 0), 0u) << path << " lies outside " << kSiteRoot;
    directory = temp.path() + directory;
    stdfs::create_directories(directory);
    data.SetNodeText(path, directory);
  }

  SetupGenerationData(data);
  DiskOutput output;
  TVKFileCreator creator(output, kTemplates);
  std::string report = renderReport(creator.GenerateFiles(data));
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();

  // Every file is reported created.
  size_t pos = 0;
  int lines = 0;
  while (pos < report.size()) {
    size_t end = report.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos) << "report line without CR LF";
    std::string line = report.substr(pos, end - pos);
    EXPECT_NE(line.find(" successfully created "), std::string::npos) << line;
    pos = end + 2;
    ++lines;
  }
  EXPECT_GE(lines, 2);

  for (const auto& entry : stdfs::recursive_directory_iterator(site)) {
    if (entry.path().extension() != ".asp" || !entry.is_regular_file()) continue;
    std::string name = entry.path().filename().string();
    if (name.rfind("incTVKW", 0) == 0) continue;  // copied templates
    compareWithGolden(kGolden + "/" + stem + "/" + name, testing::readFile(entry.path().string()));
  }
  if (data.ProjectType() != wiz::kTypeList)
    compareWithGolden(kGolden + "/" + stem + "/FormRoutines.txt", formRoutines(data));
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();
}

INSTANTIATE_TEST_SUITE_P(Projects, GoldenPages, ::testing::ValuesIn(projectStems()),
                         [](const ::testing::TestParamInfo<std::string>& paramInfo) { return paramInfo.param; });

}  // namespace
}  // namespace tvk
