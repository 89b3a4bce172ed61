// Every call that a generated page makes into the include files must match a
// routine the include files define, with the same number of arguments. The
// pages of every fixture project (list pages, form pages and the form
// page's data actions) are scanned for calls of include routines (names
// starting with "gfs", "gfb", "gfv", "gfn" or "gGenerate"), the include
// files for their Function and Sub definitions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "database/sql_statement_builder.h"
#include "generator/data_actions.h"
#include "generator/form_page.h"
#include "generator/gen_context.h"
#include "generator/list_page.h"
#include "base/ui.h"
#include "base/session.h"
#include "support/temp_dir.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

namespace stdfs = std::filesystem;

const std::string kSource = TVK_SOURCE_DIR;
const std::vector<std::string> kIncludeFiles = {"incTVKWDisplay.asp", "incTVKWAction.asp"};

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// Number of top-level, comma-separated arguments in text (strings with
// doubled quotes and nested parentheses skipped).
int countArguments(std::string_view args) {
  bool any = false;
  int commas = 0;
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < args.size(); ++i) {
    char c = args[i];
    if (inString) {
      if (c == '"') {
        if (i + 1 < args.size() && args[i + 1] == '"') ++i;
        else inString = false;
      }
      continue;
    }
    if (c == '"') inString = true;
    else if (c == '(') ++depth;
    else if (c == ')') --depth;
    else if (c == ',' && depth == 0) ++commas;
    if (c != ' ' && c != '\t') any = true;
  }
  return any ? commas + 1 : 0;
}

// Routine name (lower case) -> number of parameters.
std::map<std::string, int> definitions(const std::string& includeText) {
  std::map<std::string, int> found;
  static const std::regex definition(R"((?:^|\n)[ \t]*(?:(?:Public|Private)[ \t]+)?(?:Function|Sub)[ \t]+(\w+)[ \t]*(\(([^)\n]*)\))?)",
                                     std::regex::icase);
  for (auto it = std::sregex_iterator(includeText.begin(), includeText.end(), definition);
       it != std::sregex_iterator(); ++it) {
    found[lower((*it)[1].str())] = (*it)[2].matched ? countArguments((*it)[3].str()) : 0;
  }
  return found;
}

struct Call {
  std::string name;
  int arguments;
  std::string line;
};

// The calls of include routines in a generated text.
std::vector<Call> calls(const std::string& page) {
  std::vector<Call> found;
  static const std::regex name(R"(\b(g(?:fs|fb|fv|fn)[A-Z]\w*|gGenerate\w+))");
  for (auto it = std::sregex_iterator(page.begin(), page.end(), name); it != std::sregex_iterator(); ++it) {
    size_t after = static_cast<size_t>(it->position(0) + it->length(0));
    size_t lineStart = page.rfind('\n', static_cast<size_t>(it->position(0)));
    lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
    size_t lineEnd = page.find('\r', after);
    std::string line = page.substr(lineStart, lineEnd - lineStart);
    size_t pos = after;
    while (pos < page.size() && page[pos] == ' ') ++pos;
    std::string args;
    if (pos < page.size() && page[pos] == '(') {
      // Parenthesised call: up to the matching parenthesis.
      int depth = 0;
      bool inString = false;
      size_t i = pos;
      for (; i < page.size(); ++i) {
        char c = page[i];
        if (inString) {
          if (c == '"') {
            if (i + 1 < page.size() && page[i + 1] == '"') ++i;
            else inString = false;
          }
        } else if (c == '"') {
          inString = true;
        } else if (c == '(') {
          ++depth;
        } else if (c == ')' && --depth == 0) {
          break;
        }
      }
      args = page.substr(pos + 1, i - pos - 1);
    } else {
      // Statement call: up to the end of the statement.
      size_t end = pos;
      bool inString = false;
      for (; end < page.size(); ++end) {
        char c = page[end];
        if (inString) {
          if (c == '"') inString = false;  // a doubled quote reopens at once
          continue;
        }
        if (c == '"') inString = true;
        else if (c == '\r' || c == ':' || page.compare(end, 2, "%>") == 0) break;
      }
      args = page.substr(pos, end - pos);
    }
    found.push_back({it->str(1), countArguments(args), line});
  }
  return found;
}

