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
    case adotype::LongVarWChar: return true;
    default: return false;
  }
}

int gfnBaseDataType(int type) {
  switch (type) {
    case 2: case 3: case 16: case 17: case 18: case 19: case 20: case 21: return adotype::Integer;
    case 6: case 14: case 131: case 139: return adotype::Numeric;
    case 7: case 64: case 133: case 134: case 135: return adotype::Date;
    case 8: case 129: case 130: case 200: case 202: return adotype::Char;
    case 11: return adotype::Boolean;
    case 128: case 204: case 205: return adotype::Binary;
    case 201: case 203: return adotype::LongVarChar;
    default: return type;
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
    case adotype::Numeric: return true;
    case adotype::WChar:
    case adotype::VarChar:
    case adotype::LongVarChar:
    case adotype::VarWChar:
    case adotype::LongVarWChar: return column.definedSize >= 1 && column.definedSize <= 255;
    default: return false;
  }
}

bool gfbCompatibleDataType(int typeA, int typeB) {
  return typeA == typeB || (gfbIsTextType(typeA) && gfbIsTextType(typeB));
}

std::string gfsDataTypeName(const ColumnFacts& column) {
  switch (column.type) {
    case 3: return "Integer";
    case 4: case 5: return "Floating Point";
    case 6: return "Currency";
    case 7: return "Date";
    case 11: return "Boolean";
    case 128: case 204: return "Binary";
    case 129: case 130: case 200: case 201: case 202: case 203:
      if (column.definedSize >= 1 && column.definedSize <= 255)
        return "Text (" + std::to_string(column.definedSize) + ")";
      return "Long Text";
    case 131: return "Numeric";
    default: return std::to_string(column.type);
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
