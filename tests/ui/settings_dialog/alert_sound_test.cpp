#include <gtest/gtest.h>

#include "ui/settings_dialog/dialog_fixture.h"

namespace velmox::test {
namespace {

// The box, the buttons, trimming and Browse are seen end to end in the alert-sound script; here,
// what the script cannot see: the calls' flags and owners, and Apply after a trim.
class AlertSound : public DialogTest {
 protected:
  AlertSound() {
    state.OptionValues.PlayASound = true;
    files.files[kWave] = "RIFF....WAVE";
  }
  const std::string kWave = "C:\\Media\\ding.wav";
};

TEST_F(AlertSound, PlayStopsAnySoundThenPlaysTheTrimmedPathAndOnlyAChangingTrimEnablesApply) {
  frmOptions& f = Open();
  f.ChangeText("FileNameText", "  " + kWave + " ");
  f.Click("PlaySound");
  EXPECT_EQ(sound.calls, (std::vector<RecordingSound::Call>{{"", 1}, {kWave, 3}}));

  f.controls.cmdApply.enabled = false;
  f.LeaveText("FileNameText");
  EXPECT_EQ(f.controls.FileNameText.text, kWave);
  EXPECT_TRUE(f.controls.cmdApply.enabled);
  f.controls.cmdApply.enabled = false;
  f.LeaveText("FileNameText");
  EXPECT_FALSE(f.controls.cmdApply.enabled);  // nothing left to trim
}

TEST_F(AlertSound, SoundNotFoundIsAWarningOwnedByTheDialog) {
  frmOptions& f = Open();
  f.ChangeText("FileNameText", "C:\\Media\\gone.wav");
  f.Click("PlaySound");
  ASSERT_EQ(messageBoxes.calls.size(), 1u);
  EXPECT_EQ(messageBoxes.calls[0].style, MessageBoxes::kOk | MessageBoxes::kIconExclamation);
  EXPECT_EQ(messageBoxes.calls[0].owner, kDialogHandle);
  EXPECT_TRUE(sound.calls.empty());
}

TEST_F(AlertSound, AFailingFileDialogChangesNothing) {
  fileDialogs.fail = true;
  frmOptions& f = Open();
  EXPECT_TRUE(f.Click("BrowseSound"));
  ASSERT_EQ(fileDialogs.requests.size(), 1u);
  EXPECT_EQ(fileDialogs.requests[0].owner, kDialogHandle);
  EXPECT_EQ(f.controls.FileNameText.text, kAppFolder + "\\sounds\\cork.wav");
  EXPECT_FALSE(f.controls.cmdApply.enabled);
}

}  // namespace
}  // namespace velmox::test
