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
    p.emit("\t\n");    // a line of one more tab
    p.emit("open ");   // no line end: the next template goes on from here,
    p.emit("next\n");  // after the indentation every template line starts with
  }
  p.blank(2);
  p.emit("End Sub\n");
  EXPECT_EQ(p.str(),
            "Sub Test\r\n\r\n\tDim rs\r\n\t\tIf x Then\r\n\t ' one tab and a blank\r\n"
            "\t\tA\r\n\t\t\tB\r\n\t\t\t\r\n\t\topen \t\tnext\r\n\r\n\r\nEnd Sub\r\n");
}

TEST(CodePrinter, ValuesNeverBecomeTemplateText) {
  // A value holding placeholders, dollars, line breaks or leading blanks is
  // written as it stands and does not change the shape of the output.
  CodePrinter p;
  p.emit("  x = \"$V$\" ' $$ kept\n", {{"V", "$Other$ $$\n  y"}});
  EXPECT_EQ(p.str(), "\tx = \"$Other$ $$\n  y\" ' $ kept\r\n");
  EXPECT_EQ(substitute("$A$$B$", {{"A", "1"}, {"B", "2"}}), "12");
}

TEST(CodePrinter, SectionsWriteAtTheirLinesDepthAndVanishWhenEmpty) {
  CodePrinter p;
  p.emit(R"(
Sub Outline
  $Body$
  $Nothing$
    $Optional$
  $Skipped$
End Sub
)",
         {{"Body",
           [&] {
             p.emit("If a Then\n  $Inner$\nEnd If\n", {{"Inner", [&] { p.emit("b = 1\n"); }}});
           }},
          {"Nothing", [] {}},
          {"Optional", p.lineIf(true, "$kept$ as it stands")},
          {"Skipped", p.lineIf(false, "never")}});
  EXPECT_EQ(p.str(), "Sub Outline\r\n\tIf a Then\r\n\t\tb = 1\r\n\tEnd If\r\n\t\t$kept$ as it stands\r\nEnd Sub\r\n");
  // The indentation is back where it was after the sections.
  p.clear();
  p.emit("$S$\nx\n", {{"S", [&] { p.emit("  y\n"); }}});
  EXPECT_EQ(p.str(), "\ty\r\nx\r\n");
}

TEST(CodePrinter, LargeBlocksKeepTheirPlace) {
  // Blocks large enough to be kept whole come out where they were given.
  const std::string large(40000, 'x');
  CodePrinter p;
  p.emit("a\n");
  p.block(std::string(large));
  p.emit("b\n");
  p.block(std::string(large));
  p.block(std::string(large));
  EXPECT_EQ(p.str(), "a\r\n" + large + "b\r\n" + large + large);
  p.emit("c\n");
  EXPECT_EQ(p.take(), "a\r\n" + large + "b\r\n" + large + large + "c\r\n");
  EXPECT_EQ(p.take(), "");
}

TEST(CodePrinter, BannersFillToTheirWidth) {
  EXPECT_EQ(fsBanner("SETUP"), "' *** SETUP " + std::string(79 - 12, '*'));
  EXPECT_EQ(fsBanner("CONSTANTS", 77).size(), 77u);
  // A title longer than the width is not cut.
  EXPECT_EQ(fsBanner("A LONG TITLE", 10), "' *** A LONG TITLE ");
}

TEST(CodePrinter, TemplateMistakesAreCaught) {
  CodePrinter p;
  EXPECT_THROW(p.emit("$Missing$\n"), std::logic_error);
  EXPECT_THROW(p.emit("unterminated $Name\n", {{"Name", "x"}}), std::logic_error);
  EXPECT_THROW(p.emit("a\n   \nb\n"), std::logic_error);  // blanks only
  // A section shares its line with nothing, and is never a value.
  EXPECT_THROW(p.emit("x $S$\n", {{"S", [] {}}}), std::logic_error);
  EXPECT_THROW(p.emit("$S$", {{"S", [] {}}}), std::logic_error);
  EXPECT_THROW(substitute("$S$", {{"S", [] {}}}), std::logic_error);
}

}  // namespace
}  // namespace tvk::gen
