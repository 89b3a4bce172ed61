#include "generator/code_printer.h"

#include <stdexcept>

namespace tvk::gen {

namespace {
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kIndentUnit = '\t';

const TemplateVar& lookUp(std::string_view name, TemplateVars vars) {
  for (const TemplateVar& var : vars)
    if (var.name() == name) return var;
  throw std::logic_error("no value for placeholder $" + std::string(name) + "$");
}

// The section a template line names when it is nothing but one placeholder
// bound to a callback; nullptr for any other line.
const TemplateVar* sectionOf(std::string_view line, TemplateVars vars) {
  if (line.size() < 3 || line.front() != '$' || line.back() != '$') return nullptr;
  std::string_view name = line.substr(1, line.size() - 2);
  if (name.find('$') != std::string_view::npos) return nullptr;
  const TemplateVar& var = lookUp(name, vars);
  return var.isSection() ? &var : nullptr;
}
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
      const TemplateVar& var = lookUp(name, vars);
      if (var.isSection()) throw std::logic_error("section $" + std::string(name) + "$ must stand alone on its line");
      result += var.text();
    }
    pos = close + 1;
  }
  return result;
}

std::string fsBanner(std::string_view title, size_t width) {
  std::string text = "' *** " + std::string(title) + " ";
  if (text.size() < width) text.append(width - text.size(), '*');
  return text;
}

void CodePrinter::block(std::string&& text) {
  constexpr size_t kKeptWhole = 16 * 1024;
  if (text.size() < kKeptWhole) {
    out_ += text;
    return;
  }
  if (!out_.empty()) pieces_.push_back(std::move(out_));
  pieces_.push_back(std::move(text));
  out_.clear();
}

const std::string& CodePrinter::str() {
  if (!pieces_.empty()) out_ = take();
  return out_;
}

std::string CodePrinter::take() {
  if (pieces_.empty()) return std::move(out_);
  size_t size = out_.size();
  for (const std::string& piece : pieces_) size += piece.size();
  std::string text;
  text.reserve(size);
  for (const std::string& piece : pieces_) text += piece;
  text += out_;
  pieces_.clear();
  out_.clear();
  return text;
}

void CodePrinter::blank(int count) {
  for (int i = 0; i < count; ++i) out_ += kLineEnd;
}

void CodePrinter::emitLine(std::string_view templateLine, TemplateVars vars, bool withLineEnd) {
  if (templateLine.empty()) {
    if (withLineEnd) out_ += kLineEnd;
    return;
  }
  size_t spaces = templateLine.find_first_not_of(' ');
  if (spaces == std::string_view::npos)
    throw std::logic_error("template line of blanks only: blanks at a line's end are written as \" \"");
  int extra = static_cast<int>(spaces / 2);
  templateLine.remove_prefix(static_cast<size_t>(extra) * 2);
  if (const TemplateVar* section = sectionOf(templateLine, vars)) {
    if (!withLineEnd) throw std::logic_error("a section's placeholder ends its template line");
    auto in = indent(extra);
    section->writeSection();
    return;
  }
  out_.append(static_cast<size_t>(level_ + extra), kIndentUnit);
  out_ += substitute(templateLine, vars);
  if (withLineEnd) out_ += kLineEnd;
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
