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
// A value made fit for a URL's query string (Null gives the empty text).
inline constexpr std::string_view kURLEncodeValue = "gfsURLEncode";
// () the hidden input that carries the session's token in every form.
inline constexpr std::string_view kTokenInput = "gfsTokenInput";
// () True for a POST that carries the session's token: the only request
// that may insert, update or delete.
inline constexpr std::string_view kVerifiedChange = "gfbVerifiedChange";
// What a page says when it refuses a change that fails that check.
inline constexpr std::string_view kUnverifiedMessage = "The request could not be verified; please try again.";

// The line of a form that writes the token's hidden input.
std::string fsASPTokenInputLine();

// The first lines of an insert, update or delete routine (`function`): a
// request that is not a POST with the session's token changes nothing.
std::string fsASPVerifyChange(std::string_view function);

// A request value read into `variable`: the posted form's value, else the
// query string's (the form posts back what its links also carry), so that
// every routine of the page reads the one value.
std::string fsASPReadPostedFirst(std::string_view comment, std::string_view variable, std::string_view name);

// Texts from the project or the schema (labels, field and table names, list
// values, the connection string, folder and project names), written for the
// place where they land in a page, so that no such text can end the page's
// script block, a string literal or an attribute, or start markup.

// The inside of a VBScript string literal ("..."): quotes doubled, "%>"
// split as %" & "> so that it cannot close the script block, and CR, LF and
// CR LF written as " & vbCr & ", " & vbLf & " and " & vbCrLf & ".
std::string fsVBStringText(std::string_view text);
// An HTML attribute's value: &, <, >, " and ' as character references.
std::string fsHTMLAttributeText(std::string_view text);
// A part of a URL: every byte but letters, digits, "-", "_", ".", "~" and
// those in `keep` (a path keeps "/") as %XX.
std::string fsURLText(std::string_view text, std::string_view keep = {});
// HTML content from a label, a title or a list text: as given (a label may
// hold markup on purpose), except that "<%" and "%>" are encoded, so that
// the text can neither open nor close a script block.
std::string fsHTMLText(std::string_view text);
// A script name made from a field name (the manual lists' arrays): letters,
// digits and "_" stay, every other character becomes "_".
std::string fsScriptName(std::string_view text);

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
