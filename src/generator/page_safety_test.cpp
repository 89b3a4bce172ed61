#include "generator/page_safety.h"

#include <gtest/gtest.h>

#include <string>

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

  // A generation run reads the project once: each dialect gets its own run.
  data.SetNodeText(wiz::SQLDialect, "PostgreSQL");
  GenContext postgres{data, "/nowhere"};
  EXPECT_EQ(fsSQLName(postgres, "reply-to"), "\"reply-to\"");
  EXPECT_EQ(fsSQLTable(postgres, "archive.user"), "archive.\"user\"");
  // ADO's Find reads its criteria itself: brackets, whatever the database.
  EXPECT_EQ(fsADOCriteriaName(postgres, "reply-to"), "[reply-to]");
  EXPECT_EQ(fsADOCriteriaName(postgres, "id"), "id");

  data.SetNodeText(wiz::SQLDialect, "MySQL");
  GenContext mysql{data, "/nowhere"};
  EXPECT_EQ(fsSQLName(mysql, "key"), "`key`");
  EXPECT_EQ(fsADOCriteriaName(mysql, "key"), "[key]");
}

// Every hostile text, in each context it can land in.
constexpr std::string_view kHostile = "a\"b'c%>d<%e<script>\r\nf\rg\nh</textarea>&i";

TEST(PageSafety, VBStringTextCannotEndTheLiteralOrTheScriptBlock) {
  EXPECT_EQ(fsVBStringText("Orders"), "Orders");
  EXPECT_EQ(fsVBStringText(kHostile),
            "a\"\"b'c%\" & \">d<%e<script>\" & vbCrLf & \"f\" & vbCr & \"g\" & vbLf & \"h</textarea>&i");
  // Whatever the text, the literal it stands in has an even number of
  // quotes between its own, and "%>" never stands in it.
  std::string literal = "\"" + fsVBStringText("%%>>\"\"%>\r\n") + "\"";
  EXPECT_EQ(literal.find("%>"), std::string::npos) << literal;
  EXPECT_EQ(literal, "\"%%\" & \">>\"\"\"\"%\" & \">\" & vbCrLf & \"\"");
}

TEST(PageSafety, AttributeTextIsFullyEncoded) {
  EXPECT_EQ(fsHTMLAttributeText("Ship Via"), "Ship Via");
  EXPECT_EQ(fsHTMLAttributeText(kHostile),
            "a&quot;b&#39;c%&gt;d&lt;%e&lt;script&gt;\r\nf\rg\nh&lt;/textarea&gt;&amp;i");
}

TEST(PageSafety, URLTextKeepsOnlyUnreservedBytes) {
  EXPECT_EQ(fsURLText("Orders-2_v.1~"), "Orders-2_v.1~");
  EXPECT_EQ(fsURLText("My \"Page\"&x=1#%"), "My%20%22Page%22%26x%3D1%23%25");
  EXPECT_EQ(fsURLText("../styles/", "/"), "../styles/");
  EXPECT_EQ(fsURLText("a/b c"), "a%2Fb%20c");
  EXPECT_EQ(fsURLText("\xE9"), "%E9");  // a Windows-1252 byte
}

TEST(PageSafety, HTMLTextOnlyLosesScriptDelimiters) {
  // A label may carry markup on purpose.
  EXPECT_EQ(fsHTMLText("<B>Price</B> & tax"), "<B>Price</B> & tax");
  EXPECT_EQ(fsHTMLText("<%= x %>"), "&lt;%= x %&gt;");
  EXPECT_EQ(fsHTMLText("<%>"), "&lt;%&gt;");
}

TEST(PageSafety, ScriptNamesFromFieldNames) {
  EXPECT_EQ(fsScriptName("ShipVia"), "ShipVia");
  EXPECT_EQ(fsScriptName("Ship Via\"(x)"), "Ship_Via__x_");
}

TEST(PageSafety, ChangesAreVerifiedFirstAndTheKeyIsReadOnce) {
  EXPECT_EQ(fsASPTokenInputLine(), "<%= gfsTokenInput() %>");
  std::string verify = fsASPVerifyChange("fbDeleteRecord");
  EXPECT_EQ(verify,
            "\t' Only a form of this site, posted in this session, may change records\r\n"
            "\tIf Not gfbVerifiedChange() Then\r\n"
            "\t\tfbDeleteRecord = False\r\n"
            "\t\tmsUserMessage = \"<SPAN CLASS=\"\"MainError\"\">The request could not be verified; please try "
            "again.</SPAN><BR><BR>\"\r\n"
            "\t\tExit Function\r\n"
            "\tEnd If\r\n\r\n");
  EXPECT_EQ(fsASPReadPostedFirst("' key", "msPK", "PK"),
            "' key\r\nmsPK = Request.Form(\"PK\")\r\nIf Len(msPK) = 0 Then\r\n"
            "\t' Variables from the FORM request overide those in Query string\r\n"
            "\tmsPK = Request.QueryString(\"PK\")\r\nEnd If\r\n\r\n");
}

}  // namespace
}  // namespace tvk::gen
