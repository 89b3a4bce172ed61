#include "generator/data_actions.h"

#include <initializer_list>
#include <vector>

#include "base/ado_routines.h"
#include "base/general.h"
#include "generator/code_printer.h"
#include "generator/field_types.h"
#include "generator/gen_context.h"
#include "generator/page_safety.h"
#include "wizdata/xml_wiz_constants.h"

namespace tvk::gen {

std::string fsSQLValueExpression(std::string_view expression, int dataType) {
  std::string_view formatter = isDate(dataType)   ? "gfsSQLDateFormat"
                               : isText(dataType) ? "gfsSQLTextFormat"
                                                  : kSQLNumberFormat;
  return substitute("$Format$($Value$)", {{"Format", formatter}, {"Value", expression}});
}

std::string fsKeyValueExpression(const GenContext& ctx, std::string_view expression) {
  int type = dataTypeCode(ctx.keyDataType(), "the primary key " + ctx.text(wiz::PrimaryKey));
  return fsSQLValueExpression(expression, type);
}

namespace {

// The form page's way back to the list page after a finished action.
// Request values are URL-encoded into the query string.
std::string backToList(const GenContext& ctx, bool sorted) {
  return substitute(sorted ? R"(Response.Redirect "$Project$List.asp?PK=" & $URLEncode$(msPK) & msSortOrderURL)"
                           : R"(Response.Redirect "$Project$List.asp?PK=" & $URLEncode$(msPK))",
                    {{"Project", fsVBStringText(fsURLText(ctx.projectName()))}, {"URLEncode", kURLEncode}});
}

std::string backAfterDelete(const GenContext& ctx, bool sorted) {
  return substitute(
      sorted ? R"(Response.Redirect "$Project$List.asp?CurrPage=" & $URLEncode$(Request("CurrPage")) & msSortOrderURL)"
             : R"(Response.Redirect "$Project$List.asp?CurrPage=" & $URLEncode$(Request("CurrPage")))",
      {{"Project", fsVBStringText(fsURLText(ctx.projectName()))}, {"URLEncode", kURLEncode}});
}

// A Case of PerformDataActions that runs a record function and, when it
// succeeds, the given lines. The list page and the form page both write
// their save and delete cases this way.
void recordCase(CodePrinter& p, std::string_view button, std::string_view function,
                std::initializer_list<std::string_view> onSuccess) {
  p.emit(R"(
Case $Button$
  If $Function$ Then
)",
         {{"Button", button}, {"Function", function}});
  {
    auto success = p.indent(2);
    for (std::string_view line : onSuccess) p.emit("$Line$\n", {{"Line", line}});
  }
  p.emit("  End If\n");
}

constexpr std::string_view kActionDone = R"(msDataAction = "")";

void formCases(const GenContext& ctx, CodePrinter& p) {
  FormFlags f = formFlags(ctx);
  bool sorted = ctx.fieldSortingUsed();
  // A list-with-form project whose form does not navigate on its own goes
  // back to the list page after every finished action.
  bool returnsToList = f.listForm && !f.navigation;
  std::string back = backToList(ctx, sorted);

  if (f.listForm && (f.navigation || !f.any)) {
    p.emit(R"(
Case sLIST_BUTTON
  $Back$
  Response.end
)",
           {{"Back", back}});
  }
  if (f.any) {
    if (returnsToList) {
      p.emit(R"(
Case sCANCEL_BUTTON
  $Back$
  Response.end
)",
             {{"Back", back}});
    } else {
      p.emit(R"(

Case sCANCEL_BUTTON
  msDataAction = ""
)");
    }
  }

  // After a finished action the form either goes back to the list page or
  // shows its next state.
  auto saveCase = [&](std::string_view button, std::string_view function) {
    p.blank();
    if (returnsToList)
      recordCase(p, button, function, {back, "Response.end"});
    else
      recordCase(p, button, function, {kActionDone});
  };
  if (f.update) saveCase("sUPDATE_BUTTON", "fbUpdateRecord");
  if (f.add) saveCase("sINSERT_BUTTON", "fbInsertRecord");

  if (f.remove) {
    p.blank();
    if (returnsToList)
      recordCase(p, "sDELETE_BUTTON", "fbDeleteRecord", {backAfterDelete(ctx, sorted), "Response.end"});
    else
      recordCase(p, "sDELETE_BUTTON", "fbDeleteRecord",
                 {R"(msPK = "" ' Primary Key not valid anymore cos it's been deleted!)", kActionDone});
  }
}

}  // namespace

