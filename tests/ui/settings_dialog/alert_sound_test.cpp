#include <gtest/gtest.h>

#include "ui/settings_dialog/dialog_fixture.h"

namespace velmox::test {
namespace {

class AlertSound : public DialogTest {
 protected:
  AlertSound() {
    state.OptionValues.PlayASound = true;
    files.files[kWave] = "RIFF....WAVE";
    files.files[kEmpty] = "";
  }
  const std::string kWave = "C:\\Media\\ding.wav";
  const std::string kEmpty = "C:\\Media\\empty.wav";
};

TEST_F(AlertSound, TheBoxGovernsTheTextAndButtonsButNeverClearsThePath) {
  frmOptions& f = Open();
  f.Click("XPlaySound");
  const OptionsControls& c = f.controls;
  EXPECT_FALSE(c.FileNameText.enabled);
  EXPECT_EQ(c.FileNameText.backColour, kColorBtnFace);
  EXPECT_FALSE(c.PlaySoundButton.enabled);
  EXPECT_FALSE(c.BrowseSound.enabled);
  EXPECT_EQ(c.FileNameText.text, kAppFolder + "\\sounds\\cork.wav");
  EXPECT_FALSE(f.ChangeText("FileNameText", "typed while greyed"));

  f.controls.cmdApply.enabled = false;
  f.Click("XPlaySound");
  EXPECT_TRUE(c.FileNameText.enabled);
  EXPECT_EQ(c.FileNameText.backColour, kColorWindow);
  EXPECT_TRUE(c.PlaySoundButton.enabled);
  EXPECT_TRUE(c.BrowseSound.enabled);
  EXPECT_TRUE(c.cmdApply.enabled);
}

TEST_F(AlertSound, SpacesOnlyPlayNothingAndLeavingTheBoxEmptiesIt) {
  frmOptions& f = Open();
  f.ChangeText("FileNameText", "   ");
  EXPECT_TRUE(f.Click("PlaySound"));
  EXPECT_TRUE(sound.calls.empty());
  EXPECT_TRUE(messageBoxes.calls.empty());
  f.LeaveText("FileNameText");
  EXPECT_EQ(f.controls.FileNameText.text, "");
}

TEST_F(AlertSound, APathWithSpacesPlaysThatFileAndIsTrimmedOnLeaving) {
  frmOptions& f = Open();
  f.ChangeText("FileNameText", "  " + kWave + " ");
  EXPECT_TRUE(f.controls.cmdApply.enabled);
  f.Click("PlaySound");
  EXPECT_EQ(sound.calls, (std::vector<RecordingSound::Call>{{"", 1}, {kWave, 3}}));

  f.controls.cmdApply.enabled = false;
  f.LeaveText("FileNameText");
  EXPECT_EQ(f.controls.FileNameText.text, kWave);
  EXPECT_TRUE(f.controls.cmdApply.enabled);  // the trim changed the text
  f.controls.cmdApply.enabled = false;
  f.LeaveText("FileNameText");
  EXPECT_FALSE(f.controls.cmdApply.enabled);  // nothing left to trim
}

TEST_F(AlertSound, AnEmptyOrMissingFileGivesSoundNotFound) {
  frmOptions& f = Open();
  for (const std::string& path : {kEmpty, std::string("C:\\Media\\gone.wav")}) {
    f.ChangeText("FileNameText", " " + path);
    f.Click("PlaySound");
    ASSERT_FALSE(messageBoxes.calls.empty());
    const auto& box = messageBoxes.calls.back();
    EXPECT_EQ(box.text, "The specified sound file, \"" + path + "\", could not be found.");
    EXPECT_EQ(box.title, "Sound Not Found");
    EXPECT_EQ(box.style, 48u);
    EXPECT_EQ(box.owner, kDialogHandle);
  }
  EXPECT_EQ(messageBoxes.calls.size(), 2u);
  EXPECT_TRUE(sound.calls.empty());
}

TEST_F(AlertSound, BrowseStartsInTheSoundsFolderThenInTheLastChosenFolder) {
  fileDialogs.answers = {FileOpenChoice{kWave, "ding.wav"}, std::nullopt};
  frmOptions& f = Open();
  f.Click("BrowseSound");
  ASSERT_EQ(fileDialogs.requests.size(), 1u);
  const FileOpenRequest& first = fileDialogs.requests[0];
  EXPECT_EQ(first.title, "Select Sound");
  EXPECT_EQ(first.filter, "Sounds (*.wav)|*.wav");
  EXPECT_EQ(first.defaultExtension, ".wav");
  EXPECT_EQ(first.flags, 4100u);
  EXPECT_EQ(first.initialFolder, kAppFolder + "\\sounds");
  EXPECT_EQ(first.fileName, kAppFolder + "\\sounds\\cork.wav");
  EXPECT_EQ(first.owner, kDialogHandle);
  EXPECT_EQ(f.controls.FileNameText.text, kWave);
  EXPECT_TRUE(f.controls.cmdApply.enabled);

  // Cancelled: the text stays, and the folder of the last choice is kept.
  f.Click("BrowseSound");
  EXPECT_EQ(fileDialogs.requests[1].initialFolder, "C:\\Media\\");
  EXPECT_EQ(f.controls.FileNameText.text, kWave);
  f.Click("BrowseSound");
  EXPECT_EQ(fileDialogs.requests[2].initialFolder, "C:\\Media\\");

  // A new load starts in the sounds folder again.
  f.Click("cmdCancel");
  Open().Click("BrowseSound");
  EXPECT_EQ(fileDialogs.requests.back().initialFolder, kAppFolder + "\\sounds");
}

TEST_F(AlertSound, AFailingFileDialogChangesNothing) {
  fileDialogs.fail = true;
  frmOptions& f = Open();
  EXPECT_TRUE(f.Click("BrowseSound"));
  EXPECT_EQ(f.controls.FileNameText.text, kAppFolder + "\\sounds\\cork.wav");
  EXPECT_FALSE(f.controls.cmdApply.enabled);
}

}  // namespace
}  // namespace velmox::test
