#include "base/general.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/session.h"
#include "base/ui.h"

namespace tvk {
namespace {

TEST(General, FileNameAndPathAcceptBothSeparators) {
  EXPECT_EQ(gfsFileName("C:/a/b.asp"), "b.asp");
  EXPECT_EQ(gfsFileName("/a\\b\\c.xml"), "c.xml");
  EXPECT_EQ(gfsFileName("c.xml"), "c.xml");
  EXPECT_EQ(gfsFilePath("/a/b.asp"), "/a/");
  EXPECT_EQ(gfsFilePath("C:\\a\\b.asp"), "C:/a/");
  EXPECT_EQ(gfsFilePath("b.asp"), "");
  EXPECT_EQ(fnDirLevels("/a/b/c"), 3);
  EXPECT_EQ(fnDirLevels("abc"), 0);
}

TEST(General, RelativePath) {
  // Sibling, descendant, same, ancestor.
  EXPECT_EQ(gfsRelativePath("/web/site/pages", "/web/site/stylesheets"), "../stylesheets/");
  EXPECT_EQ(gfsRelativePath("/web/site", "/web/site/images"), "images/");
  EXPECT_EQ(gfsRelativePath("/web/site", "/web/site"), "");
  // The ancestor case keeps its historic extra slash, which pages rely on.
  EXPECT_EQ(gfsRelativePath("/web/site/a/b", "/web/site"), "../..//");
  EXPECT_EQ(gfsRelativePath("/web/site/a", "/web/site/"), "..//");
  // Case and separators do not matter; the target keeps its own case.
  EXPECT_EQ(gfsRelativePath("C:\\Web\\Site", "c:/web/site/"), "");
  EXPECT_EQ(gfsRelativePath("/Web/Site/Pages", "/web/site/Include/Sub"), "../Include/Sub/");
  EXPECT_EQ(gfsRelativePath("C:\\web\\site\\pages", "C:\\web\\site\\stylesheets"), "../stylesheets/");
  // Different drives walk up past both drive names.
  EXPECT_EQ(gfsRelativePath("C:\\x", "D:\\y"), "../../D:/y/");
  // Directories whose only common ancestor is the root.
  EXPECT_EQ(gfsRelativePath("/x", "/y"), "../y/");
  EXPECT_EQ(gfsRelativePath("/x/a", "/y/b/c"), "../../y/b/c/");
}

TEST(General, QuoteDoubledAndValidInteger) {
  EXPECT_EQ(gsQuoteDoubled("a\"b"), "a\"\"b");
  EXPECT_EQ(gsQuoteDoubled("\"\""), "\"\"\"\"");
  EXPECT_FALSE(gfbValidInteger(""));
  EXPECT_FALSE(gfbValidInteger("abc"));
  EXPECT_FALSE(gfbValidInteger("12abc"));
  EXPECT_FALSE(gfbValidInteger("0", 1));
  EXPECT_TRUE(gfbValidInteger("10", 1));
  EXPECT_TRUE(gfbValidInteger(" 10 ", 1, 10));
  EXPECT_FALSE(gfbValidInteger("2.6", 1, 2));  // rounds to 3
  EXPECT_TRUE(gfbValidInteger("2.4", 1, 2));
  EXPECT_TRUE(gfbValidInteger("-5"));
  EXPECT_FALSE(gfbValidInteger("3000000000"));  // beyond 32 bits
  EXPECT_FALSE(gfbValidInteger("nan"));
}

TEST(General, GetDirectoryUsesFolderBrowserAndCancelIsEmpty) {
  auto ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  ui->pushPath("/srv/site");
  EXPECT_EQ(gfsGetDirectory(*ui, "Choose", "/srv"), "/srv/site");
  EXPECT_EQ(gfsGetDirectory(*ui, "Choose", "/srv"), "");  // cancelled
  ASSERT_EQ(ui->shown().size(), 2u);
  EXPECT_EQ(ui->shown()[0], "Browse: Choose");
}

}  // namespace
}  // namespace tvk
