#include <gtest/gtest.h>

#include <algorithm>

#include "settings/boolean_text.h"
#include "ui/settings_dialog/dialog_fixture.h"

namespace velmox::test {
namespace {

using SettingsDialogLoad = DialogTest;

TEST_F(SettingsDialogLoad, ShowsTheOptionsPageWithTheStoredValuesAndApplyDisabled) {
  state.OptionValues.PlayASound = true;
  state.OptionValues.MenuBar = true;
  settings.values[{"Velmox", "Options", "AutoLoad"}] = "True";
  frmOptions& f = Open();
  const OptionsControls& c = f.controls;

  EXPECT_TRUE(state.DialogOpen);
  EXPECT_EQ(f.Caption, "Velmox Settings");
  EXPECT_EQ(window.created, 1);
  EXPECT_EQ(window.centred, 1);
  EXPECT_EQ(window.shown, 1);
  EXPECT_EQ(f.CurrentPage, 0);
  for (std::size_t i = 0; i < c.picOptions.size(); ++i) {
    EXPECT_EQ(c.picOptions[i].left, i == 0 ? 210 : -20000) << i;
    EXPECT_EQ(c.picOptions[i].enabled, i == 0) << i;
  }
  EXPECT_EQ(c.XRun.value, kChecked);
  EXPECT_EQ(c.XClose.value, kUnchecked);
  EXPECT_EQ(c.XBlink.value, kChecked);
  EXPECT_EQ(c.XPlaySound.value, kChecked);
  EXPECT_EQ(c.XMenuBar.value, kChecked);
  EXPECT_EQ(c.FileNameText.text, kAppFolder + "\\sounds\\cork.wav");
  EXPECT_TRUE(c.FileNameText.enabled);
  EXPECT_EQ(c.FileNameText.backColour, kColorWindow);
  EXPECT_EQ(c.XBlockByDefault1.value, kChecked);
  EXPECT_EQ(c.XBlockByDefault2.value, kUnchecked);
  EXPECT_EQ(c.XTargetBlank.value, kChecked);
  EXPECT_EQ(c.SoundDialog.flags, 4100u);
  EXPECT_EQ(c.SoundDialog.initialFolder, kAppFolder + "\\sounds");

  // Loading clicked the boxes it ticked, and those clicks enabled Apply before the load ended.
  EXPECT_FALSE(c.cmdApply.enabled);
  EXPECT_EQ(std::count(window.changes.begin(), window.changes.end(), "cmdApply"), 2);
}

TEST_F(SettingsDialogLoad, LinkTargetSelectsTheCurrentWindowOnlyForExactlyTop) {
  for (const char* target : {"_top", "_blank", "_TOP", "_self", ""}) {
    AppState fresh;
    fresh.OptionValues.LinkTarget = target;
    SettingsDialog d(fresh, {settings, files, sound, messageBoxes, shell, fileDialogs, kAppFolder},
                     window, nullptr);
    d.Show();
    const bool top = std::string(target) == "_top";
    EXPECT_EQ(d.Current()->controls.XTargetTop.value, top ? kChecked : kUnchecked) << target;
    EXPECT_EQ(d.Current()->controls.XTargetBlank.value, top ? kUnchecked : kChecked) << target;
    // BlockByDefault false in a fresh record.
    EXPECT_EQ(d.Current()->controls.XBlockByDefault2.value, kChecked);
  }
}

TEST_F(SettingsDialogLoad, StoredAutoLoadTextsAndAFailingStoreLeaveTheBoxAsTheyShould) {
  EXPECT_EQ(ParseBoolean("true"), true);
  EXPECT_EQ(ParseBoolean("-1"), true);
  EXPECT_EQ(ParseBoolean("0"), false);
  EXPECT_EQ(ParseBoolean("FALSE"), false);
  EXPECT_EQ(ParseBoolean("yes"), std::nullopt);
  EXPECT_EQ(ParseBoolean("nan"), std::nullopt);
  EXPECT_EQ(ParseBoolean(""), std::nullopt);

  settings.failReads = true;
  frmOptions& f = Open();
  EXPECT_EQ(f.controls.XRun.value, kUnchecked);
  EXPECT_TRUE(f.Loaded());
  EXPECT_EQ(f.controls.XBlink.value, kChecked);  // the later steps still ran
}

using SettingsDialogApplyTracking = DialogTest;

TEST_F(SettingsDialogApplyTracking, TickingAndClearingABoxLeavesApplyEnabled) {
  frmOptions& f = Open();
  ASSERT_TRUE(f.Click("XClose"));
  ASSERT_TRUE(f.Click("XClose"));
  EXPECT_EQ(f.controls.XClose.value, kUnchecked);
  EXPECT_TRUE(f.controls.cmdApply.enabled);
}

TEST_F(SettingsDialogApplyTracking, ClickingTheSelectedOptionEnablesApply) {
  frmOptions& f = Open();
  f.SelectTab(2);
  ASSERT_TRUE(f.Click("XBlockByDefault1"));
  EXPECT_EQ(f.controls.XBlockByDefault1.value, kChecked);
  EXPECT_TRUE(f.controls.cmdApply.enabled);
}

TEST_F(SettingsDialogApplyTracking, ControlsOfHiddenPagesAndTheMenuBarBoxTakeNoClicks) {
  frmOptions& f = Open();
  EXPECT_FALSE(f.Click("XIgnoreLocal"));  // page 1 is hidden
  EXPECT_FALSE(f.Click("PlaySound"));     // disabled while the sound is off
  EXPECT_FALSE(f.Click("NoSuchControl"));
  f.SelectTab(3);
  EXPECT_FALSE(f.Click("XMenuBar"));
  EXPECT_FALSE(f.controls.cmdApply.enabled);
  EXPECT_TRUE(f.Click("XStatusBar"));
  EXPECT_TRUE(f.controls.cmdApply.enabled);
}

using SettingsDialogPages = DialogTest;

TEST_F(SettingsDialogPages, OnlyTheLeftButtonOnTheTabStripSwitchesPages) {
  frmOptions& f = Open();
  f.controls.tbsOptions.selected = 4;  // the strip moved without its click
  f.tbsOptions_MouseDown(2, 0, 10, 10);
  f.tbsOptions_MouseUp(2, 0, 10, 10);
  EXPECT_EQ(f.CurrentPage, 0);
  EXPECT_EQ(f.controls.picOptions[3].left, -20000);
  f.tbsOptions_MouseUp(kLeftButton, 0, 10, 10);
  EXPECT_EQ(f.CurrentPage, 3);
  EXPECT_EQ(f.controls.picOptions[3].left, 210);
  EXPECT_TRUE(f.controls.picOptions[3].enabled);
  EXPECT_FALSE(f.controls.picOptions[0].enabled);
}

TEST_F(SettingsDialogPages, CtrlTabWrapsAndOtherShiftStatesAreIgnored) {
  frmOptions& f = Open();
  f.SelectTab(5);
  EXPECT_EQ(f.CurrentPage, 4);
  EXPECT_TRUE(f.Form_KeyDown(kKeyTab, kShiftCtrl));
  EXPECT_EQ(f.controls.tbsOptions.selected, 1);
  EXPECT_EQ(f.CurrentPage, 0);
  EXPECT_TRUE(f.Form_KeyDown(kKeyTab, kShiftCtrl));
  EXPECT_EQ(f.CurrentPage, 1);
  EXPECT_FALSE(f.Form_KeyDown(kKeyTab, 3));  // Ctrl+Shift+Tab
  EXPECT_FALSE(f.Form_KeyDown(kKeyTab, 0));
  EXPECT_FALSE(f.Form_KeyDown(kKeyTab, 6));  // Ctrl+Alt+Tab
  EXPECT_EQ(f.CurrentPage, 1);
}

TEST_F(SettingsDialogPages, F1OpensTheHelpPageOfTheShownPage) {
  frmOptions& f = Open();
  const char* pages[] = {"options.htm", "advancedoptions.htm", "ieoptions.htm", "websitelist.htm",
                         "help.htm"};
  for (int tab = 1; tab <= 5; ++tab) {
    f.SelectTab(tab);
    EXPECT_TRUE(f.Form_KeyDown(kKeyF1, tab % 3));  // any shift state
    ASSERT_EQ(shell.calls.size(), static_cast<std::size_t>(tab));
    const auto& call = shell.calls.back();
    EXPECT_EQ(call.target, kAppFolder + "\\help\\" + pages[tab - 1]);
    EXPECT_EQ(call.window, kDialogHandle);
    EXPECT_EQ(call.verb, "open");
    EXPECT_EQ(call.parameters, "");
    EXPECT_EQ(call.directory, "");
    EXPECT_EQ(call.showCommand, 1);
  }
}

TEST_F(SettingsDialogPages, AboutLinksOpenHelpMailAndWebAddresses) {
  frmOptions& f = Open();
  f.SelectTab(5);
  shell.fail = true;  // whatever the shell says, the dialog goes on
  for (const char* link : {"Label15", "Label6", "Label7", "Label8"})
    EXPECT_TRUE(f.Click(link));
  ASSERT_EQ(shell.calls.size(), 4u);
  EXPECT_EQ(shell.calls[0].target, kAppFolder + "\\help\\help.htm");
  EXPECT_EQ(shell.calls[1].target, "mailto:" + f.controls.Label6.caption);
  EXPECT_EQ(shell.calls[2].target, "http://" + f.controls.Label7.caption);
  EXPECT_EQ(shell.calls[3].target, "http://" + f.controls.Label8.caption);
  EXPECT_NE(f.controls.Label6.caption.find("@"), std::string::npos);
  EXPECT_FALSE(f.controls.cmdApply.enabled);
}

using SettingsDialogInstance = DialogTest;

TEST_F(SettingsDialogInstance, ShowingAgainBringsTheSameDialogWithItsEditsToTheFront) {
  frmOptions& f = Open();
  f.Click("XBlink");
  dialog.Show();
  EXPECT_EQ(dialog.Current(), &f);
  EXPECT_EQ(window.created, 1);
  EXPECT_EQ(window.broughtToFront, 1);
  EXPECT_EQ(f.controls.XBlink.value, kUnchecked);
  EXPECT_TRUE(f.controls.cmdApply.enabled);
}

TEST_F(SettingsDialogInstance, UnloadingWithExitPendingEndsVelmox) {
  Open().Click("cmdCancel");
  EXPECT_FALSE(state.DialogOpen);
  EXPECT_EQ(window.destroyed, 1);
  EXPECT_EQ(velmoxEnded, 0);

  Open();
  EXPECT_EQ(window.created, 2);
  state.ExitPending = true;
  dialog.Close();
  EXPECT_FALSE(dialog.IsLoaded());
  EXPECT_EQ(velmoxEnded, 1);
}

}  // namespace
}  // namespace velmox::test
