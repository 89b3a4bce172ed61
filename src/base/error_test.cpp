#include "base/error.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/session.h"
#include "base/ui.h"

namespace tvk {
namespace {

TEST(ErrorReport, TextNamesApplicationModuleAndProcedure) {
  ErrorInfo error{53, "FileSystem", "File not found", {}, 0};
  EXPECT_EQ(errorReportText(error, "FileRoutines", "gfsFindDirectory"),
            "An error has occured.\nError No: 53 - File not found\n"
            "Source : TVKWizard.FileRoutines.gfsFindDirectory");

  auto ui = std::make_shared<ConsoleUi>();
  ui->pushAnswer(MsgResult::Ignore);
  EXPECT_EQ(gnErrorReport(*ui, "General", "gfsFileName", error), MsgResult::Ignore);
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_EQ(ui->shown()[0].rfind("TVK Wizard: An error has occured.", 0), 0u);
}

TEST(ErrorTrap, AbortRetryAndIgnore) {
  auto ui = std::make_shared<ConsoleUi>();

  // Retry runs the failed step again; here it succeeds the second time.
  int attempts = 0;
  ui->pushAnswer(MsgResult::Retry);
  ErrorTrap retry{*ui, "M", "P"};
  EXPECT_TRUE(retry([&] {
    if (++attempts == 1) raise(57, "Disk", "Device I/O error");
  }));
  EXPECT_EQ(attempts, 2);

  // Ignore skips the failed step and goes on with the next one.
  ui->pushAnswer(MsgResult::Ignore);
  ErrorTrap ignore{*ui, "M", "P"};
  bool secondRan = false;
  EXPECT_TRUE(ignore([] { raise(5, "X", "bad"); }));
  EXPECT_TRUE(ignore([&] { secondRan = true; }));
  EXPECT_TRUE(secondRan);

  // Abort stops the procedure: later steps of the same trap do not run.
  ui->pushAnswer(MsgResult::Abort);
  ErrorTrap abort{*ui, "M", "P"};
  bool laterRan = false;
  EXPECT_FALSE(abort([] { throw std::runtime_error("boom"); }));
  EXPECT_FALSE(abort([&] { laterRan = true; }));
  EXPECT_FALSE(laterRan);
  EXPECT_TRUE(abort.aborted());

  // Each failure was reported once, with its own number.
  ASSERT_EQ(ui->shown().size(), 3u);
  EXPECT_NE(ui->shown()[0].find("Error No: 57 - Device I/O error"), std::string::npos);
  EXPECT_NE(ui->shown()[2].find("Error No: 51 - boom"), std::string::npos);
}

TEST(ErrorTrap, PassedOnFailuresKeepNumberSourceAndDescription) {
  try {
    try {
      raise(70, "FileSystem", "Permission denied");
    } catch (...) {
      throw;  // a routine that passes failures on
    }
  } catch (...) {
    ErrorInfo info = currentErrorInfo();
    EXPECT_EQ(info.number, 70);
    EXPECT_EQ(info.source, "FileSystem");
    EXPECT_EQ(info.description, "Permission denied");
  }
  EXPECT_EQ(orEmpty<std::string>([]() -> std::string { raise(1, "a", "b"); }), "");
}

}  // namespace
}  // namespace tvk
