#include "generator/list_page.h"

#include "base/ado_routines.h"
#include "base/general.h"
#include "generator/code_printer.h"
#include "generator/data_actions.h"
#include "generator/gen_context.h"
#include "generator/list_routines.h"
#include "generator/page_safety.h"
#include "generator/shared_routines.h"
#include "wizdata/xml_wiz_constants.h"

namespace tvk::gen {

namespace {

// The four pieces of the navigation bar's table.
constexpr std::string_view kNavOpen =
    R"(Response.Write "<BR><TABLE BORDER=0 WIDTH=""100%""><TR><TD VALIGN=""middle"" ALIGN=""left"">")";
constexpr std::string_view kNavMiddle = R"(Response.Write "</TD><TD VALIGN=""middle"" ALIGN=""right"">")";
constexpr std::string_view kNavRow = R"(Response.Write "</TD></TR><TR><TD COLSPAN=""2"">")";
constexpr std::string_view kNavClose = R"(Response.Write "</TD></TR></TABLE>")";

void includesAndConstants(CodePrinter& p, const GenContext& ctx, const ListFlags& f) {
  std::string inc = gfsRelativePath(ctx.text(wiz::FileDirectory), ctx.text(wiz::IncludeDirectory));
  p.emit(R"(
' *** INCLUDE FILES ***********************************************************
%>
<!--#INCLUDE file="$Inc$incTVKWDisplay.asp" -->
)",
         {{"Inc", inc}});
  if (f.actions) p.emit("<!--#INCLUDE file=\"$Inc$incTVKWAction.asp\" -->\n", {{"Inc", inc}});
  p.emit(R"(
<%
' *** CONSTANTS ***************************************************************
)");
  if (f.paging) p.emit("Const mnPAGE_SIZE = $N$\n", {{"N", ctx.text(wiz::RecordsPerPage)}});
  std::string maxDirect = ctx.text(wiz::MaxDirectPages);
  if (f.pageLinks && !maxDirect.empty()) p.emit("Const mnMAX_DIRECT_PAGES = $N$\n", {{"N", maxDirect}});
  if (f.actions || f.listForm) {
    p.emit(R"(
' These constants are used to label the buttons
Const sEDIT_BUTTON = "Edit"
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add"
)");
  }
  if (f.actions) {
    p.emit(R"(
Const sUPDATE_BUTTON = "Update"
Const sCANCEL_BUTTON = "Cancel"
)");
  }
  if (f.remove) p.emit("Const sDELETE_BUTTON = \"Delete\"\n");
  p.blank();
}

void globalVariables(CodePrinter& p, const ListFlags& f, const std::string& lookupArrays) {
  p.emit(R"(
' *** GLOBAL VARS *************************************************************
Dim mDbCon
)");
  if (f.paging) {
    p.emit(R"(
Dim mnCurrPage
Dim mnMaxPage
)");
  }
  if (f.sorting) {
    p.emit(R"(
Dim msSortField
Dim msSortOrder
Dim msSortOrderURL
)");
  }
  if (f.listForm || f.actions) p.emit("Dim msPK\n");
  if (f.actions) {
    p.emit(R"(
Dim msDataAction
Dim mDictFieldErrors   ' Holds database field errors in a Dictionary object.
Dim msUserMessage      ' Message to display to user after data action (e.g. update = Record Updated)
)");
  }
  if (!lookupArrays.empty()) {
    p.line("' Define arrays used for lookup tables");
    p.block(lookupArrays);
    p.blank();
  }
  p.blank();
}

void setup(CodePrinter& p, const GenContext& ctx, const ListFlags& f, bool lookups) {
  p.emit("' *** SETUP *******************************************************************\n");
  if (lookups) {
    p.emit(R"(
' Setup any arrays needed for the lookup tables
GenerateLookupArrays

)");
  }
  if (f.actions) p.block(fsASPReadDataAction());
  if (f.listForm || f.actions) {
    p.emit(R"(
' If we have been passed a primary key, get it
msPK = Request("PK")

)");
  }
  if (f.paging) p.emit("mnCurrPage = Request(\"CurrPage\")\n");
  if (f.sorting) {
    p.block(fsASPSortRequest(ctx));
  }
  p.blank();
}

void navigationBar(CodePrinter& p, const GenContext& ctx, const ListFlags& f) {
  if (f.actions) {
    // Hidden while a record is being edited.
    bool table = f.navButtons || f.pageLinks || f.listForm || f.add;
    p.emit(R"(
'Only display navigation buttons if not in middle of edit operation
If msDataAction = "" Then
)");
    {
      auto in = p.indent();
      if (table) p.line(kNavOpen);
      if (f.navButtons) p.line("DisplayPageNavButtons");
      if (table) p.line(kNavMiddle);
      if (f.listForm || f.add) p.line("DisplayAddButton");
      if (f.pageLinks) p.line(kNavRow);
      if (f.pageLinks) p.line("DisplayDirectPageNav");
      if (table) p.line(kNavClose);
    }
    p.line("End If");
    return;
  }
  if (!(f.navButtons || f.pageLinks || f.listForm)) return;
  p.line(kNavOpen);
  if (f.navButtons) p.line("DisplayPageNavButtons");
  p.line(kNavMiddle);
  if (f.listForm && ctx.isTrue(wiz::FormAllowAddRecord)) p.line("DisplayAddButton");
  p.line(kNavRow);
  if (f.pageLinks) p.line("DisplayDirectPageNav");
  p.line(kNavClose);
}

void pageBody(CodePrinter& p, const GenContext& ctx, const ListFlags& f) {
  p.block(fsASPOpenDBConnection(ctx));
  p.blank();
  if (f.actions) {
    p.emit(R"(
' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this could change DataAction state
PerformDataActions

)");
  }
  p.line("%>");
  p.block(fsHTMLStandardHeader(ctx));
  p.line("<%");
  p.blank();
  if (f.actions) {
    p.line("Response.write msUserMessage");
    p.blank(2);
  }
  p.line("DisplayList ");
  p.blank();
  navigationBar(p, ctx, f);
  p.blank();
  p.line("%>");
  p.block(fsHTMLStandardFooter());
  p.emit(R"(
<%

' *** TERMINATE ***************************************************************
' Close database connection
mDbCon.Close
)");
  p.line("set mDbCon = Nothing ");
  p.blank(2);
}

void routines(CodePrinter& p, const GenContext& ctx, const ListFlags& f, bool lookups) {
  auto routine = [&](const std::string& text) {
    p.block(text);
    p.blank();
  };
  p.emit(R"(
' *** ROUTINES ****************************************************************

)");
  routine(fsASPDisplayList(ctx));
  routine(fsASPDisplayListHeader(ctx));
  if (f.sorting) routine(fsASPSortingHeader(ctx));
  routine(fsASPDisplayListLine(ctx));
  if (f.actions) routine(fsASPDisplayEditLine(ctx));
  if (f.navButtons) routine(fsASPDisplayPageNavButtons(ctx));
  if (f.pageLinks) routine(fsASPDisplayDirectPageNav(ctx));
  if (f.listForm || f.add) routine(fsASPDisplayAddButton(ctx));
  p.emit(R"(

' *** DATABASE ROUTINES *******************************************************

)");
  if (f.actions) routine(fsASPListPerformDataActions(ctx));
  routine(fsASPListGetRecordset(ctx));
  if (f.add) routine(fsASPListInsertRecord(ctx));
  if (f.update) routine(fsASPListUpdateRecord(ctx));
  if (f.remove) routine(fsASPDeleteRecord(ctx));
  if (lookups) routine(fsASPGenerateLookupArrays(ctx));
  p.line("%>");
}

}  // namespace

