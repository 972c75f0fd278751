// The Settings dialog's script commands: what they refuse and that their expectations can fail.
#include <gtest/gtest.h>

#include "support/script_test.h"

namespace velmox::sim {
namespace {

using DialogCommandsTest = test::ScriptTest;

const std::string kOpen = "start\ntray right-click\nmenu choose \"&Settings...\"\n";

TEST_F(DialogCommandsTest, ActionsAndLooksNeedTheDialogOpen) {
  for (const char* line :
       {"dialog click XBlink", "dialog tab \"About\"", "dialog key F1", "dialog close",
        "dialog select \"a\"", "expect control XBlink ticked", "expect dialog page 0"}) {
    ExpectStatus(1, "start\n", line);
  }
  ExpectStatus(1, "expect dialog closed\n", "expect dialog open");
}

TEST_F(DialogCommandsTest, LinesThatMakeNoSenseEndWithTwo) {
  for (const char* line :
       {"dialog click XNothing", "dialog tab \"Sounds\"", "dialog tab 6", "dialog tab 1 thumb",
        "dialog key Ctrl+Q", "dialog key Hyper+F1", "dialog type XBlink \"x\"",
        "expect control XBlink purple", "expect control XBlink", "expect verdict a.example blocked",
        "expect option Volume \"3\"", "expect shell open"}) {
    ExpectStatus(2, kOpen, line);
  }
}

TEST_F(DialogCommandsTest, ExpectationsThatDoNotHoldFail) {
  const std::string prefix = "file \"servers.lst\" \"\"\"a.example\"\",#TRUE#\"\n" + kOpen;
  for (const char* line :
       {"expect control XBlink cleared", "expect control cmdApply enabled",
        "expect control FileNameText colour window", "expect control XTargetTop selected",
        "expect control XMenuBar visible", "expect dialog page \"About\"",
        "expect dialog rows \"a.example\" Allowed", "expect dialog sorted by \"Pop-Ups\"",
        "expect dialog caption \"Settings\"", "expect shell open \"x\"",
        "expect option BlinkLightBulb False", "expect verdict a.example allowed",
        "expect verdict a.example unlisted", "expect writes \"x.txt\"", "file dialog cancel",
        "expect file dialog title \"x\""}) {
    ExpectStatus(1, prefix, line);
  }
}

TEST_F(DialogCommandsTest, RowsAreTakenInTurnAndOnlyOnTheWebsitesPage) {
  ExpectStatus(1, kOpen, "dialog select \"d.example\"");
  // Two rows of one name: a third mention finds no further row.
  ExpectStatus(
      1,
      "file \"servers.lst\" \"\"\"d.example\"\",#TRUE#{crlf}\"\"d.example\"\",#FALSE#\"\n" + kOpen +
          "dialog tab 4\n",
      "dialog select \"d.example\" \"d.example\" \"d.example\"");
}

TEST_F(DialogCommandsTest, ScriptEndingWhileTheFileDialogIsOpenFails) {
  ExpectStatus(1, kOpen + "dialog click XPlaySound\n", "dialog click BrowseSound");
  EXPECT_FALSE(session.desktop.fileDialogs.open);
}

TEST_F(DialogCommandsTest, LeavingTheTextBoxByAnyClickTrimsIt) {
  EXPECT_EQ(Run(kOpen + "dialog click XPlaySound\n"
                        "dialog type FileNameText \" a.wav \"\n"
                        "expect control FileNameText text \" a.wav \"\n"
                        "dialog tab \"About\"\n"
                        "expect control FileNameText text \"a.wav\"\n"),
            0)
      << errors;
}

// Enter presses the focused button, else OK; OK by Enter validates the text box first, as a click
// on OK does.
TEST_F(DialogCommandsTest, EnterPressesTheFocusedButtonElseOkAfterTrimmingTheSoundFile) {
  EXPECT_EQ(Run(kOpen + "dialog click XPlaySound\n"
                        "dialog click BrowseSound\n"
                        "file dialog cancel\n"
                        "dialog key Enter\n"  // BrowseSound has the focus
                        "expect file dialog title \"Select Sound\"\n"
                        "file dialog cancel\n"
                        "dialog type FileNameText \" a.wav \"\n"
                        "dialog key Enter\n"
                        "expect dialog closed\n"
                        "expect option SoundFileName \"a.wav\"\n"
                        "expect setting Options SoundFileName \"a.wav\"\n"),
            0)
      << errors;
  EXPECT_EQ(session.desktop.fileDialogs.shown.size(), 2u);
}

// A modal window the dialog owns disables it: no second file dialog from inside the first, no
// click through a message box.
TEST_F(DialogCommandsTest, AnOpenFileDialogOrMessageBoxDisablesTheDialog) {
  EXPECT_EQ(
      Run(kOpen + "dialog click XPlaySound\n"
                  "dialog click BrowseSound\n"
                  "dialog click BrowseSound\n"
                  "dialog key Enter\n"
                  "dialog close\n"
                  "file dialog cancel\n"
                  "expect dialog open\n"
                  "dialog type FileNameText \"missing.wav\"\n"
                  "dialog click PlaySound\n"
                  "expect box \"Sound Not Found\" \"The specified sound file, \"\"missing.wav\"\", "
                  "could not be found.\"\n"
                  "dialog click cmdCancel\n"
                  "answer OK\n"
                  "expect dialog open\n"
                  "dialog click cmdCancel\n"
                  "expect dialog closed\n"),
      0)
      << errors;
  EXPECT_EQ(session.desktop.fileDialogs.shown.size(), 1u);
  EXPECT_TRUE(Traced(
      "[     0.000] dialog: the Settings dialog does not respond: a window it owns is open"));
}

}  // namespace
}  // namespace velmox::sim
