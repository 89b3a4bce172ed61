#include "generator/list_page.h"

#include "base/general.h"
#include "generator/code_printer.h"
#include "generator/data_actions.h"
#include "generator/field_types.h"
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

// The navigation bar under the list: step buttons on the left, the Add
// button on the right, page-number links in a row below. `shown` writes the
// table's own lines, `pageRow` the row of the page-number links (a list
// without data actions writes it even without links).
void navigationTable(CodePrinter& p, bool shown, const ListFlags& f, bool add, bool pageRow) {
  p.emit(R"(
$Open$
$Buttons$
$Middle$
$Add$
$Row$
$Links$
$Close$
)",
         {{"Open", p.lineIf(shown, kNavOpen)},
          {"Buttons", p.lineIf(f.navButtons, "DisplayPageNavButtons")},
          {"Middle", p.lineIf(shown, kNavMiddle)},
          {"Add", p.lineIf(add, "DisplayAddButton")},
          {"Row", p.lineIf(pageRow, kNavRow)},
          {"Links", p.lineIf(f.pageLinks, "DisplayDirectPageNav")},
          {"Close", p.lineIf(shown, kNavClose)}});
}

void navigationBar(CodePrinter& p, const GenContext& ctx, const ListFlags& f) {
  if (f.actions) {
    // Hidden while a record is being edited.
    bool table = f.navButtons || f.pageLinks || f.listForm || f.add;
    p.emit(R"(
'Only display navigation buttons if not in middle of edit operation
If msDataAction = "" Then
  $Table$
End If
)",
           {{"Table", [&] { navigationTable(p, table, f, f.listForm || f.add, f.pageLinks); }}});
    return;
  }
  if (!(f.navButtons || f.pageLinks || f.listForm)) return;
  navigationTable(p, true, f, f.listForm && ctx.isTrue(wiz::FormAllowAddRecord), true);
}

}  // namespace

