// Generates the pages of every project under tests/generator/projects and
// compares them byte for byte with the expected pages under tests/golden.
//
// The project files place their pages under "/web/site"; the test moves that
// folder into a temporary directory (the relative links between the folders
// stay the same). The comparison goes both ways: an expected page that is no
// longer generated fails as well as a generated page without one. Set
// TVK_UPDATE_GOLDEN=1 to write the expected files from the current output
// instead (and remove those of pages that are gone); check every changed line
// before committing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/session.h"
#include "base/ui.h"
#include "database/sql_statement_builder.h"
#include "generator/tvk_file_creator.h"
#include "support/temp_dir.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

namespace stdfs = std::filesystem;
using test::ScopedTempDir;

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
  size_t line =
      static_cast<size_t>(std::count(expected.begin(), expected.begin() + static_cast<long>(lineStart), '\n')) + 1;
  auto show = [&](const std::string& text) {
    std::string piece = text.substr(lineStart, 160);
    std::string visible;
    for (char c : piece) {
      if (c == '\t')
        visible += "\\t";
      else if (c == '\r')
        visible += "\\r";
      else if (c == '\n')
        visible += "\\n";
      else
        visible += c;
    }
    return visible;
  };
  return "first difference at line " + std::to_string(line) + "\nexpected: " + show(expected) +
         "\nactual:   " + show(actual);
}

void compareWithGolden(const std::string& goldenPath, const std::string& actual) {
  if (updating()) {
    test::writeFile(goldenPath, actual);
    return;
  }
  ASSERT_TRUE(stdfs::exists(goldenPath)) << "no expected file " << goldenPath;
  std::string expected = test::readFile(goldenPath);
  EXPECT_TRUE(expected == actual) << goldenPath << "\n" << firstDifference(expected, actual);
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
  for (std::string_view path :
       {wiz::FileDirectory, wiz::IncludeDirectory, wiz::StylesheetDirectory, wiz::GraphicsDirectory}) {
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

  // Every file is reported created, one CR LF line each.
  int lines = 0;
  for (size_t pos = 0, end; pos < report.size(); pos = end + 2, ++lines) {
    end = report.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos) << "report line without CR LF";
    EXPECT_NE(report.substr(pos, end - pos).find(" successfully created "), std::string::npos) << report;
  }
  EXPECT_GE(lines, 2);

  std::set<std::string> generated;
  for (const auto& entry : stdfs::recursive_directory_iterator(site)) {
    if (entry.path().extension() != ".asp" || !entry.is_regular_file()) continue;
    std::string name = entry.path().filename().string();
    if (name.rfind("incTVKW", 0) == 0) continue;  // copied templates
    generated.insert(name);
    compareWithGolden(kGolden + "/" + stem + "/" + name, test::readFile(entry.path().string()));
  }
  // An expected page the project no longer produces is as wrong as a page
  // without one: it would keep checking nothing.
  if (stdfs::is_directory(kGolden + "/" + stem)) {
    for (const auto& entry : stdfs::directory_iterator(kGolden + "/" + stem)) {
      if (generated.count(entry.path().filename().string()) != 0) continue;
      if (updating())
        stdfs::remove(entry.path());
      else
        ADD_FAILURE() << entry.path().string() << " is no longer generated by " << stem << ".xml";
    }
  }
}

TEST(GoldenFolders, EachBelongsToAProject) {
  std::vector<std::string> stems = projectStems();
  for (const auto& entry : stdfs::directory_iterator(kGolden)) {
    std::string stem = entry.path().filename().string();
    if (std::find(stems.begin(), stems.end(), stem) != stems.end()) continue;
    if (updating())
      stdfs::remove_all(entry.path());
    else
      ADD_FAILURE() << entry.path().string() << " has no project tests/generator/projects/" << stem << ".xml";
  }
}

INSTANTIATE_TEST_SUITE_P(Projects, GoldenPages, ::testing::ValuesIn(projectStems()),
                         [](const ::testing::TestParamInfo<std::string>& paramInfo) { return paramInfo.param; });

}  // namespace
}  // namespace tvk