// Mismatches between the calls in `pages` and the definitions in the
// include files, one message each.
std::vector<std::string> mismatches(const std::vector<std::string>& pages, const std::string& includeText) {
  std::map<std::string, int> defined = definitions(includeText);
  std::vector<std::string> problems;
  std::set<std::string> seen;
  for (const std::string& page : pages) {
    for (const Call& call : calls(page)) {
      auto it = defined.find(lower(call.name));
      std::string problem;
      if (it == defined.end())
        problem = call.name + " is called but not defined in the include files: " + call.line;
      else if (it->second != call.arguments)
        problem = call.name + " takes " + std::to_string(it->second) + " arguments but is called with " +
                  std::to_string(call.arguments) + ": " + call.line;
      if (!problem.empty() && seen.insert(problem).second) problems.push_back(problem);
    }
  }
  return problems;
}

// The generated texts of every fixture project.
std::vector<std::string> generatedPages() {
  std::vector<std::string> pages;
  for (const auto& entry : stdfs::directory_iterator(kSource + "/tests/generator/projects")) {
    Session session{std::make_shared<ConsoleUi>()};
    XMLWizData data{session};
    if (!data.Load(entry.path().string())) continue;
    SetupGenerationData(data);
    gen::GenContext ctx(data, kSource + "/tests/generator/templates");
    if (data.ProjectType() != "Form") pages.push_back(gen::fsListPageText(ctx));
    if (data.ProjectType() != "List") pages.push_back(gen::fsFormPageText(ctx));
    // The form's data actions as the form page writes them: only those its
    // options allow (a table without a key allows none).
    gen::FormFlags f = gen::formFlags(ctx);
    std::string actions;
    if (f.any || f.listForm) actions += gen::fsASPPerformDataActions(ctx);
    if (f.add) actions += gen::fsASPFormInsertRecord(ctx);
    if (f.update) actions += gen::fsASPFormUpdateRecord(ctx);
    if (f.remove) actions += gen::fsASPDeleteRecord(ctx);
    pages.push_back(actions);
  }
  return pages;
}

TEST(IncludeCalls, CheckerFindsUndefinedRoutinesAndWrongArgumentCounts) {
  const std::string include =
      "<%\r\nFunction gfsFormatOutput(vValue)\r\nEnd Function\r\n"
      "  Public Sub gGenerateHTMLSelect(sName, vValue, sTable, sJoin, sShow, bRequired)\r\nEnd Sub\r\n"
      "Function gfbEmpty ( v )\r\nEnd Function\r\n%>\r\n";
  const std::string page =
      "Response.write \"<TD>\" & gfsFormatOutput(rs(\"A, B\")) & \"</TD>\"\r\n"
      "\t<% gGenerateHTMLSelect \"F\", gfsFormatOutput(rs,\"F\"), \"T\",\"J\",\"S\",true %>\r\n"
      "If gfbEmpty(Request(\"x\")) Then\r\n"
      "x = gfsMissing(1)\r\n";
  std::vector<std::string> problems = mismatches({page}, include);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0], "gfsFormatOutput takes 1 arguments but is called with 2: "
                         "\t<% gGenerateHTMLSelect \"F\", gfsFormatOutput(rs,\"F\"), \"T\",\"J\",\"S\",true %>");
  EXPECT_EQ(problems[1], "gfsMissing is called but not defined in the include files: x = gfsMissing(1)");
}

TEST(IncludeCalls, GeneratedPagesMatchTheIncludeFiles) {
  std::string includeText;
  for (const std::string& name : kIncludeFiles) {
    std::string path = kSource + "/data/Templates/" + name;
    if (!stdfs::exists(path))
      GTEST_SKIP() << "data/Templates/" << name
                   << " is not in this tree yet (the include files come with the templates); "
                      "the calls of the generated pages cannot be checked against them";
    includeText += testing::readFile(path);
    includeText += "\r\n";
  }
  auto ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  std::vector<std::string> pages = generatedPages();
  ASSERT_GE(pages.size(), 8u);
  ASSERT_GT(calls(pages.front()).size(), 0u);
  std::vector<std::string> problems = mismatches(pages, includeText);
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
  EXPECT_TRUE(ui->shown().empty());
}

}  // namespace
}  // namespace tvk
