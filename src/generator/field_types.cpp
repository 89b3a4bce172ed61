#include "generator/field_types.h"
#include "base/general.h"

#include <charconv>

#include "base/ado_routines.h"
#include "base/general.h"
#include "generator/gen_context.h"

namespace tvk::gen {

int fieldTypeCode(const FieldInfo& field) {
  return isWholeNumber(field.dataType) ? dataTypeCode(field.dataType, "field " + field.name) : 0;
}

bool isBoolean(int type) { return gfnBaseDataType(type) == adotype::Boolean; }

bool isDate(int type) { return gfnBaseDataType(type) == adotype::Date; }

bool isText(int type) {
  int base = gfnBaseDataType(type);
  return base == adotype::Char || base == adotype::LongVarChar;
}

bool isLongText(int type, std::string_view definedSize) {
  if (!gfbIsTextType(type)) return false;
  std::string_view digits = trimBlanks(definedSize);
  long size = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), size);
  bool sized = !digits.empty() && ec == std::errc() && end == digits.data() + digits.size();
  return !(sized && size >= 1 && size <= 255);
}

bool isBoolean(const FieldInfo& field) { return isBoolean(fieldTypeCode(field)); }

bool isLongText(const FieldInfo& field) { return isLongText(fieldTypeCode(field), field.size); }

}  // namespace tvk::gen
