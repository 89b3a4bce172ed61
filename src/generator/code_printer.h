// The one printer through which every generated line of an ASP page is made.
//
// Lines end with CR LF and are indented with tab characters only. Every line
// is written as a template: a raw string whose lines carry their indentation
// as two spaces per tab and whose values are named placeholders ($Name$).
// Values fill placeholders and are never read as templates, so a value can
// hold "$", leading blanks or line breaks without changing the shape of the
// output.
//
//   CodePrinter p;
//   p.emit(R"(
//   Sub $Name$
//     Dim rs
//     $Body$
//   End Sub
//   )", {{"Name", "DisplayList"}, {"Body", [&] { writeBody(p); }}});
//
// A template line is written at the printer's current indentation plus one
// tab per leading pair of spaces; a single blank left over after the pairs is
// part of the text (some generated lines start with one). An empty template
// line is an empty output line, with no tabs. The first line break right
// after the opening R"( is not part of the template; every other line break
// ends a line, and text after the last line break is written without a line
// end, so the next template's first line follows it on the same output line
// (after the indentation that every template line starts with).
//
// A placeholder bound to a callback is a section: it stands alone on its
// template line, and the callback writes whatever lines the section has, one
// tab deeper per leading pair of spaces of that line. A section that writes
// nothing leaves no line behind, so an outline can name every section a page
// may have and let each decide whether it is there.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace tvk::gen {

// One named value of a template: a text, or a section's callback.
class TemplateVar {
 public:
  TemplateVar(std::string_view name, std::string_view text) : name_(name), text_(text) {}
  TemplateVar(std::string_view name, const std::string& text) : name_(name), text_(text) {}
  TemplateVar(std::string_view name, const char* text) : name_(name), text_(text) {}
  template <class Section>
  requires std::is_invocable_r_v<void, Section&> TemplateVar(std::string_view name, Section&& section)
      : name_(name), section_(std::forward<Section>(section)) {}

  std::string_view name() const { return name_; }
  bool isSection() const { return static_cast<bool>(section_); }
  std::string_view text() const { return text_; }
  void writeSection() const { section_(); }

 private:
  std::string_view name_;
  std::string_view text_;
  std::function<void()> section_;
};

using TemplateVars = std::initializer_list<TemplateVar>;

class CodePrinter {
 public:
  // Restores the previous indentation when it goes out of scope.
  class [[nodiscard]] Indent {
   public:
    Indent(CodePrinter& printer, int levels) : printer_(printer), levels_(levels) { printer_.level_ += levels_; }
    ~Indent() { printer_.level_ -= levels_; }
    Indent(const Indent&) = delete;
    Indent& operator=(const Indent&) = delete;

   private:
    CodePrinter& printer_;
    int levels_;
  };

  // Raises the indentation by `levels` tabs (lowers it for a negative
  // count) for the lifetime of the result.
  Indent indent(int levels = 1) { return Indent(*this, levels); }

  // A template (see the header comment) with its placeholders filled.
  void emit(std::string_view tmpl, TemplateVars vars = {});

  // A section of one line holding `text` as it stands, written only when
  // `on`: an outline's optional line. `text` must outlive the emit call.
  std::function<void()> lineIf(bool on, std::string_view text) {
    return [this, on, text] {
      if (on) emit("$Line$\n", {{"Line", text}});
    };
  }

  // Empty lines: a line end each (a template cannot start with one).
  void blank(int count = 1);

  // A block that another generator returned: it carries its own line ends
  // and indentation. A large block is kept as it came and joined once, by
  // take(): a page of ten thousand fields is megabytes, and copying each
  // routine into a growing page would copy it again at every doubling.
  void block(std::string_view text) { out_ += text; }
  void block(std::string&& text);

  // The text so far. take() leaves the printer empty.
  const std::string& str();
  std::string take();
  void clear() {
    pieces_.clear();
    out_.clear();
    level_ = 0;
  }

 private:
  void emitLine(std::string_view templateLine, TemplateVars vars, bool withLineEnd);

  std::vector<std::string> pieces_;  // text before out_, in order
  std::string out_;
  int level_ = 0;
};

// Fills the placeholders of one piece of template text ("$$" is a "$"): for
// values made of several pieces, such as an attribute list. An unknown
// placeholder, or one bound to a section, is a programming error and throws
// std::logic_error.
std::string substitute(std::string_view tmpl, TemplateVars vars);

// A section banner of the generated pages: "' *** ", the title, a blank and
// asterisks up to `width` characters.
std::string fsBanner(std::string_view title, size_t width = 79);

}  // namespace tvk::gen
