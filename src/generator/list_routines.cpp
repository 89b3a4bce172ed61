#include "generator/list_routines.h"

#include "base/ado_routines.h"
#include "base/error.h"
#include "base/general.h"
#include "generator/code_printer.h"
#include "generator/data_actions.h"
#include "generator/field_input.h"
#include "generator/gen_context.h"
#include "generator/page_safety.h"
#include "generator/shared_routines.h"
#include "wizdata/xml_wiz_constants.h"

namespace tvk::gen {

namespace {

std::string button(std::string_view label) {
  return substitute(
      R"(Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & $X$ & ">&nbsp;&nbsp;")",
      {{"X", label}});
}

// The page-number checks of the record set routine.
void pageValidation(CodePrinter& p, bool blankBeforeSecondIf) {
  p.emit(R"(
mnMaxPage = rs.PageCount
If mnCurrPage > mnMaxPage Then
  mnCurrPage = mnMaxPage
End If
)");
  // Inside the key search's Else branch this If starts with a blank.
  p.emit(blankBeforeSecondIf ? " If mnCurrPage < 1 Then\n" : "If mnCurrPage < 1 Then\n");
  p.emit(R"(
  mnCurrPage = 1
End If
If NOT (rs.BOF OR rs.EOF) Then
  rs.AbsolutePage = mnCurrPage
End If
)");
}

// The find criterion's key value: formatted by the key's data type, as a
// number when the key's type is not known.
std::string findKeyValue(const GenContext& ctx) {
  std::string type = ctx.keyDataType();
  int code = isWholeNumber(type) ? dataTypeCode(type, "the primary key") : 0;
  return fsSQLValueExpression("msPK", code);
}

}  // namespace

std::string fsASPDisplayEditLine(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDisplayEditLine", [&](CodePrinter& p) {
    ListFlags f = listFlags(ctx);
    const std::vector<FieldInfo>& fields = ctx.listFields();
    p.emit(R"(
Sub DisplayEditLine (rs)

  ' Display the current record as an editable row in the list table

  %>
  <FORM METHOD="POST">
  $Token$
)",
           {{"Token", fsASPTokenInputLine()}});
    if (f.sorting) {
      p.emit(R"(
  <INPUT TYPE="HIDDEN" NAME="SortField" VALUE="<%= $HTMLEncode$(msSortField) %>" >
  <INPUT TYPE="HIDDEN" NAME="SortOrder" VALUE="<%= msSortOrder %>" >
)",
             {{"HTMLEncode", kHTMLEncode}});
    }
    p.emit(R"(
  <INPUT TYPE="HIDDEN" NAME="PK" VALUE="<%= gfsFieldValue(rs, "$PK$") %>" >

)",
           {{"PK", fsVBStringText(ctx.text(wiz::PrimaryKey))}});
    if (f.editColumn) p.emit("  <TR CLASS=\"EditLine\"><TD>&nbsp;</TD>\n");

    for (const FieldInfo& field : fields) {
      p.emit("  <TD>\n");
      {
        auto cell = p.indent();
        writeFieldInput(p, field, kEditRowInput);
      }
      // The field's input leaves its last line open (a read-only lookup
      // ends it, and this line end then makes an empty line).
      p.blank();
      p.emit(R"(
  <BR><%= gfsFieldError("$F$") %>
  </TD>

)",
             {{"F", fsVBStringText(field.name)}});
    }

    p.emit(R"(
  </TR><TR CLASS="EditLine"><TD COLSPAN="$Span$" ALIGN=RIGHT>
  <%
  ' Now write out data action buttons State can be :
  ' Normal - Show Add, Update, Delete (Cancel if ListForm)
   'Add,Insert - Show Update, Cancel -->

  Select Case msDataAction
)",
           {{"Span", std::to_string(fields.size() + 1)}});
    if (f.add) {
      p.emit(R"(
    Case sADD_BUTTON, sINSERT_BUTTON
      $Insert$
      $Cancel$
)",
             {{"Insert", button("sINSERT_BUTTON")}, {"Cancel", button("sCANCEL_BUTTON")}});
    }
    if (f.update || f.remove) {
      p.emit(
          R"(
    Case Else
      $Update$
      $Delete$
      $Cancel$
)",
          {{"Update", p.lineIf(f.update, button("sUPDATE_BUTTON"))},
           {"Delete",
            p.lineIf(
                f.remove,
                R"(Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sDELETE_BUTTON & "  LANGUAGE=""JavaScript"" OnClick=""return confirm('Are you sure you want to delete this record?');"">&nbsp;&nbsp;")")},
           {"Cancel", button("sCANCEL_BUTTON")}});
    }
    // (a blank at the end of the Response.write line)
    p.emit(R"(
  End Select

)");
    p.emit("  Response.write \"</TD></TR></FORM>\" \n");
    p.emit(R"(

End Sub

)");
  });
}

