#include "base/ado_routines.h"

#include <algorithm>
#include <cctype>

namespace tvk {

// These routines are total over their inputs: no step can fail, so they need
// no error trap.

bool gfbIsTextType(int type) {
  switch (type) {
    case adotype::Char:
    case adotype::WChar:
    case adotype::VarChar:
    case adotype::LongVarChar:
    case adotype::VarWChar:
    case adotype::LongVarWChar:
      return true;
    default:
      return false;
  }
}

int gfnBaseDataType(int type) {
  switch (type) {
    case adotype::SmallInt:
    case adotype::Integer:
    case adotype::TinyInt:
    case adotype::UnsignedTinyInt:
    case adotype::UnsignedSmallInt:
    case adotype::UnsignedInt:
    case adotype::BigInt:
    case adotype::UnsignedBigInt:
      return adotype::Integer;
    case adotype::Currency:
    case adotype::Decimal:
    case adotype::Numeric:
    case adotype::VarNumeric:
      return adotype::Numeric;
    case adotype::Date:
    case adotype::FileTime:
    case adotype::DBDate:
    case adotype::DBTime:
    case adotype::DBTimeStamp:
      return adotype::Date;
    case adotype::BSTR:
    case adotype::Char:
    case adotype::WChar:
    case adotype::VarChar:
    case adotype::VarWChar:
      return adotype::Char;
    case adotype::Boolean:
      return adotype::Boolean;
    case adotype::Binary:
    case adotype::VarBinary:
    case adotype::LongVarBinary:
      return adotype::Binary;
    case adotype::LongVarChar:
    case adotype::LongVarWChar:
      return adotype::LongVarChar;
    default:
      return type;
  }
}

std::string gfsEncaseSQLObject(std::string_view name) {
  if (name.find(' ') != std::string_view::npos) {
    std::string result = "[";
    result += name;
    result += ']';
    return result;
  }
  return std::string(name);
}

bool gfbSortableFieldType(const ColumnFacts& column) {
  switch (gfnBaseDataType(column.type)) {
    case adotype::Integer:
    case adotype::Date:
    case adotype::Boolean:
    case adotype::Char:
    case adotype::Numeric:
      return true;
    case adotype::WChar:
    case adotype::VarChar:
    case adotype::LongVarChar:
    case adotype::VarWChar:
    case adotype::LongVarWChar:
      return column.definedSize >= 1 && column.definedSize <= 255;
    default:
      return false;
  }
}

bool gfbCompatibleDataType(int typeA, int typeB) {
  return typeA == typeB || (gfbIsTextType(typeA) && gfbIsTextType(typeB));
}

std::string gfsDataTypeName(const ColumnFacts& column) {
  if (gfbIsTextType(column.type)) {
    if (column.definedSize >= 1 && column.definedSize <= 255)
      return "Text (" + std::to_string(column.definedSize) + ")";
    return "Long Text";
  }
  switch (column.type) {
    case adotype::Integer:
      return "Integer";
    case adotype::Single:
    case adotype::Double:
      return "Floating Point";
    case adotype::Currency:
      return "Currency";
    case adotype::Date:
      return "Date";
    case adotype::Boolean:
      return "Boolean";
    case adotype::Binary:
    case adotype::VarBinary:
      return "Binary";
    case adotype::Numeric:
      return "Numeric";
    default:
      return std::to_string(column.type);
  }
}

bool gfbAutoIncrementField(const ColumnFacts& column) { return column.autoIncrement; }

std::string gfsBaseDSProvider(std::string_view provider) {
  std::string upper(provider);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper.find("JET") != std::string::npos ? "JET" : "OTHER";
}

}  // namespace tvk
