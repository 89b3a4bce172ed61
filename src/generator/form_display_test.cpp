#include "generator/form_display.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/gen_context.h"
#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::gen {
namespace {

using testing::lines;

class FormDisplay : public testing::WizardDocumentTest {
 protected:
  GenContext ctx{data, "/nowhere"};
  int order = 0;

  void SetUp() override {
    data.SetNodeText(wiz::ProjectType, "Form");
    data.SetNodeText(wiz::ProjectStyle, "Classic");
    data.SetNodeText(wiz::ProjectName, "Orders");
    data.SetNodeText(wiz::PrimaryKey, "OrderID");
  }

  void options(bool add, bool update, bool remove) {
    data.SetNodeText(wiz::FormAllowAddRecord, add ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormAllowUpdateRecord, update ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormAllowDeleteRecord, remove ? "TRUE" : "FALSE");
  }

  void navigation(bool on, bool step, bool ends, bool number) {
    data.SetNodeText(wiz::AllowNavigation, on ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormSkip1Buttons, step ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormSkipEndButtons, ends ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::DisplayRecordNo, number ? "TRUE" : "FALSE");
  }

  void sortingUsed() {
    XmlNode f = field("Sorted", "3", "Integer", "4");
    data.SetSubNodeText(f, wiz::AllowSorting, "TRUE");
    data.SetSubNodeText(f, wiz::ListShowField, "TRUE");
  }

  XmlNode field(const std::string& name, const std::string& type, const std::string& desc,
                const std::string& size, bool required = false, bool readOnly = false) {
    XmlNode f = testing::addFieldRecord(data);
    data.AddSubNode(f, wiz::FieldName, name);
    data.AddSubNode(f, wiz::ColumnLabel, name + " label");
    data.AddSubNode(f, wiz::DataType, type);
    data.AddSubNode(f, wiz::DataTypeDesc, desc);
    data.AddSubNode(f, wiz::FieldSize, size);
    data.AddSubNode(f, wiz::FieldRequired, required ? "TRUE" : "FALSE");
    data.AddSubNode(f, wiz::FieldReadOnly, readOnly ? "TRUE" : "FALSE");
    data.SetSubNodeText(f, wiz::FormShowField, "TRUE");
    data.SetSubNodeText(f, wiz::FormFieldOrder, std::to_string(++order));
    return f;
  }

