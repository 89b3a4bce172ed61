#include "window/request_guard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace tvk {
namespace {

constexpr std::string_view kToken = "0123456789abcdef0123456789abcdef";

TEST(RequestGuardTest, TokenComesFromTheQueryOrTheCookie) {
  EXPECT_EQ(findToken("/?token=0123456789abcdef0123456789abcdef", "", kToken), TokenSource::Query);
  EXPECT_EQ(findToken("/x.htm?a=1&token=0123456789abcdef0123456789abcdef&b=2", "", kToken), TokenSource::Query);
  EXPECT_EQ(findToken("/x.htm", "a=b; tvk_token=0123456789abcdef0123456789abcdef; c=d", kToken), TokenSource::Cookie);
  EXPECT_EQ(findToken("/x.htm?token=wrong", "tvk_token=0123456789abcdef0123456789abcdef", kToken), TokenSource::Cookie);

  // Wrong, truncated, longer, differently named or missing tokens.
  EXPECT_EQ(findToken("/?token=0123456789abcdef0123456789abcdee", "", kToken), TokenSource::None);
  EXPECT_EQ(findToken("/?token=0123456789abcdef", "", kToken), TokenSource::None);
  EXPECT_EQ(findToken("/?token=0123456789abcdef0123456789abcdef0", "", kToken), TokenSource::None);
  EXPECT_EQ(findToken("/?xtoken=0123456789abcdef0123456789abcdef", "", kToken), TokenSource::None);
  EXPECT_EQ(findToken("/?token=", "tvk_token=", kToken), TokenSource::None);
  EXPECT_EQ(findToken("/", "other_token=0123456789abcdef0123456789abcdef", kToken), TokenSource::None);
  EXPECT_EQ(findToken("/0123456789abcdef0123456789abcdef", "", kToken), TokenSource::None);
  // A server without a token lets nobody in, not everybody.
  EXPECT_EQ(findToken("/?token=", "tvk_token=", ""), TokenSource::None);

  EXPECT_TRUE(tokensEqual("abc", "abc"));
  EXPECT_FALSE(tokensEqual("abc", "abd"));
  EXPECT_FALSE(tokensEqual("abc", "ab"));
}

TEST(RequestGuardTest, HostAndOriginNameTheLoopbackAndThePort) {
  EXPECT_TRUE(hostAllowed("127.0.0.1:8080", 8080));
  EXPECT_TRUE(hostAllowed("localhost:8080", 8080));
  EXPECT_TRUE(hostAllowed("LocalHost:8080", 8080));
  EXPECT_FALSE(hostAllowed("evil.com:8080", 8080));  // DNS rebinding
  EXPECT_FALSE(hostAllowed("localhost.evil.com:8080", 8080));
  EXPECT_FALSE(hostAllowed("127.0.0.1:8081", 8080));
  EXPECT_FALSE(hostAllowed("127.0.0.1", 8080));
  EXPECT_FALSE(hostAllowed("127.0.0.1:08080", 8080));
  EXPECT_FALSE(hostAllowed("", 8080));

  EXPECT_TRUE(originAllowed("http://127.0.0.1:8080", 8080));
  EXPECT_TRUE(originAllowed("http://localhost:8080", 8080));
  EXPECT_FALSE(originAllowed("http://evil.com:8080", 8080));
  EXPECT_FALSE(originAllowed("https://127.0.0.1:8080", 8080));
  EXPECT_FALSE(originAllowed("http://127.0.0.1:8081", 8080));
  EXPECT_FALSE(originAllowed("null", 8080));
  EXPECT_FALSE(originAllowed("", 8080));
}

class ResolvePathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::writeFile(data / "TVKWizardWindow/window.html", "<html>window</html>");
    test::writeFile(data / "TVKWizardHTML/TVKIntro.htm", "<html>intro</html>");
    test::writeFile(data / "TVKWizardHTML/img/logo.gif", "GIF89a");
    test::writeFile(data / "TVKWizardHTML/a b.htm", "spaced");
    test::writeFile(data / "TVKWizardFlow.xml", "<flow/>");
    test::writeFile(data / "Templates/Header.txt", "header");
    test::writeFile(outside / "secret.txt", "secret");
  }

  std::string file(const std::string& name) { return std::filesystem::canonical(data / name).string(); }
  PathStatus status(std::string_view target) { return resolvePath(target, data.path()).status; }

  test::ScopedTempDir data;
  test::ScopedTempDir outside;
};

