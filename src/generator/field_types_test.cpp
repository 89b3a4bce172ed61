#include "generator/field_types.h"

#include <gtest/gtest.h>

#include "base/ado_routines.h"
#include "generator/gen_context.h"

namespace tvk::gen {
namespace {

TEST(FieldTypes, KindsFollowTheTypeCode) {
  EXPECT_TRUE(isBoolean(adotype::Boolean));
  EXPECT_FALSE(isBoolean(adotype::TinyInt));
  for (int type : {adotype::Date, adotype::DBDate, adotype::DBTime, adotype::DBTimeStamp, adotype::FileTime})
    EXPECT_TRUE(isDate(type)) << type;
  EXPECT_FALSE(isDate(adotype::Double));
  for (int type : {adotype::BSTR, adotype::Char, adotype::VarWChar, adotype::LongVarChar, adotype::LongVarWChar})
    EXPECT_TRUE(isText(type)) << type;
  EXPECT_FALSE(isText(adotype::Binary));
  EXPECT_FALSE(isText(0));
}

TEST(FieldTypes, LongTextIsATextWithoutASizeFrom1To255) {
  EXPECT_FALSE(isLongText(adotype::VarWChar, "1"));
  EXPECT_FALSE(isLongText(adotype::VarWChar, " 255 "));
  EXPECT_TRUE(isLongText(adotype::VarWChar, "256"));
  EXPECT_TRUE(isLongText(adotype::LongVarWChar, "0"));
  EXPECT_TRUE(isLongText(adotype::LongVarChar, ""));
  EXPECT_TRUE(isLongText(adotype::LongVarChar, "-1"));
  EXPECT_TRUE(isLongText(adotype::VarChar, "many"));
  EXPECT_FALSE(isLongText(adotype::Integer, "0"));  // not a text at all
}

TEST(FieldTypes, AFieldIsJudgedByItsTypeCodeAndSize) {
  FieldInfo field;
  field.name = "Flag";
  field.dataType = " 11 ";
  EXPECT_TRUE(isBoolean(field));
  field.dataType = "203";
  field.size = "0";
  EXPECT_FALSE(isBoolean(field));
  EXPECT_TRUE(isLongText(field));
  // A type that is not a number is no kind at all (and no failure).
  field.dataType = "Memo";
  EXPECT_EQ(fieldTypeCode(field), 0);
  EXPECT_FALSE(isLongText(field));
}

}  // namespace
}  // namespace tvk::gen