std::string fsListPageText(const GenContext& ctx) {
  ListFlags f = listFlags(ctx);
  std::string lookupArrays = fsASPDefineLookupArrays(ctx);
  bool lookups = !lookupArrays.empty();

  CodePrinter p;
  p.block(fsASPStandardHeader(ctx));
  includesAndConstants(p, ctx, f);
  globalVariables(p, f, lookupArrays);
  setup(p, ctx, f, lookups);
  pageBody(p, ctx, f);
  routines(p, ctx, f, lookups);
  return p.take();
}

std::string fsASPDisplayList(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDisplayList", [&](CodePrinter& p) {
    ListFlags f = listFlags(ctx);
    p.emit(R"(
Sub DisplayList

  ' Gets the records to display, and loops through the recordset displaying
  ' a table row for each record.

  Dim rs
  Dim i
  Dim bEvenLine
  i = 0
  set rs = frsGetRecordset

  Response.Write "<TABLE CLASS=""ListTable"" WIDTH=""100%"" $Attributes$>"
  DisplayListHeader
  Response.Write "<TBODY>"

)",
           {{"Attributes", fsHTMLTableAttributes(ctx)}});
    if (f.add) {
      p.emit(R"(
  If msDataAction = sADD_BUTTON Or msDataAction = sINSERT_BUTTON Then
    DisplayEditLine rs
  End If

)");
    }
    p.emit(f.paging ? "  Do Until i = mnPAGE_SIZE Or rs.EOF\n" : "  Do Until rs.EOF\n");
    if (f.update || f.remove) {
      p.emit(R"(

    If CStr(rs("$PK$")) = msPK AND ( msDataAction = sEDIT_BUTTON OR msDataAction = sUPDATE_BUTTON ) Then
      DisplayEditLine rs
    Else
      bEvenLine = i Mod 2
      DisplayListLine rs, bEvenLine
    End If
)",
             {{"PK", gsQuoteDoubled(ctx.text(wiz::PrimaryKey))}});
    } else {
      p.emit(R"(
    bEvenLine = i Mod 2
    DisplayListLine rs, bEvenLine
)");
    }
    p.emit(R"(

    i = i + 1
    rs.MoveNext
  Loop

  rs.Close
  Set rs = Nothing

  Response.Write "</TBODY></TABLE>"

End Sub

)");
  });
}

