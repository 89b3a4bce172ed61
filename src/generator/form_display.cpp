#include "generator/form_display.h"

#include "base/general.h"
#include "generator/code_printer.h"
#include "generator/field_input.h"
#include "generator/gen_context.h"
#include "generator/page_safety.h"
#include "generator/shared_routines.h"
#include "wizdata/xml_wiz_constants.h"

namespace tvk::gen {

namespace {

// The record fetch at the top of DisplayForm. With data actions it is
// skipped while a record is being added, and an empty table is remembered
// so that the Update and Delete buttons stay hidden.
void recordFetch(CodePrinter& p, const GenContext& ctx, bool any) {
  std::string key = ctx.text(wiz::PrimaryKey);
  if (any) {
    p.emit(R"(
  If msDataAction <> sADD_BUTTON And msDataAction <> sINSERT_BUTTON Then
    ' Unless we are in the process of adding a record then get the
    ' record from the database ready for display.
)");
  }
  auto inner = p.indent(any ? 1 : 0);
  p.emit(R"(
  Set rs = frsGetRecordset
  If rs.BOF OR rs.EOF Then
    Response.Write "<SPAN CLASS=""UserMessage"">Empty Table</SPAN><BR><BR>"
    rs.Close
    set rs = nothing
)");
  if (any) p.emit("    mbEmptyRS = true\n");
  p.emit(R"(
    Exit Sub
  Else
)");
  // A table without a key (shown read-only) has no key to carry.
  if (!key.empty()) {
    // The key stands inside a string literal; its value is written into an
    // attribute, so it is HTML-encoded.
    p.emit(R"(
    msPK = rs("$Key$")
    Response.Write "<INPUT TYPE=""HIDDEN"" NAME=""PK"" VALUE=""" & $HTMLEncode$(msPK) & """>"
)",
           {{"Key", fsVBStringText(key)}, {"HTMLEncode", kHTMLEncode}});
  }
  p.emit("  End If\n");
  if (any) {
    auto outer = p.indent(-1);
    p.emit("  End If\n\n");
  }
}

void fieldRow(CodePrinter& p, const FieldInfo& field, bool any) {
  p.emit(R"(
  <TR>
    <TH>$Label$</TH>
)",
         {{"Label", fsHTMLText(field.label)}});
  {
    auto cell = p.indent(2);
    writeFieldInput(p, field, kFormInput);
  }
  // An editable lookup's line goes on here: the tabs of the next line land
  // inside it.
  if (any)
    p.emit(R"(    <%= gfsFieldError("$F$") %>)"
           "\n",
           {{"F", fsVBStringText(field.name)}});
  p.emit(R"(
    </TD>
  </TR>
)");
  p.emit("\t\n");  // a line of one tab after every row
}

// One submit button in its own cell; its label is the next data action.
std::string cell(std::string_view constant) {
  return substitute(R"(<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= $C$ %>"></TD>)",
                    {{"C", constant}});
}

constexpr std::string_view kDeleteCell =
    R"(<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sDELETE_BUTTON %>" LANGUAGE="JavaScript" OnClick="return confirm('Are you sure you want to delete this record?');"></TD>)";

// The Delete and Update buttons, hidden when the table turned out empty.
// `outer` is the depth of the If lines, `inner` of the script marks and the
// cells; `marksAtOuter` puts the first "<%" and the last "%>" at the If
// depth.
void guardedButtons(CodePrinter& p, const FormFlags& f, int outer, int inner, bool marksAtOuter) {
  auto at = [&](int depth, std::string_view text) {
    auto in = p.indent(depth);
    p.emit("$Line$\n", {{"Line", text}});
  };
  at(marksAtOuter ? outer : inner, "<%");
  at(outer, "If Not mbEmptyRS Then");
  at(inner, "%>");
  if (f.remove) at(inner, kDeleteCell);
  if (f.update) at(inner, cell("sUPDATE_BUTTON"));
  at(inner, "<%");
  at(outer, "End If");
  at(marksAtOuter ? outer : inner, "%>");
}

// The buttons of a project whose form adds records: Cancel and Insert
// while adding, the others otherwise.
void buttonsWithAdd(CodePrinter& p, const FormFlags& f) {
  p.emit(R"(
  Select Case msDataAction
    Case sADD_BUTTON, sINSERT_BUTTON
      %>
      <TABLE BORDER="0"><TR>
      $Cancel$
      $Insert$
      </TR></TABLE>
      <%
    Case Else
      %>
      <TABLE BORDER="0"><TR>
)",
         {{"Cancel", cell("sCANCEL_BUTTON")}, {"Insert", cell("sINSERT_BUTTON")}});
  if (!f.listForm) {
    p.emit("      $Add$\n", {{"Add", cell("sADD_BUTTON")}});
  } else if (f.navigation) {
    p.emit(R"(
      $List$
      $Add$
)",
           {{"List", cell("sLIST_BUTTON")}, {"Add", cell("sADD_BUTTON")}});
  } else {
    p.emit("      $Cancel$\n", {{"Cancel", cell("sCANCEL_BUTTON")}});
  }
  // A form-only project writes the guard even with nothing inside it.
  if (!f.listForm || f.remove || f.update) guardedButtons(p, f, 3, 4, true);
  p.emit(R"(
      </TR></TABLE>
      <%
  End Select
)");
}

}  // namespace

std::string fsASPDisplayForm(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDisplayForm", [&](CodePrinter& p) {
    FormFlags f = formFlags(ctx);
    p.emit(R"(
Sub DisplayForm()

  Dim rs

)");
    recordFetch(p, ctx, f.any);
    p.emit("  %>\n");
    // The record number is echoed into an attribute: while a record is
    // being added it is still the text the request brought.
    if (f.navigation)
      p.emit(R"(  <INPUT TYPE="HIDDEN" NAME="CurrRecord" VALUE="<%= $HTMLEncode$(mnCurrRecord) %>">)"
             "\n",
             {{"HTMLEncode", kHTMLEncode}});
    p.emit(R"(  <TABLE CLASS="FormTable" $Attributes$><TBODY>)"
           "\n",
           {{"Attributes", fsHTMLTableAttributes(ctx)}});
    for (const FieldInfo& field : ctx.formFields()) fieldRow(p, field, f.any);
    p.emit(R"(
  </TBODY></TABLE>
  <%

)");
    if (f.any) {
      p.emit(R"(
  If msDataAction <> sADD_BUTTON And msDataAction <> sINSERT_BUTTON Then
    rs.Close
    set rs = nothing
  End IF
)");
    } else {
      p.emit(R"(
  rs.Close
  set rs = nothing
)");
    }
    p.emit(R"(

End Sub

)");
  });
}

std::string fsASPDisplayRecordNav(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDisplayRecordNav", [&](CodePrinter& p) {
    bool step = ctx.isTrue(wiz::FormSkip1Buttons);
    bool ends = ctx.isTrue(wiz::FormSkipEndButtons);
    bool number = ctx.isTrue(wiz::DisplayRecordNo);
    std::string type = ctx.projectType();
    bool sorted = ctx.fieldSortingUsed() && (type == wiz::kTypeList || type == wiz::kTypeListForm);

    const char* first =
        sorted ? R"(Response.Write "<TD><A HREF=""?CurrRecord=1" & msSortOrderURL & """>&nbsp;<<&nbsp;</A></TD>")"
               : R"(Response.Write "<TD><A HREF=""?CurrRecord=1" & """>&nbsp;<<&nbsp;</A></TD>")";
    // (two blanks before the last string of the sorted previous link)
    const char* previous =
        sorted
            ? R"(Response.Write "<TD><A HREF=""?CurrRecord=" & mnCurrRecord - 1 & msSortOrderURL &  """>&nbsp;<&nbsp;</A></TD>")"
            : R"(Response.Write "<TD><A HREF=""?CurrRecord=" & mnCurrRecord - 1 & """>&nbsp;<&nbsp;</A></TD>")";
    const char* next =
        sorted
            ? R"(Response.Write "<TD><A HREF=""?CurrRecord=" & mnCurrRecord + 1 & msSortOrderURL & """>&nbsp;>&nbsp;</A></TD>")"
            : R"(Response.Write "<TD><A HREF=""?CurrRecord=" & mnCurrRecord + 1 & """>&nbsp;>&nbsp;</A></TD>")";
    const char* last =
        sorted
            ? R"(Response.Write "<TD><A HREF=""?CurrRecord=" & mnMaxRecords & msSortOrderURL & """>&nbsp;>>&nbsp;</A></TD>")"
            : R"(Response.Write "<TD><A HREF=""?CurrRecord=" & mnMaxRecords & """>&nbsp;>>&nbsp;</A></TD>")";

    // The step and end buttons share two If blocks, each with the buttons
    // chosen; there are no blocks without either kind.
    bool buttons = step || ends;
    p.emit(R"(
Sub DisplayRecordNavButtons()

  Response.write "<TABLE CLASS=""RecordNavigation"" $Attributes$><TR>"
  $Back$

  $Number$
  $Forward$

  Response.Write "</TR></TABLE>"
End Sub

)",
           {{"Attributes", fsHTMLTableAttributes(ctx)},
            {"Back",
             [&] {
               if (!buttons) return;
               p.emit(R"(
If mnCurrRecord = 1 Then
  $FirstOff$
  $PreviousOff$
Else
  $First$
  $Previous$
End If
)",
                      {{"FirstOff", p.lineIf(ends, R"(Response.Write "<TD>&nbsp;<<&nbsp;</TD>")")},
                       {"PreviousOff", p.lineIf(step, R"(Response.Write "<TD>&nbsp;<&nbsp;</TD>")")},
                       {"First", p.lineIf(ends, first)},
                       {"Previous", p.lineIf(step, previous)}});
             }},
            {"Number",
             [&] {
               if (!number) return;
               p.emit(R"(
Response.Write "<TD CLASS=""RecordNumber"">Record " & mnCurrRecord & " of " & mnMaxRecords & "</TD>"

)");
             }},
            {"Forward", [&] {
               if (!buttons) return;
               p.emit(R"(
If mnCurrRecord < mnMaxRecords Then
  $Next$
  $Last$
Else
  $NextOff$
  $LastOff$
End If
)",
                      {{"Next", p.lineIf(step, next)},
                       {"Last", p.lineIf(ends, last)},
                       {"NextOff", p.lineIf(step, R"(Response.Write "<TD>&nbsp;>&nbsp;</TD>")")},
                       {"LastOff", p.lineIf(ends, R"(Response.Write "<TD>&nbsp;>>&nbsp;</TD>")")}});
             }}});
  });
}

