#include "generator/code_printer.h"

#include <stdexcept>

namespace tvk::gen {

namespace {
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kIndentUnit = '\t';
}  // namespace

std::string substitute(std::string_view tmpl, TemplateVars vars) {
  std::string result;
  result.reserve(tmpl.size() + 16);
  size_t pos = 0;
  while (pos < tmpl.size()) {
    size_t open = tmpl.find('$', pos);
    if (open == std::string_view::npos) {
      result += tmpl.substr(pos);
      break;
    }
    result += tmpl.substr(pos, open - pos);
    size_t close = tmpl.find('$', open + 1);
    if (close == std::string_view::npos)
      throw std::logic_error("unterminated placeholder in template: " + std::string(tmpl));
    std::string_view name = tmpl.substr(open + 1, close - open - 1);
    if (name.empty()) {
      result += '$';
    } else {
      bool found = false;
      for (const auto& [key, value] : vars) {
        if (key == name) {
          result += value;
          found = true;
          break;
        }
      }
      if (!found) throw std::logic_error("no value for placeholder $" + std::string(name) + "$");
    }
    pos = close + 1;
  }
  return result;
}

void CodePrinter::endLine() { out_ += kLineEnd; }

void CodePrinter::indentation() { out_.append(static_cast<size_t>(level_), kIndentUnit); }

void CodePrinter::text(std::string_view text) { out_ += text; }

void CodePrinter::line(std::string_view text) {
  indentation();
  out_ += text;
  endLine();
}

void CodePrinter::blank(int count) {
  for (int i = 0; i < count; ++i) endLine();
}

void CodePrinter::emitLine(std::string_view templateLine, TemplateVars vars, bool withLineEnd) {
  if (templateLine.empty()) {
    if (withLineEnd) endLine();
    return;
  }
  size_t spaces = templateLine.find_first_not_of(' ');
  if (spaces == std::string_view::npos)
    throw std::logic_error("template line of blanks only: write it with line()");
  int extra = static_cast<int>(spaces / 2);
  templateLine.remove_prefix(static_cast<size_t>(extra) * 2);
  out_.append(static_cast<size_t>(level_ + extra), kIndentUnit);
  out_ += substitute(templateLine, vars);
  if (withLineEnd) endLine();
}

void CodePrinter::emit(std::string_view tmpl, TemplateVars vars) {
  if (!tmpl.empty() && tmpl.front() == '\n') tmpl.remove_prefix(1);
  while (!tmpl.empty()) {
    size_t newline = tmpl.find('\n');
    if (newline == std::string_view::npos) {
      emitLine(tmpl, vars, false);
      break;
    }
    emitLine(tmpl.substr(0, newline), vars, true);
    tmpl.remove_prefix(newline + 1);
  }
}

}  // namespace tvk::gen
