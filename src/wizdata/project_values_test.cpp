#include "wizdata/project_values.h"

#include <gtest/gtest.h>

#include <string>

#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"

namespace tvk {
namespace {

class ProjectValuesTest : public test::WizardDocumentTest {
 protected:
  // A project the pages would have let through: a paged list with links.
  void SetUp() override {
    data.SetNodeText(wiz::ProjectName, "Orders");
    data.SetNodeText(wiz::ProjectType, "ListForm");
    data.SetNodeText(wiz::ProjectStyle, "XP");
    for (std::string_view folder :
         {wiz::FileDirectory, wiz::StylesheetDirectory, wiz::GraphicsDirectory, wiz::IncludeDirectory})
      data.SetNodeText(folder, "/srv/site");
    data.SetNodeText(wiz::AllowPaging, "TRUE");
    data.SetNodeText(wiz::RecordsPerPage, "10");
    data.SetNodeText(wiz::PageNumberAllowPaging, "TRUE");
    data.SetNodeText(wiz::MaxDirectPages, "");
    for (const char* size : {"4", "0", ""}) data.SetSubNodeText(test::addFieldRecord(data), wiz::FieldSize, size);
  }

  std::string problem() {
    std::optional<ProjectProblem> found = projectProblem(data);
    return found ? found->describe() : std::string();
  }
};

TEST_F(ProjectValuesTest, EveryValueThatReachesAPageOrAPathIsChecked) {
  EXPECT_EQ(problem(), "");

  struct Case {
    std::string_view element;
    std::string value;
    std::string expected;
  };
  for (const Case& c : {
           Case{wiz::RecordsPerPage, "10 : Execute Request(\"c\")",
                "ListOptions/Paging/RecordsPerPage \"10 : Execute Request(\"c\")\" is not a whole number"},
           Case{wiz::RecordsPerPage, "0", "ListOptions/Paging/RecordsPerPage \"0\" is less than 1"},
           Case{wiz::RecordsPerPage, "", "ListOptions/Paging/RecordsPerPage \"\" is not a whole number"},
           Case{wiz::MaxDirectPages, "5\r\nEnd Sub",
                "ListOptions/Paging/PageNumberNavigation/MaxDirectPages \"5\r\nEnd Sub\" is not a whole number"},
           Case{wiz::ProjectName, "../outside/Evil",
                "ProjectName \"../outside/Evil\" is not a name of letters, digits and underscores"},
           Case{wiz::ProjectName, "", "ProjectName \"\" is not a name of letters, digits and underscores"},
           Case{wiz::ProjectType, "Report", "ProjectType \"Report\" is not a project type"},
           Case{wiz::ProjectStyle, "Fancy", "ProjectStyle \"Fancy\" is not a project style"},
           Case{wiz::IncludeDirectory, "", "IncludeDirectory \"\" is empty; the project names no folder for its files"},
           Case{wiz::FileDirectory, "", "FileDirectory \"\" is empty; the project names no folder for its files"},
       }) {
    std::string before = data.GetNodeText(c.element);
    data.SetNodeText(c.element, c.value);
    EXPECT_EQ(problem(), c.expected) << c.element;
    data.SetNodeText(c.element, before);
  }

  // What the list options page lets through passes here too: a fraction
  // rounds to a whole number, and with paging off the paging values are
  // neither checked by the page nor written into the list page.
  data.SetNodeText(wiz::RecordsPerPage, "2.6");
  data.SetNodeText(wiz::MaxDirectPages, " 7 ");
  EXPECT_EQ(problem(), "");
  data.SetNodeText(wiz::AllowPaging, "FALSE");
  data.SetNodeText(wiz::RecordsPerPage, "x");
  EXPECT_EQ(problem(), "");

  // A field size is a whole number of at least 0.
  data.SetSubNodeText(data.GetFields()[1], wiz::FieldSize, "-1");
  EXPECT_EQ(problem(), "Fields/Field[2]/FieldSize \"-1\" is less than 0");
  data.SetSubNodeText(data.GetFields()[1], wiz::FieldSize, "50\" onfocus=\"x");
  EXPECT_EQ(problem(), "Fields/Field[2]/FieldSize \"50\" onfocus=\"x\" is not a whole number");
}

TEST_F(ProjectValuesTest, TheNameRuleIsThePagesOwn) {
  for (const char* good : {"Orders", "orders_2", "2Orders", "_"}) EXPECT_TRUE(gfbValidNameText(good)) << good;
  for (const char* bad : {"", "My Orders", "a-b", "a.b", "a/b", "..", "caf\xc3\xa9", "a\nb"})
    EXPECT_FALSE(gfbValidNameText(bad)) << bad;
}

TEST_F(ProjectValuesTest, RelativeFoldersAreTakenFromTheProjectFilesFolder) {
  data.SetNodeText(wiz::FileDirectory, "site");
  data.SetNodeText(wiz::IncludeDirectory, "site/includes");
  data.SetNodeText(wiz::GraphicsDirectory, "../shared/images");
  resolveProjectFolders(data, "/home/dev/projects");
  EXPECT_EQ(data.GetNodeText(wiz::FileDirectory), "/home/dev/projects/site");
  EXPECT_EQ(data.GetNodeText(wiz::IncludeDirectory), "/home/dev/projects/site/includes");
  EXPECT_EQ(data.GetNodeText(wiz::GraphicsDirectory), "/home/dev/projects/../shared/images");
  EXPECT_EQ(data.GetNodeText(wiz::StylesheetDirectory), "/srv/site");
}

}  // namespace
}  // namespace tvk
