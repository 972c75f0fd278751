#include "platform/sim/sim_address.h"

#include <gtest/gtest.h>

namespace velmox::sim {
namespace {

TEST(SimAddressTest, ResolvesReferencesAsTheBrowserDoes) {
  const std::string page = "http://ads.example/dir/page.html?x=1";
  EXPECT_EQ(ResolveAddress(page, "story.html"), "http://ads.example/dir/story.html");
  EXPECT_EQ(ResolveAddress(page, "../cgi-bin/find.pl"), "http://ads.example/cgi-bin/find.pl");
  EXPECT_EQ(ResolveAddress(page, "/a/./b/../c.html"), "http://ads.example/a/c.html");
  EXPECT_EQ(ResolveAddress(page, "?q=2"), "http://ads.example/dir/page.html?q=2");
  EXPECT_EQ(ResolveAddress(page, "#top"), "http://ads.example/dir/page.html?x=1#top");
  EXPECT_EQ(ResolveAddress(page, "//cdn.example/x.js"), "http://cdn.example/x.js");
  EXPECT_EQ(ResolveAddress(page, "  spaced name.html "),
            "http://ads.example/dir/spaced%20name.html");
}

TEST(SimAddressTest, AbsoluteAddressesGetLowerCaseSchemeAndHostAndARootPath) {
  EXPECT_EQ(ResolveAddress("http://a.example/", "HTTP://Partner.EXAMPLE"),
            "http://partner.example/");
  EXPECT_EQ(ResolveAddress("http://a.example/", "https://b.example?q"), "https://b.example/?q");
  EXPECT_EQ(ResolveAddress("", "http://b.example:8080/Path"), "http://b.example:8080/Path");
  // Addresses that are no hierarchy stay as written.
  EXPECT_EQ(ResolveAddress("http://a.example/", "javascript:void(0)"), "javascript:void(0)");
  EXPECT_EQ(ResolveAddress("http://a.example/", "mailto:me@a.example"), "mailto:me@a.example");
}

TEST(SimAddressTest, LocalPagesResolveBesideTheirFile) {
  EXPECT_EQ(ResolveAddress("file:///C:/Program%20Files/Velmox/a.html", "b.html"),
            "file:///C:/Program%20Files/Velmox/b.html");
}

TEST(SimAddressTest, EveryWrittenFormOfALocalFileNamesTheSamePath) {
  const std::string path = "C:\\Program Files\\Velmox\\b0123456789.html";
  EXPECT_EQ(LocalPathOf(path), path);
  EXPECT_EQ(LocalPathOf("file://C:\\Program Files\\Velmox\\b0123456789.html"), path);
  EXPECT_EQ(LocalPathOf("file:///C:/Program%20Files/Velmox/b0123456789.html"), path);
  EXPECT_EQ(LocalPathOf("FILE:///C:/Program Files/Velmox/b0123456789.html"), path);
  EXPECT_EQ(LocalPathOf("/srv/pages/a.html"), "/srv/pages/a.html");
  EXPECT_EQ(LocalPathOf("http://ads.example/"), std::nullopt);
  EXPECT_EQ(LocalPathOf("about:blank"), std::nullopt);
}

TEST(SimAddressTest, ALocalPathIsShownAsAFileAddress) {
  EXPECT_EQ(FileAddressOf("C:\\Program Files\\Velmox\\page.html"),
            "file:///C:/Program%20Files/Velmox/page.html");
  EXPECT_EQ(LocalPathOf(FileAddressOf("C:\\Program Files\\Velmox\\page.html")),
            "C:\\Program Files\\Velmox\\page.html");
}

}  // namespace
}  // namespace velmox::sim
