#include <gtest/gtest.h>

#include "core/platform_error.h"
#include "ui/settings_dialog/dialog_fixture.h"

namespace velmox::test {
namespace {

// The box, the buttons, trimming and Browse are seen end to end in the alert-sound script; here,
// what the script cannot see: the calls' flags and owners, and Apply after a trim.
class AlertSound : public DialogTest {
 protected:
  AlertSound() {
    state.OptionValues.PlayASound = true;
    WriteRealFile(folders.folders.appDir / "media" / "ding.wav", "RIFF....WAVE");
  }
  const std::string kWave = kAppFolder + "\\media\\ding.wav";
};

TEST_F(AlertSound, PlayStopsAnySoundThenPlaysTheTrimmedPathAndOnlyAChangingTrimEnablesApply) {
  frmOptions& f = Open();
  f.ChangeText("FileNameText", "  " + kWave + " ");
  f.Click("PlaySound");
  EXPECT_EQ(desktop.sound.calls, (std::vector<sim::SoundCall>{{"", 1}, {kWave, 3}}));

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
  f.ChangeText("FileNameText", kAppFolder + "\\media\\gone.wav");
  f.Click("PlaySound");
  const auto& boxes = desktop.messageBoxes.shown;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].style, MessageBoxes::kOk | MessageBoxes::kIconExclamation);
  EXPECT_EQ(boxes[0].owner, kDialogHandle);
  EXPECT_TRUE(desktop.sound.calls.empty());
}

TEST_F(AlertSound, AFailingFileDialogChangesNothing) {
  desktop.fileDialogs.answer = [](const FileOpenRequest&) -> std::optional<FileOpenChoice> {
    throw PlatformError(0x3002, "Common dialog failed");
  };
  frmOptions& f = Open();
  EXPECT_TRUE(f.Click("BrowseSound"));
  const auto& requests = desktop.fileDialogs.shown;
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].owner, kDialogHandle);
  EXPECT_EQ(f.controls.FileNameText.text, kAppFolder + "\\sounds\\cork.wav");
  EXPECT_FALSE(f.controls.cmdApply.enabled);
}

// The file dialog runs a message loop, in which Velmox can be closed (from the tray menu, by the
// session's end): the choice then comes back to a dialog that has unloaded, and is dropped.
TEST_F(AlertSound, AChoiceThatComesBackAfterTheDialogClosedChangesNothing) {
  desktop.fileDialogs.answer = [&](const FileOpenRequest&) -> std::optional<FileOpenChoice> {
    dialog.Close();
    return FileOpenChoice{kWave, "ding.wav"};
  };
  frmOptions& f = Open();
  f.Click("BrowseSound");
  EXPECT_FALSE(dialog.IsLoaded());
  EXPECT_EQ(f.controls.FileNameText.text, kAppFolder + "\\sounds\\cork.wav");
  EXPECT_FALSE(f.controls.cmdApply.enabled);
}

}  // namespace
}  // namespace velmox::test
