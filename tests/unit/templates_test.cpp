// Keeps the Templates directory honest: the files the generator copies into
// every web project exist for every style, the include files stay within
// what their pages provide (the calls of the pages into them are checked by
// include_calls_test.cpp), every stylesheet styles every class the pages
// write, and the marker graphics are sound GIF89a files that
// scripts/draw-graphics reproduces.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace stdfs = std::filesystem;

const std::string kTemplates = std::string(TVK_SOURCE_DIR) + "/data/Templates/";
const std::string kDisplay = "incTVKWDisplay.asp";
const std::string kAction = "incTVKWAction.asp";

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

TEST(Templates, EveryFileTheGeneratorCopiesIsShippedBesideTheProgram) {
  // The generator's tests run on stand-ins under tests/generator/templates,
  // one for each file it copies for some style; every one of them must ship,
  // and be found in Templates beside the program (the test program shares
  // its folder).
  const stdfs::path program = stdfs::read_symlink("/proc/self/exe").parent_path();
  int files = 0;
  for (const auto& entry : stdfs::directory_iterator(std::string(TVK_SOURCE_DIR) + "/tests/generator/templates")) {
    const std::string name = entry.path().filename().string();
    if (name == "README.md") continue;
    ++files;
    EXPECT_TRUE(stdfs::is_regular_file(kTemplates + name)) << name;
    EXPECT_GT(stdfs::file_size(kTemplates + name), 0u) << name;
    EXPECT_TRUE(stdfs::is_regular_file(program / "Templates" / name)) << name;
  }
  EXPECT_GE(files, 12);
}

// ---- VBScript include files ------------------------------------------------

// One VBScript line without its comment and with every string literal
// emptied, so that names inside texts and comments are not taken for code.
std::string codeOnly(const std::string& line) {
  std::string out;
  bool inString = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (inString) {
      if (c == '"') {
        if (i + 1 < line.size() && line[i + 1] == '"') {
          ++i;
        } else {
          inString = false;
          out += '"';
        }
      }
      continue;
    }
    if (c == '\'') break;
    if (c == '"') inString = true;
    out += c;
  }
  return out;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

// The include file that defines each Function and Sub, by lower-case name; a
// name defined twice is reported, since one page includes both files and
// VBScript refuses a name defined twice.
std::map<std::string, std::string> includeRoutines() {
  static const std::regex definition(R"(^\s*(?:(?:public|private)\s+)?(?:function|sub)\s+(\w+))", std::regex::icase);
  std::map<std::string, std::string> routines;
  for (const std::string& file : {kDisplay, kAction}) {
    for (const std::string& raw : lines(readAll(kTemplates + file))) {
      const std::string line = codeOnly(raw);
      std::smatch m;
      if (!std::regex_search(line, m, definition)) continue;
      EXPECT_EQ(routines.count(lower(m[1])), 0u) << m[1] << " is defined twice";
      routines[lower(m[1])] = file;
    }
  }
  return routines;
}

TEST(Templates, IncludeFilesOnlyUseWhatTheirPagesProvide) {
  const auto routines = includeRoutines();
  static const std::regex sharedName(R"(\bg(?:f[a-z]|[A-Z])\w*)");
  static const std::regex pageName(R"(\b(?:m(?:s|n|b|Db|Dict)[A-Z]\w*|s[A-Z]+_BUTTON)\b)");
  // Page names each file may use: those declared by every page on which its
  // routines run (the action file's routines run only on pages with data
  // actions, the display file's also on pages without).
  const std::map<std::string, std::set<std::string>> pageNames = {
      {kDisplay, {"mDbCon", "msDataAction", "sADD_BUTTON", "sINSERT_BUTTON", "sUPDATE_BUTTON"}},
      {kAction, {"mDictFieldErrors"}},
  };
  for (const std::string& file : {kDisplay, kAction}) {
    const std::string text = readAll(kTemplates + file);
    // The pages open and close script blocks around the include lines; text
    // outside a block would be sent before the page's own output.
    EXPECT_EQ(text.rfind("<%", 0), 0u) << file;
    EXPECT_TRUE(text.size() >= 2 && text.compare(text.size() - 2, 2, "%>") == 0) << file;
    EXPECT_EQ(std::count(text.begin(), text.end(), '%'), 2) << file << " opens more than one block";
    for (const std::string& raw : lines(text)) {
      const std::string line = codeOnly(raw);
      // "Option Explicit" must be a page's first statement: the page has it.
      EXPECT_EQ(lower(line).find("option explicit"), std::string::npos) << file;
      for (std::sregex_iterator it(line.begin(), line.end(), sharedName), end; it != end; ++it) {
        const std::string name = it->str();
        const auto found = routines.find(lower(name));
        ASSERT_NE(found, routines.end()) << file << " calls undefined " << name;
        // The display file is included alone on pages without data actions.
        if (file == kDisplay) {
          EXPECT_EQ(found->second, kDisplay) << file << " calls " << name;
        }
      }
      for (std::sregex_iterator it(line.begin(), line.end(), pageName), end; it != end; ++it)
        EXPECT_EQ(pageNames.at(file).count(it->str()), 1u) << file << " uses " << it->str();
    }
  }
}

