#include "base/file_routines.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "base/session.h"
#include "base/ui.h"
#include "base/web_project.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

using test::readFile;
using test::ScopedTempDir;
using test::writeFile;

class FileRoutinesTest : public ::testing::Test {
 protected:
  ScopedTempDir dir;
  std::shared_ptr<ConsoleUi> ui = std::make_shared<ConsoleUi>();
  Session session{ui};

  void enterEnvironment(const std::string& manifest) {
    writeFile(dir / "site/site.wproj", manifest);
    session.gbInEnvironment = true;
    session.gsLocalDirectory = dir / "site";
    session.goProject = WebProject::Load(dir / "site/site.wproj");
  }
};

TEST_F(FileRoutinesTest, FindDirectoryWalksUpwardOnDisk) {
  std::filesystem::create_directories(dir / "site/admin/deep");
  std::filesystem::create_directories(dir / "site/stylesheets");
  EXPECT_EQ(gfsFindDirectory(session, dir / "site/admin/deep", "stylesheets"), dir / "site/stylesheets");
  EXPECT_EQ(gfsFindDirectory(session, dir / "site\\admin", "stylesheets"), dir / "site/stylesheets");
  EXPECT_EQ(gfsFindDirectory(session, dir / "site/admin", "no-such-folder-anywhere"), "");
  // A file of that name is not a directory.
  writeFile(dir / "site/admin/images", "not a folder");
  EXPECT_EQ(gfsFindDirectory(session, dir / "site/admin", "images"), "");
  EXPECT_TRUE(gfbDirectoryPresent(session, dir / "site"));
  EXPECT_FALSE(gfbDirectoryPresent(session, dir / "nothing"));
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(FileRoutinesTest, GlobalAsaIsFoundUpwardOnDisk) {
  std::filesystem::create_directories(dir / "site/admin");
  writeFile(dir / "site/global.asa", "<SCRIPT></SCRIPT>");
  EXPECT_EQ(gfsGlobalASAPath(session, dir / "site/admin"), dir / "site/global.asa");
  EXPECT_EQ(gfsGlobalASAPath(session, "/"), "");
}

TEST_F(FileRoutinesTest, FilePresentStandAloneAndInTheEnvironment) {
  writeFile(dir / "site/a.asp", "x");
  EXPECT_EQ(gfFilePresent(session, dir / "site/a.asp"), -1);
  EXPECT_EQ(gfFilePresent(session, dir / "site/b.asp"), 0);

  enterEnvironment(
      "<WebProject Name=\"site\"><Item Name=\"a.asp\"/><Item Name=\"gone.asp\"/>"
      "<Item Name=\"stylesheets\" Folder=\"true\"/></WebProject>");
  EXPECT_EQ(gfFilePresent(session, dir / "site/a.asp"), 1);
  EXPECT_EQ(gfFilePresent(session, dir / "site/gone.asp"), 3);
  writeFile(dir / "site/loose.asp", "x");
  EXPECT_EQ(gfFilePresent(session, dir / "site/loose.asp"), 2);
  EXPECT_TRUE(gfbDirectoryPresent(session, dir / "nothing"));  // the environment creates folders

  // Inside the environment only the start folder and the project root count.
  std::filesystem::create_directories(dir / "site/admin/deep");
  EXPECT_EQ(gfsFindDirectory(session, dir / "site/admin/deep", "stylesheets"), dir / "site/stylesheets");
  EXPECT_EQ(gfsFindDirectory(session, dir / "site/admin/deep", "images"), "");
  EXPECT_EQ(gfsGlobalASAPath(session, dir / "site/admin"), "");
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(FileRoutinesTest, TemplateCopiesNeverOverwrite) {
  writeFile(dir / "templates/TVKW_XP.css", "new style");
  std::filesystem::create_directories(dir / "site/css");
  const std::string target = dir / "site/css";

  EXPECT_EQ(gsCreateFileReport(session, dir / "templates/TVKW_XP.css", target),
            "File TVKW_XP.css successfully created in " + target);
  EXPECT_EQ(readFile(dir / "site/css/TVKW_XP.css"), "new style");

  writeFile(dir / "site/css/TVKW_XP.css", "the user's own edits");
  EXPECT_EQ(gsCreateFileReport(session, dir / "templates/TVKW_XP.css", target),
            "File TVKW_XP.css already present in " + target);
  EXPECT_EQ(readFile(dir / "site/css/TVKW_XP.css"), "the user's own edits");

  // An empty or cut-short copy (what an interrupted copy used to leave) is
  // written again; the edited file above was not.
  for (const char* partial : {"", "new st"}) {
    writeFile(dir / "site/css/TVKW_XP.css", partial);
    EXPECT_EQ(gsCreateFileReport(session, dir / "templates/TVKW_XP.css", target),
              "File TVKW_XP.css successfully created in " + target);
    EXPECT_EQ(readFile(dir / "site/css/TVKW_XP.css"), "new style");
  }

  // A missing template becomes the error line, with no message box.
  std::string line = gsCreateFileReport(session, dir / "templates/Missing.gif", target);
  EXPECT_EQ(line.rfind("Error creating file " + target + "/Missing.gif - (53) FileSystem : Cannot open '", 0), 0u)
      << line;
  EXPECT_FALSE(std::filesystem::exists(dir / "site/css/Missing.gif"));
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(FileRoutinesTest, TemplateCopiesInsideTheEnvironment) {
  writeFile(dir / "templates/incTVKWAction.asp", "<% %>");
  writeFile(dir / "templates/incTVKWDisplay.asp", "<% %>");
  enterEnvironment(
      "<WebProject Name=\"site\"><Item Name=\"include\" Folder=\"true\">"
      "<Item Name=\"incTVKWDisplay.asp\"/></Item></WebProject>");
  std::filesystem::create_directories(dir / "site/include");
  const std::string target = dir / "site/include";

  EXPECT_EQ(gsCreateFileReport(session, dir / "templates/incTVKWAction.asp", target),
            "File incTVKWAction.asp successfully created in " + target);
  EXPECT_NE(WebProject::Load(dir / "site/site.wproj")->root().find("include")->find("incTVKWAction.asp"), nullptr);
  EXPECT_EQ(gsCreateFileReport(session, dir / "templates/incTVKWDisplay.asp", target),
            "File incTVKWDisplay.asp already present in project");
  EXPECT_FALSE(std::filesystem::exists(dir / "site/include/incTVKWDisplay.asp"));

  // An item whose copy on disk was cut short is repaired.
  writeFile(dir / "site/include/incTVKWDisplay.asp", "<%");
  EXPECT_EQ(gsCreateFileReport(session, dir / "templates/incTVKWDisplay.asp", target),
            "File incTVKWDisplay.asp successfully created in " + target);
  EXPECT_EQ(readFile(dir / "site/include/incTVKWDisplay.asp"), "<% %>");

  // On disk but not an item: copied again without overwriting, which fails.
  writeFile(dir / "site/include/Loose.css", "mine");
  writeFile(dir / "templates/Loose.css", "template");
  std::string line = gsCreateFileReport(session, dir / "templates/Loose.css", target);
  EXPECT_EQ(line.rfind("Error creating file " + target + "/Loose.css - (58) ", 0), 0u) << line;
  EXPECT_EQ(readFile(dir / "site/include/Loose.css"), "mine");
}

}  // namespace
}  // namespace tvk
