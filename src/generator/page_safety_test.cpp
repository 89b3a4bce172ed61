#include "generator/page_safety.h"

#include <gtest/gtest.h>

#include "generator/gen_context.h"
#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::gen {
namespace {

class PageSqlNames : public test::WizardDocumentTest {
 protected:
  GenContext ctx{data, "/nowhere"};
};

TEST_F(PageSqlNames, QuotedByTheStoredDialectAndBracketedForAdoCriteria) {
  // A project file without a dialect: the blank-only brackets everywhere.
  EXPECT_EQ(fsSQLName(ctx, "reply-to"), "reply-to");
  EXPECT_EQ(fsSQLName(ctx, "Order ID"), "[Order ID]");
  EXPECT_EQ(fsSQLTable(ctx, "archive.user"), "archive.user");
  EXPECT_EQ(fsADOCriteriaName(ctx, "Order ID"), "[Order ID]");
  EXPECT_EQ(fsADOCriteriaName(ctx, "reply-to"), "reply-to");

  data.SetNodeText(wiz::SQLDialect, "PostgreSQL");
  EXPECT_EQ(fsSQLName(ctx, "reply-to"), "\"reply-to\"");
  EXPECT_EQ(fsSQLTable(ctx, "archive.user"), "archive.\"user\"");
  // ADO's Find reads its criteria itself: brackets, whatever the database.
  EXPECT_EQ(fsADOCriteriaName(ctx, "reply-to"), "[reply-to]");
  EXPECT_EQ(fsADOCriteriaName(ctx, "id"), "id");

  data.SetNodeText(wiz::SQLDialect, "MySQL");
  EXPECT_EQ(fsSQLName(ctx, "key"), "`key`");
  EXPECT_EQ(fsADOCriteriaName(ctx, "key"), "[key]");
}

}  // namespace
}  // namespace tvk::gen
