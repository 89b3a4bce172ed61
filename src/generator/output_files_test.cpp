#include "generator/output_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "base/session.h"
#include "base/ui.h"
#include "base/web_project.h"
#include "generator/tvk_file_creator.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

using test::ScopedTempDir;
using test::writeFile;

// Inside a web project a written page becomes an item of its folder;
// stand-alone it is only written. A failed page is an entry that fails the run.
TEST(OutputFiles, PagesBecomeProjectItemsOnlyInsideTheEnvironment) {
  auto ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  ScopedTempDir dir;
  writeFile(dir / "site.wproj", "<WebProject Name=\"site\"><Item Name=\"admin\" Folder=\"true\"/></WebProject>");
  std::filesystem::create_directory(dir / "admin");
  session.gbInEnvironment = true;
  session.gsLocalDirectory = dir.path();
  session.goProject = WebProject::Load(dir / "site.wproj");

  std::unique_ptr<OutputFiles> project = outputFilesFor(session);
  FileReport written = gfsCreatePageFile(*project, dir / "admin/OrdersList.asp", [] { return "<%\r\n"; });
  EXPECT_EQ(written.outcome, FileReport::Outcome::Created);
  EXPECT_TRUE(ui->shown().empty());
  ASSERT_NE(WebProject::Load(dir / "site.wproj")->root().find("admin"), nullptr);
  EXPECT_NE(WebProject::Load(dir / "site.wproj")->root().find("admin")->find("orderslist.asp"), nullptr);

  session.gbInEnvironment = false;
  std::unique_ptr<OutputFiles> disk = outputFilesFor(session);
  gfsCreatePageFile(*disk, dir / "admin/OrdersForm.asp", [] { return ""; });
  EXPECT_TRUE(std::filesystem::exists(dir / "admin/OrdersForm.asp"));
  EXPECT_EQ(WebProject::Load(dir / "site.wproj")->root().find("admin")->find("OrdersForm.asp"), nullptr);

  GenerationReport report;
  report.entries.push_back(written);
  EXPECT_TRUE(report.succeeded());
  report.entries.push_back(gfsCreatePageFile(*disk, dir / "missing/X.asp", [] { return ""; }));
  EXPECT_FALSE(report.succeeded());
  EXPECT_EQ(renderReport(report, "\n").substr(0, 31), "File OrdersList.asp successfull");
  EXPECT_FALSE(GenerationReport{}.succeeded());  // nothing generated is no success
}

}  // namespace
}  // namespace tvk
