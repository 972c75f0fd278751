#include <gtest/gtest.h>

#include "ui/settings_dialog/dialog_fixture.h"

namespace velmox::test {
namespace {

using Strings = std::vector<std::string>;

// Apply, OK, Cancel and the close box with edits on every page are seen end to end in the
// dialog scripts; here, the cases they do not reach.
class SettingsCommit : public DialogTest {
 protected:
  SettingsCommit() {
    settings.SaveSetting("Velmox", "Options", "AutoLoad", "True");
    desktop.writes.clear();
  }

  const std::string kServers = kAppFolder + "\\servers.lst";
};

TEST_F(SettingsCommit, ApplyWithoutChangesRewritesOnlyAutoLoadAndAutoClose) {
  const OptionRecord before = state.OptionValues;
  const auto sitesBefore = state.Sites.Entries();
  frmOptions& f = Open();
  f.Click("XBlink");
  f.Click("XBlink");
  ASSERT_TRUE(f.Click("cmdApply"));
  EXPECT_EQ(state.OptionValues, before);
  EXPECT_EQ(state.Sites.Entries(), sitesBefore);
  // Settings saved and files written, in order: servers.lst is not among them.
  EXPECT_EQ(desktop.writes, (Strings{"Options\\AutoLoad=True", "Options\\AutoClose=False"}));
  EXPECT_FALSE(f.controls.cmdApply.enabled);
  EXPECT_TRUE(dialog.IsLoaded());
}

TEST_F(SettingsCommit, SitesAppendedWhileOpenAreMergedByApplyAndKeptByCancel) {
  frmOptions& f = Open();
  f.SelectTab(4);
  // The context menu meanwhile re-marks a listed site and appends a new one.
  state.Sites.SetBlocked(1, true);
  state.Sites.Append({"new.example", true});
  f.SelectRow(0, true);
  f.Click("CmdDisallow");
  f.SelectRow(0, false);
  ASSERT_TRUE(f.Click("cmdApply"));
  EXPECT_EQ(RowTexts(f), (Strings{"ads.example", "new.example", "news.example"}));
  // The merged site is the dialog's now: it can be edited like any other.
  f.SelectRow(1, true);
  f.Click("CmdAllow");
  EXPECT_FALSE(f.WorkingSites[2].Blocked);

  state.Sites.Append({"later.example", false});
  f.Click("cmdCancel");
  EXPECT_EQ(state.Sites.Entries(), (std::vector<SiteEntry>{{"ads.example", true},
                                                           {"news.example", false},
                                                           {"new.example", true},
                                                           {"later.example", false}}));
}

TEST_F(SettingsCommit, FailingWritesDoNotKeepOkFromClosing) {
  frmOptions& f = Open();
  f.Click("XClose");
  settings.failCall = [](std::string_view call, const std::string&) { return call == "save"; };
  files.failStep = [this](std::string_view, const std::string& path) { return path == kServers; };
  f.Click("cmdOK");
  EXPECT_TRUE(state.OptionValues.AutoClose);
  EXPECT_FALSE(dialog.IsLoaded());
  EXPECT_FALSE(state.DialogOpen);
}

}  // namespace
}  // namespace velmox::test