std::string fsASPDisplayListHeader(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDisplayListHeader", [&](CodePrinter& p) {
    ListFlags f = listFlags(ctx);
    p.emit(R"(
Sub DisplayListHeader
  ' Display the header for the table
  Response.write "<THEAD><TR>"
)");
    if (f.editColumn) p.emit("  Response.write \"<TH>Edit</TH>\"\n");
    for (const FieldInfo& field : ctx.listFields()) {
      // Labels and sort names stand inside string literals of the page.
      if (field.isSortable())
        p.emit(R"(  Response.write "<TH>" & fsSortingHeader("$SortName$","$Label$") & "</TH>")" "\n",
               {{"SortName", gsQuoteDoubled(fsSortName(ctx, field))}, {"Label", gsQuoteDoubled(field.label)}});
      else
        p.emit(R"(  Response.write "<TH>$Label$</TH>")" "\n", {{"Label", gsQuoteDoubled(field.label)}});
    }
    p.emit(R"(
  Response.write "</TR></THEAD>"
End Sub

)");
  });
}

std::string fsASPSortingHeader(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPSortingHeader", [&](CodePrinter& p) {
    // The markers stand inside string literals of the page.
    std::string ascending = gsQuoteDoubled(fsHTMLGraphic(ctx, kMarkerSortAscending));
    std::string descending = gsQuoteDoubled(fsHTMLGraphic(ctx, kMarkerSortDescending));
    p.emit(R"(
Function fsSortingHeader(sFieldName, sDisplayName)

  ' Handles generating the URL for the table headers that when
  ' clicked on will change the sort order

  Dim sNextSortOrder

  ' If re-sort on same field then
  If sFieldName = msSortField Then
    ' Toggle sort order
    If msSortOrder = "ASC" Then
      sNextSortOrder = "DESC"
    Else
      sNextSortOrder = "ASC"
    End If
  Else
    ' Sort on new field, so start sorting in ascending order
    sNextSortOrder = "ASC"
  End If

  fsSortingHeader = "<A HREF='?SortField=" & Server.URLEncode(sFieldName) & "&SortOrder=" & sNextSortOrder & "'>" & sDisplayName
  If sFieldName = msSortField Then
    ' If we are currently sorting by this field then display this to user
    If msSortOrder = "ASC" Then
      fsSortingHeader = fsSortingHeader & "&nbsp;$Asc$" ' Ascending order
    Else
      fsSortingHeader = fsSortingHeader & "&nbsp;$Desc$" ' Descending order
    End If
  End If
  fsSortingHeader = fsSortingHeader & "</A>"

End Function

)",
           {{"Asc", ascending}, {"Desc", descending}});
  });
}

