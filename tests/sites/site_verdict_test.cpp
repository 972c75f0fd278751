#include "sites/site_verdict.h"

#include <gtest/gtest.h>

#include "core/site_host.h"
#include "platform/sim/sim_desktop.h"
#include "sites/host_name.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

const std::string kVerdictFolder = "C:\\Program Files\\Velmox";
const std::string kVerdictListPath = kVerdictFolder + "\\servers.lst";

struct SiteVerdictTest : ::testing::Test {
  SiteList sites;
  SitesFileState onDisk;
  bool blockByDefault = false;
  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  sim::SimFiles& files = desktop.files;
  sim::SimWindow& window = desktop.browsers.Open("news", "about:blank", {});

  void Block(const std::string& url) {
    window.location = url;
    AddSiteAsBlocked(sites, onDisk, files, kVerdictFolder, window);
  }
  void Allow(const std::string& url) {
    window.location = url;
    AddSiteAsUnBlocked(sites, onDisk, files, kVerdictFolder, window);
  }
  bool Blocked(std::string_view host) const { return IsBlocked(sites, blockByDefault, host); }
  void FailOnTheList() {
    files.failStep = [](std::string_view, const std::string& path) {
      return path == kVerdictListPath;
    };
  }
};

TEST_F(SiteVerdictTest, UnlistedHostsGetTheDefault) {
  sites.ReplaceAll({{"", false}});
  for (bool byDefault : {false, true}) {
    blockByDefault = byDefault;
    EXPECT_EQ(Blocked("ads.example"), byDefault);
    EXPECT_EQ(Blocked(""), byDefault);
    EXPECT_EQ(Blocked("www."), byDefault);
  }
}

TEST_F(SiteVerdictTest, AnEntryCoversItsWwwFormButNotTheOtherWayRound) {
  blockByDefault = false;
  sites.ReplaceAll({{"h.example", true}, {"www.k.example", true}, {"Caps.Example", true}});
  EXPECT_TRUE(Blocked("www.h.example"));
  EXPECT_TRUE(Blocked("h.example"));
  EXPECT_FALSE(Blocked("k.example"));
  EXPECT_FALSE(Blocked(GetHostNameFromURL("http://Caps.Example/")));
}

TEST_F(SiteVerdictTest, AllowingTheWwwFormAppendsButTheEarlierEntryStillDecides) {
  sites.ReplaceAll({{"h.example", true}});
  Allow("http://www.h.example/");
  EXPECT_EQ(sites.Entries(),
            (std::vector<SiteEntry>{{"h.example", true}, {"www.h.example", false}}));
  EXPECT_TRUE(Blocked("www.h.example"));
  EXPECT_EQ(files.ReadText(kVerdictListPath),
            "\"h.example\",#TRUE#\r\n\"www.h.example\",#FALSE#\r\n");
}

TEST_F(SiteVerdictTest, ACapitalisedHostFromTheFileGetsALowerCaseEntryBeside) {
  sites.ReplaceAll({{"Ads.Example", false}});
  Block("http://Ads.Example/");
  EXPECT_EQ(sites.Entries(),
            (std::vector<SiteEntry>{{"Ads.Example", false}, {"ads.example", true}}));
}

TEST_F(SiteVerdictTest, HostsTheFileCannotHoldAreNeverAdded) {
  sites.ReplaceAll({{"", false}});
  files.WriteText(kVerdictListPath, "before");
  Block("http://bad\"host/");
  Allow("http://");  // the empty host
  Block("http://line\r\nbreak/");
  EXPECT_EQ(sites.Entries(), (std::vector<SiteEntry>{{"", false}}));
  EXPECT_EQ(files.ReadText(kVerdictListPath), "before");
}

TEST_F(SiteVerdictTest, AnUnreadableAddressMarksNothing) {
  sites.ReplaceAll({{"", false}});
  desktop.browsers.FailWindow(window, sim::Disconnected());
  EXPECT_THROW(AddSiteAsBlocked(sites, onDisk, files, kVerdictFolder, window), PlatformError);
  EXPECT_EQ(sites.Count(), 1u);
  EXPECT_FALSE(std::filesystem::exists(folders.folders.appDir / "servers.lst"));
}

TEST_F(SiteVerdictTest, AFailedSaveKeepsTheMarkInMemory) {
  sites.ReplaceAll({{"", false}});
  FailOnTheList();
  Block("http://ads.example/");
  EXPECT_TRUE(Blocked("ads.example"));
  files.failStep = nullptr;
  Block("http://other.example/");
  EXPECT_EQ(files.ReadText(kVerdictListPath),
            "\"ads.example\",#TRUE#\r\n\"other.example\",#TRUE#\r\n");
}

