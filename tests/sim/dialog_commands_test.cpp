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

}  // namespace
}  // namespace velmox::sim