std::string fsASPPerformDataActions(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPPerformDataActions", [&](CodePrinter& p) {
    p.emit(R"(
Sub PerformDataActions

  ' Run an action if the user clicks on an update button (Add, Update, Delete etc)
  ' If the data action succeeds then set DataAction to empty string

  Select Case msDataAction

)");
    {
      auto cases = p.indent(2);
      formCases(ctx, p);
    }
    p.emit(R"(

  End Select

End Sub

)");
  });
}

std::string fsASPListPerformDataActions(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPListPerformDataActions", [&](CodePrinter& p) {
    bool add = ctx.isTrue(wiz::ListAllowAddRecord);
    bool update = ctx.isTrue(wiz::ListAllowUpdateRecord);
    bool remove = ctx.isTrue(wiz::ListAllowDeleteRecord);
    p.emit(R"(
Sub PerformDataActions

  ' Run an action if the user clicks on an update button (Add, Update, Delete etc)
  ' If the data action succeeds then set DataAction to empty string


  Select Case msDataAction
)");
    {
      auto cases = p.indent(2);
      if (update) recordCase(p, "sUPDATE_BUTTON", "fbUpdateRecord", {kActionDone});
      if (add) {
        p.blank();
        recordCase(p, "sINSERT_BUTTON", "fbInsertRecord", {kActionDone});
      }
    }
    if (remove) {
      p.emit(R"(

    Case sDELETE_BUTTON
      If fbDeleteRecord Then
        msPK = "" ' Primary Key not valid anymore cos it's been deleted!
        msDataAction = ""
      Else
        msDataAction = sEDIT_BUTTON
      End If
)");
    }
    // The Cancel case's assignment stands one tab deeper than the others.
    p.emit(R"(

    Case sCANCEL_BUTTON
        msDataAction = ""

  End Select

End Sub

)");
  });
}

namespace {

enum class RecordRoutine { Insert, Update };

// One field's block of the insert and update routines: validation of the
// posted value and its assignment to the record. Field names and labels
// stand inside string literals of the page.
void fieldBlock(CodePrinter& p, const FieldInfo& field, bool boolean) {
  std::string name = fsVBStringText(field.name);
  std::string label = fsVBStringText(field.label);
  std::string assign = boolean ? substitute(R"(rs("$F$") = gfbRequestValue("$F$"))", {{"F", name}}) : std::string();
  if (field.isRequired()) {
    if (!boolean) assign = substitute(R"(rs("$F$") = Request.Form("$F$"))", {{"F", name}});
    p.emit(R"(
  If gfbEmpty(Request.Form("$F$")) Then
      mDictFieldErrors("$F$") = "$L$ Required"
  Else
    $Assign$
    If Err.Number <> 0 Then
      mDictFieldErrors("$F$") = "Invalid $L$"
      Err.Clear
    End If
  End If

)",
           {{"F", name}, {"L", label}, {"Assign", assign}});
  } else {
    if (!boolean) assign = substitute(R"(rs("$F$") = gfvEmptyToNull(Request.Form("$F$")))", {{"F", name}});
    p.emit(R"(
  $Assign$
  If Err.Number <> 0 Then
    mDictFieldErrors("$F$") = "Invalid $L$"
    Err.Clear
  End If

)",
           {{"F", name}, {"L", label}, {"Assign", assign}});
  }
}

void fieldBlocks(CodePrinter& p, const std::vector<FieldInfo>& fields) {
  for (const FieldInfo& field : fields) {
    // Read-only fields are never written.
    if (field.isReadOnly()) continue;
    // Check boxes are read as booleans by both routines: an unticked box
    // posts nothing, which must store False, and a ticked one posts "on",
    // which no Boolean column takes as it stands.
    bool boolean = isBoolean(dataTypeCode(field.dataType, "field " + field.name));
    fieldBlock(p, field, boolean);
  }
}