std::string fsListPageText(const GenContext& ctx) {
  ListFlags f = listFlags(ctx);
  std::string lookupArrays = fsASPDefineLookupArrays(ctx);
  bool lookups = !lookupArrays.empty();
  bool keyed = f.listForm || f.actions;  // the page carries a record's key
  std::string maxDirect = ctx.text(wiz::MaxDirectPages);
  std::string inc = gfsRelativePath(ctx.text(wiz::FileDirectory), ctx.text(wiz::IncludeDirectory));

  CodePrinter p;
  // A routine of the page with the empty line after it, when `on`.
  auto routine = [&](bool on, std::string (*writer)(const GenContext&)) {
    return [&p, &ctx, on, writer] {
      if (!on) return;
      p.block(writer(ctx));
      p.blank();
    };
  };
  // (The lines "DisplayList " and "set mDbCon = Nothing " end in a blank.)
  p.emit(R"(
$StandardHeader$
$IncludesBanner$
%>
<!--#INCLUDE file="$Inc$incTVKWDisplay.asp" -->
$ActionInclude$
<%
$ConstantsBanner$
$Constants$

$GlobalsBanner$
Dim mDbCon
$Globals$

$SetupBanner$
$Setup$

$OpenConnection$

$PerformDataActions$
%>
$HTMLHeader$
<%

$UserMessage$
DisplayList 

$Navigation$

%>
$HTMLFooter$
<%

$TerminateBanner$
' Close database connection
mDbCon.Close
set mDbCon = Nothing 


$RoutinesBanner$

$DisplayList$
$DisplayListHeader$
$SortingHeader$
$DisplayListLine$
$DisplayEditLine$
$DisplayPageNavButtons$
$DisplayDirectPageNav$
$DisplayAddButton$

$DatabaseRoutinesBanner$

$PerformDataActionsRoutine$
$GetRecordset$
$InsertRecord$
$UpdateRecord$
$DeleteRecord$
$GenerateLookupArrays$
%>
)",
         {{"StandardHeader", [&] { p.block(fsASPStandardHeader(ctx)); }},
          {"IncludesBanner", fsBanner("INCLUDE FILES")},
          {"Inc", inc},
          {"ActionInclude",
           [&] {
             if (f.actions) p.emit("<!--#INCLUDE file=\"$Inc$incTVKWAction.asp\" -->\n", {{"Inc", inc}});
           }},
          {"ConstantsBanner", fsBanner("CONSTANTS")},
          {"Constants",
           [&] {
             if (f.paging) p.emit("Const mnPAGE_SIZE = $N$\n", {{"N", ctx.text(wiz::RecordsPerPage)}});
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
           }},
          {"GlobalsBanner", fsBanner("GLOBAL VARS")},
          {"Globals",
           [&] {
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
             if (keyed) p.emit("Dim msPK\n");
             if (f.actions) {
               p.emit(R"(
Dim msDataAction
Dim mDictFieldErrors   ' Holds database field errors in a Dictionary object.
Dim msUserMessage      ' Message to display to user after data action (e.g. update = Record Updated)
)");
             }
             if (lookups) {
               p.emit("' Define arrays used for lookup tables\n");
               p.block(lookupArrays);
               p.blank();
             }
           }},
          {"SetupBanner", fsBanner("SETUP")},
          {"Setup",
           [&] {
             if (lookups) {
               p.emit(R"(
' Setup any arrays needed for the lookup tables
GenerateLookupArrays

)");
             }
             if (f.actions) p.block(fsASPReadDataAction());
             if (keyed) {
               p.block(fsASPReadPostedFirst("' If we have been passed a primary key, get it", "msPK", "PK"));
             }
             if (f.paging) p.emit("mnCurrPage = Request(\"CurrPage\")\n");
             if (f.sorting) p.block(fsASPSortRequest(ctx));
           }},
          {"OpenConnection", [&] { p.block(fsASPOpenDBConnection(ctx)); }},
          {"PerformDataActions",
           [&] {
             if (!f.actions) return;
             p.emit(R"(
' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this could change DataAction state
PerformDataActions

)");
           }},
          {"HTMLHeader", [&] { p.block(fsHTMLStandardHeader(ctx)); }},
          {"UserMessage",
           [&] {
             if (!f.actions) return;
             p.emit("Response.write msUserMessage\n");
             p.blank(2);
           }},
          {"Navigation", [&] { navigationBar(p, ctx, f); }},
          {"HTMLFooter", [&] { p.block(fsHTMLStandardFooter()); }},
          {"TerminateBanner", fsBanner("TERMINATE")},
          {"RoutinesBanner", fsBanner("ROUTINES")},
          {"DisplayList", routine(true, fsASPDisplayList)},
          {"DisplayListHeader", routine(true, fsASPDisplayListHeader)},
          {"SortingHeader", routine(f.sorting, fsASPSortingHeader)},
          {"DisplayListLine", routine(true, fsASPDisplayListLine)},
          {"DisplayEditLine", routine(f.actions, fsASPDisplayEditLine)},
          {"DisplayPageNavButtons", routine(f.navButtons, fsASPDisplayPageNavButtons)},
          {"DisplayDirectPageNav", routine(f.pageLinks, fsASPDisplayDirectPageNav)},
          {"DisplayAddButton", routine(f.listForm || f.add, fsASPDisplayAddButton)},
          {"DatabaseRoutinesBanner", fsBanner("DATABASE ROUTINES")},
          {"PerformDataActionsRoutine", routine(f.actions, fsASPListPerformDataActions)},
          {"GetRecordset", routine(true, fsASPListGetRecordset)},
          {"InsertRecord", routine(f.add, fsASPListInsertRecord)},
          {"UpdateRecord", routine(f.update, fsASPListUpdateRecord)},
          {"DeleteRecord", routine(f.remove, fsASPDeleteRecord)},
          {"GenerateLookupArrays", routine(lookups, fsASPGenerateLookupArrays)}});
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
             {{"PK", fsVBStringText(ctx.text(wiz::PrimaryKey))}});
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
        p.emit(
            R"(  Response.write "<TH>" & fsSortingHeader("$SortName$","$Label$") & "</TH>")"
            "\n",
            {{"SortName", fsVBStringText(fsSortName(ctx, field))}, {"Label", fsVBStringText(fsHTMLText(field.label))}});
      else
        p.emit(R"(  Response.write "<TH>$Label$</TH>")"
               "\n",
               {{"Label", fsVBStringText(fsHTMLText(field.label))}});
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
    std::string ascending = fsVBStringText(fsHTMLGraphic(ctx, kMarkerSortAscending));
    std::string descending = fsVBStringText(fsHTMLGraphic(ctx, kMarkerSortDescending));
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
        // list opens the form page. The link carries the list's page and
        // sort order, so that the list comes back as it was.
        p.emit(
            R"(Response.write "<TH><A HREF=""" & $HTMLEncode$("$Page$?DataAction=" & sEDIT_BUTTON & "&PK=" & $URLEncode$(rs("$PK$"))$CurrPage$$SortOrder$) & """>$Marker$</A></TH>")"
            "\n",
            {{"Page", f.listForm ? fsVBStringText(fsURLText(ctx.projectName())) + "Form.asp" : std::string()},
             {"PK", fsVBStringText(ctx.text(wiz::PrimaryKey))},
             {"CurrPage", f.paging ? R"( & "&CurrPage=" & mnCurrPage)" : ""},
             {"SortOrder", f.sorting ? " & msSortOrderURL" : ""},
             {"Marker", fsVBStringText(fsHTMLGraphic(ctx, kMarkerEditRecord))},
             {"HTMLEncode", kHTMLEncode},
             {"URLEncode", kURLEncodeValue}});
      }
      for (const FieldInfo& field : ctx.listFields()) {
        std::string name = fsVBStringText(field.name);
        if (field.usesDatabaseLookup())
          p.emit(R"(Response.write "<TD>" & gfsFormatOutput(rs("$Col$")) & "</TD>")"
                 "\n",
                 {{"Col", fsVBStringText(field.shownColumn())}});
        else if (field.usesManualList())
          p.emit(R"(Response.write "<TD>" & gfsFormatOutput(gfsArrayValue($A$,rs("$F$"))) & "</TD>")"
                 "\n",
                 {{"A", field.arrayName}, {"F", name}});
        else if (field.usesLookup())
          continue;  // a lookup of no known type shows nothing
        else if (isBoolean(field))
          p.emit(R"(Response.write "<TD><INPUT TYPE=""CHECKBOX"" " & gfsFieldChecked(rs("$F$")) & " DISABLED></TD>")"
                 "\n",
                 {{"F", name}});
        else
          p.emit(R"(Response.write "<TD>" & gfsFormatOutput(rs("$F$")) & "</TD>")"
                 "\n",
                 {{"F", name}});
      }
      p.emit(R"(Response.write "</TR>")"
             "\n");
    }
    p.emit(R"(

End Sub

)");
  });
}

}  // namespace tvk::gen
