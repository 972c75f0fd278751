#include "sites/site_list.h"

#include <gtest/gtest.h>

namespace velmox {
namespace {

TEST(SiteListVerdict, FreeEntriesNeverMatch) {
  SiteList list;
  list.ReplaceAll({{"", false}, {"ads.example", true}});
  EXPECT_EQ(list.Verdict(""), std::nullopt);
  EXPECT_EQ(list.Verdict("www."), std::nullopt);
  EXPECT_EQ(list.Verdict("www.ads.example"), true);
  EXPECT_EQ(list.Verdict("ads.example"), true);
  EXPECT_EQ(list.Verdict("ww.ads.example"), std::nullopt);
}

}  // namespace
}  // namespace velmox
