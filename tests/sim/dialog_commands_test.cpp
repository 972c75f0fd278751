// The Settings dialog's script commands: what they refuse, what their expectations report, and
// the trace lines the dialog's changes leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/sim/script/script_runner.h"
#include "support/temp_folder.h"

namespace velmox::sim {
namespace {

class DialogCommandsTest : public ::testing::Test {
 protected:
  test::SimFolderSet folders;
  SimSession session{folders.folders};
  std::string errors;

  int Run(const std::string& script) {
    std::istringstream in(script);
    ScriptRunner runner(session, in, "t.vmx", folders.root.Path());
    std::ostringstream err;
    const int status = runner.Run(err);
    errors = err.str();
    return status;
  }
  // The trace's lines after the one that echoes `action`, up to the next echoed line.
  std::vector<std::string> LinesOf(const std::string& action) {
    const auto& lines = session.desktop.trace.Lines();
    std::vector<std::string> out;
    auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.ends_with("] > " + action);
    });
    if (it == lines.end()) return {"(no such action)"};
    for (++it; it != lines.end() && it->find("] > ") == std::string::npos; ++it)
      out.push_back(it->substr(it->find("] ") + 2));
    return out;
  }
};

constexpr const char* kOpen = "start\ntray right-click\nmenu choose \"&Settings...\"\n";

TEST_F(DialogCommandsTest, ActionsAndLooksNeedTheDialogOpen) {
  for (const std::string line :
       {"dialog click XBlink", "dialog tab \"About\"", "dialog key F1", "dialog close",
        "dialog select \"a\"", "expect control XBlink ticked", "expect dialog page 0"}) {
    EXPECT_EQ(Run("start\n" + line + "\n"), 1) << line;
    EXPECT_EQ(errors, "t.vmx:2: the Settings dialog is not open\n");
  }
  EXPECT_EQ(Run("expect dialog closed\nexpect dialog open\n"), 1);
  EXPECT_EQ(errors, "t.vmx:2: expected the Settings dialog open, saw it closed\n");
}

TEST_F(DialogCommandsTest, LinesThatMakeNoSenseEndWithTwo) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"dialog click XNothing", "the Settings dialog has no control XNothing"},
      {"dialog tab \"Sounds\"", "the Settings dialog has no tab \"Sounds\""},
      {"dialog tab 6", "no tab at position 6"},
      {"dialog tab 1 thumb", "no such mouse button: thumb"},
      {"dialog key Ctrl+Q", "no such key: Ctrl+Q"},
      {"dialog key Hyper+F1", "no such key: Hyper+F1"},
      {"dialog type XBlink \"x\"", "XBlink is not a text box"},
      {"expect control XBlink purple", "cannot check purple of a control"},
      {"expect control XBlink", "expected a control and what to check"},
      {"expect verdict a.example blocked", "a verdict is allowed, disallowed or unlisted: blocked"},
      {"expect option Volume \"3\"", "no such option: Volume"},
      {"expect shell open", "expected pairs of a verb and a target"},
  };
  for (const auto& [line, message] : cases) {
    EXPECT_EQ(Run(std::string(kOpen) + line + "\n"), 2) << line;
    EXPECT_EQ(errors, "t.vmx:4: " + message + "\n");
  }
}

TEST_F(DialogCommandsTest, ExpectationsSayWhatTheySaw) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"expect control XBlink cleared", "expected XBlink cleared, saw ticked"},
      {"expect control cmdApply enabled", "expected cmdApply enabled, saw disabled"},
      {"expect control FileNameText colour window",
       "expected FileNameText's colour 5 (window), saw 15 (button face)"},
      {"expect control XTargetTop selected", "expected XTargetTop selected, saw unselected"},
      {"expect control XMenuBar visible", "expected XMenuBar visible, saw hidden"},
      {"expect dialog page \"About\"",
       "expected the page shown page 4 \"About\", saw page 0 "
       "\"Options\""},
      {"expect dialog rows \"a.example\" Allowed",
       "expected the rows \"a.example\" Allowed, saw \"a.example\" Disallowed"},
      {"expect dialog sorted by \"Pop-Ups\"",
       "expected the rows sorted by \"Pop-Ups\", saw \"Site Name\""},
      {"expect dialog caption \"Settings\"",
       "expected the dialog's caption \"Settings\", saw \"Velmox Settings\""},
      {"expect shell open \"x\"",
       "expected the shell calls of the last action open \"x\", saw "
       "none"},
      {"expect option BlinkLightBulb False",
       "expected option BlinkLightBulb \"False\", saw "
       "\"True\""},
      {"expect verdict a.example allowed",
       "expected the verdict for \"a.example\" allowed, saw "
       "disallowed"},
      {"expect verdict a.example unlisted",
       "expected the verdict for \"a.example\" unlisted, saw listed"},
      {"file dialog cancel", "no file dialog is open"},
      {"expect file dialog title \"x\"", "no file dialog is open"},
  };
  for (const auto& [line, message] : cases) {
    EXPECT_EQ(Run("file \"servers.lst\" \"\"\"a.example\"\",#TRUE#\"\n" + std::string(kOpen) +
                  line + "\n"),
              1)
        << line;
    EXPECT_EQ(errors, "t.vmx:5: " + message + "\n");
  }
}

