#include "database/global_asa.h"

#include <gtest/gtest.h>

#include <fstream>

#include "database/database_test_support.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

std::string write(const test::ScopedTempDir& dir, const std::string& name, const std::string& text) {
  std::string path = dir / name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::vector<std::string> names(const std::optional<XmlNodeList>& list) {
  std::vector<std::string> out;
  for (const XmlNode& node : list.value()) {
    EXPECT_EQ(node.name(), "DatabaseConnection");
    out.push_back(node.text());
  }
  return out;
}

TEST(GlobalAsa, DataSourcesOfApplicationOnStartInFileOrder) {
  test::ScopedTempDir dir;
  std::string path = write(dir, "global.asa",
                           "<SCRIPT LANGUAGE=VBScript RUNAT=Server>\r\n"
                           "Application(\"Outside_ConnectionString\") = \"DSN=out\"\r\n"
                           "Sub Application_OnStart\r\n"
                           "\t'==Visual InterDev Generated - startspan==\r\n"
                           "\tApplication(\"Sales_ConnectionString\") = \"DSN=sales\"\r\n"
                           "\tApplication(\"Sales_RuntimeUserName\") = \"web\"\r\n"
                           "\tApplication(\"Stock_ConnectionString\") = \"DSN=stock\"\r\n"
                           "\tApplication(\"Sales_ConnectionString\") = \"DSN=again\"\r\n"
                           "End Sub\r\n"
                           "Sub Session_OnStart\r\n"
                           "\tApplication(\"Late_ConnectionString\") = \"x\"\r\n"
                           "End Sub\r\n"
                           "</SCRIPT>\r\n");
  EXPECT_EQ(names(gfoGlobalASADataSources(path)), (std::vector<std::string>{"Sales", "Stock", "Sales"}));
  // Values are looked up in the whole file.
  EXPECT_EQ(gfsGlobalASAValue(path, "Outside_ConnectionString"), "DSN=out");
  EXPECT_EQ(gfsGlobalASAValue(path, "Sales_ConnectionString"), "DSN=sales");
  EXPECT_EQ(gfsGlobalASAValue(path, "Late_ConnectionString"), "x");
  EXPECT_EQ(gfsGlobalASAValue(path, "Nobody_ConnectionString"), "");
}

TEST(GlobalAsa, NoProcedureEmptyListUnfinishedOrMissingNoList) {
  test::ScopedTempDir dir;
  std::optional<XmlNodeList> none =
      gfoGlobalASADataSources(write(dir, "a.asa", "Application(\"A_ConnectionString\") = \"x\"\n"));
  ASSERT_TRUE(none.has_value());
  EXPECT_TRUE(none->empty());
  // The case of the procedure name matters.
  EXPECT_TRUE(gfoGlobalASADataSources(
                  write(dir, "b.asa", "sub application_onstart\nApplication(\"A_ConnectionString\")=\"x\"\nend sub\n"))
                  ->empty());
  EXPECT_FALSE(gfoGlobalASADataSources(
      write(dir, "c.asa", "Sub Application_OnStart\nApplication(\"A_ConnectionString\")=\"x\"\n")));
  EXPECT_FALSE(gfoGlobalASADataSources(dir / "missing.asa"));
  EXPECT_EQ(gfsGlobalASAValue(dir / "missing.asa", "A_ConnectionString"), "");
}

TEST(GlobalAsa, ValuesKeepTheirCaseAndSkipComments) {
  test::ScopedTempDir dir;
  std::string path = write(dir, "global.asa",
                           "' Application(\"Sales_RuntimeUserName\") = \"Commented\"\n"
                           "application(\"sales_runtimeusername\") = \"Admin\"  ' the shop's user\n"
                           "Application(\"Sales_RuntimePassword\") = \"Se\"\"cret\"\n"
                           "Application(\"Sales_ConnectionString\") = \"DSN=O'Brien\"\n"
                           "Application(\"Number_Value\") = 5\n"
                           "Application(\"Sales_RuntimeUserName\") = \"Later\"\n");
  EXPECT_EQ(gfsGlobalASAValue(path, "Sales_RuntimeUserName"), "Admin");
  EXPECT_EQ(gfsGlobalASAValue(path, "SALES_RUNTIMEUSERNAME"), "Admin");
  // From the quote after the key to the last quote of the line.
  EXPECT_EQ(gfsGlobalASAValue(path, "Sales_RuntimePassword"), "Se\"\"cret");
  // An apostrophe inside a value starts a comment as well: nothing is left.
  EXPECT_EQ(gfsGlobalASAValue(path, "Sales_ConnectionString"), "");
  EXPECT_EQ(gfsGlobalASAValue(path, "Number_Value"), "");
}

}  // namespace
}  // namespace tvk
