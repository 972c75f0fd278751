#include <gtest/gtest.h>

#include <algorithm>

#include "ui/settings_dialog/dialog_fixture.h"

namespace velmox::test {
namespace {

// What each control shows, tabs, keys, help and the About links are seen end to end in the
// pages-keys-help script; here, the window's side and the failure paths.
using SettingsDialogPages = DialogTest;

TEST_F(SettingsDialogPages, OpensCentredOnItsFirstPageWithApplyDisabledAfterTheLoadsClicks) {
  frmOptions& f = Open();
  EXPECT_TRUE(state.DialogOpen);
  EXPECT_EQ(window.Dialog(), &f);
  EXPECT_EQ(window.timesCentred, 1);
  EXPECT_TRUE(window.Shown());
  for (std::size_t i = 0; i < f.controls.picOptions.size(); ++i)
    EXPECT_EQ(f.controls.picOptions[i].enabled, i == 0) << i;
  // Loading clicked the boxes it ticked: Apply was announced enabled, then disabled at the end.
  EXPECT_FALSE(f.controls.cmdApply.enabled);
  EXPECT_EQ(std::count(window.changes.begin(), window.changes.end(), "cmdApply"), 2);
}

// A dialog whose window cannot be made could never be closed: it is not loaded, and the next
// Show tries again.
TEST_F(SettingsDialogPages, ADialogWhoseWindowFailsIsNotLoaded) {
  window.failCreate = true;
  dialog.Show();
  EXPECT_FALSE(dialog.IsLoaded());
  EXPECT_FALSE(state.DialogOpen);
  EXPECT_FALSE(window.Shown());
  window.failCreate = false;
  EXPECT_TRUE(Open().Loaded());
  EXPECT_TRUE(state.DialogOpen);
}

TEST_F(SettingsDialogPages, AFailingStoreLeavesAutoLoadClearAndTheLoadGoesOn) {
  settings.failCall = [](std::string_view call, const std::string&) { return call == "read"; };
  frmOptions& f = Open();
  EXPECT_EQ(f.controls.XRun.value, kUnchecked);
  EXPECT_TRUE(f.Loaded());
  EXPECT_EQ(f.controls.XBlink.value, kChecked);
}

TEST_F(SettingsDialogPages, AnyClickOnAnOfferedControlEnablesApply) {
  frmOptions& f = Open();
  EXPECT_FALSE(f.Click("PlaySound"));  // disabled while the sound is off
  EXPECT_FALSE(f.Click("NoSuchControl"));
  EXPECT_FALSE(f.controls.cmdApply.enabled);
  ASSERT_TRUE(f.Click("XClose"));
  ASSERT_TRUE(f.Click("XClose"));  // ticked and cleared again
  EXPECT_TRUE(f.controls.cmdApply.enabled);

  f.controls.cmdApply.enabled = false;
  f.SelectTab(2);
  ASSERT_TRUE(f.Click("XBlockByDefault1"));  // the option already selected
  EXPECT_TRUE(f.controls.cmdApply.enabled);
}

TEST_F(SettingsDialogPages, TheTabStripSwitchesPagesOnlyOnALeftButtonRelease) {
  frmOptions& f = Open();
  f.controls.tbsOptions.selected = 4;  // the strip moved without its click
  f.tbsOptions_MouseDown(kRightButton, 0, 10, 10);
  f.tbsOptions_MouseUp(kRightButton, 0, 10, 10);
  EXPECT_EQ(f.CurrentPage, 0);
  f.tbsOptions_MouseUp(kLeftButton, 0, 10, 10);
  EXPECT_EQ(f.CurrentPage, 3);
  EXPECT_TRUE(f.controls.picOptions[3].enabled);
  EXPECT_FALSE(f.controls.picOptions[0].enabled);
}

TEST_F(SettingsDialogPages, HelpAndLinksGoToTheShellOwnedByTheDialogWhateverItAnswers) {
  frmOptions& f = Open();
  EXPECT_TRUE(f.Form_KeyDown(kKeyF1, 0, ""));
  ASSERT_EQ(shell.calls.size(), 1u);
  const auto& call = shell.calls[0];
  EXPECT_EQ(call.window, kDialogHandle);
  EXPECT_EQ(call.verb, "open");
  EXPECT_EQ(call.parameters, "");
  EXPECT_EQ(call.directory, "");
  EXPECT_EQ(call.showCommand, ShellLauncher::kShowNormal);

  f.SelectTab(5);
  shell.failCall = [] { return true; };
  for (const char* link : {"Label15", "Label6", "Label7", "Label8"})
    EXPECT_TRUE(f.Click(link));
  EXPECT_EQ(shell.calls.size(), 5u);
  EXPECT_TRUE(f.Loaded());
}

}  // namespace
}  // namespace velmox::test
