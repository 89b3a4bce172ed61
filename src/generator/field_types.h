// What kind of value a field holds, decided by its ADO type code (the
// DataType of its field record) and never by its description text, which is
// only a caption for the wizard's pages. Every writer that chooses a control,
// a formatter or an assignment by type asks here.
#pragma once

#include <string>
#include <string_view>

namespace tvk::gen {

struct FieldInfo;

// A field record's type code; 0 (no type) when its DataType is not a whole
// number, which no predicate below accepts. Writers that must refuse such a
// record read it with dataTypeCode (gen_context.h) instead.
int fieldTypeCode(const FieldInfo& field);

// Yes/no: shown as a check box and read back with gfbRequestValue.
bool isBoolean(int type);
// Dates and times: formatted for SQL with gfsSQLDateFormat.
bool isDate(int type);
// Texts of any length: formatted for SQL with gfsSQLTextFormat.
bool isText(int type);
// A text too long for a one-line input: a text type whose defined size
// (FieldSize) is not from 1 to 255, as the wizard describes "Long Text". Its
// value may hold line breaks, which a one-line input would drop.
bool isLongText(int type, std::string_view definedSize);

// How many characters a one-line input takes for the field: for a number,
// the longest value of its type as typed (sign and decimal point
// included: 11 for a 4-byte integer, 20 for an 8-byte one, the precision
// plus 2 for a decimal, whose precision is its FieldSize); for anything
// else its FieldSize. Empty or "0" when there is no limit to give.
std::string inputWidth(const FieldInfo& field);

bool isBoolean(const FieldInfo& field);
bool isLongText(const FieldInfo& field);

}  // namespace tvk::gen
