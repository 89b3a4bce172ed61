// Rules shared by the wizard and the code generator about column types, SQL
// names and providers. Type codes are ADO DataTypeEnum values.
#pragma once

#include <string>
#include <string_view>

namespace tvk {

// What the rules need to know of a schema column.
struct ColumnFacts {
  int type = 0;          // ADO type code
  long definedSize = 0;  // defined size (characters for text)
  bool autoIncrement = false;
};

namespace adotype {
inline constexpr int SmallInt = 2, Integer = 3, Single = 4, Double = 5, Currency = 6, Date = 7, BSTR = 8, Boolean = 11,
                     Decimal = 14, TinyInt = 16, UnsignedTinyInt = 17, UnsignedSmallInt = 18, UnsignedInt = 19,
                     BigInt = 20, UnsignedBigInt = 21, FileTime = 64, GUID = 72, Binary = 128, Char = 129, WChar = 130,
                     Numeric = 131, DBDate = 133, DBTime = 134, DBTimeStamp = 135, VarNumeric = 139, VarChar = 200,
                     LongVarChar = 201, VarWChar = 202, LongVarWChar = 203, VarBinary = 204, LongVarBinary = 205,
                     Variant = 12;
}

bool gfbIsTextType(int type);
int gfnBaseDataType(int type);
std::string gfsEncaseSQLObject(std::string_view name);
bool gfbSortableFieldType(const ColumnFacts& column);
bool gfbCompatibleDataType(int typeA, int typeB);
std::string gfsDataTypeName(const ColumnFacts& column);
bool gfbAutoIncrementField(const ColumnFacts& column);
std::string gfsBaseDSProvider(std::string_view provider);

}  // namespace tvk