TEST_F(DialogCommandsTest, ScriptEndingWhileTheFileDialogIsOpenFails) {
  EXPECT_EQ(Run(std::string(kOpen) + "dialog click XPlaySound\ndialog click BrowseSound\n"), 1);
  EXPECT_EQ(errors, "t.vmx:5: the script ended while the file dialog was open\n");
  EXPECT_FALSE(session.desktop.fileDialogs.open);
}

TEST_F(DialogCommandsTest, FileDialogRefusesAMissingFileAndStaysOpen) {
  EXPECT_EQ(Run("file \"ding.wav\" \"RIFF\"\n" + std::string(kOpen) +
                "dialog click XPlaySound\n"
                "dialog click BrowseSound\n"
                "file dialog choose \"{folder}\\nothing\"\n"
                "expect file dialog title \"Select Sound\"\n"
                "file dialog choose \"{folder}\\ding\"\n"
                "expect control FileNameText text \"{folder}\\ding.wav\"\n"),
            0)
      << errors;
  EXPECT_EQ(LinesOf("file dialog choose \"{folder}\\nothing\""),
            std::vector<std::string>{"file dialog: \"C:\\Program Files\\Velmox\\nothing.wav\" "
                                     "cannot be chosen: there is no such file"});
}

TEST_F(DialogCommandsTest, EachChangeOfTheDialogLeavesOneLine) {
  EXPECT_EQ(Run("file \"servers.lst\" \"\"\"b.example\"\",#TRUE#{crlf}\"\"a.example\"\",#FALSE#"
                "\"\n" +
                std::string(kOpen) +
                "dialog tab \"Websites\"\n"
                "dialog tab \"Options\" right\n"
                "dialog select \"a.example\" \"b.example\"\n"
                "dialog select \"b.example\"\n"
                "dialog column \"Pop-Ups\"\n"
                "dialog click CmdAllow\n"
                "dialog click cmdApply\n"
                "dialog click cmdApply\n"),
            0)
      << errors;
  using Lines = std::vector<std::string>;
  EXPECT_EQ(
      LinesOf("menu choose \"&Settings...\""),
      (Lines{"tray: menu item chosen: \"&Settings...\"", "settings: the Settings dialog opens"}));
  EXPECT_EQ(LinesOf("dialog tab \"Websites\""),
            (Lines{"dialog: tab 4 \"Websites\" selected", "dialog: page 0 \"Options\" hidden",
                   "dialog: page 3 \"Websites\" shown"}));
  EXPECT_EQ(LinesOf("dialog tab \"Options\" right"), Lines{});
  EXPECT_EQ(LinesOf("dialog select \"a.example\" \"b.example\""),
            Lines{"dialog: rows \"a.example\" Allowed (selected), \"b.example\" Disallowed "
                  "(selected)"});
  EXPECT_EQ(LinesOf("dialog select \"b.example\""),
            Lines{"dialog: rows \"a.example\" Allowed, \"b.example\" Disallowed (selected)"});
  EXPECT_EQ(LinesOf("dialog column \"Pop-Ups\""), Lines{"dialog: list sorted by \"Pop-Ups\""});
  EXPECT_EQ(LinesOf("dialog click CmdAllow"),
            (Lines{"dialog: cmdApply enabled",
                   "dialog: rows \"a.example\" Allowed, \"b.example\" Allowed (selected)"}));
  // Apply's effects on the live state follow its own lines.
  EXPECT_EQ(
      LinesOf("dialog click cmdApply"),
      (Lines{"store: Options\\AutoLoad = \"False\"", "store: Options\\AutoClose = \"False\"",
             "dialog: cmdApply disabled", "sites: \"b.example\" Allowed, \"a.example\" Allowed"}));
}