// ---- Text files ------------------------------------------------------------

TEST(Templates, TextFilesUseWindowsLineEnds) {
  for (const auto& entry : stdfs::directory_iterator(kTemplates)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".gif" || name[0] == '.') continue;
    const std::string text = readAll(kTemplates + name);
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') {
        ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << name << ": bare line feed at byte " << i;
      }
      ASSERT_LT(static_cast<unsigned char>(text[i]), 0x80) << name << ": not ASCII at byte " << i;
    }
  }
}

TEST(Templates, HeaderIsAVBScriptCommentBlockWithoutATrailingLineEnd) {
  // The page writer puts the header inside the page's first script block and
  // ends it with a line break of its own.
  const std::string text = readAll(kTemplates + "Header.txt");
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(text.back(), '\r');
  for (const std::string& line : lines(text)) EXPECT_EQ(line.rfind('\'', 0), 0u) << line;
}

// ---- Stylesheets -----------------------------------------------------------

// Class names the pages write: those of the expected pages of the golden
// tests (what the generator writes) and of the include files' own markup.
std::set<std::string> classesThePagesWrite() {
  static const std::regex written(R"re(CLASS=""?(\w+))re", std::regex::icase);
  std::set<std::string> classes;
  std::vector<std::string> files = {kTemplates + kDisplay, kTemplates + kAction};
  for (const auto& entry : stdfs::recursive_directory_iterator(std::string(TVK_SOURCE_DIR) + "/tests/golden"))
    if (entry.path().extension() == ".asp") files.push_back(entry.path().string());
  for (const std::string& file : files) {
    const std::string text = readAll(file);
    for (std::sregex_iterator it(text.begin(), text.end(), written), end; it != end; ++it) classes.insert((*it)[1]);
  }
  return classes;
}

std::string withoutCssComments(const std::string& css) {
  std::string out;
  std::size_t pos = 0;
  while (pos < css.size()) {
    const std::size_t start = css.find("/*", pos);
    if (start == std::string::npos) {
      out += css.substr(pos);
      break;
    }
    out += css.substr(pos, start - pos);
    const std::size_t end = css.find("*/", start + 2);
    if (end == std::string::npos) {
      ADD_FAILURE() << "unclosed comment";
      break;
    }
    pos = end + 2;
  }
  return out;
}

TEST(Templates, EveryStylesheetStylesEveryClassThePagesUse) {
  const std::set<std::string> classes = classesThePagesWrite();
  ASSERT_GE(classes.size(), 15u);
  for (const std::string name : {"TVKW_Classic.css", "TVKW_Professional.css", "TVKW_XP.css"}) {
    const std::string css = withoutCssComments(readAll(kTemplates + name));
    EXPECT_EQ(std::count(css.begin(), css.end(), '{'), std::count(css.begin(), css.end(), '}')) << name;
    std::set<std::string> styled;
    static const std::regex selectorClass(R"(\.([A-Za-z][\w-]*))");
    // Only selectors count, not values such as "0.3".
    std::size_t pos = 0;
    while (pos < css.size()) {
      const std::size_t open = css.find('{', pos);
      if (open == std::string::npos) break;
      const std::string selectors = css.substr(pos, open - pos);
      for (std::sregex_iterator it(selectors.begin(), selectors.end(), selectorClass), end; it != end; ++it)
        styled.insert((*it)[1]);
      pos = css.find('}', open);
      if (pos == std::string::npos) break;
      ++pos;
    }
    for (const std::string& cls : classes) EXPECT_EQ(styled.count(cls), 1u) << name << ": ." << cls;
  }
}