std::string fsASPListGetRecordset(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPListGetRecordset", [&](CodePrinter& p) {
    ListFlags f = listFlags(ctx);
    p.emit(R"(
Function frsGetRecordset

  ' Returns an ADO recordset with the records to display.
  ' Handles paging and sorting if necessary.

  Dim rs
  Dim sSQL

)");
    if (f.paging) p.block(fsASPWholeNumberGuard("mnCurrPage"));
    // The statement stands inside a string literal of the page.
    p.emit(R"(
  sSQL = "$SQL$"

)",
           {{"SQL", fsVBStringText(ctx.text(wiz::SQLStatement))}});
    if (f.sorting) p.block(fsASPApplySorting());
    p.emit("  Set rs = Server.CreateObject(\"ADODB.Recordset\")\n");
    // A client cursor counts, pages and finds on every provider, and leaves
    // the connection free for the lookup lists the rows may open.
    p.emit("  rs.CursorLocation = 3 ' adUseClient\n");
    if (f.paging) {
      p.emit(R"(
  rs.PageSize = mnPAGE_SIZE
  rs.Open sSQL, mdbCon, 3, 1, &H1 'adOpenStatic, adLockReadOnly, adCmdText
)");
    } else {
      p.emit("  rs.Open sSQL, mdbCon\n");
    }
    p.blank();
    if (f.paging) {
      auto in = p.indent();
      if (f.listForm || f.actions) {
        p.emit(R"(
' If we have just added a new record or been transfered from the form page
' then find out which page the record is on and display that page.
)");
        // An empty table has no record to find; a key that is no value of
        // the key column's type (NULL) finds nothing, so the first page shows.
        p.emit(f.actions ? "If Len(msPK) > 0 And msDataAction = \"\" And NOT (rs.BOF OR rs.EOF) Then\n"
                         : "If Len(msPK) > 0 And NOT (rs.BOF OR rs.EOF) Then\n");
        p.emit(
            R"(
  If $KeyValue$ <> "NULL" Then
    rs.Find ("$EPK$=" & $KeyValue$)
  End If
  If rs.AbsolutePage > 0 Then
    ' Found the record we are looking for, get page number
    mnCurrPage = rs.AbsolutePage
    mnMaxPage = rs.PageCount
    ' Reload page - otherwise record will be at start of page, instead of correct position on page
    rs.AbsolutePage = mnCurrPage
  Else
    ' Didn't find the record we are looking for, so go back to page 1
    mnCurrPage = 1
    rs.AbsolutePage = mnCurrPage
    mnMaxPage = rs.PageCount
  End If
Else
  ' Otherwise go to the start of the current page - checking that the page number is valid of course!
)",
            {{"EPK", fsVBStringText(fsADOCriteriaName(ctx, ctx.text(wiz::PrimaryKey)))},
             {"KeyValue", findKeyValue(ctx)}});
        {
          auto deeper = p.indent();
          pageValidation(p, true);
        }
        p.emit("End If\n");
      } else {
        pageValidation(p, false);
      }
    }
    p.emit(R"(

  Set frsGetRecordset = rs

End Function

)");
  });
}