  XmlNode lookup(const std::string& name, const std::string& tableType, const std::string& displayType,
                 bool required = false, bool readOnly = false) {
    XmlNode f = field(name, "3", "Integer", "4", required, readOnly);
    data.SetSubNodeText(f, wiz::UseLookupTable, "TRUE");
    data.SetSubNodeText(f, wiz::LookupTableType, tableType);
    data.SetSubNodeText(f, wiz::LookupDisplayType, displayType);
    data.SetSubNodeText(f, wiz::LookupTableName, "Shippers");
    data.SetSubNodeText(f, wiz::LookupJoinField, "ShipperID");
    data.SetSubNodeText(f, wiz::LookupShowField, "CompanyName");
    return f;
  }
};

TEST_F(FormDisplay, NavigationBarWithEveryPartAndNoSorting) {
  navigation(true, true, true, true);
  // Sorting counts only in a project with a list page.
  sortingUsed();
  EXPECT_EQ(fsASPDisplayRecordNav(ctx),
            lines({
                "Sub DisplayRecordNavButtons()",
                "",
                "\tResponse.write \"<TABLE CLASS=\"\"RecordNavigation\"\" BORDER=1 CELLSPACING=0 CELLPADDING=3><TR>\"",
                "\tIf mnCurrRecord = 1 Then",
                "\t\tResponse.Write \"<TD>&nbsp;<<&nbsp;</TD>\"",
                "\t\tResponse.Write \"<TD>&nbsp;<&nbsp;</TD>\"",
                "\tElse",
                "\t\tResponse.Write \"<TD><A HREF=\"\"?CurrRecord=1\" & \"\"\">&nbsp;<<&nbsp;</A></TD>\"",
                "\t\tResponse.Write \"<TD><A HREF=\"\"?CurrRecord=\" & mnCurrRecord - 1 & \"\"\">&nbsp;<&nbsp;</A></TD>\"",
                "\tEnd If",
                "",
                "\tResponse.Write \"<TD CLASS=\"\"RecordNumber\"\">Record \" & mnCurrRecord & \" of \" & mnMaxRecords & \"</TD>\"",
                "",
                "\tIf mnCurrRecord < mnMaxRecords Then",
                "\t\tResponse.Write \"<TD><A HREF=\"\"?CurrRecord=\" & mnCurrRecord + 1 & \"\"\">&nbsp;>&nbsp;</A></TD>\"",
                "\t\tResponse.Write \"<TD><A HREF=\"\"?CurrRecord=\" & mnMaxRecords & \"\"\">&nbsp;>>&nbsp;</A></TD>\"",
                "\tElse",
                "\t\tResponse.Write \"<TD>&nbsp;>&nbsp;</TD>\"",
                "\t\tResponse.Write \"<TD>&nbsp;>>&nbsp;</TD>\"",
                "\tEnd If",
                "",
                "\tResponse.Write \"</TR></TABLE>\"",
                "End Sub",
                "",
            }));
}

TEST_F(FormDisplay, NavigationBarOfASortedListFormCarriesTheSortOrder) {
  data.SetNodeText(wiz::ProjectType, "ListForm");
  data.SetNodeText(wiz::ProjectStyle, "XP");
  sortingUsed();
  navigation(true, true, false, false);
  EXPECT_EQ(fsASPDisplayRecordNav(ctx),
            lines({
                "Sub DisplayRecordNavButtons()",
                "",
                "\tResponse.write \"<TABLE CLASS=\"\"RecordNavigation\"\" BORDER=0 CELLSPACING=1 CELLPADDING=3><TR>\"",
                "\tIf mnCurrRecord = 1 Then",
                "\t\tResponse.Write \"<TD>&nbsp;<&nbsp;</TD>\"",
                "\tElse",
                "\t\tResponse.Write \"<TD><A HREF=\"\"?CurrRecord=\" & mnCurrRecord - 1 & msSortOrderURL &  \"\"\">&nbsp;<&nbsp;</A></TD>\"",
                "\tEnd If",
                "",
                "\tIf mnCurrRecord < mnMaxRecords Then",
                "\t\tResponse.Write \"<TD><A HREF=\"\"?CurrRecord=\" & mnCurrRecord + 1 & msSortOrderURL & \"\"\">&nbsp;>&nbsp;</A></TD>\"",
                "\tElse",
                "\t\tResponse.Write \"<TD>&nbsp;>&nbsp;</TD>\"",
                "\tEnd If",
                "",
                "\tResponse.Write \"</TR></TABLE>\"",
                "End Sub",
                "",
            }));

  // End buttons alone, sorted.
  navigation(true, false, true, false);
  std::string ends = fsASPDisplayRecordNav(ctx);
  EXPECT_NE(ends.find("\t\tResponse.Write \"<TD><A HREF=\"\"?CurrRecord=1\" & msSortOrderURL & \"\"\">&nbsp;<<&nbsp;</A></TD>\"\r\n"
                      "\tEnd If\r\n"),
            std::string::npos)
      << ends;
  EXPECT_NE(ends.find("\t\tResponse.Write \"<TD><A HREF=\"\"?CurrRecord=\" & mnMaxRecords & msSortOrderURL & \"\"\">&nbsp;>>&nbsp;</A></TD>\"\r\n"
                      "\tElse\r\n\t\tResponse.Write \"<TD>&nbsp;>>&nbsp;</TD>\"\r\n\tEnd If\r\n"),
            std::string::npos)
      << ends;
  EXPECT_EQ(ends.find("mnCurrRecord - 1"), std::string::npos);
}

TEST_F(FormDisplay, NavigationBarWithNothingInItIsAnEmptyRow) {
  navigation(true, false, false, false);
  EXPECT_EQ(fsASPDisplayRecordNav(ctx),
            lines({
                "Sub DisplayRecordNavButtons()",
                "",
                "\tResponse.write \"<TABLE CLASS=\"\"RecordNavigation\"\" BORDER=1 CELLSPACING=0 CELLPADDING=3><TR>\"",
                "",
                "",
                "\tResponse.Write \"</TR></TABLE>\"",
                "End Sub",
                "",
            }));
}

// The cells of the action buttons.
constexpr std::string_view kCancel =
    R"(<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sCANCEL_BUTTON %>"></TD>)";
