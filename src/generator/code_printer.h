// The one printer through which every generated line of an ASP page is made.
//
// Lines end with CR LF (written by endLine() and nowhere else) and are
// indented with tab characters only. Routine texts are written as templates:
// raw strings whose lines carry their indentation as two spaces per tab and
// whose values are named placeholders ($Name$). Values fill placeholders and
// are never read as templates, so a value can hold "$", leading blanks or
// line breaks without changing the shape of the output.
//
//   CodePrinter p;
//   p.emit(R"(
//   Sub $Name$
//     Dim rs
//   End Sub
//   )", {{"Name", "DisplayList"}});
//
// A template line is written at the printer's current indentation plus one
// tab per leading pair of spaces; a single blank left over after the pairs is
// part of the text (some generated lines start with one). An empty template
// line is an empty output line, with no tabs. The first line break right
// after the opening R"( is not part of the template; every other line break
// ends a line, and text after the last line break is written without a line
// end, so the next output continues that line.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace tvk::gen {

using TemplateVars = std::initializer_list<std::pair<std::string_view, std::string_view>>;

class CodePrinter {
 public:
  // Restores the previous indentation when it goes out of scope.
  class [[nodiscard]] Indent {
   public:
    Indent(CodePrinter& printer, int levels) : printer_(printer), levels_(levels) {
      printer_.level_ += levels_;
    }
    ~Indent() { printer_.level_ -= levels_; }
    Indent(const Indent&) = delete;
    Indent& operator=(const Indent&) = delete;

   private:
    CodePrinter& printer_;
    int levels_;
  };

  // Raises the indentation by `levels` tabs for the lifetime of the result.
  Indent indent(int levels = 1) { return Indent(*this, levels); }

  // A template (see the header comment) with its placeholders filled.
  void emit(std::string_view tmpl, TemplateVars vars = {});

  // One whole line: indentation, text, line end. An empty text still gets
  // the indentation (a line of tabs only); use blank() for an empty line.
  void line(std::string_view text);
  // Empty lines: a line end each.
  void blank(int count = 1);

  // Pieces of a line built up by hand: the indentation (one tab per level),
  // text as it stands, and the line end.
  void indentation();
  void text(std::string_view text);
  void endLine();

  // A block that another generator returned: it carries its own line ends.
  void block(std::string_view text) { out_ += text; }

  const std::string& str() const { return out_; }
  std::string take() { return std::move(out_); }
  void clear() {
    out_.clear();
    level_ = 0;
  }

 private:
  void emitLine(std::string_view templateLine, TemplateVars vars, bool withLineEnd);

  std::string out_;
  int level_ = 0;
};

// Fills the placeholders of one piece of template text ("$$" is a "$").
// An unknown placeholder is a programming error and throws std::logic_error.
std::string substitute(std::string_view tmpl, TemplateVars vars);

}  // namespace tvk::gen
