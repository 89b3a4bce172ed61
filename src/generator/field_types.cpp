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

std::string inputWidth(const FieldInfo& field) {
  switch (fieldTypeCode(field)) {
    case adotype::UnsignedTinyInt:
      return "3";  // 255
    case adotype::TinyInt:
      return "4";  // -128
    case adotype::UnsignedSmallInt:
      return "5";  // 65535
    case adotype::SmallInt:
      return "6";  // -32768
    case adotype::UnsignedInt:
      return "10";  // 4294967295
    case adotype::Integer:
      return "11";  // -2147483648
    case adotype::BigInt:
    case adotype::UnsignedBigInt:
      return "20";  // -9223372036854775808, 18446744073709551615
    case adotype::Currency:
      return "21";  // -922337203685477.5808
    case adotype::Single:
    case adotype::Double:
      return "24";  // -1.7976931348623157E+308 and any shorter form
    case adotype::Decimal:
    case adotype::Numeric:
    case adotype::VarNumeric: {
      // A sign and a decimal point besides the digits.
      std::string_view digits = trimBlanks(field.size);
      long precision = 0;
      auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), precision);
      if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || precision <= 0)
        return field.size;
      return std::to_string(precision + 2);
    }
    default:
      return field.size;
  }
}

bool isBoolean(const FieldInfo& field) { return isBoolean(fieldTypeCode(field)); }

bool isLongText(const FieldInfo& field) { return isLongText(fieldTypeCode(field), field.size); }

}  // namespace tvk::gen
