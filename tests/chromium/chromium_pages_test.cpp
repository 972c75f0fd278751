// The address translation between Velmox's Windows view of its folder and the real files
// Chromium loads, and what Velmox serves in place of the network.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/chromium/chromium_pages.h"
#include "sites/context_command.h"
#include "support/temp_folder.h"

namespace velmox::chromium {
namespace {

class ChromiumPagesTest : public ::testing::Test {
 protected:
  // A real folder with a blank in its name, as a home folder may have.
  static std::filesystem::path MakeApp(const std::filesystem::path& root) {
    const auto app = root / "my app";
    std::filesystem::create_directories(app / "site" / "deep");
    Write(app / "site" / "index.html", "<p>home</p>");
    Write(app / "site" / "deep" / "page.html", "<p>deep</p>");
    Write(app / "page.txt", "plain");
    return app;
  }
  static void Write(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file) << text;
  }
  std::string RealUrl(const std::string& rest) const {
    return "file://" + (std::filesystem::canonical(app).string() + rest);
  }

  test::TempFolder root;
  std::filesystem::path app = MakeApp(root.Path());
  sim::SimFiles files{"C:\\Program Files\\Velmox", app};
  ChromiumPages pages{files};
};

TEST_F(ChromiumPagesTest, LocalAddressesOfVelmoxMeetTheRealFilesBothWays) {
  const std::string real = RealUrl("/b0123456789.html");
  const std::string escaped = real.substr(0, real.find("my app")) + "my%20app/b0123456789.html";
  // Every way Velmox and the context-menu scripts write a local page reaches the real file.
  EXPECT_EQ(pages.ToBrowser("C:\\Program Files\\Velmox\\b0123456789.html"), escaped);
  EXPECT_EQ(pages.ToBrowser("file://C:\\Program Files\\Velmox\\b0123456789.html"), escaped);
  EXPECT_EQ(pages.ToBrowser("file:///C:/Program%20Files/Velmox/b0123456789.html"), escaped);
  // What Chromium asks for comes back as Velmox's own path, so that a command page is known.
  EXPECT_EQ(pages.Reported(escaped), "C:\\Program Files\\Velmox\\b0123456789.html");
  EXPECT_EQ(pages.Shown(escaped), "file:///C:/Program%20Files/Velmox/b0123456789.html");
}

TEST_F(ChromiumPagesTest, OtherAddressesPassAsTheyAre) {
  EXPECT_EQ(pages.ToBrowser("http://ads.example/news/"), "http://ads.example/news/");
  EXPECT_EQ(pages.Reported("https://ads.example/a?b=c"), "https://ads.example/a?b=c");
  // A file outside the application folder keeps its real path.
  EXPECT_EQ(pages.Reported("file:///etc/hosts"), "/etc/hosts");
  EXPECT_EQ(pages.Shown("file:///etc/hosts"), "file:///etc/hosts");
  // A sibling folder whose name begins like the application folder is not inside it.
  EXPECT_EQ(pages.Reported(RealUrl("2/x.html")),
            std::filesystem::canonical(app).string() + "2/x.html");
  // A local path that leads out of the application folder names no file here.
  EXPECT_EQ(pages.ToBrowser("C:\\Program Files\\Velmox\\..\\secret.txt"),
            "C:\\Program Files\\Velmox\\..\\secret.txt");
}

TEST_F(ChromiumPagesTest, MappedAddressesServeTheirFilesAndNothingReachesTheNetwork) {
  pages.Map("http://site.example/", app / "site");
  pages.Map("http://text.example/doc", app / "page.txt", "Adobe Acrobat Document");

  const auto home = pages.Serve("http://site.example/#top", true);
  ASSERT_TRUE(home);
  EXPECT_EQ(home->body, "<p>home</p>");
  EXPECT_EQ(home->contentType, "text/html");
  const auto deep = pages.Serve("http://site.example/deep/page.html?q=1", true);
  ASSERT_TRUE(deep);
  EXPECT_EQ(deep->body, "<p>deep</p>");
  const auto text = pages.Serve("http://text.example/doc", true);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->contentType, "text/plain");

  // An address nobody mapped: an empty page for a window, nothing for what a page loads.
  const auto unknown = pages.Serve("http://nowhere.example/", true);
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 200);
  EXPECT_EQ(pages.Serve("http://site.example/missing.png", false)->status, 404);
  // Files on disk are the browser's own to load.
  EXPECT_FALSE(pages.Serve(RealUrl("/page.txt"), true));
}

// Only what may be a command page is held for Velmox in a window of the collection: every
// address Velmox would carry out as a command must be among them, however Chromium spells it.
TEST_F(ChromiumPagesTest, EveryCommandPageIsOneThatMayBe) {
  const std::string folder = RealUrl("");
  const std::string escaped = folder.substr(0, folder.find("my app")) + "my%20app";
  const std::string token = "0123456789";
  struct Case {
    std::string url;
    bool mayBe;
  };
  const std::vector<Case> cases = {
      {escaped + "/b0123456789.html", true},
      {escaped + "/T0123456789.HTML", true},
      {escaped + "/%62%30123456789%2Ehtml", true},  // Chromium keeps what a page escaped
      {escaped + "/deep/xt0123456789.html", true},  // a command is known by its last 16 letters
      {"file:///c:/program%20files/velmox/b0123456789.html", true},
      {escaped + "/b9876543210.html", true},  // another token: a command page of another run
      {escaped + "/a0123456789.html", false},
      {escaped + "/b0123456789.htm", false},
      {escaped + "/page.html", false},
      {escaped + "2/b0123456789.html", false},  // a sibling folder
      {"file:///etc/b0123456789.html", false},
      {"http://ads.example/b0123456789.html", false},
  };
  for (const auto& [url, mayBe] : cases) {
    const std::string reported = pages.Reported(url);
    const bool command =
        RecognizeContextCommand(files.VirtualFolder(), token, reported) != ContextCommandKind::None;
    EXPECT_EQ(pages.MayBeCommandPage(reported), mayBe) << url;
    if (command) {
      EXPECT_TRUE(pages.MayBeCommandPage(reported)) << url;
    }
  }
  // The browser holds the folder's documents by its address only where it needs no escape.
  EXPECT_EQ(pages.PlainFolderAddress(), std::nullopt);  // "my app"
  const auto plain = root.Path() / "plain_app-1.0";
  std::filesystem::create_directories(plain);
  sim::SimFiles plainFiles{"C:\\Program Files\\Velmox", plain};
  EXPECT_EQ(ChromiumPages(plainFiles).PlainFolderAddress(),
            "file://" + std::filesystem::canonical(plain).string());
}

}  // namespace
}  // namespace velmox::chromium
