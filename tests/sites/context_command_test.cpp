#include "sites/context_command.h"

#include <gtest/gtest.h>

#include <string>

#include "support/allocation_counter.h"
#include "support/fake_browser.h"
#include "support/memory_files.h"

namespace velmox {
namespace {

const std::string kFolder = "C:\\Program Files\\Velmox";
const std::string kToken = "4820193756";
const std::string kList = kFolder + "\\servers.lst";

struct ContextCommandTest : ::testing::Test {
  ContextCommandTest() {
    state.URLPrefix = kToken;
    state.Sites.ReplaceAll({{"", false}});
    window.location = "http://www.ads.example/news/today.html";
  }
  bool Command(const std::string& url) {
    return ContextCommand(state, files, kFolder, window, url);
  }
  AppState state;
  test::MemoryFiles files;
  test::FakeWindow window;
};

TEST_F(ContextCommandTest, DisallowPageMarksTheShownSiteAndSavesTheList) {
  EXPECT_TRUE(Command(kFolder + "\\b" + kToken + ".html"));
  EXPECT_EQ(state.Sites.Verdict("www.ads.example"), true);
  EXPECT_EQ(files.Content(kList), "\"www.ads.example\",#TRUE#\r\n");

  EXPECT_TRUE(Command(kFolder + "\\t" + kToken + ".html"));
  EXPECT_EQ(state.Sites.Verdict("www.ads.example"), false);
  EXPECT_EQ(state.Sites.Count(), 2u) << "marked in place, not appended again";
  EXPECT_EQ(files.Content(kList), "\"www.ads.example\",#FALSE#\r\n");
}

TEST_F(ContextCommandTest, FolderAndPageNameMatchInAnyLetterCase) {
  EXPECT_TRUE(Command("c:\\PROGRAM FILES\\velmox\\B" + kToken + ".HTML"));
  EXPECT_EQ(state.Sites.Verdict("www.ads.example"), true);
  EXPECT_TRUE(Command("C:\\program files\\VELMOX\\T" + kToken + ".Html"));
  EXPECT_EQ(state.Sites.Verdict("www.ads.example"), false);
}

TEST_F(ContextCommandTest, OtherAddressesAreNotCommands) {
  const std::string page = "b" + kToken + ".html";
  EXPECT_FALSE(Command("http://www.ads.example/" + page)) << "another folder";
  EXPECT_FALSE(Command("D:\\Program Files\\Velmox\\" + page)) << "another drive";
  EXPECT_FALSE(Command("file://" + kFolder + "\\" + page)) << "the folder must come first";
  EXPECT_FALSE(Command(kFolder + "\\" + page + "#x")) << "something appended";
  EXPECT_FALSE(Command(kFolder + "\\b1111111111.html")) << "a token of an earlier install";
  EXPECT_FALSE(Command(kFolder + "\\x" + kToken + ".html"));
  EXPECT_FALSE(Command(kFolder)) << "the folder alone";
  EXPECT_FALSE(Command(""));
  EXPECT_FALSE(Command("C:\\Prog"));
  EXPECT_EQ(state.Sites.Count(), 1u);
  EXPECT_FALSE(files.Has(kList));
  EXPECT_EQ(window.locationReads, 0) << "an ordinary address never touches the window";
}

TEST_F(ContextCommandTest, PageNameIsTheLastSixteenCharactersWhereverItSits) {
  // Anything may stand between the folder and the page name, as long as the address ends in it.
  EXPECT_TRUE(Command(kFolder + "\\sub\\dir\\b" + kToken + ".html"));
  EXPECT_TRUE(Command(kFolder + "b" + kToken + ".html"));
}

TEST_F(ContextCommandTest, FailingWindowPropagatesFromARecognisedCommand) {
  window.failing = true;
  EXPECT_THROW(Command(kFolder + "\\b" + kToken + ".html"), PlatformError);
  EXPECT_FALSE(Command("http://example.com/")) << "an ordinary address still answers";
}

TEST_F(ContextCommandTest, OrdinaryAddressesAllocateNothing) {
  const std::string shortUrl = "http://www.example.com/index.html";
  const std::string longUrl = "http://www.example.com/search?q=" + std::string(1968, 'x');
  const std::string nearMiss = kFolder + "\\readme.txt";  // passes the folder check
  const std::size_t before = test::AllocationCount();
  bool any = false;
  any |= ContextCommand(state, files, kFolder, window, shortUrl);
  any |= ContextCommand(state, files, kFolder, window, longUrl);
  any |= ContextCommand(state, files, kFolder, window, nearMiss);
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
