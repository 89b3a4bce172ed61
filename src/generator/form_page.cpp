#include "generator/form_page.h"

#include "base/ado_routines.h"
#include "base/general.h"
#include "generator/code_printer.h"
#include "generator/data_actions.h"
#include "generator/form_display.h"
#include "generator/gen_context.h"
#include "generator/page_safety.h"
#include "generator/shared_routines.h"
#include "wizdata/xml_wiz_constants.h"

namespace tvk::gen {

namespace {

// The lines that keep the requested record number within the records there
// are; `keyed` writes them inside the key search's Else branch, one tab
// deeper, where the first nested assignment stays at its If's depth.
void clampRecordNumber(CodePrinter& p, bool keyed) {
  p.emit(R"(
mnMaxRecords = rs.PageCount
If mnCurrRecord > mnMaxRecords Then
)");
  p.emit(keyed ? "mnCurrRecord = mnMaxRecords\n" : "  mnCurrRecord = mnMaxRecords\n");
  p.emit(R"(
End If
If mnCurrRecord < 1 Then
  mnCurrRecord = 1
End If
If NOT (rs.BOF OR rs.EOF) Then
  rs.AbsolutePage = mnCurrRecord
End If
)");
}

}  // namespace

std::string fsFormPageText(const GenContext& ctx) {
  FormFlags f = formFlags(ctx);
  bool keyed = f.listForm || f.any;  // the page carries a key and a data action
  std::string lookupArrays = fsASPDefineLookupArrays(ctx);
  bool lookups = !lookupArrays.empty();  // hand-made lookup lists are declared
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
  // The first three button labels are declared even without editing: the
  // include files use them. (The line "set mDbCon = Nothing " ends in a
  // blank.)
  p.emit(R"(
$StandardHeader$
$IncludesBanner$
%>
$ActionInclude$
<!--#INCLUDE file="$Inc$incTVKWDisplay.asp" -->
<%
$ConstantsBanner$
' These constants are used to label the buttons
' NOTE - these are needed even if no record editing as used in include files
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add" ' Note - if you change the label of the Add button, be sure to change any related List pages
Const sUPDATE_BUTTON = "Update"
$EditConstant$
$DeleteConstant$
$ListConstant$
$CancelConstant$


$GlobalsBanner$
Dim mDbCon
$RecordNumberVars$
Dim msDataAction
$DataActionVars$
$SortVars$
Dim msPK

$LookupArrays$

$SetupBanner$
$SetupLookupArrays$
' Read in variables from query string etc

$ReadSortOrder$
$ReadRecordNumber$
$ReadKeyAndAction$
$OpenConnection$

$PerformDataActions$
%>
$HTMLHeader$
<CENTER>
<FORM METHOD="POST">
$Token$
$SortInputs$
<%

$UserMessage$
Response.write "<TABLE BORDER=0><TR><TD ALIGN=""CENTER"" COLSPAN=2>"

DisplayForm

Response.Write "</TD></TR><TR><TD ALIGN=""RIGHT"">"

$ActionButtons$
$RecordNavigation$

Response.Write "</TD></TR></TABLE>"

%>
</FORM>
$HTMLFooter$
<%

$TerminateBanner$
' Close database connection
mDbCon.Close
set mDbCon = Nothing 


$RoutinesBanner$

$DisplayForm$
$DisplayRecordNav$
$DisplayRecordAction$


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
             if (f.any) p.emit("<!--#INCLUDE file=\"$Inc$incTVKWAction.asp\" -->\n", {{"Inc", inc}});
           }},
          // Two asterisks shorter than the other banners, as the form
          // pages in use have it.
          {"ConstantsBanner", fsBanner("CONSTANTS", 77)},
          {"EditConstant", p.lineIf(f.update, R"(Const sEDIT_BUTTON = "Edit")")},
          {"DeleteConstant", p.lineIf(f.remove, R"(Const sDELETE_BUTTON = "Delete")")},
          {"ListConstant", p.lineIf(f.listForm, R"(Const sLIST_BUTTON = "List")")},
          {"CancelConstant", p.lineIf(f.any, R"(Const sCANCEL_BUTTON = "Cancel")")},
          {"GlobalsBanner", fsBanner("GLOBAL VARS")},
          {"RecordNumberVars",
           [&] {
             if (!f.navigation) return;
             p.emit(R"(
Dim mnCurrRecord
Dim mnMaxRecords
)");
           }},
          {"DataActionVars",
           [&] {
             if (!f.any) return;
             p.emit(R"(
Dim mbEmptyRS
Dim mDictFieldErrors   ' Holds database field errors in a Dictionary object.
Dim msUserMessage      ' Message to display to user after data action (e.g. update = Record Updated)
)");
           }},
          {"SortVars",
           [&] {
             if (!f.sorted) return;
             p.emit(R"(
Dim msSortField
Dim msSortOrder
Dim msSortOrderURL
)");
           }},
          {"LookupArrays",
           [&] {
             if (!lookups) return;
             p.emit("' Define arrays used for lookup tables\n");
             p.block(lookupArrays);
             p.blank();
           }},
          {"SetupBanner", fsBanner("SETUP")},
          {"SetupLookupArrays",
           [&] {
             if (!lookups) return;
             p.emit(R"(
' Setup any arrays needed for the lookup tables
GenerateLookupArrays

)");
           }},
          // The list page hands its sort order over; it is checked against
          // the list's own sortable columns and ASC/DESC before it reaches
          // ORDER BY.
          {"ReadSortOrder",
           [&] {
             if (!f.sorted) return;
             p.emit("' Read in sort order variables\n");
             p.block(fsASPSortRequest(ctx));
             p.blank();
           }},
          {"ReadRecordNumber",
           [&] {
             if (f.navigation) p.block(fsASPReadPostedFirst("' Read pageing records", "mnCurrRecord", "CurrRecord"));
           }},
          {"ReadKeyAndAction",
           [&] {
             if (!keyed) return;
             p.block(fsASPReadPostedFirst("' Read Primary Key variables", "msPK", "PK"));
             p.block(fsASPReadDataAction());
           }},
          {"OpenConnection", [&] { p.block(fsASPOpenDBConnection(ctx)); }},
          {"PerformDataActions",
           [&] {
             if (!keyed) return;
             p.emit(R"(
' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this may redirect to list.
PerformDataActions

)");
           }},
          {"HTMLHeader", [&] { p.block(fsHTMLStandardHeader(ctx)); }},
          {"Token", fsASPTokenInputLine()},
          {"SortInputs",
           [&] {
             if (!f.sorted) return;
             p.emit(R"(
<INPUT TYPE="HIDDEN" NAME="SortField" VALUE="<% = $HTMLEncode$(msSortField) %>">
<INPUT TYPE="HIDDEN" NAME="SortOrder" VALUE="<% = msSortOrder %>">
)",
                    {{"HTMLEncode", kHTMLEncode}});
           }},
          {"UserMessage",
           [&] {
             if (f.any) p.emit("Response.write msUserMessage\n\n");
           }},
          {"ActionButtons",
           [&] {
             if (keyed) p.emit("DisplayRecordActionButtons\n\n");
           }},
          {"RecordNavigation",
           [&] {
             if (f.navigation && f.any) {
               p.emit(R"(
If msDataAction <> sINSERT_BUTTON And msDataAction <> sADD_BUTTON Then
  ' Only show navigation buttons if we are not in the middle of an insert
  Response.Write "</TR></TR><TR><TD>&nbsp;</TD></TR><TR><TD ALIGN=CENTER>"
  DisplayRecordNavButtons
End If
)");
             } else if (f.navigation) {
               p.emit(R"(
Response.Write "</TR></TR><TR><TD>&nbsp;</TD></TR><TR><TD ALIGN=CENTER>"
DisplayRecordNavButtons
)");
             }
           }},
          {"HTMLFooter", [&] { p.block(fsHTMLStandardFooter()); }},
          {"TerminateBanner", fsBanner("TERMINATE")},
          {"RoutinesBanner", fsBanner("ROUTINES")},
          {"DisplayForm", routine(true, fsASPDisplayForm)},
          {"DisplayRecordNav", routine(f.navigation, fsASPDisplayRecordNav)},
          {"DisplayRecordAction", routine(keyed, fsASPDisplayRecordAction)},
          {"DatabaseRoutinesBanner", fsBanner("DATABASE ROUTINES")},
          {"PerformDataActionsRoutine", routine(keyed, fsASPPerformDataActions)},
          {"GetRecordset", routine(true, fsASPFormGetRecordset)},
          {"InsertRecord", routine(f.add, fsASPFormInsertRecord)},
          {"UpdateRecord", routine(f.update, fsASPFormUpdateRecord)},
          {"DeleteRecord", routine(f.remove, fsASPDeleteRecord)},
          {"GenerateLookupArrays", routine(lookups, fsASPGenerateLookupArrays)}});
  return p.take();
}