TEST_F(DialogCommandsTest, WritesAreJournalledButTracedOnlyWhileTheDialogIsThere) {
  EXPECT_EQ(Run("start\n"
                "setting Options PlayASound \"True\"\n"
                "expect writes \"Options\\PlayASound=True\"\n"
                "file \"x.txt\" \"1\"\n"
                "expect writes \"x.txt\"\n"
                "expect writes \"x.txt\"\n"
                "wait 10\n"
                "expect writes none\n"),
            0)
      << errors;
  for (const std::string& line : session.desktop.trace.Lines()) {
    EXPECT_EQ(line.find("store:"), std::string::npos) << line;
    EXPECT_EQ(line.find("file:"), std::string::npos) << line;
    EXPECT_EQ(line.find("options:"), std::string::npos) << line;
  }
}

TEST_F(DialogCommandsTest, LeavingTheTextBoxByAnyClickTrimsIt) {
  EXPECT_EQ(Run(std::string(kOpen) + "dialog click XPlaySound\n"
                                     "dialog type FileNameText \" a.wav \"\n"
                                     "expect control FileNameText text \" a.wav \"\n"
                                     "dialog tab \"About\"\n"
                                     "expect control FileNameText text \"a.wav\"\n"
                                     "dialog tab \"Options\"\n"
                                     "dialog type FileNameText \" b.wav \"\n"
                                     "dialog close\n"),
            0)
      << errors;
  // The close box closes without validating the box.
  EXPECT_EQ(LinesOf("dialog close"),
            (std::vector<std::string>{"store: Options\\AutoLoad = \"False\"",
                                      "store: Options\\AutoClose = \"False\"",
                                      "settings: the Settings dialog closes"}));
}

TEST_F(DialogCommandsTest, RowsAreNamedByTextInTurnOrByPosition) {
  EXPECT_EQ(Run("file \"servers.lst\" \"\"\"d.example\"\",#TRUE#{crlf}\"\"d.example\"\",#FALSE#"
                "{crlf}\"\"e.example\"\",#FALSE#\"\n" +
                std::string(kOpen) + "dialog tab 4\n" +
                "dialog select \"d.example\" \"d.example\"\n"
                "expect dialog rows \"d.example\" Disallowed selected \"d.example\" Allowed "
                "selected \"e.example\" Allowed\n"
                "dialog select 3\n"
                "dialog select more 1\n"
                "expect dialog rows \"d.example\" Disallowed selected \"d.example\" Allowed "
                "\"e.example\" Allowed selected\n"
                "dialog select\n"
                "expect dialog rows \"d.example\" Disallowed \"d.example\" Allowed \"e.example\" "
                "Allowed\n"
                "dialog select \"d.example\" \"d.example\" \"d.example\"\n"),
            1);
  EXPECT_EQ(errors, "t.vmx:13: the site list has no (further) row \"d.example\"\n");
}

TEST_F(DialogCommandsTest, RowsCannotBeSelectedOnAnotherPage) {
  EXPECT_EQ(Run(std::string(kOpen) + "dialog select \"d.example\"\n"), 1);
  EXPECT_EQ(errors, "t.vmx:4: the site list is not on the page shown\n");
}

// Auto-close unloads the main form while the dialog is open (ExitPending): the dialog stays
// usable, and Velmox ends only when the dialog closes.
TEST_F(DialogCommandsTest, VelmoxEndsWithTheDialogAfterTheMainFormHasGone) {
  ASSERT_EQ(Run(kOpen), 0) << errors;
  Application* run = session.App();
  ASSERT_NE(run, nullptr);
  run->State().ExitPending = true;
  session.Deliver([&] { run->UnloadMainForm(); });
  EXPECT_TRUE(session.Running());
  EXPECT_EQ(Run("expect running\n"
                "expect tray removed\n"
                "dialog click XBlink\n"
                "expect control cmdApply enabled\n"
                "dialog close\n"
                "expect dialog closed\n"
                "expect ended\n"),
            0)
      << errors;
  EXPECT_EQ(LinesOf("dialog close"),
            (std::vector<std::string>{
                "store: Options\\AutoLoad = \"False\"", "store: Options\\AutoClose = \"False\"",
                "settings: the Settings dialog closes", "velmox: has ended"}));
}

}  // namespace
}  // namespace velmox::sim