std::string fsASPDisplayPageNavButtons(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDisplayPageNavButtons", [&](CodePrinter& p) {
    bool sorting = ctx.fieldSortingUsed();
    const char* first =
        sorting ? R"(Response.Write "<TD><A HREF='?CurrPage=1" & msSortOrderURL & "'>&nbsp;<<&nbsp;</A></TD>")"
                : R"(Response.Write "<TD><A HREF='?CurrPage=1" & "'>&nbsp;<<&nbsp;</A></TD>")";
    const char* previous =
        sorting
            ? R"(Response.Write "<TD><A HREF='?CurrPage=" & mnCurrPage - 1 & msSortOrderURL & "'>&nbsp;<&nbsp;</A></TD>")"
            : R"(Response.Write "<TD><A HREF='?CurrPage=" & mnCurrPage - 1 & "'>&nbsp;<&nbsp;</A></TD>")";
    // (no blank before the last ampersand of the sorted next link)
    const char* next =
        sorting
            ? R"(Response.Write "<TD><A HREF='?CurrPage=" & mnCurrPage + 1 & msSortOrderURL &"'>&nbsp;>&nbsp;</A></TD>")"
            : R"(Response.Write "<TD><A HREF='?CurrPage=" & mnCurrPage + 1 & "'>&nbsp;>&nbsp;</A></TD>")";
    const char* last =
        sorting
            ? R"(Response.Write "<TD><A HREF='?CurrPage=" & mnMaxPage & msSortOrderURL & "'>&nbsp;>>&nbsp;</A></TD>")"
            : R"(Response.Write "<TD><A HREF='?CurrPage=" & mnMaxPage & "'>&nbsp;>>&nbsp;</A></TD>")";
    p.emit(R"(
Sub DisplayPageNavButtons

  Response.write "<TABLE CLASS=""PageNavigation"" $Attributes$><TR>"
  If mnCurrPage = 1 Then
    Response.Write "<TD>&nbsp;<<&nbsp;</TD>"
    Response.Write "<TD>&nbsp;<&nbsp;</TD>"
  Else
    $First$
    $Previous$
  End If

  Response.Write "<TD CLASS=""PageNumber"">Page " & mnCurrPage & " of " & mnMaxPage & "</TD>"

  If mnCurrPage < mnMaxPage Then
    $Next$
    $Last$
  Else
    Response.Write "<TD>&nbsp;>&nbsp;</TD>"
    Response.Write "<TD>&nbsp;>>&nbsp;</TD>"
  End If
  Response.write "</TR></TABLE>"

End Sub

)",
           {{"Attributes", fsHTMLTableAttributes(ctx)},
            {"First", first},
            {"Previous", previous},
            {"Next", next},
            {"Last", last}});
  });
}

std::string fsASPDisplayDirectPageNav(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDisplayDirectPageNav", [&](CodePrinter& p) {
    std::string maxText = ctx.text(wiz::MaxDirectPages);
    long maxPages = 0;
    if (!trimBlanks(maxText).empty()) {
      if (!isWholeNumber(maxText))
        raise(err::kTypeMismatch, std::string(kModule),
              "Type mismatch: the most page-number links \"" + maxText + "\" is not a whole number");
      maxPages = std::stol(std::string(trimBlanks(maxText)));
    }
    p.emit(R"(
Sub DisplayDirectPageNav

  Dim i
  Dim iMax

)");
    if (maxPages != 0) {
      p.emit(R"(
  If mnMAX_DIRECT_PAGES < mnMaxPage Then
    iMax = mnMAX_DIRECT_PAGES
  Else
    iMax = mnMaxPage
  End If
)");
    } else {
      p.emit("  iMax = mnMaxPage\n");
    }
    p.emit(R"(

  Response.write "<TABLE WIDTH=""100%"" CLASS=""PageNumbers"" $Attributes$><TR>"

  For i = 1 to iMax
    If i = mnCurrPage Then
      Response.Write "<TD CLASS=""CurrentPage"">" & i & "</TD>"
    Else
)",
           {{"Attributes", fsHTMLTableAttributes(ctx)}});
    if (ctx.fieldSortingUsed())
      p.emit(R"(      Response.Write "<TD><A HREF='?CurrPage=" & i & msSortOrderURL & "'>" & i & "</A></TD>")"
             "\n");
    else
      p.emit(R"(      Response.Write "<TD><A HREF='?CurrPage=" & i & "'>" & i & "</A></TD>")"
             "\n");
    p.emit(R"(
    End If
  Next

  Response.write "</TR></TABLE>"

End Sub

)");
  });
}

std::string fsASPDisplayAddButton(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDisplayAddButton", [&](CodePrinter& p) {
    ListFlags f = listFlags(ctx);
    p.emit(R"(
Sub DisplayAddButton

  %>
)");
    {
      auto in = p.indent();
      // The table and the form start on one line, parted by a tab.
      p.emit("<TABLE BORDER=\"0\">\t<FORM ACTION=\"$Page$\" METHOD=\"post\"><TR><TD>\n",
             {{"Page", f.listForm ? fsHTMLAttributeText(fsURLText(ctx.projectName()) + "Form.asp") : std::string()}});
      p.emit("$Token$\n", {{"Token", fsASPTokenInputLine()}});
      if (f.sorting) {
        p.emit(R"(
<INPUT TYPE="Hidden" NAME="SortOrder" VALUE="<% = msSortOrder %>">
<INPUT TYPE="Hidden" NAME="SortField" VALUE="<% = $HTMLEncode$(msSortField) %>">
)",
               {{"HTMLEncode", kHTMLEncode}});
      }
      p.emit(R"(
<INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sADD_BUTTON %>">
</TD></TR></FORM></TABLE>
<%
)");
    }
    p.emit(R"(
End Sub

)");
  });
}

}  // namespace tvk::gen