std::string fsASPFormGetRecordset(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPFormGetRecordset", [&](CodePrinter& p) {
    FormFlags f = formFlags(ctx);
    bool keyed = f.listForm || f.any;
    bool nav = f.navigation;
    std::string type = ctx.projectType();
    bool sorting = ctx.fieldSortingUsed() && (type == wiz::kTypeList || type == wiz::kTypeListForm);
    // The key's column and value inside string literals of the page; the
    // value goes through the include file's formatter for its type.
    // ADO reads Find's criterion itself, in its own syntax, not the
    // database's quotes.
    std::string keyColumn, findColumn, keyValue;
    if (keyed) {
      keyColumn = fsVBStringText(fsSQLName(ctx, ctx.text(wiz::PrimaryKey)));
      findColumn = fsVBStringText(fsADOCriteriaName(ctx, ctx.text(wiz::PrimaryKey)));
      keyValue = fsKeyValueExpression(ctx, "msPK");
    }

    p.emit(R"(
Function frsGetRecordset

  ' Returns an ADO recordset with the records to display.
  ' Handles paging if necessary.

  Dim rs
  Dim sSQL

)");
    if (nav) p.block(fsASPWholeNumberGuard("mnCurrRecord"));
    p.emit("  sSQL = \"$SQL$\"\n", {{"SQL", fsVBStringText(ctx.text(wiz::SQLStatement))}});
    if (keyed && !nav) {
      // The key column is named with its table: a joined lookup table may
      // have a column of the same name.
      p.emit(R"(
  If Len(msPK) > 0 Then
    sSQL = sSQL & " WHERE $Table$.$KeyColumn$ = " & $KeyValue$ & ""
  End If
)",
             {{"Table", fsVBStringText(fsSQLTable(ctx, ctx.text(wiz::TableName)))},
              {"KeyColumn", keyColumn},
              {"KeyValue", keyValue}});
    }
    p.blank();
    if (sorting) p.block(fsASPApplySorting());
    p.emit("  Set rs = Server.CreateObject(\"ADODB.Recordset\")\n");
    // A client cursor counts and finds on every provider, and leaves the
    // connection free for the lookup lists the form opens while it shows
    // this record.
    p.emit("  rs.CursorLocation = 3 ' adUseClient\n");
    if (nav) {
      p.emit(R"(
  rs.PageSize = 1
  rs.Open sSQL, mdbCon, 3, 1, &H1 'adOpenStatic, adLockReadOnly, adCmdText
)");
    } else {
      p.emit("  rs.Open sSQL, mdbCon\n");
    }
    p.blank();
    if (nav && keyed) {
      // Find needs a current record, so an empty table goes to the
      // clamping branch; a key that is not found still sets the count.
      p.emit(R"(
  If Len(msPK) > 0 And Not rs.EOF Then

    If $KeyValue$ <> "NULL" Then
      rs.Find ("$FindColumn$=" & $KeyValue$)
    End If
)",
             {{"FindColumn", findColumn}, {"KeyValue", keyValue}});
      p.emit("\t\t\n");  // a line of two tabs
      p.emit(R"(
    If rs.AbsolutePage > 0 Then
      ' Found the record
      mnMaxRecords = rs.PageCount
      mnCurrRecord = rs.AbsolutePage
    Else
      ' Didnt find the record, so go to record 1
      mnMaxRecords = rs.PageCount
      rs.AbsolutePage = 1
      mnCurrRecord = rs.AbsolutePage
    End If

  Else

)");
      {
        auto deeper = p.indent(2);
        clampRecordNumber(p, true);
      }
      p.emit(R"(

  End If

)");
    } else if (nav) {
      {
        auto in = p.indent();
        clampRecordNumber(p, false);
      }
      p.blank();
    }
    p.emit(R"(
  Set frsGetRecordset = rs

End Function

)");
  });
}

}  // namespace tvk::gen