std::string fsASPDisplayRecordAction(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDisplayRecordAction", [&](CodePrinter& p) {
    FormFlags f = formFlags(ctx);
    p.emit(R"(
Sub DisplayRecordActionButtons()

)");
    p.emit("  ' State can be : \n");  // (a blank at the end of this comment line)
    p.emit(R"(
  ' Normal - Show Add, Update, Delete (Cancel if ListForm)
  ' Add,Insert - Show Update, Cancel

)");
    if (f.add) {
      buttonsWithAdd(p, f);
    } else if (f.listForm) {
      p.emit(R"(
  %>
  <TABLE BORDER="0"><TR>
)");
      p.emit("  $Back$\n", {{"Back", !f.navigation && f.any ? cell("sCANCEL_BUTTON") : cell("sLIST_BUTTON")}});
      auto in = p.indent();
      if (f.remove || f.update) guardedButtons(p, f, 0, 1, false);
      p.emit(R"(
</TR></TABLE>
<%
)");
    } else {
      p.emit(R"(
    %>
    <TABLE BORDER="0"><TR>
)");
      p.emit(R"(
    $Delete$
    $Update$
    </TR></TABLE>
    <%
)",
             {{"Delete", p.lineIf(f.remove, kDeleteCell)}, {"Update", p.lineIf(f.update, cell("sUPDATE_BUTTON"))}});
    }
    p.emit(R"(

End Sub

)");
  });
}

}  // namespace tvk::gen
