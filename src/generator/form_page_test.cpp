#include "generator/form_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "generator/gen_context.h"
#include "generator/tvk_file_creator.h"
#include "support/temp_dir.h"
#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::gen {
namespace {

const std::string kTemplates = std::string(TVK_SOURCE_DIR) + "/tests/generator/templates";

using testing::lines;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class FormPage : public testing::WizardDocumentTest {
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
    XmlNode f = testing::addFieldRecord(data);
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
  void sortedList() {
    data.SetNodeText(wiz::ProjectType, "ListForm");
    XmlNode name = data.GetNode("Fields/Field[FieldName='Name']");
    data.SetSubNodeText(name, wiz::AllowSorting, "TRUE");
    data.SetSubNodeText(name, wiz::ListShowField, "TRUE");
  }
};

const std::string kRecordsetHead = lines({
    "Function frsGetRecordset",
    "",
    "\t' Returns an ADO recordset with the records to display.",
    "\t' Handles paging if necessary.",
    "",
    "\tDim rs",
    "\tDim sSQL",
    "",
});
const std::string kRecordNumberCheck = lines({
    "\tOn Error Resume Next",
    "\tmnCurrRecord = CLng(mnCurrRecord)",
    "\tIf Err.Number > 0 Then",
    "\t\tmnCurrRecord = 1",
    "\t\tErr.Clear",
    "\tEnd If",
    "\tOn Error GoTo 0",
    "",
});
const std::string kRecordsetTail = lines({"\tSet frsGetRecordset = rs", "", "End Function", ""});

TEST_F(FormPage, WholePageOfAFormThatOnlyShowsRecords) {
  std::string page = fsFormPageText(ctx);
  const std::string expected = lines({
      "<%@ Language=VBScript %>",
      "<%",
      "Option Explicit",
      "Response.expires = 0",
      "' Test header: every generated page of the golden tests starts with it.",
      "' Its lines end with LF alone; the pages end them with CR LF.",
      // Header.txt ends with a line end, and the header adds CR LF and an
      // empty line.
      "",
      "",
      "' *** INCLUDE FILES ***********************************************************",
      "%>",
      "<!--#INCLUDE file=\"incTVKWDisplay.asp\" -->",
      "<%",
      "' *** CONSTANTS *************************************************************",
      "' These constants are used to label the buttons",
      "' NOTE - these are needed even if no record editing as used in include files",
      "Const sINSERT_BUTTON = \"Insert\"",
      "Const sADD_BUTTON = \"Add\" ' Note - if you change the label of the Add button, be sure to change any "
      "related List pages",
      "Const sUPDATE_BUTTON = \"Update\"",
      "",
      "",
      "' *** GLOBAL VARS *************************************************************",
      "Dim mDbCon",
      "Dim msDataAction",
      "Dim msPK",
      "",
      "",
      "' *** SETUP *******************************************************************",
      "' Read in variables from query string etc",
      "",
      "' Open a connection to the database",
      "Set mDbCon = Server.CreateObject (\"ADODB.Connection\")",
      "mDbCon.open \"DSN=Orders\"",
      "",
      "%>",
      "<HTML>",
      "<HEAD>",
      "<META NAME=\"GENERATOR\" Content=\"Tavekor Wizard\">",
      "<LINK REL=\"STYLESHEET\" HREF=\"\"> ",
      "</HEAD>",
      "<BODY>",
      "",
      "<CENTER>",
      "<FORM METHOD=\"POST\">",
      "<%",
      "",
      "Response.write \"<TABLE BORDER=0><TR><TD ALIGN=\"\"CENTER\"\" COLSPAN=2>\"",
      "",
      "DisplayForm",
      "",
      "Response.Write \"</TD></TR><TR><TD ALIGN=\"\"RIGHT\"\">\"",
      "",
      "",
      "Response.Write \"</TD></TR></TABLE>\"",
      "",
      "%>",
      "</FORM>",
      "</BODY>",
      "</HTML>",
      "<%",
      "",
      "' *** TERMINATE ***************************************************************",
      "' Close database connection",
      "mDbCon.Close",
      "set mDbCon = Nothing ",
      "",
      "",
      "' *** ROUTINES ****************************************************************",
      "",
      "Sub DisplayForm()",
      "",
      "\tDim rs",
      "",
      "\tSet rs = frsGetRecordset",
      "\tIf rs.BOF OR rs.EOF Then",
      "\t\tResponse.Write \"<SPAN CLASS=\"\"UserMessage\"\">Empty Table</SPAN><BR><BR>\"",
      "\t\trs.Close",
      "\t\tset rs = nothing",
      "\t\tExit Sub",
      "\tElse",
      "\t\tmsPK = rs(\"OrderID\")",
      "\t\tResponse.Write \"<INPUT TYPE=\"\"HIDDEN\"\" NAME=\"\"PK\"\" VALUE=\"\"\" & gfsHTMLEncode(msPK) & \"\"\">\"",
      "\tEnd If",
      "\t%>",
      "\t<TABLE CLASS=\"FormTable\" BORDER=1 CELLSPACING=0 CELLPADDING=3><TBODY>",
      "\t<TR>",
      "\t\t<TH>Name</TH>",
      "\t\t<TD><INPUT TYPE=\"Text\" NAME=\"Name\" VALUE=\"<%= gfsFieldValue(rs,\"Name\") %>\" SIZE=\"40\" "
      "MAXLENGTH=\"40\" >",
      "\t\t</TD>",
      "\t</TR>",
      "\t",
      "\t</TBODY></TABLE>",
      "\t<%",
      "",
      "\trs.Close",
      "\tset rs = nothing",
      "",
      "End Sub",
      "",
      "",
      "",
      "",
      "' *** DATABASE ROUTINES *******************************************************",
      "",
      "",
      "Function frsGetRecordset",
      "",
      "\t' Returns an ADO recordset with the records to display.",
      "\t' Handles paging if necessary.",
      "",
      "\tDim rs",
      "\tDim sSQL",
      "",
      "\tsSQL = \"SELECT OrderID, Orders.Name FROM Orders \"",
      "",
      "\tSet rs = Server.CreateObject(\"ADODB.Recordset\")",
      "\trs.Open sSQL, mdbCon",
      "",
      "\tSet frsGetRecordset = rs",
      "",
      "End Function",
      "",
      "",
      "%>",
  });
  EXPECT_EQ(page, expected);
  EXPECT_TRUE(ui->shown().empty());

  // The banners are 79 characters, the constants banner 77.
  EXPECT_EQ(fsBanner("INCLUDE FILES").size(), 79u);
  EXPECT_EQ(fsBanner("DATABASE ROUTINES").size(), 79u);
  EXPECT_EQ(fsBanner("CONSTANTS", 77), "' *** CONSTANTS *************************************************************");
}

TEST_F(FormPage, RecordsetWithNavigationAndAKeyFindsThePostedKey) {
  options(false, true, false);
  navigation(true);
  EXPECT_EQ(fsASPFormGetRecordset(ctx),
            kRecordsetHead + kRecordNumberCheck +
                lines({
                    "\tsSQL = \"SELECT OrderID, Orders.Name FROM Orders \"",
                    "",
                    "\tSet rs = Server.CreateObject(\"ADODB.Recordset\")",
                    "\trs.PageSize = 1",
                    "\trs.Open sSQL, mdbCon, 3, 1, &H1 'adOpenStatic, adLockReadOnly, adCmdText",
                    "",
                    "\tIf Len(msPK) > 0 And Not rs.EOF Then",
                    "",
                    "\t\trs.Find (\"OrderID=\" & gfsSQLNumberFormat(msPK))",
                    "\t\t",
                    "\t\tIf rs.AbsolutePage > 0 Then",
                    "\t\t\t' Found the record",
                    "\t\t\tmnMaxRecords = rs.PageCount",
                    "\t\t\tmnCurrRecord = rs.AbsolutePage",
                    "\t\tElse",
                    "\t\t\t' Didnt find the record, so go to record 1",
                    "\t\t\tmnMaxRecords = rs.PageCount",
                    "\t\t\trs.AbsolutePage = 1",
                    "\t\t\tmnCurrRecord = rs.AbsolutePage",
                    "\t\tEnd If",
                    "",
                    "\tElse",
                    "",
                    "\t\tmnMaxRecords = rs.PageCount",
                    "\t\tIf mnCurrRecord > mnMaxRecords Then",
                    "\t\tmnCurrRecord = mnMaxRecords",
                    "\t\tEnd If",
                    "\t\tIf mnCurrRecord < 1 Then",
                    "\t\t\tmnCurrRecord = 1",
                    "\t\tEnd If",
                    "\t\tIf NOT (rs.BOF OR rs.EOF) Then",
                    "\t\t\trs.AbsolutePage = mnCurrRecord",
                    "\t\tEnd If",
                    "",
                    "\tEnd If",
                    "",
                }) +
                kRecordsetTail);
}

TEST_F(FormPage, RecordsetWithNavigationAndNoKeyClampsTheRecordNumber) {
  navigation(true);
  EXPECT_EQ(fsASPFormGetRecordset(ctx),
            kRecordsetHead + kRecordNumberCheck +
                lines({
                    "\tsSQL = \"SELECT OrderID, Orders.Name FROM Orders \"",
                    "",
                    "\tSet rs = Server.CreateObject(\"ADODB.Recordset\")",
                    "\trs.PageSize = 1",
                    "\trs.Open sSQL, mdbCon, 3, 1, &H1 'adOpenStatic, adLockReadOnly, adCmdText",
                    "",
                    "\tmnMaxRecords = rs.PageCount",
                    "\tIf mnCurrRecord > mnMaxRecords Then",
                    "\t\tmnCurrRecord = mnMaxRecords",
                    "\tEnd If",
                    "\tIf mnCurrRecord < 1 Then",
                    "\t\tmnCurrRecord = 1",
                    "\tEnd If",
                    "\tIf NOT (rs.BOF OR rs.EOF) Then",
                    "\t\trs.AbsolutePage = mnCurrRecord",
                    "\tEnd If",
                    "",
                }) +
                kRecordsetTail);
}

TEST_F(FormPage, RecordsetWithoutNavigationNarrowsToTheKey) {
  options(true, false, false);
  data.SetNodeText(wiz::TableName, "Order Details");
  data.SetNodeText(wiz::PrimaryKey, "Line\"No");
  data.SetNodeText(wiz::SQLStatement, "SELECT [Order Details].Note FROM [Order Details] WHERE Note <> \"x\" ");
  field("Line\"No", "202", false);
  EXPECT_EQ(fsASPFormGetRecordset(ctx),
            kRecordsetHead +
                lines({
                    "\tsSQL = \"SELECT [Order Details].Note FROM [Order Details] WHERE Note <> \"\"x\"\" \"",
                    "\tIf Len(msPK) > 0 Then",
                    "\t\tsSQL = sSQL & \" WHERE [Order Details].Line\"\"No = \" & gfsSQLTextFormat(msPK) & \"\"",
                    "\tEnd If",
                    "",
                    "\tSet rs = Server.CreateObject(\"ADODB.Recordset\")",
                    "\trs.Open sSQL, mdbCon",
                    "",
                }) +
                kRecordsetTail);

  // A date key, found with navigation.
  navigation(true);
  data.SetNodeText(wiz::PrimaryKey, "Day");
  field("Day", "135", false);
  std::string text = fsASPFormGetRecordset(ctx);
  EXPECT_TRUE(contains(text, "\t\trs.Find (\"Day=\" & gfsSQLDateFormat(msPK))\r\n")) << text;
  EXPECT_FALSE(contains(text, "sSQL & \" WHERE")) << text;
}

TEST_F(FormPage, SortedListFormTakesOverTheListsSortOrder) {
  sortedList();
  navigation(true);
  std::string page = fsFormPageText(ctx);
  EXPECT_TRUE(contains(page, lines({
                                 "Dim msSortField",
                                 "Dim msSortOrder",
                                 "Dim msSortOrderURL",
                                 "Dim msPK",
                             })))
      << page;
  // Only the list's own sortable columns and ASC/DESC get through.
  EXPECT_TRUE(contains(
      page,
      lines({
          "' Read in variables from query string etc",
          "",
          "' Read in sort order variables",
          "msSortField = gfsSortField(Request(\"SortField\"), Array(\"Orders.Name\"))",
          "msSortOrder = gfsSortOrder(msSortField, Request(\"SortOrder\"))",
          "If msSortField = \"\" Then",
          "\tmsSortOrderURL = \"\"",
          "Else",
          "\tmsSortOrderURL = \"&SortField=\" & server.urlEncode(msSortField) & \"&SortOrder=\" & "
          "server.urlEncode(msSortOrder)",
          "End If",
          "",
          "' Read pageing records",
      })))
      << page;
  EXPECT_TRUE(contains(page, lines({
                                 "<FORM METHOD=\"POST\">",
                                 "<INPUT TYPE=\"HIDDEN\" NAME=\"SortField\" VALUE=\"<% = msSortField %>\">",
                                 "<INPUT TYPE=\"HIDDEN\" NAME=\"SortOrder\" VALUE=\"<% = msSortOrder %>\">",
                                 "<%",
                             })))
      << page;
  EXPECT_TRUE(contains(page, lines({
                                 "\t' Apply Sorting",
                                 "\tIf msSortOrder <> \"\" Then",
                                 "\t\tsSQL = sSQL & \" ORDER BY \" & msSortField & \" \" & msSortOrder",
                                 "\tEnd If",
                                 "",
                             })))
      << page;
  EXPECT_TRUE(contains(page, "mnCurrRecord + 1 & msSortOrderURL & "));

  // A form-only project has no list to take a sort order from.
  data.SetNodeText(wiz::ProjectType, "Form");
  data.SetSubNodeText(data.GetNode("Fields/Field[FieldName='Name']"), wiz::FormShowField, "TRUE");
  ASSERT_TRUE(data.FieldSortingUsed());
  page = fsFormPageText(ctx);
  EXPECT_FALSE(contains(page, "Sort")) << page;
}

TEST_F(FormPage, WhatTheFlagsSwitchOnThePage) {
  // A list with form whose form allows nothing still hands back to the list.
  data.SetNodeText(wiz::ProjectType, "ListForm");
  std::string page = fsFormPageText(ctx);
  EXPECT_FALSE(contains(page, "incTVKWAction.asp"));
  EXPECT_TRUE(contains(page, "Const sUPDATE_BUTTON = \"Update\"\r\nConst sLIST_BUTTON = \"List\"\r\n\r\n\r\n"));
  EXPECT_TRUE(contains(page, "msPK = Request.Form(\"PK\")\r\n"));
  EXPECT_TRUE(contains(page, "If Len(msDataAction) = 0 Then \r\n"));
  EXPECT_TRUE(contains(page, "redirect to list.\r\nPerformDataActions\r\n\r\n%>\r\n"));
  EXPECT_TRUE(contains(page, "\r\nDisplayRecordActionButtons\r\n\r\n\r\nResponse.Write \"</TD></TR></TABLE>\""));
  EXPECT_TRUE(contains(page, "Sub PerformDataActions\r\n"));
  EXPECT_TRUE(contains(page, "Sub DisplayRecordActionButtons()\r\n"));
  EXPECT_FALSE(contains(page, "mbEmptyRS"));
  EXPECT_FALSE(contains(page, "msUserMessage"));
  EXPECT_FALSE(contains(page, "CurrRecord"));

  // Navigation with data actions hides the bar while adding.
  options(true, true, true);
  navigation(true);
  page = fsFormPageText(ctx);
  EXPECT_TRUE(contains(page, "<!--#INCLUDE file=\"incTVKWAction.asp\" -->\r\n<!--#INCLUDE file=\"incTVKWDisplay.asp\" -->\r\n"));
  EXPECT_TRUE(contains(page, lines({
                                 "Const sUPDATE_BUTTON = \"Update\"",
                                 "Const sEDIT_BUTTON = \"Edit\"",
                                 "Const sDELETE_BUTTON = \"Delete\"",
                                 "Const sLIST_BUTTON = \"List\"",
                                 "Const sCANCEL_BUTTON = \"Cancel\"",
                                 "",
                                 "",
                                 "' *** GLOBAL VARS *************************************************************",
                                 "Dim mDbCon",
                                 "Dim mnCurrRecord",
                                 "Dim mnMaxRecords",
                                 "Dim msDataAction",
                                 "Dim mbEmptyRS",
                                 "Dim mDictFieldErrors   ' Holds database field errors in a Dictionary object.",
                                 "Dim msUserMessage      ' Message to display to user after data action (e.g. "
                                 "update = Record Updated)",
                                 "Dim msPK",
                             })))
      << page;
  EXPECT_TRUE(contains(page, lines({
                                 "<%",
                                 "",
                                 "Response.write msUserMessage",
                                 "",
                                 "Response.write \"<TABLE BORDER=0><TR><TD ALIGN=\"\"CENTER\"\" COLSPAN=2>\"",
                             })))
      << page;
  EXPECT_TRUE(contains(page, lines({
                                 "DisplayRecordActionButtons",
                                 "",
                                 "If msDataAction <> sINSERT_BUTTON And msDataAction <> sADD_BUTTON Then",
                                 "\t' Only show navigation buttons if we are not in the middle of an insert",
                                 "\tResponse.Write \"</TR></TR><TR><TD>&nbsp;</TD></TR><TR><TD ALIGN=CENTER>\"",
                                 "\tDisplayRecordNavButtons",
                                 "End If",
                                 "",
                                 "Response.Write \"</TD></TR></TABLE>\"",
                             })))
      << page;
  // The database routines in their order.
  size_t perform = page.find("Sub PerformDataActions");
  size_t recordset = page.find("Function frsGetRecordset");
  size_t insert = page.find("Function fbInsertRecord()");
  size_t update = page.find("Function fbUpdateRecord()");
  size_t remove = page.find("Function fbDeleteRecord()");
  EXPECT_TRUE(perform < recordset && recordset < insert && insert < update && update < remove &&
              remove != std::string::npos);
  EXPECT_TRUE(contains(page, "End Sub\r\n\r\n\r\n\r\n\r\n' *** DATABASE ROUTINES"));

  // Navigation without data actions writes the bar bare.
  options(false, false, false);
  data.SetNodeText(wiz::ProjectType, "Form");
  page = fsFormPageText(ctx);
  EXPECT_TRUE(contains(page, lines({
                                 "Response.Write \"</TD></TR><TR><TD ALIGN=\"\"RIGHT\"\">\"",
                                 "",
                                 "Response.Write \"</TR></TR><TR><TD>&nbsp;</TD></TR><TR><TD ALIGN=CENTER>\"",
                                 "DisplayRecordNavButtons",
                                 "",
                                 "Response.Write \"</TD></TR></TABLE>\"",
                             })))
      << page;
  EXPECT_FALSE(contains(page, "PerformDataActions"));
  EXPECT_FALSE(contains(page, "msPK = Request"));
}

TEST_F(FormPage, HandMadeListsAreDeclaredAndFilled) {
  XmlNode region = field("Region", "202", true);
  data.SetSubNodeText(region, wiz::UseLookupTable, "TRUE");
  data.SetSubNodeText(region, wiz::LookupTableType, "ManualList");
  data.SetSubNodeText(region, wiz::LookupDisplayType, "SelectList");
  XmlNode array = data.foCreateNode(region, wiz::LookupArray);
  for (const char* code : {"N", "S"}) {
    XmlNode row = data.AddSubNode(array, wiz::Row);
    data.AddSubNode(row, wiz::JoinField, code);
    data.AddSubNode(row, wiz::DisplayField, std::string(code) + " side");
  }
  std::string page = fsFormPageText(ctx);
  EXPECT_TRUE(contains(page, lines({
                                 "Dim msPK",
                                 "",
                                 "' Define arrays used for lookup tables",
                                 "Dim maRegion(1,1)",
                                 "",
                                 "",
                                 "' *** SETUP *******************************************************************",
                                 "' Setup any arrays needed for the lookup tables",
                                 "GenerateLookupArrays",
                                 "",
                                 "' Read in variables from query string etc",
                             })))
      << page;
  EXPECT_TRUE(contains(page, "End Function\r\n\r\n\r\nSub GenerateLookupArrays()\r\n")) << page;
  EXPECT_TRUE(contains(page, "End Sub \r\n\r\n\r\n%>\r\n")) << page;
}

TEST_F(FormPage, TheGeneratorWritesAndReportsTheFormPage) {
  testing::ScopedTempDir site;
  for (std::string_view path : {wiz::FileDirectory, wiz::IncludeDirectory, wiz::StylesheetDirectory})
    data.SetNodeText(path, site.path());
  data.SetNodeText(wiz::ProjectType, "ListForm");
  DiskOutput output;
  TVKFileCreator creator(output, kTemplates);
  std::string report = renderReport(creator.GenerateFiles(data));
  std::string list = site.path() + "/OrdersList.asp";
  std::string form = site.path() + "/OrdersForm.asp";
  EXPECT_EQ(report.substr(0, report.find("File incTVKWDisplay.asp")),
            "File OrdersList.asp successfully created at " + list + "\r\nFile OrdersForm.asp successfully created at " +
                form + "\r\n");
  // The page text goes through the single-byte stream unchanged (all ASCII).
  EXPECT_EQ(testing::readFile(form), fsFormPageText(ctx));

  data.SetNodeText(wiz::FileDirectory, site.path() + "/missing");
  report = renderReport(creator.GenerateFiles(data));
  EXPECT_TRUE(contains(report, "\r\nError creating OrdersForm.asp - (76) ")) << report;
  EXPECT_TRUE(ui->shown().empty()) << ui->shown().front();
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
