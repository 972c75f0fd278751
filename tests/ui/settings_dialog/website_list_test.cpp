#include <gtest/gtest.h>

#include "ui/settings_dialog/dialog_fixture.h"

namespace velmox::test {
namespace {

using Strings = std::vector<std::string>;

class WebsiteList : public DialogTest {
 protected:
  frmOptions& OpenOnWebsites() {
    frmOptions& f = Open();
    f.SelectTab(4);
    return f;
  }
};

TEST_F(WebsiteList, RowsShowTheNonEmptyEntriesSortedByName) {
  state.Sites.ReplaceAll(
      {{"zeta.example", false}, {"", true}, {"Beta.example", true}, {"alpha.example", false}});
  frmOptions& f = OpenOnWebsites();
  EXPECT_EQ(RowTexts(f), (Strings{"alpha.example", "Beta.example", "zeta.example"}));
  EXPECT_EQ(RowTexts(f, 1), (Strings{"Allowed", "Disallowed", "Allowed"}));
  EXPECT_FALSE(f.controls.cmdApply.enabled);
}

TEST_F(WebsiteList, WithNoRowsTheButtonsOnlyEnableApply) {
  state.Sites.ReplaceAll({{"", false}});
  frmOptions& f = OpenOnWebsites();
  EXPECT_TRUE(f.controls.ListView1.rows.empty());
  for (const char* button : {"CmdAllow", "CmdDisallow", "CmdDelete"}) {
    f.controls.cmdApply.enabled = false;
    EXPECT_TRUE(f.Click(button));
    EXPECT_TRUE(f.controls.cmdApply.enabled) << button;
  }
  EXPECT_EQ(f.WorkingSites, (std::vector<SiteEntry>{{"", false}}));
}

TEST_F(WebsiteList, AllowAndDisallowChangeOnlyTheWorkingCopy) {
  state.Sites.ReplaceAll(
      {{"a.example", true}, {"b.example", true}, {"c.example", true}, {"d.example", true}});
  frmOptions& f = OpenOnWebsites();
  SelectRows(f, {0, 1, 3});
  f.Click("CmdAllow");
  EXPECT_EQ(RowTexts(f, 1), (Strings{"Allowed", "Allowed", "Disallowed", "Allowed"}));
  EXPECT_EQ(
      f.WorkingSites,
      (std::vector<SiteEntry>{
          {"a.example", false}, {"b.example", false}, {"c.example", true}, {"d.example", false}}));
  EXPECT_TRUE(state.Sites.At(0).Blocked);  // live list unchanged until Apply
  EXPECT_TRUE(f.controls.cmdApply.enabled);
}

TEST_F(WebsiteList, DuplicatesAndCaseMatchTheFirstExactEntryOnly) {
  state.Sites.ReplaceAll({{"Ads.example", true},
                          {"ads.example", true},
                          {"dup.example", false},
                          {"dup.example", false}});
  frmOptions& f = OpenOnWebsites();
  // Case-insensitive order keeps the two spellings in list order.
  EXPECT_EQ(RowTexts(f), (Strings{"Ads.example", "ads.example", "dup.example", "dup.example"}));

  f.SelectRow(1, true);  // "ads.example"
  f.Click("CmdAllow");
  EXPECT_TRUE(f.WorkingSites[0].Blocked);
  EXPECT_FALSE(f.WorkingSites[1].Blocked);
  f.SelectRow(1, false);

  f.SelectRow(3, true);  // the second "dup.example" row still reaches the first entry
  f.Click("CmdDisallow");
  EXPECT_TRUE(f.WorkingSites[2].Blocked);
  EXPECT_FALSE(f.WorkingSites[3].Blocked);
  EXPECT_EQ(RowTexts(f, 1), (Strings{"Disallowed", "Allowed", "Allowed", "Disallowed"}));

  f.Click("CmdDelete");
  EXPECT_EQ(f.WorkingSites[2].Host, "");
  EXPECT_EQ(f.WorkingSites[3].Host, "dup.example");
  f.SelectRow(2, true);
  f.Click("CmdDelete");
  EXPECT_EQ(f.WorkingSites[3].Host, "");
  EXPECT_EQ(RowTexts(f), (Strings{"Ads.example", "ads.example"}));
}

TEST_F(WebsiteList, DeleteWalksPastRemovedRowsAndOkNoLongerWritesThem) {
  state.Sites.ReplaceAll(
      {{"a.example", true}, {"b.example", false}, {"c.example", true}, {"d.example", false}});
  frmOptions& f = OpenOnWebsites();
  SelectRows(f, {2, 3});
  f.ListView1_KeyDown(kKeyDelete, 1);  // the Delete key with Shift
  EXPECT_EQ(RowTexts(f), (Strings{"a.example", "b.example"}));
  EXPECT_EQ(f.WorkingSites.size(), 4u);
  EXPECT_EQ(f.WorkingSites[2].Host, "");
  EXPECT_EQ(f.WorkingSites[3].Host, "");

  f.ListView1_KeyDown(45, 0);  // Insert: left to the list
  EXPECT_EQ(f.controls.ListView1.rows.size(), 2u);

  f.Click("cmdOK");
  EXPECT_EQ(state.Sites.Count(), 4u);
  EXPECT_EQ(state.Sites.At(3).Host, "");
  EXPECT_EQ(files.Content(kAppFolder + "\\servers.lst"),
            "\"a.example\",#TRUE#\r\n\"b.example\",#FALSE#\r\n");
}

TEST_F(WebsiteList, ColumnClicksChooseTheSortKey) {
  state.Sites.ReplaceAll({{"c.example", true}, {"a.example", true}, {"b.example", false}});
  frmOptions& f = OpenOnWebsites();
  f.ListView1_ColumnClick(2);
  EXPECT_EQ(f.controls.ListView1.sortKey, 1);
  EXPECT_EQ(RowTexts(f, 1), (Strings{"Allowed", "Disallowed", "Disallowed"}));
  EXPECT_EQ(RowTexts(f), (Strings{"b.example", "a.example", "c.example"}));

  // The rows follow a changed verdict while sorted by it.
  f.SelectRow(2, true);
  f.Click("CmdAllow");
  EXPECT_EQ(RowTexts(f), (Strings{"b.example", "c.example", "a.example"}));

  f.ListView1_ColumnClick(1);
  EXPECT_EQ(RowTexts(f), (Strings{"a.example", "b.example", "c.example"}));
  f.ListView1_ColumnClick(1);
  EXPECT_EQ(RowTexts(f), (Strings{"a.example", "b.example", "c.example"}));
}

}  // namespace
}  // namespace velmox::test
