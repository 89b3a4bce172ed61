#include "base/vid_integration.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/error.h"
#include "base/session.h"
#include "base/ui.h"
#include "base/web_project.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

using test::readFile;
using test::ScopedTempDir;
using test::writeFile;

class ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir / "site.wproj",
              "<?xml version=\"1.0\"?>\n"
              "<WebProject Name=\"Site\">\n"
              "  <Item Name=\"Admin\" Folder=\"true\">\n"
              "    <Item Name=\"List.asp\"/>\n"
              "    <Item Name=\"Sub\" Folder=\"true\"/>\n"
              "  </Item>\n"
              "  <Item Name=\"global.asa\"/>\n"
              "</WebProject>\n");
    session.gsLocalDirectory = dir.path();
    project = WebProject::Load(dir / "site.wproj");
    session.goProject = project;
  }

  ScopedTempDir dir;
  std::shared_ptr<ConsoleUi> ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  std::shared_ptr<WebProject> project;
};

TEST_F(ProjectTest, VirtualPaths) {
  const std::string root = dir.path();
  EXPECT_EQ(gfsVirtualPath(session, root), "");
  EXPECT_EQ(gfsVirtualPath(session, root + "/"), "");
  EXPECT_EQ(gfsVirtualPath(session, root + "/admin/"), "admin");
  EXPECT_EQ(gfsVirtualPath(session, root + "\\admin\\List.asp"), "admin/List.asp");
  // Outside the root: the whole path; a sibling sharing the root's prefix is
  // outside too.
  EXPECT_EQ(gfsVirtualPath(session, "/elsewhere/a.asp"), "/elsewhere/a.asp");
  EXPECT_EQ(gfsVirtualPath(session, root + "x/a.asp"), root + "x/a.asp");
}

TEST_F(ProjectTest, ItemsAreFoundWithoutRegardToCase) {
  EXPECT_EQ(gfoProjectItem(session, "", project->root()), &project->root());
  ProjectItem* list = gfoProjectItem(session, "admin/list.ASP", project->root());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->name, "List.asp");
  EXPECT_EQ(gfoProjectItem(session, "admin\\sub", project->root())->name, "Sub");
  EXPECT_EQ(gfoProjectItem(session, "admin/missing.asp", project->root()), nullptr);
  EXPECT_EQ(gfoProjectItem(session, "list.asp", project->root()), nullptr);  // only inside Admin

  EXPECT_TRUE(gfbFileInProject(session, project.get(), dir / "ADMIN/List.asp"));  // not on disk: still an item
  EXPECT_FALSE(gfbFileInProject(session, project.get(), "/elsewhere/List.asp"));
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(ProjectTest, AddFileSavesTheManifestAtomicallyAndOnce) {
  writeFile(dir / "admin/sub/Page.asp", "x");
  AddFileToProject(session, project.get(), dir / "admin/sub/Page.asp");
  AddFileToProject(session, project.get(), dir / "admin/sub/Page.asp");  // not listed twice
  writeFile(dir / "Top.asp", "x");
  AddFileToProject(session, project.get(), dir / "Top.asp");
  EXPECT_TRUE(ui->shown().empty());

  auto reloaded = WebProject::Load(dir / "site.wproj");
  ProjectItem* sub = gfoProjectItem(session, "Admin/Sub", reloaded->root());
  ASSERT_NE(sub, nullptr);
  ASSERT_EQ(sub->items.size(), 1u);
  EXPECT_EQ(sub->items[0]->name, "Page.asp");
  EXPECT_NE(reloaded->root().find("Top.asp"), nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir / "site.wproj.tmp"));

  // A folder that is not a project item: the report names the procedure and
  // the manifest is unchanged.
  const std::string before = readFile(dir / "site.wproj");
  writeFile(dir / "other/New.asp", "x");
  AddFileToProject(session, project.get(), dir / "other/New.asp");
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("Source : TVKWizard.VIDIntegration.AddFileToProject"), std::string::npos);
  EXPECT_EQ(readFile(dir / "site.wproj"), before);
}

TEST_F(ProjectTest, FindProjectByName) {
  session.goApplication = std::make_shared<Application>();
  session.goApplication->projects.push_back(project);
  EXPECT_EQ(gfoFindProject(session, "site/"), project);
  EXPECT_EQ(gfoFindProject(session, "SITE"), project);
  EXPECT_EQ(gfoFindProject(session, "other"), nullptr);
  EXPECT_TRUE(ui->shown().empty());
}

TEST(WebProjectManifest, BadManifestsNameTheFileAndTheProblem) {
  ScopedTempDir dir;
  auto message = [&](const std::string& content) {
    writeFile(dir / "bad.wproj", content);
    try {
      WebProject::Load(dir / "bad.wproj");
    } catch (const WizError& e) {
      EXPECT_EQ(e.number(), 1001);
      EXPECT_NE(e.description().find(dir / "bad.wproj"), std::string::npos);
      return e.description();
    }
    return std::string("loaded");
  };
  EXPECT_NE(message("<WebProject Name=\"x\">").find("line"), std::string::npos);  // not well-formed
  EXPECT_NE(message("<Project Name=\"x\"/>").find("not <WebProject>"), std::string::npos);
  EXPECT_NE(message("<WebProject/>").find("no Name"), std::string::npos);
  EXPECT_NE(message("<WebProject Name=\"x\"><Item/></WebProject>").find("plain file or folder name"),
            std::string::npos);
  EXPECT_NE(message("<WebProject Name=\"x\"><Item Name=\"../a\"/></WebProject>").find("plain"), std::string::npos);
  try {
    WebProject::Load(dir / "missing.wproj");
    FAIL() << "a missing manifest loaded";
  } catch (const WizError& e) {
    EXPECT_NE(e.description().find("missing.wproj': the file does not exist"), std::string::npos);
  }
}

}  // namespace
}  // namespace tvk