std::string fsASPDisplayListLine(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDisplayListLine", [&](CodePrinter& p) {
    ListFlags f = listFlags(ctx);
    p.emit(R"(
Sub DisplayListLine (rs, bEvenLine)

  ' Display the current record as a row in the list table

  If bEvenLine Then
    Response.write "<TR CLASS=""EvenLine"">"
  Else
    Response.write "<TR CLASS=""OddLine"">"
  End If
)");
    {
      auto in = p.indent();
      if (f.editColumn) {
        // A list page edits in its own edit row; a list-with-form project's
        // list opens the form page.
        std::string start =
            f.listForm
                ? substitute(R"(Response.write "<TH><A HREF=""$Project$Form.asp?DataAction=" & sEDIT_BUTTON & "&PK=" & rs(")",
                             {{"Project", gsQuoteDoubled(ctx.projectName())}})
                : std::string(R"(Response.write "<TH><A HREF=""?DataAction=" & sEDIT_BUTTON & "&PK=" & rs(")");
        std::string_view tail;
        if (f.sorting && f.paging) tail = R"(") & "&CurrPage=" & mnCurrPage & msSortOrderURL & """>)";
        else if (f.sorting) tail = R"(") & msSortOrderURL & """>)";
        else if (f.paging) tail = R"(") & "&CurrPage=" & mnCurrPage & """>)";
        else tail = R"(") & """>)";
        p.line(start + gsQuoteDoubled(ctx.text(wiz::PrimaryKey)) + std::string(tail) +
               gsQuoteDoubled(fsHTMLGraphic(ctx, kMarkerEditRecord)) + R"(</A></TH>")");
      }
      for (const FieldInfo& field : ctx.listFields()) {
        std::string name = gsQuoteDoubled(field.name);
        if (field.usesLookup()) {
          if (field.lookupType == wiz::kLookupDatabaseTable)
            p.line(substitute(R"(Response.write "<TD>" & gfsFormatOutput(rs("$Col$")) & "</TD>")",
                              {{"Col", gsQuoteDoubled(field.shownColumn())}}));
          else if (field.lookupType == wiz::kLookupManualList)
            p.line(substitute(
                R"(Response.write "<TD>" & gfsFormatOutput(gfsArrayValue(ma$A$,rs("$F$"))) & "</TD>")",
                {{"A", field.name}, {"F", name}}));
          continue;
        }
        if (isWholeNumber(field.dataType) &&
            gfnBaseDataType(dataTypeCode(field.dataType, "field " + field.name)) == adotype::Boolean)
          p.line(substitute(
              R"(Response.write "<TD><INPUT TYPE=""CHECKBOX"" " & gfsFieldChecked(rs("$F$")) & " DISABLED></TD>")",
              {{"F", name}}));
        else
          p.line(substitute(R"(Response.write "<TD>" & gfsFormatOutput(rs("$F$")) & "</TD>")", {{"F", name}}));
      }
      p.line(R"(Response.write "</TR>")");
    }
    p.emit(R"(

End Sub

)");
  });
}

}  // namespace tvk::gen
