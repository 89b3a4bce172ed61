// The include-file helpers through which generated pages keep request values
// out of SQL and HTML. Generated lines name them only through these
// constants, so renaming a helper in the include files is a change here.
#pragma once

#include <string>
#include <string_view>

namespace tvk::gen {

class GenContext;

// A numeric key formatted for SQL; a text that is not a number becomes NULL,
// which matches no record.
inline constexpr std::string_view kSQLNumberFormat = "gfsSQLNumberFormat";
// (requested field, Array(...) of the page's sortable columns): the page's
// own column that the request names, else the empty text.
inline constexpr std::string_view kSafeSortField = "gfsSortField";
// (checked sort field, requested order): "ASC" or "DESC" for a sort field,
// the empty text without one (so no ORDER BY is written).
inline constexpr std::string_view kSafeSortOrder = "gfsSortOrder";
// A text made fit for HTML (Null gives the empty text).
inline constexpr std::string_view kHTMLEncode = "gfsHTMLEncode";
// A text made fit for a URL's query string.
inline constexpr std::string_view kURLEncode = "Server.URLEncode";

// A column name and a table name as the project's database wants them in
// SQL (gfsEncaseSQLObject / gfsEncaseSQLTable with the stored dialect).
std::string fsSQLName(const GenContext& ctx, std::string_view name);
std::string fsSQLTable(const GenContext& ctx, std::string_view name);
// A column name as ADO's own Find criteria take it, whatever the database:
// in brackets when it needs quoting (the blank-only rule without a stored
// dialect).
std::string fsADOCriteriaName(const GenContext& ctx, std::string_view name);

// The qualified column by which the list is sorted when the user clicks the
// header of a sortable field: the looked-up column for a database lookup
// (named through its table's alias when the statement joins that table a
// second time), else the table's own column (both through
// gfsEncaseSQLObject).
struct FieldInfo;
std::string fsSortName(const GenContext& ctx, const FieldInfo& field);

// The list page's sortable columns as the sort-field check takes them: an
// Array(...) expression of string literals, one per sort name.
std::string fsSortableColumnsArray(const GenContext& ctx);

// The page's reading of the sort field and order from the request, checked
// against the list's own sortable columns and ASC/DESC before they can reach
// ORDER BY or the HTML, and msSortOrderURL, the query-string tail that
// carries them on in the page's links. The list page and the form page of a
// sorted list read them alike, so that the form hands back the order the
// list was shown in.
std::string fsASPSortRequest(const GenContext& ctx);

// The record set routine's guard on the page or record number that came
// with the request (`variable`): made a whole number, 1 when the request's
// text is not one, before it positions the record set.
std::string fsASPWholeNumberGuard(std::string_view variable);

// The record set routine's ORDER BY: written only when the checked sort
// order is not empty, which a request cannot force with an unchecked field.
std::string fsASPApplySorting();

}  // namespace tvk::gen