constexpr std::string_view kInsert =
    R"(<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sINSERT_BUTTON %>"></TD>)";
constexpr std::string_view kAdd =
    R"(<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sADD_BUTTON %>"></TD>)";
constexpr std::string_view kList =
    R"(<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sLIST_BUTTON %>"></TD>)";
constexpr std::string_view kUpdate =
    R"(<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sUPDATE_BUTTON %>"></TD>)";
constexpr std::string_view kDelete =
    R"(<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sDELETE_BUTTON %>" LANGUAGE="JavaScript" OnClick="return confirm('Are you sure you want to delete this record?');"></TD>)";

std::string tabs(int n, std::string_view text) { return std::string(static_cast<size_t>(n), '\t') + std::string(text); }

std::string actionHead() {
  return lines({"Sub DisplayRecordActionButtons()", "", "\t' State can be : ",
                "\t' Normal - Show Add, Update, Delete (Cancel if ListForm)", "\t' Add,Insert - Show Update, Cancel",
                ""});
}
const std::string kActionTail = lines({"", "End Sub", ""});

// The Select Case of a form that adds records, up to the Case Else cells.
std::string addingCases() {
  return lines({"\tSelect Case msDataAction", "\t\tCase sADD_BUTTON, sINSERT_BUTTON", "\t\t\t%>",
                "\t\t\t<TABLE BORDER=\"0\"><TR>", tabs(3, kCancel), tabs(3, kInsert), "\t\t\t</TR></TABLE>",
                "\t\t\t<%", "\t\tCase Else", "\t\t\t%>", "\t\t\t<TABLE BORDER=\"0\"><TR>"});
}

TEST_F(FormDisplay, ActionButtonsOfAListFormThatAdds) {
  data.SetNodeText(wiz::ProjectType, "ListForm");
  options(true, true, true);
  navigation(true, true, true, true);
  EXPECT_EQ(fsASPDisplayRecordAction(ctx),
            actionHead() + addingCases() +
                lines({tabs(3, kList), tabs(3, kAdd), "\t\t\t<%", "\t\t\tIf Not mbEmptyRS Then", "\t\t\t\t%>",
                       tabs(4, kDelete), tabs(4, kUpdate), "\t\t\t\t<%", "\t\t\tEnd If", "\t\t\t%>",
                       "\t\t\t</TR></TABLE>", "\t\t\t<%", "\tEnd Select"}) +
                kActionTail);

  // Without navigation the form goes back with Cancel; with neither Delete
  // nor Update there is no guard.
  options(true, false, false);
  navigation(false, false, false, false);
  EXPECT_EQ(fsASPDisplayRecordAction(ctx),
            actionHead() + addingCases() +
                lines({tabs(3, kCancel), "\t\t\t</TR></TABLE>", "\t\t\t<%", "\tEnd Select"}) + kActionTail);
}

TEST_F(FormDisplay, ActionButtonsOfAListFormThatDoesNotAdd) {
  data.SetNodeText(wiz::ProjectType, "ListForm");
  options(false, true, false);
  navigation(false, false, false, false);
  EXPECT_EQ(fsASPDisplayRecordAction(ctx),
            actionHead() + lines({"\t%>", "\t<TABLE BORDER=\"0\"><TR>", tabs(1, kCancel), "\t\t<%",
                                  "\tIf Not mbEmptyRS Then", "\t\t%>", tabs(2, kUpdate), "\t\t<%", "\tEnd If",
                                  "\t\t%>", "\t</TR></TABLE>", "\t<%"}) +
                kActionTail);

  // Navigating on its own: List, then the guarded Delete.
  options(false, false, true);
  navigation(true, true, true, false);
  EXPECT_EQ(fsASPDisplayRecordAction(ctx),
            actionHead() + lines({"\t%>", "\t<TABLE BORDER=\"0\"><TR>", tabs(1, kList), "\t\t<%",
                                  "\tIf Not mbEmptyRS Then", "\t\t%>", tabs(2, kDelete), "\t\t<%", "\tEnd If",
                                  "\t\t%>", "\t</TR></TABLE>", "\t<%"}) +
                kActionTail);

  // Allowing nothing: the way back to the list only.
  options(false, false, false);
  navigation(false, false, false, false);
  EXPECT_EQ(fsASPDisplayRecordAction(ctx),
            actionHead() + lines({"\t%>", "\t<TABLE BORDER=\"0\"><TR>", tabs(1, kList), "\t</TR></TABLE>", "\t<%"}) +
                kActionTail);
}

