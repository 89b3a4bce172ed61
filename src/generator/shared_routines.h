// The blocks that the list page and the form page share: the page opening
// (with the user's Header.txt), the HTML frame and title bar, the database
// connection, the hand-made lookup arrays, the lookup controls of editable
// fields, and the style's table attributes, stylesheet and sort and edit
// markers. Each returns its text; the blocks
// that can fail report through the generator's error trap and return the
// empty text after Abort.
#pragma once

#include <string>
#include <string_view>

namespace tvk::gen {

class GenContext;
struct FieldInfo;

// The markers of fsHTMLGraphic.
inline constexpr int kMarkerSortAscending = 1;
inline constexpr int kMarkerSortDescending = 2;
inline constexpr int kMarkerEditRecord = 3;

// The template file read into the opening of every page.
inline constexpr const char* kHeaderTemplate = "Header.txt";

std::string fsASPStandardHeader(const GenContext& ctx);
std::string fsHTMLStandardHeader(const GenContext& ctx);
std::string fsHTMLStandardFooter();
std::string fsASPOpenDBConnection(const GenContext& ctx);
std::string fsASPDefineLookupArrays(const GenContext& ctx);
std::string fsASPGenerateLookupArrays(const GenContext& ctx);
std::string fsHTMLTableAttributes(const GenContext& ctx);
std::string fsStylesheetName(const GenContext& ctx);
std::string fsHTMLGraphic(const GenContext& ctx, int kind);

// The page's reading of the data action (the label of the button that sent
// the request) into msDataAction: a posted form's value first, else the
// query string's.
std::string fsASPReadDataAction();

// Written into the input of a read-only field. A disabled input is not
// posted, so the pages add a hidden input that carries the value.
inline constexpr std::string_view kReadOnlyAttribute = R"( DISABLED CLASS="READONLY" )";

// The include routine call, in script marks, that draws the control of an
// editable lookup field inside its cell: a select list or radio buttons,
// over the field's database table or over the page's hand-made array
// ma<FieldName>. The empty text when the lookup or display type names no
// control.
std::string fsASPLookupControl(const FieldInfo& field);

// The script name of a field's hand-made lookup array: "ma" and the field
// name with every character that cannot stand in a VBScript name (anything
// but an ASCII letter, digit or underscore) made "_". A page numbers the
// names its lists would share (GenContext::manualListArrays).
std::string fsLookupArrayName(std::string_view fieldName);

// The disabled input of a read-only lookup field over a database table:
// it shows the looked-up text, which comes from the joined column of the
// page's statement.
std::string fsHTMLReadOnlyLookupInput(const FieldInfo& field);

// The disabled input of a read-only field with a hand-made list: it shows the
// list's text for the field's own value, read through gfsFieldValue so that
// it works while no record is open (adding); the developer's text is encoded
// for the attribute.
std::string fsHTMLReadOnlyManualListInput(const FieldInfo& field);

// The disabled input of a read-only lookup field, by its lookup type; empty
// for a type that has none.
std::string fsHTMLReadOnlyLookup(const FieldInfo& field);

// A template file's text as UTF-8: taken as it is when it is valid UTF-8,
// else read as Windows-1252 (the single-byte code page of the pages).
std::string gfsTemplateText(const std::string& bytes);

}  // namespace tvk::gen
