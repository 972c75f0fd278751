#include "sites/site_verdict.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "sites/host_name.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

const std::string kFolder = "C:\\Program Files\\Velmox";
const std::string kPath = kFolder + "\\servers.lst";

struct SiteVerdictTest : ::testing::Test {
  AppState state;
  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  sim::SimFiles& files = desktop.files;
  sim::SimWindow& window = desktop.browsers.Open("news", "about:blank", {});

  void Block(const std::string& url) {
    window.location = url;
    AddSiteAsBlocked(state, files, kFolder, window);
  }
  void Allow(const std::string& url) {
    window.location = url;
    AddSiteAsUnBlocked(state, files, kFolder, window);
  }
  void FailOnTheList() {
    files.failStep = [](std::string_view, const std::string& path) { return path == kPath; };
  }
};

TEST_F(SiteVerdictTest, UnlistedHostsGetTheDefault) {
  state.Sites.ReplaceAll({{"", false}});
  for (bool byDefault : {false, true}) {
    state.OptionValues.BlockByDefault = byDefault;
    EXPECT_EQ(IsBlocked(state, "ads.example"), byDefault);
    EXPECT_EQ(IsBlocked(state, ""), byDefault);
    EXPECT_EQ(IsBlocked(state, "www."), byDefault);
  }
}

TEST_F(SiteVerdictTest, AnEntryCoversItsWwwFormButNotTheOtherWayRound) {
  state.OptionValues.BlockByDefault = false;
  state.Sites.ReplaceAll({{"h.example", true}, {"www.k.example", true}, {"Caps.Example", true}});
  EXPECT_TRUE(IsBlocked(state, "www.h.example"));
  EXPECT_TRUE(IsBlocked(state, "h.example"));
  EXPECT_FALSE(IsBlocked(state, "k.example"));
  EXPECT_FALSE(IsBlocked(state, GetHostNameFromURL("http://Caps.Example/")));
}

TEST_F(SiteVerdictTest, AllowingTheWwwFormAppendsButTheEarlierEntryStillDecides) {
  state.Sites.ReplaceAll({{"h.example", true}});
  Allow("http://www.h.example/");
  EXPECT_EQ(state.Sites.Entries(),
            (std::vector<SiteEntry>{{"h.example", true}, {"www.h.example", false}}));
  EXPECT_TRUE(IsBlocked(state, "www.h.example"));
  EXPECT_EQ(files.ReadText(kPath), "\"h.example\",#TRUE#\r\n\"www.h.example\",#FALSE#\r\n");
}

TEST_F(SiteVerdictTest, ACapitalisedHostFromTheFileGetsALowerCaseEntryBeside) {
  state.Sites.ReplaceAll({{"Ads.Example", false}});
  Block("http://Ads.Example/");
  EXPECT_EQ(state.Sites.Entries(),
            (std::vector<SiteEntry>{{"Ads.Example", false}, {"ads.example", true}}));
}

TEST_F(SiteVerdictTest, HostsTheFileCannotHoldAreNeverAdded) {
  state.Sites.ReplaceAll({{"", false}});
  files.WriteText(kPath, "before");
  Block("http://bad\"host/");
  Allow("http://");  // the empty host
  Block("http://line\r\nbreak/");
  EXPECT_EQ(state.Sites.Entries(), (std::vector<SiteEntry>{{"", false}}));
  EXPECT_EQ(files.ReadText(kPath), "before");
}

TEST_F(SiteVerdictTest, AnUnreadableAddressMarksNothing) {
  state.Sites.ReplaceAll({{"", false}});
  desktop.browsers.FailWindow(window, sim::Disconnected());
  EXPECT_THROW(AddSiteAsBlocked(state, files, kFolder, window), PlatformError);
  EXPECT_EQ(state.Sites.Count(), 1u);
  EXPECT_FALSE(std::filesystem::exists(folders.folders.appDir / "servers.lst"));
}

TEST_F(SiteVerdictTest, AFailedSaveKeepsTheMarkInMemory) {
  state.Sites.ReplaceAll({{"", false}});
  FailOnTheList();
  Block("http://ads.example/");
  EXPECT_TRUE(IsBlocked(state, "ads.example"));
  files.failStep = nullptr;
  Block("http://other.example/");
  EXPECT_EQ(files.ReadText(kPath), "\"ads.example\",#TRUE#\r\n\"other.example\",#TRUE#\r\n");
}

TEST(GetHostNameFromURL, ReducesAnAddressAsVelmoxComparesHosts) {
  EXPECT_EQ(GetHostNameFromURL("http://www.Example.COM/a/b?c"), "www.example.com");
  EXPECT_EQ(GetHostNameFromURL("bareword"), "unknown");
  EXPECT_EQ(GetHostNameFromURL(""), "unknown");
  EXPECT_EQ(GetHostNameFromURL("http://"), "");
  EXPECT_EQ(GetHostNameFromURL("about:blank"), "blank");
  EXPECT_EQ(GetHostNameFromURL("http://host:8080/x"), "host:8080");
  EXPECT_EQ(GetHostNameFromURL("ftp://User@Host/x"), "user@host");
  EXPECT_EQ(GetHostNameFromURL("file://C:\\dir\\page.html"), "c:");
  EXPECT_EQ(GetHostNameFromURL("http:\\\\/\\Host\\x/y"), "host\\x");
  EXPECT_EQ(GetHostNameFromURL("http://a.example?q=1"), "a.example?q=1");
  EXPECT_EQ(GetHostNameFromURL("http://\xC9t\xC9.example/"), "\xC9t\xC9.example");
}

}  // namespace
}  // namespace velmox