TEST_F(ResolvePathTest, ServesTheWindowPageAndTheFilesOfTheTwoFolders) {
  EXPECT_EQ(resolvePath("/", data.path()).file, file("TVKWizardWindow/window.html"));
  EXPECT_EQ(resolvePath("/?token=x", data.path()).file, file("TVKWizardWindow/window.html"));
  EXPECT_EQ(resolvePath("/TVKWizardWindow/window.html", data.path()).file, file("TVKWizardWindow/window.html"));
  EXPECT_EQ(resolvePath("/TVKWizardHTML/TVKIntro.htm?token=x", data.path()).file, file("TVKWizardHTML/TVKIntro.htm"));
  EXPECT_EQ(resolvePath("/TVKWizardHTML/img/logo.gif", data.path()).file, file("TVKWizardHTML/img/logo.gif"));
  EXPECT_EQ(resolvePath("/TVKWizardHTML/a%20b.htm", data.path()).file, file("TVKWizardHTML/a b.htm"));
  EXPECT_EQ(status("/TVKWizardHTML/TVKIntro.htm"), PathStatus::Ok);
}

TEST_F(ResolvePathTest, TraversalAndDisguisedSeparatorsAreForbidden) {
  for (const char* target :
       {"/TVKWizardHTML/../TVKWizardFlow.xml", "/../TVKWizardFlow.xml", "/TVKWizardHTML/%2e%2e/TVKWizardFlow.xml",
        "/TVKWizardHTML/%2E%2E/TVKWizardFlow.xml", "/TVKWizardHTML/./TVKIntro.htm", "/TVKWizardHTML/..",
        "/TVKWizardHTML%2f..%2fTVKWizardFlow.xml", "/TVKWizardHTML/img%2Flogo.gif", "/TVKWizardHTML/img%5clogo.gif",
        "/TVKWizardHTML\\..\\TVKWizardFlow.xml", "/TVKWizardHTML/TVKIntro.htm%00.gif", "/TVKWizardHTML/%zz.htm",
        "/TVKWizardHTML/TVKIntro.htm%2", "/TVKWizardHTML/TVKIntro.htm%"})
    EXPECT_EQ(status(target), PathStatus::Forbidden) << target;
  // Decoded once only: "%252e%252e" is the folder name "%2e%2e", not "..".
  EXPECT_EQ(status("/TVKWizardHTML/%252e%252e/TVKWizardFlow.xml"), PathStatus::NotFound);
}

TEST_F(ResolvePathTest, OnlyFilesInsideTheServedFoldersAreFound) {
  for (const char* target :
       {"/TVKWizardFlow.xml", "/Templates/Header.txt", "/TVKWizardHTML", "/TVKWizardHTML/", "/TVKWizardHTML/img",
        "/TVKWizardHTML/missing.htm", "/TVKWizardHTML//TVKIntro.htm", "/tvkwizardhtml/TVKIntro.htm", "/bridge",
        "TVKWizardHTML/TVKIntro.htm", "http://127.0.0.1/TVKWizardHTML/TVKIntro.htm"})
    EXPECT_EQ(status(target), PathStatus::NotFound) << target;

  // A link that leads out of the folder is refused, one inside it is served.
  std::filesystem::create_symlink(outside / "secret.txt", data / "TVKWizardHTML/secret.txt");
  std::filesystem::create_symlink(outside.path(), data / "TVKWizardHTML/outside");
  std::filesystem::create_symlink(data / "TVKWizardFlow.xml", data / "TVKWizardHTML/flow.xml");
  std::filesystem::create_symlink(data / "TVKWizardHTML/TVKIntro.htm", data / "TVKWizardHTML/intro.htm");
  EXPECT_EQ(status("/TVKWizardHTML/secret.txt"), PathStatus::NotFound);
  EXPECT_EQ(status("/TVKWizardHTML/outside/secret.txt"), PathStatus::NotFound);
  EXPECT_EQ(status("/TVKWizardHTML/flow.xml"), PathStatus::NotFound);
  EXPECT_EQ(resolvePath("/TVKWizardHTML/intro.htm", data.path()).file, file("TVKWizardHTML/TVKIntro.htm"));

  // The served folder itself may be a link (as in the build tree).
  test::ScopedTempDir linked;
  std::filesystem::create_symlink(data / "TVKWizardHTML", linked / "TVKWizardHTML");
  EXPECT_EQ(resolvePath("/TVKWizardHTML/TVKIntro.htm", linked.path()).file, file("TVKWizardHTML/TVKIntro.htm"));
}

TEST(RequestGuardTest, ContentTypeFollowsTheExtension) {
  EXPECT_EQ(contentType("/d/TVKIntro.htm"), "text/html; charset=utf-8");
  EXPECT_EQ(contentType("/d/window.HTML"), "text/html; charset=utf-8");
  EXPECT_EQ(contentType("/d/window.js"), "text/javascript");
  EXPECT_EQ(contentType("/d/window.css"), "text/css");
  EXPECT_EQ(contentType("/d/logo.GIF"), "image/gif");
  EXPECT_EQ(contentType("/d/logo.svg"), "image/svg+xml");
  EXPECT_EQ(contentType("/d/TVKWizardFlow.xml"), "application/octet-stream");
  EXPECT_EQ(contentType("/d.htm/README"), "application/octet-stream");
}

}  // namespace
}  // namespace tvk
