#include "generator/form_page.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/gen_context.h"
#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::gen {
namespace {

const std::string kTemplates = std::string(TVK_SOURCE_DIR) + "/tests/generator/templates";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class FormPage : public test::WizardDocumentTest {
 protected:
  GenContext ctx{data, kTemplates};

  void SetUp() override {
    data.SetNodeText(wiz::ProjectType, "Form");
    data.SetNodeText(wiz::ProjectStyle, "Basic");
    data.SetNodeText(wiz::ProjectName, "Orders");
    data.SetNodeText(wiz::FileDirectory, "/web/site");
    data.SetNodeText(wiz::IncludeDirectory, "/web/site");
    data.SetNodeText(wiz::StylesheetDirectory, "/web/site");
    data.SetNodeText(wiz::DataSourceType, "ConnectionString");
    data.SetNodeText(wiz::ConnectionStringText, "DSN=Orders");
    data.SetNodeText(wiz::TableName, "Orders");
    data.SetNodeText(wiz::PrimaryKey, "OrderID");
    data.SetNodeText(wiz::SQLStatement, "SELECT OrderID, Orders.Name FROM Orders ");
    field("OrderID", "3", false);
    field("Name", "202", true);
  }

  XmlNode field(const std::string& name, const std::string& type, bool onForm) {
    XmlNode f = test::addFieldRecord(data);
    data.AddSubNode(f, wiz::FieldName, name);
    data.AddSubNode(f, wiz::ColumnLabel, name);
    data.AddSubNode(f, wiz::DataType, type);
    data.AddSubNode(f, wiz::DataTypeDesc, type == "202" ? "Text (40)" : "Integer");
    data.AddSubNode(f, wiz::FieldSize, type == "202" ? "40" : "4");
    data.SetSubNodeText(f, wiz::FormShowField, onForm ? "TRUE" : "FALSE");
    data.SetSubNodeText(f, wiz::FormFieldOrder, "1");
    return f;
  }

  void options(bool add, bool update, bool remove) {
    data.SetNodeText(wiz::FormAllowAddRecord, add ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormAllowUpdateRecord, update ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormAllowDeleteRecord, remove ? "TRUE" : "FALSE");
  }
  void navigation(bool on) {
    data.SetNodeText(wiz::AllowNavigation, on ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormSkip1Buttons, "TRUE");
  }
};

// Whole pages are the golden tests' business (tests/golden); these check what
// the fixture projects there do not reach.

TEST_F(FormPage, RecordsetQuotesTheStatementAndFormatsTheKeyByItsType) {
  // Without navigation the key narrows the statement; names and the
  // statement sit inside a VBScript string and are quote-doubled.
  options(true, false, false);
  data.SetNodeText(wiz::TableName, "Order Details");
  data.SetNodeText(wiz::PrimaryKey, "Line\"No");
  data.SetNodeText(wiz::SQLStatement, "SELECT [Order Details].Note FROM [Order Details] WHERE Note <> \"x\" ");
  field("Line\"No", "202", false);
  std::string text = fsASPFormGetRecordset(ctx);
  EXPECT_TRUE(
      contains(text, "\tsSQL = \"SELECT [Order Details].Note FROM [Order Details] WHERE Note <> \"\"x\"\" \"\r\n"))
      << text;
  EXPECT_TRUE(
      contains(text, "\t\tsSQL = sSQL & \" WHERE [Order Details].Line\"\"No = \" & gfsSQLTextFormat(msPK) & \"\"\r\n"))
      << text;

  // A date key, found with navigation.
  navigation(true);
  data.SetNodeText(wiz::PrimaryKey, "Day");
  field("Day", "135", false);
  GenContext dateKeyed{data, kTemplates};
  text = fsASPFormGetRecordset(dateKeyed);
  // Only a key that formats to a value is looked for.
  EXPECT_TRUE(contains(text,
                       "\t\tIf gfsSQLDateFormat(msPK) <> \"NULL\" Then\r\n"
                       "\t\t\trs.Find (\"Day=\" & gfsSQLDateFormat(msPK))\r\n\t\tEnd If\r\n"))
      << text;
  EXPECT_TRUE(contains(text, "\trs.CursorLocation = 3 ' adUseClient\r\n")) << text;
  EXPECT_FALSE(contains(text, "sSQL & \" WHERE")) << text;

  // The database's quotes are SQL's; ADO's Find takes a bare name or
  // brackets, whatever the database.
  data.SetNodeText(wiz::SQLDialect, "PostgreSQL");
  data.SetNodeText(wiz::PrimaryKey, "OrderID");
  GenContext postgres{data, kTemplates};
  text = fsASPFormGetRecordset(postgres);
  EXPECT_TRUE(contains(text, "\t\t\trs.Find (\"OrderID=\" & gfsSQLNumberFormat(msPK))\r\n")) << text;
  data.SetNodeText(wiz::SQLDialect, "MySQL");
  data.SetNodeText(wiz::PrimaryKey, "Order ID");
  field("Order ID", "3", false);
  GenContext mysql{data, kTemplates};
  text = fsASPFormGetRecordset(mysql);
  EXPECT_TRUE(contains(text, "\t\t\trs.Find (\"[Order ID]=\" & gfsSQLNumberFormat(msPK))\r\n")) << text;
}

TEST_F(FormPage, OnlyAListFormTakesOverTheListsSortOrder) {
  // A form-only project has no list to take a sort order from, even with a
  // sortable field on the form.
  navigation(true);
  XmlNode name = data.GetNode("Fields/Field[FieldName='Name']");
  data.SetSubNodeText(name, wiz::AllowSorting, "TRUE");
  ASSERT_TRUE(data.FieldSortingUsed());
  std::string page = fsFormPageText(ctx);
  EXPECT_FALSE(contains(page, "Sort")) << page;
  data.SetNodeText(wiz::ProjectType, "ListForm");
  data.SetSubNodeText(name, wiz::ListShowField, "TRUE");
  EXPECT_TRUE(
      contains(fsFormPageText(ctx), "msSortField = gfsSortField(Request(\"SortField\"), Array(\"Orders.Name\"))"));
}

TEST_F(FormPage, AListFormWhoseFormAllowsNothingStillHandsBackToTheList) {
  data.SetNodeText(wiz::ProjectType, "ListForm");
  std::string page = fsFormPageText(ctx);
  EXPECT_FALSE(contains(page, "incTVKWAction.asp"));
  EXPECT_TRUE(contains(page, "Const sLIST_BUTTON = \"List\"\r\n"));
  EXPECT_TRUE(contains(page, "msPK = Request.Form(\"PK\")\r\n"));
  EXPECT_TRUE(contains(page, "redirect to list.\r\nPerformDataActions\r\n"));
  EXPECT_TRUE(contains(page, "Sub PerformDataActions\r\n"));
  EXPECT_TRUE(contains(page, "Sub DisplayRecordActionButtons()\r\n"));
  for (const char* absent : {"mbEmptyRS", "msUserMessage", "CurrRecord"})
    EXPECT_FALSE(contains(page, absent)) << absent;
}

TEST_F(FormPage, ARoutineAbandonedAtTheErrorReportLeavesTheRestOfThePage) {
  // The key's data type is not a number: the record source cannot format
  // the key and reports it; the page is written without that routine.
  data.SetNodeText(wiz::ProjectType, "ListForm");
  data.SetSubNodeText(data.GetNode("Fields/Field[FieldName='OrderID']"), wiz::DataType, "number");
  ui->pushAnswer(MsgResult::Abort);
  std::string page = fsFormPageText(ctx);
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_TRUE(contains(ui->shown()[0], "TVKFileCreator.fsASPFormGetRecordset")) << ui->shown()[0];
  EXPECT_FALSE(contains(page, "Function frsGetRecordset"));
  // PerformDataActions, its blank line, the abandoned routine's blank line.
  EXPECT_TRUE(contains(page, "End Sub\r\n\r\n\r\n\r\n%>\r\n")) << page;
}

}  // namespace
}  // namespace tvk::gen