void recordTail(CodePrinter& p, const GenContext& ctx, RecordRoutine routine) {
  bool insert = routine == RecordRoutine::Insert;
  p.emit(R"(
  ' Now find out if everything worked
  If mDictFieldErrors.Count = 0 Then
    ' No Errors so far, so try and $verb$ record
    rs.Update
    If Err.Number <> 0 Then
      $Fn$ = False
      msUserMessage = "<SPAN CLASS=""MainError"">$Error$</SPAN><BR><BR>"
      ' General error, not error with a particular field
      Err.Clear
      rs.CancelUpdate
    Else
      msUserMessage = "<SPAN CLASS=""UserMessage"">$Done$</SPAN><BR><BR>"
      $Fn$ = True
      ' Get the Primary Key for use when returning to list, or finding this
      ' new record in the form.
      msPK = rs("$Key$")
      Set mDictFieldErrors = Nothing
    End If
  Else
    rs.CancelUpdate
    $Fn$ = False
    msUserMessage = "<SPAN CLASS=""MainError"">$Error$</SPAN><BR><BR>"
  End If

  On Error GoTo 0

  rs.Close
  Set rs = Nothing

End Function

)",
         {{"verb", insert ? "insert" : "update"},
          {"Fn", insert ? "fbInsertRecord" : "fbUpdateRecord"},
          {"Error", insert ? "Error Inserting Record" : "Error Updating Record"},
          {"Done", insert ? "Record Inserted" : "Record Updated"},
          {"Key", fsVBStringText(ctx.text(wiz::PrimaryKey))}});
}

std::string tableLiteral(const GenContext& ctx) { return fsVBStringText(fsSQLTable(ctx, ctx.text(wiz::TableName))); }
std::string keyColumnLiteral(const GenContext& ctx) {
  return fsVBStringText(fsSQLName(ctx, ctx.text(wiz::PrimaryKey)));
}

void insertRecord(const GenContext& ctx, CodePrinter& p, const std::vector<FieldInfo>& fields) {
  p.emit(R"(
Function fbInsertRecord()

  Dim rs

  ' Inserts a new record into the database. Returns TRUE on success, FALSE on error.
  ' On Error mDictFieldErrors holds a dictionary object containing any field errors
  ' msUserMessage is set to a message of failure / success.

$Verify$
  ' Set up a dictionary object for any field errors
  Set mDictFieldErrors = Server.CreateObject("Scripting.Dictionary")

  Set rs = Server.CreateObject("ADODB.Recordset")
  ' Note - need to open as a keyset recordset otherwise we will not be able
  ' to find out any Identity (Autonumber) generated primary key for the new record

  ' (no rows: the new record is all it needs)
  rs.Open "SELECT * FROM $Table$ WHERE 1=0", mDbCon, 1, 3 ' adOpenKeyset, adLockOptimistic

  rs.AddNew

  On Error Resume Next

)",
         {{"Table", tableLiteral(ctx)}, {"Verify", [&] { p.block(fsASPVerifyChange("fbInsertRecord")); }}});
  fieldBlocks(p, fields);
  recordTail(p, ctx, RecordRoutine::Insert);
}

