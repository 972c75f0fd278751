#include <gtest/gtest.h>

#include "ui/settings_dialog/dialog_fixture.h"

namespace velmox::test {
namespace {

using Strings = std::vector<std::string>;

// Rows, selection, duplicates, sorting and the buttons are seen end to end in the website-list
// script; here, the working copy behind the rows and the keys the script cannot press.
class WebsiteList : public DialogTest {
 protected:
  frmOptions& OpenOnWebsites() {
    frmOptions& f = Open();
    f.SelectTab(4);
    return f;
  }
};

TEST_F(WebsiteList, DeleteEmptiesEntriesWithoutShrinkingAndOkNoLongerWritesThem) {
  state.Sites.ReplaceAll(
      {{"a.example", true}, {"b.example", false}, {"c.example", true}, {"d.example", false}});
  frmOptions& f = OpenOnWebsites();
  SelectRows(f, {2, 3});
  f.ListView1_KeyDown(kKeyDelete, kShiftShift);
  EXPECT_EQ(RowTexts(f), (Strings{"a.example", "b.example"}));
  EXPECT_EQ(f.WorkingSites.size(), 4u);
  EXPECT_EQ(f.WorkingSites[3].Host, "");
  EXPECT_EQ(state.Sites.At(3).Host, "d.example") << "the live list waits for Apply";

  f.ListView1_KeyDown(45, 0);  // Insert: left to the list
  EXPECT_EQ(f.controls.ListView1.rows.size(), 2u);

  f.Click("cmdOK");
  EXPECT_EQ(state.Sites.Count(), 4u);
  EXPECT_EQ(files.ReadText(kAppFolder + "\\servers.lst"),
            "\"a.example\",#TRUE#\r\n\"b.example\",#FALSE#\r\n");
}

TEST_F(WebsiteList, RowsSortedByVerdictFollowAChangedVerdict) {
  state.Sites.ReplaceAll({{"c.example", true}, {"a.example", true}, {"b.example", false}});
  frmOptions& f = OpenOnWebsites();
  f.ListView1_ColumnClick(2);
  EXPECT_EQ(RowTexts(f), (Strings{"b.example", "a.example", "c.example"}));
  f.SelectRow(2, true);
  f.Click("CmdAllow");
  EXPECT_EQ(RowTexts(f), (Strings{"b.example", "c.example", "a.example"}));
}

}  // namespace
}  // namespace velmox::test
