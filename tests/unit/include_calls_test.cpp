// Every call that a generated page makes into the include files must match a
// routine of the include files that page itself includes, with the same
// number of arguments, and a Sub's value is never used. The expected pages
// of the golden tests (which hold exactly what the generator writes) are
// scanned for calls of include routines (names starting with "gfs", "gfb",
// "gfv", "gfn" or "gGenerate") and for their #INCLUDE lines; the include
// files under data/Templates for their Function and Sub definitions. A page
// without data actions includes only incTVKWDisplay.asp, so a routine it
// calls must live there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tvk {
namespace {

namespace stdfs = std::filesystem;

const std::string kSource = TVK_SOURCE_DIR;

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
        if (i + 1 < args.size() && args[i + 1] == '"')
          ++i;
        else
          inString = false;
      }
      continue;
    }
    if (c == '"')
      inString = true;
    else if (c == '(')
      ++depth;
    else if (c == ')')
      --depth;
    else if (c == ',' && depth == 0)
      ++commas;
    if (c != ' ' && c != '\t') any = true;
  }
  return any ? commas + 1 : 0;
}

struct Definition {
  int arguments = 0;
  bool isSub = false;
};

// Routine name (lower case) -> its definition.
std::map<std::string, Definition> definitions(const std::string& includeText) {
  std::map<std::string, Definition> found;
  static const std::regex definition(
      R"((?:^|\n)[ \t]*(?:(?:Public|Private)[ \t]+)?(Function|Sub)[ \t]+(\w+)[ \t]*(\(([^)\n]*)\))?)",
      std::regex::icase);
  for (auto it = std::sregex_iterator(includeText.begin(), includeText.end(), definition); it != std::sregex_iterator();
       ++it) {
    found[lower((*it)[2].str())] = {(*it)[3].matched ? countArguments((*it)[4].str()) : 0,
                                    lower((*it)[1].str()) == "sub"};
  }
  return found;
}

struct Call {
  std::string name;
  int arguments;
  bool valueUsed;  // inside an expression, not a statement of its own
  std::string line;
};

// The calls of include routines in a generated text.
std::vector<Call> calls(const std::string& page) {
  std::vector<Call> found;
  static const std::regex name(R"(\b(g(?:fs|fb|fv|fn)[A-Z]\w*|gGenerate\w+))");
  for (auto it = std::sregex_iterator(page.begin(), page.end(), name); it != std::sregex_iterator(); ++it) {
    size_t after = static_cast<size_t>(it->position(0) + it->length(0));
    size_t before = it->position(0) == 0 ? std::string::npos
                                         : page.find_last_not_of(" \t", static_cast<size_t>(it->position(0)) - 1);
    bool valueUsed = before != std::string::npos && std::string_view("=&(,+-").find(page[before]) != std::string::npos;
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
            if (i + 1 < page.size() && page[i + 1] == '"')
              ++i;
            else
              inString = false;
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
        if (c == '"')
          inString = true;
        else if (c == '\r' || c == ':' || page.compare(end, 2, "%>") == 0)
          break;
      }
      args = page.substr(pos, end - pos);
    }
    found.push_back({it->str(1), countArguments(args), valueUsed, line});
  }
  return found;
}

// Mismatches between the calls in `page` and the definitions in the include
// files it includes, one message each.
std::vector<std::string> mismatches(const std::string& page, const std::string& includeText) {
  std::map<std::string, Definition> defined = definitions(includeText);
  std::vector<std::string> problems;
  std::set<std::string> seen;
  for (const Call& call : calls(page)) {
    auto it = defined.find(lower(call.name));
    std::string problem;
    if (it == defined.end())
      problem = call.name + " is called but not defined in the included files: " + call.line;
    else if (it->second.arguments != call.arguments)
      problem = call.name + " takes " + std::to_string(it->second.arguments) + " arguments but is called with " +
                std::to_string(call.arguments) + ": " + call.line;
    else if (it->second.isSub && call.valueUsed)
      problem = call.name + " is a Sub but its value is used: " + call.line;
    if (!problem.empty() && seen.insert(problem).second) problems.push_back(problem);
  }
  return problems;
}

// The text of the include files a page names in its #INCLUDE lines, taken
// from data/Templates (the page's own relative folder does not matter).
std::string includedText(const std::string& page, std::vector<std::string>& names) {
  static const std::regex include(R"re(<!--#INCLUDE file="(?:[^"]*/)?([^"/]+)" -->)re", std::regex::icase);
  std::string text;
  for (auto it = std::sregex_iterator(page.begin(), page.end(), include); it != std::sregex_iterator(); ++it) {
    std::string path = kSource + "/data/Templates/" + (*it)[1].str();
    EXPECT_TRUE(stdfs::is_regular_file(path)) << "the page includes a file the templates lack: " << path;
    names.push_back((*it)[1].str());
    text += test::readFile(path) + "\r\n";
  }
  return text;
}

TEST(IncludeCalls, CheckerFindsUndefinedRoutinesWrongArgumentCountsAndSubValues) {
  const std::string include =
      "<%\r\nFunction gfsFormatOutput(vValue)\r\nEnd Function\r\n"
      "  Public Sub gGenerateHTMLSelect(sName, vValue, sTable, sJoin, sShow, bRequired)\r\nEnd Sub\r\n"
      "Function gfbEmpty ( v )\r\nEnd Function\r\n%>\r\n";
  const std::string page =
      "Response.write \"<TD>\" & gfsFormatOutput(rs(\"A, B\")) & \"</TD>\"\r\n"
      "\t<% gGenerateHTMLSelect \"F\", gfsFormatOutput(rs,\"F\"), \"T\",\"J\",\"S\",true %>\r\n"
      "If gfbEmpty(Request(\"x\")) Then\r\n"
      "x = gfsMissing(1)\r\n"
      "y = gGenerateHTMLSelect(1, 2, 3, 4, 5, 6)\r\n";
  std::vector<std::string> problems = mismatches(page, include);
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0],
            "gfsFormatOutput takes 1 arguments but is called with 2: "
            "\t<% gGenerateHTMLSelect \"F\", gfsFormatOutput(rs,\"F\"), \"T\",\"J\",\"S\",true %>");
  EXPECT_EQ(problems[1], "gfsMissing is called but not defined in the included files: x = gfsMissing(1)");
  EXPECT_EQ(problems[2],
            "gGenerateHTMLSelect is a Sub but its value is used: y = gGenerateHTMLSelect(1, 2, 3, 4, 5, 6)");
}

TEST(IncludeCalls, GeneratedPagesMatchTheFilesTheyInclude) {
  int pages = 0;
  for (const auto& entry : stdfs::recursive_directory_iterator(kSource + "/tests/golden")) {
    if (entry.path().extension() != ".asp") continue;
    ++pages;
    const std::string page = test::readFile(entry.path().string());
    std::vector<std::string> included;
    const std::string includeText = includedText(page, included);
    EXPECT_FALSE(included.empty()) << entry.path() << " includes nothing";
    EXPECT_FALSE(calls(page).empty()) << entry.path();
    for (const std::string& problem : mismatches(page, includeText))
      ADD_FAILURE() << entry.path().string() << ": " << problem;
  }
  EXPECT_GE(pages, 11);
}

}  // namespace
}  // namespace tvk
