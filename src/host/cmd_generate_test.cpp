#include "host/cmd_generate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace tvk {
namespace {

using test::ScopedTempDir;

const std::string kSource = TVK_SOURCE_DIR;

class GenerateCommand : public ::testing::Test {
 protected:
  ScopedTempDir temp;
  std::ostringstream out, err;

  // A fixture project moved into the temporary directory.
  std::string project(const std::string& stem) {
    std::string xml = test::readFile(kSource + "/tests/generator/projects/" + stem + ".xml");
    for (size_t at = xml.find("/web/site"); at != std::string::npos;
         at = xml.find("/web/site", at + temp.path().size() + 1))
      xml.insert(at, temp.path());
    for (const char* dir : {"web/site/admin/styles", "web/site/include", "web/site/images"})
      std::filesystem::create_directories(temp / dir);
    std::string path = temp / (stem + ".xml");
    test::writeFile(path, xml);
    return path;
  }

  int run(const std::string& path) { return runGenerate({path, kSource + "/tests/generator/templates"}, out, err); }
};

TEST_F(GenerateCommand, WritesTheFilesPrintsTheReportAndLeavesTheProjectFileAlone) {
  std::string path = project("products_plain");
  std::string before = test::readFile(path);
  EXPECT_EQ(run(path), 0) << err.str();
  EXPECT_EQ(out.str(), "File ProductsList.asp successfully created at " + temp.path() +
                           "/web/site/admin/ProductsList.asp\nFile incTVKWDisplay.asp successfully created in " +
                           temp.path() + "/web/site/admin\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(test::readFile(path), before);
  // The statement was built in memory for the page.
  EXPECT_NE(test::readFile(temp / "web/site/admin/ProductsList.asp").find("sSQL = \"SELECT ProductID, "),
            std::string::npos);

  // Again: the include file is already present, which is no failure.
  out.str("");
  EXPECT_EQ(run(path), 0);
  EXPECT_NE(out.str().find("File incTVKWDisplay.asp already present in "), std::string::npos);
}

// A missing project file and a page directory that does not exist are
// checked on the built program by tests/unit/cli_exit_test.cpp.
TEST_F(GenerateCommand, FailuresExitWithOne) {
  test::writeFile(temp / "other.xml", "<Catalogue/>");
  EXPECT_EQ(run(temp / "other.xml"), 1);
  EXPECT_NE(err.str().find("is not a TVK Wizard project file"), std::string::npos) << err.str();

  // A form page whose directory does not exist: reported, exit 1.
  err.str("");
  out.str("");
  std::string form = project("shippers_form");
  std::filesystem::remove_all(temp / "web/site/admin");
  EXPECT_EQ(run(form), 1);
  EXPECT_EQ(out.str().rfind("Error creating ShippersForm.asp - (76) ", 0), 0u) << out.str();
}

TEST_F(GenerateCommand, AnErrorReportDuringGenerationFailsTheRun) {
  std::string path = project("events_add");
  std::string xml = test::readFile(path);
  xml.replace(xml.find("<DataType>202</DataType>"), 24, "<DataType>text</DataType>");
  test::writeFile(path, xml);
  EXPECT_EQ(run(path), 1);
  EXPECT_NE(out.str().find("File EventsList.asp successfully created at "), std::string::npos);
  EXPECT_NE(err.str().find("TVKWizard.TVKFileCreator.fsASPListInsertRecord"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace tvk
