#include "host/cmd_generate.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/fs.h"

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

  int run(const std::string& path, std::chrono::milliseconds lockWait = std::chrono::seconds(10)) {
    return runGenerate({path, kSource + "/tests/generator/templates", lockWait}, out, err);
  }

  // The fixture project with one piece of its text replaced.
  std::string edited(const std::string& stem, const std::string& from, const std::string& to) {
    std::string path = project(stem);
    std::string xml = test::readFile(path);
    size_t at = xml.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) xml.replace(at, from.size(), to);
    test::writeFile(path, xml);
    return path;
  }

  // Every file below the temporary directory, by path.
  std::map<std::string, std::string> files() {
    std::map<std::string, std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(temp.path()))
      if (entry.is_regular_file()) found[entry.path()] = test::readFile(entry.path());
    return found;
  }
};

// A project file is held to the values the wizard's pages let through
// before anything is written: a refusal names the file, the element and the
// value, and leaves every file as it was.
TEST_F(GenerateCommand, HostileValuesAreRefusedBeforeAnythingIsWritten) {
  struct Case {
    std::string from, to, message;
  };
  for (const Case& c : {
           Case{"<AllowPaging>FALSE</AllowPaging>\n      <RecordsPerPage>10</RecordsPerPage>",
                "<AllowPaging>TRUE</AllowPaging>\n      <RecordsPerPage>10 : Execute Request(\"c\")</RecordsPerPage>",
                "ListOptions/Paging/RecordsPerPage \"10 : Execute Request(\"c\")\" is not a whole number"},
           Case{"<ProjectName>Products</ProjectName>", "<ProjectName>../outside/Evil</ProjectName>",
                "ProjectName \"../outside/Evil\" is not a name of letters, digits and underscores"},
           Case{"<IncludeDirectory>" + temp.path() + "/web/site/admin</IncludeDirectory>", "<IncludeDirectory/>",
                "IncludeDirectory \"\" is empty; the project names no folder for its files"},
           Case{"<ProjectStyle>Basic</ProjectStyle>", "<ProjectStyle>Neon</ProjectStyle>",
                "ProjectStyle \"Neon\" is not a project style"},
       }) {
    out.str("");
    err.str("");
    std::string path = edited("products_plain", c.from, c.to);
    std::map<std::string, std::string> before = files();
    EXPECT_EQ(run(path), 1) << c.to;
    EXPECT_EQ(err.str(), "tvkwizard generate: " + path + ": " + c.message + "\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(files(), before) << c.to;
    EXPECT_FALSE(std::filesystem::exists(temp / "outside"));
  }
}

TEST_F(GenerateCommand, RelativeFoldersAreTheProjectFilesOwn) {
  std::string path = project("products_plain");
  std::string xml = test::readFile(path);
  for (std::string absolute = temp.path() + "/web/"; xml.find(absolute) != std::string::npos;)
    xml.replace(xml.find(absolute), absolute.size(), "web/");
  test::writeFile(path, xml);
  // Started elsewhere, the pages still go beside the project file.
  std::filesystem::path started = std::filesystem::current_path();
  std::filesystem::create_directories(temp / "elsewhere");
  std::filesystem::current_path(temp / "elsewhere");
  int status = run(path);
  std::filesystem::current_path(started);
  EXPECT_EQ(status, 0) << err.str();
  EXPECT_TRUE(std::filesystem::is_regular_file(temp / "web/site/admin/ProductsList.asp"));
  EXPECT_TRUE(std::filesystem::is_regular_file(temp / "web/site/admin/incTVKWDisplay.asp"));
  EXPECT_TRUE(std::filesystem::is_empty(temp / "elsewhere"));
}

// A regenerated page keeps its mode; a generation into a folder that
// another one is writing waits, then gives up with a clear line.
TEST_F(GenerateCommand, PagesKeepTheirModeAndOneGenerationWritesAFolderAtATime) {
  std::string path = project("products_plain");
  ASSERT_EQ(run(path), 0) << err.str();
  const std::string page = temp / "web/site/admin/ProductsList.asp";
  ASSERT_EQ(::chmod(page.c_str(), 0640), 0);
  test::writeFile(page, "old page");
  ASSERT_EQ(run(path), 0) << err.str();
  struct stat st {};
  ASSERT_EQ(::stat(page.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_NE(test::readFile(page), "old page");

  test::writeFile(page, "old page");
  {
    files::FolderLock other(temp / "web/site/admin", std::chrono::milliseconds(0));
    out.str("");
    err.str("");
    EXPECT_EQ(run(path, std::chrono::milliseconds(200)), 1);
    EXPECT_EQ(err.str(), "tvkwizard generate: another generation is writing " + temp / "web/site/admin" + "\n");
    EXPECT_EQ(test::readFile(page), "old page");
  }
  EXPECT_EQ(run(path, std::chrono::milliseconds(200)), 0) << err.str();
}

TEST_F(GenerateCommand, UnreadableProjectFilesGetOneLineSayingWhy) {
  ASSERT_EQ(::mkfifo((temp / "fifo.xml").c_str(), 0600), 0);
  for (const auto& [file, reason] :
       std::vector<std::pair<std::string, std::string>>{{temp.path(), "is a directory"},
                                                        {temp / "fifo.xml", "is not a regular file"},
                                                        {"/dev/null", "is not a regular file"},
                                                        {temp / "none.xml", "the file does not exist"}}) {
    err.str("");
    EXPECT_EQ(run(file), 1) << file;
    EXPECT_EQ(err.str(), "tvkwizard generate: cannot read the project file '" + file + "': " + reason + "\n");
  }
  test::writeFile(temp / "laughs.xml",
                  "<!DOCTYPE TVKWizardData [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"
                  "<TVKWizardData><ProjectName>&b;</ProjectName></TVKWizardData>");
  err.str("");
  EXPECT_EQ(run(temp / "laughs.xml"), 1);
  std::string message = err.str();
  EXPECT_NE(message.find("document type declaration"), std::string::npos) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
}

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