void updateRecord(const GenContext& ctx, CodePrinter& p, const std::vector<FieldInfo>& fields, bool extraBlankLine) {
  p.emit(R"(
Function fbUpdateRecord()

  Dim rs
  Dim sSQL

  ' Updates a record in the database. Returns TRUE on success, FALSE on error.
  ' On Error mDictFieldErrors holds a dictionary object containing any field errors
  ' msUserMessage is set to a message of failure / success.

$Verify$
  ' Set up a dictionary object for any field errors
  Set mDictFieldErrors = Server.CreateObject("Scripting.Dictionary")

  sSQL = "SELECT * FROM $Table$ WHERE $KeyColumn$ = " & $KeyValue$

  Set rs = Server.CreateObject("ADODB.Recordset")

  ' A statement the database refuses is a failed update, not a stopped page
  On Error Resume Next
  rs.Open sSQL, mDbCon, 3, 3 ' adOpenStatic, adLockOptimistic
  If Err.Number <> 0 Then
    Err.Clear
    Set rs = Nothing
    fbUpdateRecord = False
    msUserMessage = "<SPAN CLASS=""MainError"">Error Updating Record</SPAN><BR><BR>"
    Exit Function
  End If
  On Error GoTo 0

  If rs.EOF Then
    ' No record has that key (deleted meanwhile, or not a key at all)
    rs.Close
    Set rs = Nothing
    fbUpdateRecord = False
    msUserMessage = "<SPAN CLASS=""MainError"">Error Updating Record</SPAN><BR><BR>"
    Exit Function
  End If

  rs.Update

  On Error Resume Next

)",
         {{"Table", tableLiteral(ctx)},
          {"KeyColumn", keyColumnLiteral(ctx)},
          {"KeyValue", fsKeyValueExpression(ctx, "msPK")},
          {"Verify", [&] { p.block(fsASPVerifyChange("fbUpdateRecord")); }}});
  fieldBlocks(p, fields);
  if (extraBlankLine) p.blank();
  recordTail(p, ctx, RecordRoutine::Update);
}

}  // namespace

std::string fsASPFormInsertRecord(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPFormInsertRecord", [&](CodePrinter& p) { insertRecord(ctx, p, ctx.formFields()); });
}

std::string fsASPListInsertRecord(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPListInsertRecord", [&](CodePrinter& p) { insertRecord(ctx, p, ctx.listFields()); });
}

std::string fsASPFormUpdateRecord(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPFormUpdateRecord",
                        [&](CodePrinter& p) { updateRecord(ctx, p, ctx.formFields(), false); });
}

std::string fsASPListUpdateRecord(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPListUpdateRecord",
                        [&](CodePrinter& p) { updateRecord(ctx, p, ctx.listFields(), true); });
}

std::string fsASPDeleteRecord(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDeleteRecord", [&](CodePrinter& p) {
    // The database's error text may repeat what was posted: it is HTML-encoded.
    p.emit(R"(
Function fbDeleteRecord()

  ' Deletes a record in the database. Returns TRUE on success, FALSE on error.
  ' msUserMessage is set to a message of failure / success.

  Dim sSQL
  Dim rs
  Dim bFound

$Verify$
   sSQL = " DELETE FROM $Table$ WHERE $KeyColumn$ = " & $KeyValue$

  On Error Resume Next
  ' A key that no record has (deleted meanwhile, or not a key at all) is
  ' reported as such, not as a deleted record
  Set rs = Server.CreateObject("ADODB.Recordset")
  rs.CursorLocation = 3 ' adUseClient
  rs.Open "SELECT $KeyColumn$ FROM $Table$ WHERE $KeyColumn$ = " & $KeyValue$, mDbCon, 3, 1, &H1 ' adOpenStatic, adLockReadOnly, adCmdText
  bFound = Not rs.EOF
  If Err.Number = 0 Then rs.Close
  Set rs = Nothing
  If Err.Number = 0 And Not bFound Then
    fbDeleteRecord = False
    msUserMessage = "<SPAN CLASS=""MainError"">Record not found</SPAN><BR><BR>"
    Exit Function
  End If
  If Err.Number = 0 Then mDbCon.Execute sSQL

  ' Now find out if everything worked
  If Err.Number <> 0 Then
    fbDeleteRecord = False
    msUserMessage = "<SPAN CLASS=""MainError"">Error Deleting Record <BR>" & $HTMLEncode$(Err.Source & " : " & Err.Description) & "</SPAN><BR><BR>"
    Err.Clear
  Else
    msUserMessage = "<SPAN CLASS=""UserMessage"">Record Deleted</SPAN><BR><BR>"
    fbDeleteRecord = True
  End If

  On Error GoTo 0

End Function

)",
           {{"Table", tableLiteral(ctx)},
            {"KeyColumn", keyColumnLiteral(ctx)},
            {"KeyValue", fsKeyValueExpression(ctx, "msPK")},
            {"HTMLEncode", kHTMLEncode},
            {"Verify", [&] { p.block(fsASPVerifyChange("fbDeleteRecord")); }}});
  });
}

}  // namespace tvk::gen
