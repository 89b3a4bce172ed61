// The exit statuses of the built tvkwizard program, run as a process the way
// scripts and CI call it: usage errors exit 2 with a message on stderr, a
// failed generation 1, success 0. The program is taken from TVK_BINARY_DIR,
// or else from beside this test program.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

#include "support/temp_dir.h"

namespace tvk {
namespace {

using test::ScopedTempDir;

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct Outcome {
  int status = -1;
  std::string out, err;
};

class CommandLine : public ::testing::Test {
 protected:
  ScopedTempDir temp;

  void SetUp() override { ASSERT_TRUE(std::filesystem::is_regular_file(program())) << program(); }

  static std::string program() {
    const char* dir = std::getenv("TVK_BINARY_DIR");
    if (dir != nullptr && *dir != '\0') return std::string(dir) + "/tvkwizard";
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/tvkwizard";
  }

  Outcome run(std::initializer_list<std::string> args) {
    std::string command = quoted(program());
    for (const std::string& arg : args) command += " " + quoted(arg);
    command += " >" + quoted(temp / "out") + " 2>" + quoted(temp / "err") + " </dev/null";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readFile(temp / "out"), test::readFile(temp / "err")};
  }
};

TEST_F(CommandLine, UsageErrorsExitTwoWithAMessageOnStderr) {
  struct Case {
    std::initializer_list<std::string> args;
    const char* message;
  };
  for (const Case& c :
       {Case{{"bogus"}, "bogus"}, Case{{"schema"}, "--connection is required"},
        Case{{"generate"}, "project is required"}, Case{{"schema", "--connection", "x", "--type", "Report"}, "Report"},
        Case{{"new", "--type", "List"}, "--output is required"},
        Case{{"new", "-o", "x.xml", "--lookup", "CustomerID=Customers"}, "TABLE:LINKCOLUMN"},
        Case{{"add-item", "site.wproj", "--name", "Orders"}, "--folder is required"},
        Case{{"wizard", "--port", "http"}, "--port"}}) {
    Outcome o = run(c.args);
    std::string shown = *c.args.begin();
    EXPECT_EQ(o.status, 2) << shown << "\n" << o.err;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << shown << "\n" << o.err;
    EXPECT_NE(o.err.find("--help"), std::string::npos) << shown << "\n" << o.err;
    EXPECT_EQ(o.out, "") << shown;
  }

  Outcome help = run({"--help"});
  EXPECT_EQ(help.status, 0) << help.err;
  for (const char* command : {"wizard", "add-item", "generate", "schema", "demo", "new"})
    EXPECT_NE(help.out.find(command), std::string::npos) << help.out;
  Outcome newHelp = run({"new", "--help"});
  EXPECT_EQ(newHelp.status, 0);
  for (const char* option : {"--records-per-page", "--list-fields", "--lookup", "--list", "Example:"})
    EXPECT_NE(newHelp.out.find(option), std::string::npos) << option;
}

TEST_F(CommandLine, SchemaRefusesAnEmptyTableNameAsAUsageError) {
  // An empty --table is a mistake in the call (an unset shell variable, say),
  // not a request for the table list: listing the tables and exiting 0 would
  // hand the caller a wrong result as a success.
  ASSERT_EQ(run({"demo", temp / "demo"}).status, 0);
  Outcome o =
      run({"schema", "--connection", "Driver={SQLite3};Database=" + temp / "demo/TVKWizardSample.db", "--table", ""});
  EXPECT_EQ(o.status, 2) << o.out;
  EXPECT_NE(o.err.find("--table"), std::string::npos) << o.err;
  EXPECT_EQ(o.out, "");
}

TEST_F(CommandLine, GenerateExitsOneWhenAFileFailsAndZeroWhenAllAreWritten) {
  Outcome missing = run({"generate", temp / "missing.xml"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find(temp / "missing.xml"), std::string::npos) << missing.err;

  // A fixture project whose folders lie inside the temporary directory.
  std::string xml = test::readFile(std::string(TVK_SOURCE_DIR) + "/tests/generator/projects/products_plain.xml");
  for (size_t at = xml.find("/web/site"); at != std::string::npos;
       at = xml.find("/web/site", at + temp.path().size() + 1))
    xml.insert(at, temp.path());
  test::writeFile(temp / "project.xml", xml);
  Outcome noFolder = run({"generate", temp / "project.xml"});
  EXPECT_EQ(noFolder.status, 1) << noFolder.out;
  EXPECT_NE(noFolder.out.find("Error creating ProductsList.asp"), std::string::npos) << noFolder.out;

  for (const char* dir : {"web/site/admin/styles", "web/site/include", "web/site/images"})
    std::filesystem::create_directories(temp / dir);
  Outcome good = run({"generate", temp / "project.xml"});
  EXPECT_EQ(good.status, 0) << good.out << good.err;
  EXPECT_NE(good.out.find("File ProductsList.asp successfully created at " + temp / "web/site/admin/ProductsList.asp"),
            std::string::npos)
      << good.out;
  EXPECT_TRUE(std::filesystem::is_regular_file(temp / "web/site/admin/ProductsList.asp"));
}

// What cannot be a project file is refused in one line on stderr, exit 1;
// a FIFO is refused at once rather than waiting for a writer.
TEST_F(CommandLine, GenerateRefusesWhatIsNotAProjectFileInOneLine) {
  ASSERT_EQ(::mkfifo((temp / "fifo.xml").c_str(), 0600), 0);
  std::filesystem::create_directories(temp / "folder.xml");
  for (const auto& [file, reason] : {std::pair<std::string, std::string>{temp / "fifo.xml", "is not a regular file"},
                                     std::pair<std::string, std::string>{temp / "folder.xml", "is a directory"}}) {
    Outcome o = run({"generate", file});
    EXPECT_EQ(o.status, 1) << file;
    EXPECT_EQ(o.err, "tvkwizard generate: cannot read the project file '" + file + "': " + reason + "\n");
    EXPECT_EQ(o.out, "");
  }
}

TEST_F(CommandLine, TheWindowCommandsExitOneWhenTheyCannotStart) {
  // A port taken by another program: the window cannot be served.
  int taken = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(taken, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(taken, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(listen(taken, 1), 0);
  ASSERT_EQ(getsockname(taken, reinterpret_cast<sockaddr*>(&address), &length), 0);
  std::string port = std::to_string(ntohs(address.sin_port));
  Outcome busy = run({"wizard", "--no-browser", "--port", port});
  close(taken);
  EXPECT_EQ(busy.status, 1) << busy.out;
  EXPECT_NE(busy.err.find("tvkwizard wizard: Cannot listen on 127.0.0.1:" + port), std::string::npos) << busy.err;
  EXPECT_EQ(busy.out, "");

  // A manifest that is not there: nothing is served.
  Outcome noManifest = run({"add-item", temp / "site.wproj", "--folder", "admin", "--name", "Orders"});
  EXPECT_EQ(noManifest.status, 1);
  EXPECT_NE(noManifest.err.find("tvkwizard add-item: "), std::string::npos) << noManifest.err;
  EXPECT_NE(noManifest.err.find(temp / "site.wproj"), std::string::npos) << noManifest.err;
  EXPECT_EQ(noManifest.out, "");
}

}  // namespace
}  // namespace tvk