TEST(GetHostNameFromURL, ReducesAnAddressAsVelmoxComparesHosts) {
  EXPECT_EQ(GetHostNameFromURL("http://www.Example.COM/a/b?c"), "www.example.com");
  EXPECT_EQ(GetHostNameFromURL("bareword"), "unknown");
  EXPECT_EQ(GetHostNameFromURL(""), "unknown");
  EXPECT_EQ(GetHostNameFromURL("http://"), "");
  EXPECT_EQ(GetHostNameFromURL("about:blank"), "blank");
  EXPECT_EQ(GetHostNameFromURL("file://C:\\dir\\page.html"), "c:");
  EXPECT_EQ(GetHostNameFromURL("http:\\\\/\\Host\\x/y"), "host\\x");
  EXPECT_EQ(GetHostNameFromURL("http://a.example?q=1"), "a.example?q=1");
  EXPECT_EQ(GetHostNameFromURL("http://\xC9t\xC9.example/"), "\xC9t\xC9.example");
}

// The host a site is looked up and recorded by is the same however its address spells it: user
// information up to the last "@", ports and closing dots are not part of it. What comes out
// reduces to itself, so an entry recorded from it stands for the site it was recorded for.
TEST(GetHostNameFromURL, DropsUserInformationPortsAndClosingDots) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://blocked.example:80/", "blocked.example"},
      {"http://blocked.example./", "blocked.example"},
      {"http://x@blocked.example/", "blocked.example"},
      {"ftp://User:pw@Host:21/x", "host"},
      {"http://a@b@WWW.Host.Example.:8080/x", "www.host.example"},
      {"http://host.example:/", "host.example"},
      {"http://host.example../", "host.example"},
      {"http://host.example:80.:81/", "host.example"},
      {"http://a:8080/", "a"},  // a one-letter host loses its port like any other
      {"http://A:/", "a:"},     // a letter and a colon alone has a drive letter's shape
      {"http://me@c:80/", "c"},
      {"http://[::1]:8080/", "[::1]"},
      {"http://[::1]/", "[::1]"},
      {"http://user@/", ""},
      {"file:///C:/dir/page.html", "c:"},  // a drive letter is no port
      {"http://host:8o/", "host:8o"},      // nor is what is not a number
  };
  for (const auto& [url, host] : cases) {
    EXPECT_EQ(GetHostNameFromURL(url), host) << url;
    EXPECT_EQ(SiteHost(host), host) << url;
  }
}

TEST_F(SiteVerdictTest, ADisallowedSiteCannotEscapeItsEntryBySpellingItsAddressDifferently) {
  blockByDefault = false;
  sites.ReplaceAll({{"blocked.example", true}});
  for (const char* url : {"http://blocked.example:80/", "http://blocked.example./",
                          "http://x@blocked.example/", "http://x@www.blocked.example.:80/"})
    EXPECT_TRUE(Blocked(GetHostNameFromURL(url))) << url;
  Allow("http://user:pw@Other.Example.:8080/page");
  Block("http://other.example/");
  EXPECT_EQ(sites.Entries(),
            (std::vector<SiteEntry>{{"blocked.example", true}, {"other.example", true}}));
}

// Marking a site from the context menu changes the entry that decides for it, whatever
// spelling an earlier release stored it under; the stored text is written back as it was.
TEST_F(SiteVerdictTest, MarkingASiteChangesTheStoredEntryThatDecidesForIt) {
  blockByDefault = true;
  sites.ReplaceAll({{"intranet.example:8080", false}, {"me@mail.example", false}});
  Block("http://intranet.example/");
  EXPECT_TRUE(Blocked("intranet.example"));
  Allow("http://www.mail.example/");  // www. of a listed site is a host of its own
  EXPECT_EQ(sites.Entries(), (std::vector<SiteEntry>{{"intranet.example:8080", true},
                                                     {"me@mail.example", false},
                                                     {"www.mail.example", false}}));
  EXPECT_EQ(files.ReadText(kVerdictListPath),
            "\"intranet.example:8080\",#TRUE#\r\n\"me@mail.example\",#FALSE#\r\n"
            "\"www.mail.example\",#FALSE#\r\n");
}

}  // namespace
}  // namespace velmox
