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

std::string fsSortName(const GenContext& ctx, const FieldInfo& field) {
  if (field.usesDatabaseLookup()) {
    // A table joined a second time is named through its alias.
    const std::string joined = field.tableAlias.empty() ? fsSQLTable(ctx, field.lookupTable)
                                                        : fsSQLName(ctx, field.tableAlias);
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
    array += '"' + gsQuoteDoubled(fsSortName(ctx, field)) + '"';
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

}  // namespace tvk::gen