// ---- Graphics --------------------------------------------------------------

struct Gif {
  int width = 0;
  int height = 0;
  std::optional<int> transparent;
  std::vector<std::uint8_t> pixels;  // colour indices, row by row
};

// Reads a one-image GIF89a with a global colour table, decoding its LZW data,
// and fails the test with the reason when the file is not sound.
Gif readGif(const std::string& bytes, const std::string& name) {
  Gif gif;
  std::size_t pos = 0;
  auto byte = [&]() -> int {
    if (pos >= bytes.size()) throw std::runtime_error("file ends early");
    return static_cast<unsigned char>(bytes[pos++]);
  };
  auto word = [&]() {
    const int lo = byte();
    return lo | (byte() << 8);
  };
  try {
    if (bytes.compare(0, 6, "GIF89a") != 0) throw std::runtime_error("not GIF89a");
    pos = 6;
    gif.width = word();
    gif.height = word();
    const int flags = byte();
    if (!(flags & 0x80)) throw std::runtime_error("no global colour table");
    const int colours = 1 << ((flags & 7) + 1);
    pos += 2;  // background index, aspect ratio
    pos += static_cast<std::size_t>(3 * colours);
    for (;;) {
      const int block = byte();
      if (block == 0x21) {  // extension
        const int label = byte();
        if (label == 0xF9) {
          if (byte() != 4) throw std::runtime_error("bad graphic control block");
          const int gce = byte();
          word();  // delay
          const int index = byte();
          if (gce & 1) gif.transparent = index;
          if (byte() != 0) throw std::runtime_error("graphic control not terminated");
        } else {
          for (int len = byte(); len != 0; len = byte()) pos += static_cast<std::size_t>(len);
        }
      } else if (block == 0x2C) {
        if (word() != 0 || word() != 0 || word() != gif.width || word() != gif.height)
          throw std::runtime_error("image does not fill the screen");
        if (byte() & 0x80) throw std::runtime_error("unexpected local colour table");
        const int minCodeSize = byte();
        if (minCodeSize < 2 || minCodeSize > 8) throw std::runtime_error("bad LZW code size");
        std::string data;
        for (int len = byte(); len != 0; len = byte()) {
          if (pos + static_cast<std::size_t>(len) > bytes.size()) throw std::runtime_error("data block past the end");
          data.append(bytes, pos, static_cast<std::size_t>(len));
          pos += static_cast<std::size_t>(len);
        }
        // LZW, codes least significant bit first.
        const int clear = 1 << minCodeSize;
        const int endCode = clear + 1;
        std::vector<std::vector<std::uint8_t>> table;
        int codeSize = minCodeSize + 1;
        std::size_t bitPos = 0;
        std::vector<std::uint8_t> previous;
        bool havePrevious = false;
        for (;;) {
          if (bitPos + static_cast<std::size_t>(codeSize) > data.size() * 8)
            throw std::runtime_error("LZW data ends without the end code");
          int code = 0;
          for (int b = 0; b < codeSize; ++b, ++bitPos)
            code |= ((static_cast<unsigned char>(data[bitPos / 8]) >> (bitPos % 8)) & 1) << b;
          if (code == clear) {
            table.clear();
            for (int i = 0; i < clear + 2; ++i) table.push_back({static_cast<std::uint8_t>(i)});
            codeSize = minCodeSize + 1;
            havePrevious = false;
            continue;
          }
          if (code == endCode) break;
          if (table.empty()) throw std::runtime_error("LZW data does not start with a clear code");
          std::vector<std::uint8_t> entry;
          if (static_cast<std::size_t>(code) < table.size()) {
            entry = table[static_cast<std::size_t>(code)];
          } else if (havePrevious && static_cast<std::size_t>(code) == table.size()) {
            entry = previous;
            entry.push_back(previous[0]);
          } else {
            throw std::runtime_error("LZW code out of range");
          }
          if (havePrevious) {
            auto added = previous;
            added.push_back(entry[0]);
            table.push_back(added);
          }
          gif.pixels.insert(gif.pixels.end(), entry.begin(), entry.end());
          previous = entry;
          havePrevious = true;
          if (table.size() == (1u << codeSize) && codeSize < 12) ++codeSize;
        }
        for (std::uint8_t p : gif.pixels)
          if (p >= colours) throw std::runtime_error("pixel outside the colour table");
      } else if (block == 0x3B) {
        if (pos != bytes.size()) throw std::runtime_error("bytes after the trailer");
        break;
      } else {
        throw std::runtime_error("unknown block");
      }
    }
    if (gif.pixels.size() != static_cast<std::size_t>(gif.width * gif.height))
      throw std::runtime_error("pixel count does not match the size");
  } catch (const std::exception& e) {
    ADD_FAILURE() << name << ": " << e.what();
  }
  return gif;
}

