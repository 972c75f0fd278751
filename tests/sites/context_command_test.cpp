#include "sites/context_command.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_desktop.h"
#include "support/allocation_counter.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

const std::string kInstallFolder = "C:\\Program Files\\Velmox";
const std::string kCommandToken = "4820193756";

struct ContextCommandTest : ::testing::Test {
  ContextCommandTest() {
    state.URLPrefix = kCommandToken;
    state.Sites.ReplaceAll({{"", false}});
    window.Scope()->failCall = [this](std::string_view member) {
      locationReads += member == "LocationURL";
      return false;
    };
  }
  bool Command(const std::string& url) {
    return ContextCommand(state, desktop.files, kInstallFolder, window, url);
  }
  AppState state;
  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  sim::SimWindow& window =
      desktop.browsers.Open("news", "http://www.ads.example/news/today.html", {});
  int locationReads = 0;
};

// Only an address ending in a command page name with this installation's token, in the
// application folder, is a command; an ordinary address never touches the window.
TEST_F(ContextCommandTest, CommandPagesAreRecognisedAndNothingElse) {
  const std::string page = "b" + kCommandToken + ".html";
  const std::pair<std::string, bool> cases[] = {
      {"c:\\PROGRAM FILES\\velmox\\B" + kCommandToken + ".HTML", true},
      {"C:\\program files\\VELMOX\\T" + kCommandToken + ".Html", true},
      {kInstallFolder + "\\sub\\dir\\" + page,
       true},  // the page name is the last sixteen characters
      {kInstallFolder + page, true},
      {"http://www.ads.example/" + page, false},
      {"D:\\Program Files\\Velmox\\" + page, false},
      {"file://" + kInstallFolder + "\\" + page, false},  // the folder must come first
      {kInstallFolder + "\\" + page + "#x", false},
      {kInstallFolder + "\\b1111111111.html", false},  // a token of an earlier install
      {kInstallFolder + "\\x" + kCommandToken + ".html", false},
      {kInstallFolder, false},
      {"", false},
      {"C:\\Prog", false},
  };
  for (const auto& [url, command] : cases) {
    locationReads = 0;
    EXPECT_EQ(Command(url), command) << url;
    EXPECT_EQ(locationReads > 0, command) << url;
  }
  EXPECT_EQ(state.Sites.Entries(),
            (std::vector<SiteEntry>{{"", false}, {"www.ads.example", true}}));
}

TEST_F(ContextCommandTest, FailingWindowPropagatesFromARecognisedCommand) {
  desktop.browsers.FailWindow(window, sim::Disconnected());
  EXPECT_THROW(Command(kInstallFolder + "\\b" + kCommandToken + ".html"), PlatformError);
  EXPECT_FALSE(Command("http://example.com/")) << "an ordinary address still answers";
}

TEST_F(ContextCommandTest, OrdinaryAddressesAllocateNothing) {
  const std::string shortUrl = "http://www.example.com/index.html";
  const std::string longUrl = "http://www.example.com/search?q=" + std::string(1968, 'x');
  const std::string nearMiss = kInstallFolder + "\\readme.txt";  // passes the folder check
  const std::size_t before = test::AllocationCount();
  bool any = false;
  any |= Command(shortUrl);
  any |= Command(longUrl);
  any |= Command(nearMiss);
  EXPECT_EQ(test::AllocationCount(), before);
  EXPECT_FALSE(any);
}

TEST(RecognizeContextCommand, TokenIsComparedAsStored) {
  // A hand-edited token with capitals can never match, since the address is lower-cased.
  EXPECT_EQ(RecognizeContextCommand("C:\\V", "ABCDEFGHIJ", "C:\\V\\bABCDEFGHIJ.html"),
            ContextCommandKind::None);
  EXPECT_EQ(RecognizeContextCommand("C:\\V", "abcdefghij", "C:\\V\\bABCDEFGHIJ.html"),
            ContextCommandKind::DisallowSite);
  EXPECT_EQ(RecognizeContextCommand("C:\\V", "abcdefghij", "c:\\v\\TabcdefghiJ.HTML"),
            ContextCommandKind::AllowSite);
}

}  // namespace
}  // namespace velmox