TEST_F(FormDisplay, ActionButtonsOfAFormOnlyProject) {
  // Adding only: the guard is written with nothing inside.
  options(true, false, false);
  EXPECT_EQ(fsASPDisplayRecordAction(ctx),
            actionHead() + addingCases() +
                lines({tabs(3, kAdd), "\t\t\t<%", "\t\t\tIf Not mbEmptyRS Then", "\t\t\t\t%>", "\t\t\t\t<%",
                       "\t\t\tEnd If", "\t\t\t%>", "\t\t\t</TR></TABLE>", "\t\t\t<%", "\tEnd Select"}) +
                kActionTail);

  options(false, true, true);
  EXPECT_EQ(fsASPDisplayRecordAction(ctx),
            actionHead() + lines({"\t\t%>", "\t\t<TABLE BORDER=\"0\"><TR>", tabs(2, kDelete), tabs(2, kUpdate),
                                  "\t\t</TR></TABLE>", "\t\t<%"}) +
                kActionTail);
}

// The rows of DisplayForm around one control: label, cell, error line.
std::string row(std::string_view label, std::string_view cellLine, bool errors, std::string_view field) {
  std::string text = lines({"\t<TR>", tabs(2, "<TH>" + std::string(label) + "</TH>")});
  text += cellLine;
  if (errors) text += lines({tabs(2, "<%= gfsFieldError(\"" + std::string(field) + "\") %>")});
  text += lines({"\t\t</TD>", "\t</TR>", "\t"});
  return text;
}

TEST_F(FormDisplay, RecordWithoutDataActions) {
  navigation(false, false, false, false);
  field("Name", "202", "Text (40)", "40", true);
  field("Notes", "203", "Long Text", "0");
  field("Code", "3", "Integer", "", false, true);
  field("Active", "11", "Boolean", "2");
  EXPECT_EQ(
      fsASPDisplayForm(ctx),
      lines({"Sub DisplayForm()", "", "\tDim rs", "", "\tSet rs = frsGetRecordset", "\tIf rs.BOF OR rs.EOF Then",
             "\t\tResponse.Write \"<SPAN CLASS=\"\"UserMessage\"\">Empty Table</SPAN><BR><BR>\"", "\t\trs.Close",
             "\t\tset rs = nothing", "\t\tExit Sub", "\tElse", "\t\tmsPK = rs(\"OrderID\")",
             "\t\tResponse.Write \"<INPUT TYPE=\"\"HIDDEN\"\" NAME=\"\"PK\"\" VALUE=\"\"\" & gfsHTMLEncode(msPK) & \"\"\">\"",
             "\tEnd If", "\t%>", "\t<TABLE CLASS=\"FormTable\" BORDER=1 CELLSPACING=0 CELLPADDING=3><TBODY>"}) +
          row("Name label",
              lines({"\t\t<TD><INPUT TYPE=\"Text\" NAME=\"Name\" VALUE=\"<%= gfsFieldValue(rs,\"Name\") %>\" SIZE=\"40\" "
                     "MAXLENGTH=\"40\" >"}),
              false, "Name") +
          row("Notes label",
              lines({"\t\t<TD><TEXTAREA NAME=\"Notes\" ROWS=\"5\" COLS=\"50\"><%= gfsFieldValue(rs,\"Notes\") "
                     "%></TEXTAREA>"}),
              false, "Notes") +
          row("Code label",
              lines({"\t\t<TD><INPUT TYPE=\"Text\" NAME=\"Code\" VALUE=\"<%= gfsFieldValue(rs,\"Code\") %>\" DISABLED "
                     "CLASS=\"READONLY\" >",
                     "\t\t<!-- If DISABLED then result will not be posted back - important for failed updates where "
                     "we want to show the last value entered -->",
                     "\t\t<INPUT TYPE=\"HIDDEN\" NAME=\"Code\" VALUE=\"<%= gfsFieldValue(rs,\"Code\") %>\" >"}),
              false, "Code") +
          row("Active label",
              lines({"\t\t<TD><INPUT TYPE=\"Checkbox\" NAME=\"Active\" VALUE=\"1\" <%= "
                     "gfsFieldChecked(gfsFieldValue(rs,\"Active\")) %>>"}),
              false, "Active") +
          lines({"\t</TBODY></TABLE>", "\t<%", "", "\trs.Close", "\tset rs = nothing", "", "End Sub", ""}));
}

