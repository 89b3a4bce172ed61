#include "generator/tvk_text_stream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "base/error.h"
#include "base/session.h"
#include "base/ui.h"
#include "base/web_project.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

using test::readFile;
using test::ScopedTempDir;
using test::writeFile;

TEST(TextStream, WritesCodePage1252WithCRLF) {
  Session session{std::make_shared<ConsoleUi>()};
  ScopedTempDir dir;
  const std::string path = dir / "page.asp";
  TVKTextStream stream;
  stream.OpenOutputStream(path);
  stream.WriteLine("caf\xC3\xA9 \xE2\x82\xAC");        // é and the euro sign exist in 1252
  stream.WriteText("\xE4\xB8\xAD|\xF0\x9F\x98\x80|");  // CJK and an emoji do not
  stream.WriteText("bad \xFF byte\r\n");               // not UTF-8 at all
  stream.WriteLine("next");
  stream.CloseStream();
  EXPECT_EQ(readFile(path), "caf\xE9 \x80\r\n?|?|bad ? byte\r\nnext\r\n");
  EXPECT_EQ(stream.fileName(), "");
  EXPECT_EQ(gfsToCodePage1252("\xC3\xBC"
                              "ber"),
            "\xFC"
            "ber");
}

TEST(TextStream, LineEndsAndBlankLines) {
  Session session{std::make_shared<ConsoleUi>()};
  ScopedTempDir dir;
  const std::string path = dir / "lines.asp";
  TVKTextStream stream;
  stream.OpenOutputStream(path);
  stream.WriteText("block\r\n");
  stream.WriteLine("a");      // no empty line between the block and a
  stream.WriteBlankLines(1);  // exactly one empty line
  stream.WriteBlankLines(0);  // nothing
  stream.WriteText("joined ");
  stream.WriteLine("line");
  stream.CloseStream();
  EXPECT_EQ(readFile(path), "block\r\na\r\n\r\njoined line\r\n");
}

TEST(TextStream, ReplacesReadOnlyFileAndReportsFailures) {
  Session session{std::make_shared<ConsoleUi>()};
  ScopedTempDir dir;
  const std::string path = dir / "old.asp";
  writeFile(path, "old content that is longer than the new one");
  ::chmod(path.c_str(), 0444);
  TVKTextStream stream;
  stream.OpenOutputStream(path);
  stream.WriteLine("new");
  stream.CloseStream();
  EXPECT_EQ(readFile(path), "new\r\n");

  TVKTextStream missing;
  try {
    missing.OpenOutputStream(dir / "no/such/folder/page.asp");
    FAIL() << "opened a file in a missing folder";
  } catch (const WizError& e) {
    EXPECT_EQ(e.number(), 76);
  }
  // Writing on a stream that is not open fails instead of losing text.
  EXPECT_THROW(missing.WriteLine("x"), WizError);
}

}  // namespace
}  // namespace tvk
