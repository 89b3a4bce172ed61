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

// The form page's flags beyond the data actions.
struct PageFlags {
  FormFlags form;
  bool keyed = false;    // the page carries a key and a data action
  bool lookups = false;  // hand-made lookup lists are declared
};

void includesAndConstants(CodePrinter& p, const GenContext& ctx, const PageFlags& f) {
  std::string inc = gfsRelativePath(ctx.text(wiz::FileDirectory), ctx.text(wiz::IncludeDirectory));
  p.line(fsBanner("INCLUDE FILES"));
  p.line("%>");
  if (f.form.any) p.emit("<!--#INCLUDE file=\"$Inc$incTVKWAction.asp\" -->\n", {{"Inc", inc}});
  p.emit("<!--#INCLUDE file=\"$Inc$incTVKWDisplay.asp\" -->\n", {{"Inc", inc}});
  p.line("<%");

  // The first three labels are declared even without editing: the include
  // files use them.
  p.line(fsBanner("CONSTANTS", 77));
  p.emit(R"(
' These constants are used to label the buttons
' NOTE - these are needed even if no record editing as used in include files
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add" ' Note - if you change the label of the Add button, be sure to change any related List pages
Const sUPDATE_BUTTON = "Update"
)");
  if (f.form.update) p.line(R"(Const sEDIT_BUTTON = "Edit")");
  if (f.form.remove) p.line(R"(Const sDELETE_BUTTON = "Delete")");
  if (f.form.listForm) p.line(R"(Const sLIST_BUTTON = "List")");
  if (f.form.any) p.line(R"(Const sCANCEL_BUTTON = "Cancel")");
  p.blank(2);
}

void globalVariables(CodePrinter& p, const PageFlags& f, const std::string& lookupArrays) {
  p.line(fsBanner("GLOBAL VARS"));
  p.line("Dim mDbCon");
  if (f.form.navigation) {
    p.emit(R"(
Dim mnCurrRecord
Dim mnMaxRecords
)");
  }
  p.line("Dim msDataAction");
  if (f.form.any) {
    p.emit(R"(
Dim mbEmptyRS
Dim mDictFieldErrors   ' Holds database field errors in a Dictionary object.
Dim msUserMessage      ' Message to display to user after data action (e.g. update = Record Updated)
)");
  }
  if (f.form.sorted) {
    p.emit(R"(
Dim msSortField
Dim msSortOrder
Dim msSortOrderURL
)");
  }
  // Always: DisplayForm assigns the key.
  p.line("Dim msPK");
  p.blank();
  if (f.lookups) {
    p.line("' Define arrays used for lookup tables");
    p.block(lookupArrays);
    p.blank();
  }
  p.blank();
}

// A request value read into `variable`: the posted form's value, else the
// query string's (the form posts back what its links also carry).
void readPostedFirst(CodePrinter& p, std::string_view comment, std::string_view variable, std::string_view name) {
  p.emit(R"(
$Comment$
$Var$ = Request.Form("$Name$")
If Len($Var$) = 0 Then
  ' Variables from the FORM request overide those in Query string
  $Var$ = Request.QueryString("$Name$")
End If

)",
         {{"Comment", comment}, {"Var", variable}, {"Name", name}});
}

void setup(CodePrinter& p, const GenContext& ctx, const PageFlags& f) {
  p.line(fsBanner("SETUP"));
  if (f.lookups) {
    p.emit(R"(
' Setup any arrays needed for the lookup tables
GenerateLookupArrays

)");
  }
  p.emit(R"(
' Read in variables from query string etc

)");
  if (f.form.sorted) {
    // The list page hands its sort order over; it is checked against the
    // list's own sortable columns and ASC/DESC before it reaches ORDER BY.
    p.line("' Read in sort order variables");
    p.block(fsASPSortRequest(ctx));
    p.blank();
  }
  if (f.form.navigation) readPostedFirst(p, "' Read pageing records", "mnCurrRecord", "CurrRecord");
  if (f.keyed) {
    readPostedFirst(p, "' Read Primary Key variables", "msPK", "PK");
    p.block(fsASPReadDataAction());
  }
  p.block(fsASPOpenDBConnection(ctx));
  p.blank();
  if (f.keyed) {
    p.emit(R"(
' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this may redirect to list.
PerformDataActions

)");
  }
}