TEST_F(FormDisplay, RecordWithDataActionsNavigationAndEveryLookup) {
  options(true, false, false);
  navigation(true, true, true, true);
  field("Size 0", "3", "Integer", "0", false, true);
  lookup("ShipVia", "DatabaseTable", "SelectList", true);
  lookup("ShipBy", "DatabaseTable", "SelectList");
  lookup("Carrier", "DatabaseTable", "RadioList");
  lookup("Region", "ManualList", "SelectList", true);
  lookup("Area", "ManualList", "RadioList");
  XmlNode aliased = lookup("Sender", "DatabaseTable", "SelectList", false, true);
  data.SetSubNodeText(aliased, wiz::LookupShowFieldAlias, "Shippers_CompanyName");
  XmlNode blank = lookup("Receiver", "DatabaseTable", "RadioList", false, true);
  data.SetSubNodeText(blank, wiz::LookupShowFieldAlias, "   ");
  lookup("Zone", "ManualList", "SelectList", false, true);
  lookup("Odd", "SomethingElse", "SelectList");
  field("Memo", "201", "Long Text", "", false, true);
  field("Paid", "11", "Boolean", "2", false, true);

  const std::string db = R"("Shippers","ShipperID","CompanyName")";
  EXPECT_EQ(
      fsASPDisplayForm(ctx),
      lines({"Sub DisplayForm()", "", "\tDim rs", "",
             "\tIf msDataAction <> sADD_BUTTON And msDataAction <> sINSERT_BUTTON Then",
             "\t\t' Unless we are in the process of adding a record then get the",
             "\t\t' record from the database ready for display.", "\t\tSet rs = frsGetRecordset",
             "\t\tIf rs.BOF OR rs.EOF Then",
             "\t\t\tResponse.Write \"<SPAN CLASS=\"\"UserMessage\"\">Empty Table</SPAN><BR><BR>\"", "\t\t\trs.Close",
             "\t\t\tset rs = nothing", "\t\t\tmbEmptyRS = true", "\t\t\tExit Sub", "\t\tElse",
             "\t\t\tmsPK = rs(\"OrderID\")",
             "\t\t\tResponse.Write \"<INPUT TYPE=\"\"HIDDEN\"\" NAME=\"\"PK\"\" VALUE=\"\"\" & gfsHTMLEncode(msPK) & "
             "\"\"\">\"",
             "\t\tEnd If", "\tEnd If", "", "\t%>",
             "\t<INPUT TYPE=\"HIDDEN\" NAME=\"CurrRecord\" VALUE=\"<%= gfsHTMLEncode(mnCurrRecord) %>\">",
             "\t<TABLE CLASS=\"FormTable\" BORDER=1 CELLSPACING=0 CELLPADDING=3><TBODY>"}) +
          row("Size 0 label",
              lines({"\t\t<TD><INPUT TYPE=\"Text\" NAME=\"Size 0\" VALUE=\"<%= gfsFieldValue(rs,\"Size 0\") %>\" "
                     "DISABLED CLASS=\"READONLY\" >",
                     "\t\t<!-- If DISABLED then result will not be posted back - important for failed updates where "
                     "we want to show the last value entered -->",
                     "\t\t<INPUT TYPE=\"HIDDEN\" NAME=\"Size 0\" VALUE=\"<%= gfsFieldValue(rs,\"Size 0\") %>\" >"}),
              true, "Size 0") +
          // Editable lookups leave their line open: the error line's tabs
          // follow on it.
          row("ShipVia label",
              "\t\t<TD><% gGenerateHTMLSelect \"ShipVia\", gfsFieldValue(rs,\"ShipVia\"), " + db + ",true %>",
              true, "ShipVia") +
          row("ShipBy label",
              "\t\t<TD><% gGenerateHTMLSelect \"ShipBy\", gfsFieldValue(rs,\"ShipBy\"), " + db + ",false %>", true,
              "ShipBy") +
          row("Carrier label",
              "\t\t<TD><% gGenerateHTMLRadioInputs \"Carrier\", gfsFieldValue(rs,\"Carrier\"), " + db + " %>", true,
              "Carrier") +
          row("Region label",
              "\t\t<TD><% gGenerateHTMLSelectFromArray \"Region\", gfsFieldValue(rs,\"Region\"), maRegion,true %>",
              true, "Region") +
          row("Area label", "\t\t<TD><% gGenerateHTMLRadioInputsFromArray \"Area\", gfsFieldValue(rs,\"Area\"), maArea %>",
              true, "Area") +
          row("Sender label",
              lines({"\t\t<TD><INPUT TYPE=\"Text\" NAME=\"Sender\" VALUE=\"<%= gfsFieldValue(rs,\"Shippers_CompanyName\") "
                     "%>\" DISABLED CLASS=\"READONLY\" >"}),
              true, "Sender") +
          row("Receiver label",
              lines({"\t\t<TD><INPUT TYPE=\"Text\" NAME=\"Receiver\" VALUE=\"<%= gfsFieldValue(rs,\"CompanyName\") %>\" "
                     "DISABLED CLASS=\"READONLY\" >"}),
              true, "Receiver") +
          row("Zone label",
              lines({"\t\t<TD><INPUT TYPE=\"Text\" NAME=\"Zone\" VALUE=\"<%= "
                     "gfsHTMLEncode(gfsArrayValue(maZone,gfsFieldValue(rs,\"Zone\"))) %>\" DISABLED "
                     "CLASS=\"READONLY\" >"}),
              true, "Zone") +
          // An unknown lookup type writes no control.
          row("Odd label", "\t\t<TD>", true, "Odd") +
          row("Memo label",
              lines({"\t\t<TD><TEXTAREA NAME=\"Memo\" ROWS=\"5\" COLS=\"50\" DISABLED CLASS=\"READONLY\" ><%= "
                     "gfsFieldValue(rs,\"Memo\") %></TEXTAREA>",
                     "\t\t<!-- If DISABLED then result will not be posted back - important for failed updates where "
                     "we want to show the last value entered -->",
                     "\t\t<INPUT TYPE=\"HIDDEN\" NAME=\"Memo\" VALUE=\"<%= gfsFieldValue(rs,\"Memo\") %>\" >"}),
              true, "Memo") +
          row("Paid label",
              lines({"\t\t<TD><INPUT TYPE=\"Checkbox\" NAME=\"Paid\" VALUE=\"1\" <%= "
                     "gfsFieldChecked(gfsFieldValue(rs,\"Paid\")) %> DISABLED CLASS=\"READONLY\" >",
                     "\t\t<!-- If DISABLED then result will not be posted back - important for failed updates where "
                     "we want to show the last value entered -->",
                     "\t\t<INPUT TYPE=\"HIDDEN\" NAME=\"Paid\" VALUE=\"<%= gfsFieldValue(rs,\"Paid\") %>\" >"}),
              true, "Paid") +
          lines({"\t</TBODY></TABLE>", "\t<%", "",
                 "\tIf msDataAction <> sADD_BUTTON And msDataAction <> sINSERT_BUTTON Then", "\t\trs.Close",
                 "\t\tset rs = nothing", "\tEnd IF", "", "End Sub", ""}));
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(FormDisplay, NamesInsideStringLiteralsAreQuoteDoubled) {
  data.SetNodeText(wiz::PrimaryKey, "Key\"Col");
  field("Odd\"Name", "202", "Text (5)", "5");
  std::string text = fsASPDisplayForm(ctx);
  EXPECT_NE(text.find("\t\tmsPK = rs(\"Key\"\"Col\")\r\n"), std::string::npos) << text;
  // The HTML attribute keeps the name; the script's literal doubles it.
  EXPECT_NE(text.find("NAME=\"Odd\"Name\" VALUE=\"<%= gfsFieldValue(rs,\"Odd\"\"Name\") %>\""), std::string::npos)
      << text;
}

TEST_F(FormDisplay, ATableWithoutAKeyCarriesNoKey) {
  data.SetNodeText(wiz::PrimaryKey, "");
  field("Name", "202", "Text (40)", "40");
  std::string text = fsASPDisplayForm(ctx);
  EXPECT_NE(text.find("\t\tExit Sub\r\n\tElse\r\n\tEnd If\r\n\t%>\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("msPK"), std::string::npos);
}

}  // namespace
}  // namespace tvk::gen
