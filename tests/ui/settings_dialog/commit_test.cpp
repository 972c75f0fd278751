#include <gtest/gtest.h>

#include "ui/settings_dialog/dialog_fixture.h"

namespace velmox::test {
namespace {

using Strings = std::vector<std::string>;

class SettingsCommit : public DialogTest {
 protected:
  SettingsCommit() { settings.values[{"Velmox", "Options", "AutoLoad"}] = "True"; }

  // Changes on every page: AutoLoad off, AutoClose on, sound on with another file, links in
  // the current window, pop-ups allowed by default, status bar on, first site allowed.
  void EditEverything(frmOptions& f) {
    f.Click("XRun");
    f.Click("XClose");
    f.Click("XPlaySound");
    f.ChangeText("FileNameText", "C:\\Media\\ding.wav");
    f.SelectTab(2);
    f.Click("XTargetTop");
    f.Click("XBlockByDefault2");
    f.Click("XIgnoreLocal");
    f.SelectTab(3);
    f.Click("XStatusBar");
    f.SelectTab(4);
    f.SelectRow(0, true);
    f.Click("CmdAllow");
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
  EXPECT_EQ(settings.writes, (Strings{"Options/AutoLoad=True", "Options/AutoClose=False"}));
  EXPECT_FALSE(f.controls.cmdApply.enabled);
  EXPECT_FALSE(files.Has(kServers));
  EXPECT_TRUE(dialog.IsLoaded());
}

TEST_F(SettingsCommit, ApplyPutsTheControlsIntoEffectAtOnce) {
  frmOptions& f = Open();
  EditEverything(f);
  ASSERT_TRUE(f.Click("cmdApply"));
  const OptionRecord& o = state.OptionValues;
  EXPECT_TRUE(o.AutoClose);
  EXPECT_TRUE(o.PlayASound);
  EXPECT_EQ(o.SoundFileName, "C:\\Media\\ding.wav");
  EXPECT_EQ(o.LinkTarget, "_top");
  EXPECT_FALSE(o.BlockByDefault);
  EXPECT_TRUE(o.IgnoreLocal);
  EXPECT_TRUE(o.StatusBar);
  EXPECT_FALSE(state.Sites.At(0).Blocked);
  EXPECT_EQ(settings.Value("Options", "AutoLoad"), "False");
  EXPECT_EQ(settings.Value("Options", "AutoClose"), "True");
  EXPECT_EQ(settings.Value("Options", "LinkTarget"), std::nullopt);
}

TEST_F(SettingsCommit, ApplyThenCancelRestoresEverythingAtOpening) {
  const OptionRecord before = state.OptionValues;
  const auto sitesBefore = state.Sites.Entries();
  frmOptions& f = Open();
  EditEverything(f);
  f.SelectRow(1, true);
  f.Click("CmdDelete");
  ASSERT_TRUE(f.Click("cmdApply"));
  ASSERT_NE(state.OptionValues, before);
  settings.writes.clear();

  f.Click("cmdCancel");
  EXPECT_EQ(state.OptionValues, before);
  EXPECT_EQ(state.Sites.Entries(), sitesBefore);
  EXPECT_EQ(settings.writes, (Strings{"Options/AutoLoad=True", "Options/AutoClose=False"}));
  EXPECT_FALSE(files.Has(kServers));
  EXPECT_FALSE(state.DialogOpen);
  EXPECT_TRUE(f.ClosedByButton);
  EXPECT_EQ(window.destroyed, 1);
}

TEST_F(SettingsCommit, TheCloseBoxAfterApplyActsAsCancel) {
  const OptionRecord before = state.OptionValues;
  frmOptions& f = Open();
  EditEverything(f);
  ASSERT_TRUE(f.Click("cmdApply"));
  settings.writes.clear();
  dialog.Close();
  EXPECT_FALSE(f.ClosedByButton);
  EXPECT_EQ(state.OptionValues, before);
  EXPECT_TRUE(state.Sites.At(0).Blocked);
  EXPECT_EQ(settings.writes, (Strings{"Options/AutoLoad=True", "Options/AutoClose=False"}));
  EXPECT_FALSE(state.DialogOpen);
}

TEST_F(SettingsCommit, SitesAppendedWhileOpenAreMergedByApplyAndKeptByCancel) {
  frmOptions& f = Open();
  f.SelectTab(4);
  // The context menu meanwhile re-marks a listed site and appends a new one.
  state.Sites.SetBlocked(1, true);
  state.Sites.Append({"new.example", true});
  EXPECT_EQ(RowTexts(f), (Strings{"ads.example", "news.example"}));

  f.SelectRow(0, true);
  f.Click("CmdDisallow");
  f.SelectRow(0, false);
  ASSERT_TRUE(f.Click("cmdApply"));
  EXPECT_EQ(RowTexts(f), (Strings{"ads.example", "new.example", "news.example"}));
  EXPECT_EQ(state.Sites.Entries(),
            (std::vector<SiteEntry>{
                {"ads.example", true}, {"news.example", false}, {"new.example", true}}));
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

TEST_F(SettingsCommit, OkStoresEveryOptionInItsOrderAndWritesTheSiteFile) {
  state.OptionValues.AddressBar = true;
  frmOptions& f = Open();
  EditEverything(f);
  state.Sites.Append({"new.example", true});
  f.Click("cmdOK");
  EXPECT_EQ(settings.writes, (Strings{
                                 "Options/AutoLoad=False",
                                 "Options/AutoClose=True",
                                 "Options/AddressBar=True",
                                 "Options/FullScreen=False",
                                 "Options/MenuBar=False",
                                 "Options/StatusBar=True",
                                 "Options/TheaterMode=False",
                                 "Options/ToolBar=False",
                                 "Options/IgnoreLocal=True",
                                 "Options/LinkTarget=_top",
                                 "Options/BlockByDefault=False",
                                 "Options/BlinkLightBulb=True",
                                 "Options/PlayASound=True",
                                 "Options/SoundFileName=C:\\Media\\ding.wav",
                             }));
  EXPECT_EQ(files.Content(kServers),
            "\"ads.example\",#FALSE#\r\n\"news.example\",#FALSE#\r\n\"new.example\",#TRUE#\r\n");
  EXPECT_TRUE(f.ClosedByButton);
  EXPECT_FALSE(state.DialogOpen);
  EXPECT_FALSE(dialog.IsLoaded());
}

TEST_F(SettingsCommit, OkWithTheSoundOffKeepsTheStoredFileName) {
  const std::string original = state.OptionValues.SoundFileName;
  state.OptionValues.PlayASound = true;
  frmOptions& f = Open();
  f.ChangeText("FileNameText", "C:\\Media\\other.wav");
  f.Click("XPlaySound");
  f.Click("cmdOK");
  EXPECT_FALSE(state.OptionValues.PlayASound);
  EXPECT_EQ(state.OptionValues.SoundFileName, original);
  EXPECT_EQ(settings.Value("Options", "PlayASound"), "False");
  EXPECT_EQ(settings.Value("Options", "SoundFileName"), original);
}

TEST_F(SettingsCommit, FailingWritesDoNotKeepOkFromClosing) {
  frmOptions& f = Open();
  f.Click("XClose");
  settings.failWrites = true;
  files.failingPaths.insert(kServers);
  f.Click("cmdOK");
  EXPECT_TRUE(state.OptionValues.AutoClose);
  EXPECT_FALSE(dialog.IsLoaded());
  EXPECT_FALSE(state.DialogOpen);
}

}  // namespace
}  // namespace velmox::test
