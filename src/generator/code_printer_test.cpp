#include "generator/code_printer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tvk::gen {
namespace {

TEST(CodePrinter, TemplateIndentationLineEndsAndPartialLines) {
  CodePrinter p;
  p.emit(R"(
Sub $Name$

  Dim rs
    If x Then
   ' one tab and a blank
)",
         {{"Name", "Test"}});
  {
    auto in = p.indent(2);
    p.emit("A\n  B\n");
    p.line("");  // a line of tabs only
    p.emit("open ");  // no line end: the next text continues the line
    p.text("continued");
    p.endLine();
  }
  p.blank(2);
  p.line("End Sub");
  EXPECT_EQ(p.str(),
            "Sub Test\r\n\r\n\tDim rs\r\n\t\tIf x Then\r\n\t ' one tab and a blank\r\n"
            "\t\tA\r\n\t\t\tB\r\n\t\t\r\n\t\topen continued\r\n\r\n\r\nEnd Sub\r\n");
}

TEST(CodePrinter, ValuesNeverBecomeTemplateText) {
  // A value holding placeholders, dollars, line breaks or leading blanks is
  // written as it stands and does not change the shape of the output.
  CodePrinter p;
  p.emit("  x = \"$V$\" ' $$ kept\n", {{"V", "$Other$ $$\n  y"}});
  EXPECT_EQ(p.str(), "\tx = \"$Other$ $$\n  y\" ' $ kept\r\n");
  EXPECT_EQ(substitute("$A$$B$", {{"A", "1"}, {"B", "2"}}), "12");
}

TEST(CodePrinter, TemplateMistakesAreCaught) {
  CodePrinter p;
  EXPECT_THROW(p.emit("$Missing$\n"), std::logic_error);
  EXPECT_THROW(p.emit("unterminated $Name\n", {{"Name", "x"}}), std::logic_error);
  EXPECT_THROW(p.emit("a\n   \nb\n"), std::logic_error);  // blanks only: write it with line()
}

}  // namespace
}  // namespace tvk::gen