void htmlBody(CodePrinter& p, const GenContext& ctx, const PageFlags& f) {
  p.line("%>");
  p.block(fsHTMLStandardHeader(ctx));
  p.emit(R"(
<CENTER>
<FORM METHOD="POST">
)");
  if (f.form.sorted) {
    p.emit(R"(
<INPUT TYPE="HIDDEN" NAME="SortField" VALUE="<% = msSortField %>">
<INPUT TYPE="HIDDEN" NAME="SortOrder" VALUE="<% = msSortOrder %>">
)");
  }
  p.emit(R"(
<%

)");
  if (f.form.any) p.emit("Response.write msUserMessage\n\n");
  p.emit(R"(
Response.write "<TABLE BORDER=0><TR><TD ALIGN=""CENTER"" COLSPAN=2>"

DisplayForm

Response.Write "</TD></TR><TR><TD ALIGN=""RIGHT"">"

)");
  if (f.keyed) p.emit("DisplayRecordActionButtons\n\n");
  if (f.form.navigation && f.form.any) {
    p.emit(R"(
If msDataAction <> sINSERT_BUTTON And msDataAction <> sADD_BUTTON Then
  ' Only show navigation buttons if we are not in the middle of an insert
  Response.Write "</TR></TR><TR><TD>&nbsp;</TD></TR><TR><TD ALIGN=CENTER>"
  DisplayRecordNavButtons
End If
)");
  } else if (f.form.navigation) {
    p.emit(R"(
Response.Write "</TR></TR><TR><TD>&nbsp;</TD></TR><TR><TD ALIGN=CENTER>"
DisplayRecordNavButtons
)");
  }
  p.emit(R"(

Response.Write "</TD></TR></TABLE>"

%>
</FORM>
)");
  p.block(fsHTMLStandardFooter());
  p.emit(R"(
<%

)");
}

void terminate(CodePrinter& p) {
  p.line(fsBanner("TERMINATE"));
  p.emit(R"(
' Close database connection
mDbCon.Close
)");
  p.line("set mDbCon = Nothing ");
  p.blank(2);
}

void routines(CodePrinter& p, const GenContext& ctx, const PageFlags& f) {
  auto routine = [&](const std::string& text) {
    p.block(text);
    p.blank();
  };
  p.line(fsBanner("ROUTINES"));
  p.blank();
  routine(fsASPDisplayForm(ctx));
  if (f.form.navigation) routine(fsASPDisplayRecordNav(ctx));
  if (f.keyed) routine(fsASPDisplayRecordAction(ctx));
  p.blank(2);

  // This banner's line carries one line end more than the others.
  p.line(fsBanner("DATABASE ROUTINES"));
  p.blank(2);
  if (f.keyed) routine(fsASPPerformDataActions(ctx));
  routine(fsASPFormGetRecordset(ctx));
  if (f.form.add) routine(fsASPFormInsertRecord(ctx));
  if (f.form.update) routine(fsASPFormUpdateRecord(ctx));
  if (f.form.remove) routine(fsASPDeleteRecord(ctx));
  if (f.lookups) routine(fsASPGenerateLookupArrays(ctx));
  p.line("%>");
}

// The lines that keep the requested record number within the records there
// are; `keyed` writes them inside the key search's Else branch, one tab
// deeper, where the first nested assignment stays at its If's depth.
void clampRecordNumber(CodePrinter& p, bool keyed) {
  p.emit(R"(
mnMaxRecords = rs.PageCount
If mnCurrRecord > mnMaxRecords Then
)");
  p.line(keyed ? "mnCurrRecord = mnMaxRecords" : "\tmnCurrRecord = mnMaxRecords");
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

std::string fsBanner(std::string_view title, size_t width) {
  std::string banner = "' *** " + std::string(title) + " ";
  if (banner.size() < width) banner.append(width - banner.size(), '*');
  return banner;
}

std::string fsFormPageText(const GenContext& ctx) {
  PageFlags f;
  f.form = formFlags(ctx);
  f.keyed = f.form.listForm || f.form.any;
  std::string lookupArrays = fsASPDefineLookupArrays(ctx);
  f.lookups = !lookupArrays.empty();

  CodePrinter p;
  p.block(fsASPStandardHeader(ctx));
  includesAndConstants(p, ctx, f);
  globalVariables(p, f, lookupArrays);
  setup(p, ctx, f);
  htmlBody(p, ctx, f);
  terminate(p);
  routines(p, ctx, f);
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
    std::string keyColumn, keyValue;
    if (keyed) {
      keyColumn = gsQuoteDoubled(gfsEncaseSQLObject(ctx.text(wiz::PrimaryKey)));
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
    p.emit("  sSQL = \"$SQL$\"\n", {{"SQL", gsQuoteDoubled(ctx.text(wiz::SQLStatement))}});
    if (keyed && !nav) {
      // The key column is named with its table: a joined lookup table may
      // have a column of the same name.
      p.emit(R"(
  If Len(msPK) > 0 Then
    sSQL = sSQL & " WHERE $Table$.$KeyColumn$ = " & $KeyValue$ & ""
  End If
)",
             {{"Table", gsQuoteDoubled(gfsEncaseSQLObject(ctx.text(wiz::TableName)))},
              {"KeyColumn", keyColumn},
              {"KeyValue", keyValue}});
    }
    p.blank();
    if (sorting) p.block(fsASPApplySorting());
    p.emit("  Set rs = Server.CreateObject(\"ADODB.Recordset\")\n");
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

    rs.Find ("$KeyColumn$=" & $KeyValue$)
)",
             {{"KeyColumn", keyColumn}, {"KeyValue", keyValue}});
      p.line("\t\t");
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