TEST(Templates, GraphicsAreGif89aMarkersOfTheirSize) {
  for (const std::string prefix : {"TVKW_Pro_", "TVKW_XP_"}) {
    std::map<std::string, Gif> gifs;
    for (const auto& [name, size] :
         std::map<std::string, int>{{"SortAsc.gif", 11}, {"SortDesc.gif", 11}, {"EditRecord.gif", 16}}) {
      const Gif gif = readGif(readAll(kTemplates + prefix + name), prefix + name);
      EXPECT_EQ(gif.width, size) << prefix << name;
      EXPECT_EQ(gif.height, size) << prefix << name;
      // The markers stand on coloured headers and rows: the corner is clear.
      ASSERT_TRUE(gif.transparent.has_value()) << prefix << name;
      ASSERT_FALSE(gif.pixels.empty()) << prefix << name;
      EXPECT_EQ(gif.pixels[0], *gif.transparent) << prefix << name;
      EXPECT_GT(
          std::count_if(gif.pixels.begin(), gif.pixels.end(), [&](std::uint8_t p) { return p != *gif.transparent; }),
          10)
          << prefix << name << " is (nearly) empty";
      gifs[name] = gif;
    }
    // Descending is ascending upside down in shape.
    const Gif& asc = gifs["SortAsc.gif"];
    const Gif& desc = gifs["SortDesc.gif"];
    auto inkRows = [](const Gif& g) {
      std::vector<int> rows;
      for (int y = 0; y < g.height; ++y) {
        int ink = 0;
        for (int x = 0; x < g.width; ++x)
          ink += g.pixels[static_cast<std::size_t>(y * g.width + x)] != g.transparent.value_or(-1);
        if (ink) rows.push_back(ink);
      }
      return rows;
    };
    auto ascRows = inkRows(asc);
    auto descRows = inkRows(desc);
    std::reverse(descRows.begin(), descRows.end());
    EXPECT_EQ(ascRows, descRows) << prefix;
    EXPECT_LT(ascRows.front(), ascRows.back()) << prefix << "SortAsc.gif does not point up";
  }
}

TEST(Templates, DrawGraphicsReproducesTheCommittedFiles) {
  const stdfs::path out = stdfs::temp_directory_path() / ("tvk_draw_graphics_" + std::to_string(::getpid()));
  stdfs::remove_all(out);
  const std::string command =
      "python3 '" + std::string(TVK_SOURCE_DIR) + "/scripts/draw-graphics' --out '" + out.string() + "'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
  int files = 0;
  for (const auto& entry : stdfs::directory_iterator(out)) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(readAll(entry.path().string()), readAll(kTemplates + name)) << name << " differs";
    ++files;
  }
  EXPECT_EQ(files, 6);
  stdfs::remove_all(out);
}

}  // namespace
