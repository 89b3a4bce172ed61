#include "generator/page_safety.h"

#include "base/ado_routines.h"
#include "base/general.h"
#include "generator/code_printer.h"
#include "generator/gen_context.h"
#include "wizdata/xml_wiz_constants.h"

namespace tvk::gen {

std::string fsSQLName(const GenContext& ctx, std::string_view name) {
  return gfsEncaseSQLObject(name, gfnSqlDialect(ctx.text(wiz::SQLDialect)));
}

std::string fsSQLTable(const GenContext& ctx, std::string_view name) {
  return gfsEncaseSQLTable(name, gfnSqlDialect(ctx.text(wiz::SQLDialect)));
}

std::string fsADOCriteriaName(const GenContext& ctx, std::string_view name) {
  if (gfnSqlDialect(ctx.text(wiz::SQLDialect)) == SqlDialect::Legacy) return gfsEncaseSQLObject(name);
  return gfsEncaseSQLObject(name, SqlDialect::SqlServer);
}

std::string fsVBStringText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      out += "\"\"";
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\" & vbCrLf & \"";
      ++i;
    } else if (c == '\r') {
      out += "\" & vbCr & \"";
    } else if (c == '\n') {
      out += "\" & vbLf & \"";
    } else if (c == '%' && i + 1 < text.size() && text[i + 1] == '>') {
      out += "%\" & \"";
    } else {
      out += c;
    }
  }
  return out;
}

std::string fsHTMLAttributeText(std::string_view text) { return gfsHTMLEscape(text); }

std::string fsURLText(std::string_view text, std::string_view keep) { return gfsURLEncode(text, keep); }

std::string fsHTMLText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '<' && i + 1 < text.size() && text[i + 1] == '%') {
      out += "&lt;";
    } else if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '>') {
      out += "%&gt;";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string fsScriptName(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    auto u = static_cast<unsigned char>(c);
    bool plain = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || c == '_';
    if (!plain) c = '_';
  }
  return out;
}

std::string fsSortName(const GenContext& ctx, const FieldInfo& field) {
  if (field.usesDatabaseLookup()) {
    // A table joined a second time is named through its alias.
    const std::string joined =
        field.tableAlias.empty() ? fsSQLTable(ctx, field.lookupTable) : fsSQLName(ctx, field.tableAlias);
    return joined + "." + fsSQLName(ctx, field.showField);
  }
  return fsSQLTable(ctx, ctx.text(wiz::TableName)) + "." + fsSQLName(ctx, field.name);
}

std::string fsSortableColumnsArray(const GenContext& ctx) {
  std::string array = "Array(";
  bool first = true;
  for (const FieldInfo& field : ctx.listFields()) {
    if (!field.isSortable()) continue;
    if (!first) array += ", ";
    array += '"' + fsVBStringText(fsSortName(ctx, field)) + '"';
    first = false;
  }
  return array + ")";
}

std::string fsASPSortRequest(const GenContext& ctx) {
  CodePrinter p;
  p.emit(R"(
msSortField = $CheckField$(Request("SortField"), $Columns$)
msSortOrder = $CheckOrder$(msSortField, Request("SortOrder"))
If msSortField = "" Then
  msSortOrderURL = ""
Else
  msSortOrderURL = "&SortField=" & server.urlEncode(msSortField) & "&SortOrder=" & server.urlEncode(msSortOrder)
End If
)",
         {{"CheckField", kSafeSortField}, {"Columns", fsSortableColumnsArray(ctx)}, {"CheckOrder", kSafeSortOrder}});
  return p.take();
}

std::string fsASPWholeNumberGuard(std::string_view variable) {
  CodePrinter p;
  p.emit(R"(
  On Error Resume Next
  $N$ = CLng($N$)
  If Err.Number > 0 Then
    $N$ = 1
    Err.Clear
  End If
  On Error GoTo 0

)",
         {{"N", variable}});
  return p.take();
}

std::string fsASPApplySorting() {
  CodePrinter p;
  p.emit(R"(
  ' Apply Sorting
  If msSortOrder <> "" Then
    sSQL = sSQL & " ORDER BY " & msSortField & " " & msSortOrder
  End If

)");
  return p.take();
}

std::string fsASPTokenInputLine() { return substitute("<%= $Input$() %>", {{"Input", kTokenInput}}); }

std::string fsASPVerifyChange(std::string_view function) {
  CodePrinter p;
  p.emit(R"(
  ' Only a form of this site, posted in this session, may change records
  If Not $Verified$() Then
    $Fn$ = False
    msUserMessage = "<SPAN CLASS=""MainError"">$Message$</SPAN><BR><BR>"
    Exit Function
  End If

)",
         {{"Verified", kVerifiedChange}, {"Fn", function}, {"Message", kUnverifiedMessage}});
  return p.take();
}

std::string fsASPReadPostedFirst(std::string_view comment, std::string_view variable, std::string_view name) {
  CodePrinter p;
  p.emit(R"(
$Comment$
$Var$ = Request.Form("$Name$")
If Len($Var$) = 0 Then
  ' Variables from the FORM request overide those in Query string
  $Var$ = Request.QueryString("$Name$")
End If

)",
         {{"Comment", comment}, {"Var", variable}, {"Name", name}});
  return p.take();
}

}  // namespace tvk::gen
