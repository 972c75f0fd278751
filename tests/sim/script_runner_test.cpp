#include "platform/sim/script/script_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "support/temp_folder.h"

namespace velmox::sim {
namespace {

class ScriptRunnerTest : public ::testing::Test {
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
  bool Traced(const std::string& line) {
    const auto& lines = session.desktop.trace.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

constexpr const char* kCloseByMenu = "tray right-click\nmenu choose \"&Close Velmox\"\n";

TEST_F(ScriptRunnerTest, ScriptWhoseExpectationsHoldEndsWithZero) {
  EXPECT_EQ(Run("# a comment\n"
                "\n"
                "start   # with a comment after it\n"
                "expect running\n"
                "expect tray shown\n"
                "expect tray picture on\n"
                "expect tray tip \"Velmox (On)\"\n"
                "tray double-click\n"
                "expect tray picture off\n"
                "expect tray tip \"Velmox (Off)\"\n" +
                std::string(kCloseByMenu) +
                "expect ended\n"
                "expect tray removed\n"
                "expect tray picture none\n"),
            0)
      << errors;
  EXPECT_EQ(errors, "");
  EXPECT_TRUE(Traced("[     0.000] > start"));
  EXPECT_TRUE(Traced("[     0.000] velmox: has ended"));
}

TEST_F(ScriptRunnerTest, TraceStampsVirtualTimeAndEchoesActionsOnly) {
  EXPECT_EQ(Run("start\nwait 1500\nexpect running\nwait 61234\ntray click\n"), 0) << errors;
  const std::vector<std::string> expected = {
      "[     0.000] > start",
      "[     0.000] velmox: starts",
      "[     0.000] tray: icon added, on picture, tip \"Velmox (On)\"",
      "[     0.000] > wait 1500",
      "[     1.500] > wait 61234",
      "[    62.734] > tray click",
  };
  EXPECT_EQ(session.desktop.trace.Lines(), expected);
}

TEST_F(ScriptRunnerTest, FailedExpectationNamesItsLineAndStopsTheScript) {
  EXPECT_EQ(Run("start\n\nexpect tray tip \"Velmox (Off)\"\ntray double-click\n"), 1);
  EXPECT_EQ(errors, "t.vmx:3: expected the tray tip \"Velmox (Off)\", saw \"Velmox (On)\"\n");
  EXPECT_FALSE(Traced("[     0.000] > tray double-click"));
}

TEST_F(ScriptRunnerTest, EachExpectationSaysWhatItSaw) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"expect running", "expected Velmox running, saw it ended"},
      {"expect tray shown", "expected the tray icon shown, saw none"},
      {"expect tray picture on", "expected the tray picture on, saw none"},
      {"expect menu \"x\"", "no tray menu has been shown"},
      {"expect setting Data URLPrefix \"1\"",
       "expected setting Data URLPrefix \"1\", saw no value"},
      {"expect file \"servers.lst\" present",
       "expected file \"servers.lst\" present, saw it absent"},
      {"expect sounds \"a.wav\"", "expected the sounds played \"a.wav\", saw nothing"},
  };
  for (const auto& [line, message] : cases) {
    EXPECT_EQ(Run(line + "\n"), 1) << line;
    EXPECT_EQ(errors, "t.vmx:1: " + message + "\n");
  }
}

TEST_F(ScriptRunnerTest, LinesThatMakeNoSenseEndWithTwo) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"frobnicate", "unknown command: frobnicate"},
      {"tray", "unknown command: tray"},
      {"\"start\"", "unknown command: \"start\""},
      {"start now", "expected 0 word(s) after the command, found 1"},
      {"expect tray tip \"open", "a text in double quotes is not closed"},
      {"wait soon", "not a whole number: soon"},
      {"wait 10ms", "not a whole number: 10ms"},
      {"wait -1", "cannot wait a negative time"},
      {"wait", "expected 1 word(s) after the command, found 0"},
      {"set time 24:00:00", "not a time of day (HH:MM:SS): 24:00:00"},
      {"answer Maybe", "no such button: Maybe"},
  };
  for (const auto& [line, message] : cases) {
    EXPECT_EQ(Run("# first line\n" + line + "\nstart\n"), 2) << line;
    EXPECT_EQ(errors, "t.vmx:2: " + message + "\n");
  }
  EXPECT_FALSE(Traced("[     0.000] > start"));
}

TEST_F(ScriptRunnerTest, LinesRunInsideTheOpenMenu) {
  EXPECT_EQ(Run("start\n"
                "tray right-click\n"
                "expect menu \"&Settings...\" \"&Turn Velmox Off\" \"-\" \"&Close Velmox\"\n"
                "expect menu default \"&Turn Velmox Off\"\n"
                "wait 500\n"
                "tray double-click\n"  // dropped: the menu's handler still runs
                "expect tray picture on\n"
                "menu choose \"&Turn Velmox Off\"\n"
                "expect tray picture off\n"
                "expect menu default \"&Turn Velmox On\"\n"),
            1);
  // The last menu shown still had the old caption: the menu is built when it opens.
  EXPECT_EQ(errors,
            "t.vmx:10: expected the menu's default item \"&Turn Velmox On\", saw \"&Turn Velmox "
            "Off\"\n");
  EXPECT_TRUE(Traced("[     0.500] tray: menu item chosen: \"&Turn Velmox Off\""));
}

TEST_F(ScriptRunnerTest, DismissedMenuChangesNothing) {
  EXPECT_EQ(Run("start\ntray right-click\nmenu dismiss\nexpect tray picture on\n"
                "tray right-click\nmenu choose \"&Settings...\"\nexpect running\n"),
            0)
      << errors;
  EXPECT_TRUE(Traced("[     0.000] tray: menu dismissed"));
}

TEST_F(ScriptRunnerTest, ScriptEndingWhileTheMenuIsOpenFails) {
  EXPECT_EQ(Run("start\ntray right-click\nexpect running\n"), 1);
  EXPECT_EQ(errors, "t.vmx:3: the script ended while the tray menu was open\n");
  EXPECT_FALSE(session.desktop.tray.OpenMenu());
}

TEST_F(ScriptRunnerTest, MenuAnswersNeedAnOpenMenuWithThatItem) {
  EXPECT_EQ(Run("start\nmenu choose \"&Close Velmox\"\n"), 1);
  EXPECT_EQ(errors, "t.vmx:2: no tray menu is open\n");
  EXPECT_EQ(Run("menu dismiss\n"), 1);
  EXPECT_EQ(errors, "t.vmx:1: no tray menu is open\n");
  EXPECT_EQ(Run("tray right-click\nmenu choose \"&Close\"\n"), 1);
  EXPECT_EQ(errors, "t.vmx:2: the tray menu has no item \"&Close\"\n");
  EXPECT_EQ(Run("tray right-click\nmenu choose \"-\"\n"), 1);
  EXPECT_EQ(errors, "t.vmx:2: the tray menu has no item \"-\"\n");
}

TEST_F(ScriptRunnerTest, ClickOnNoIconFails) {
  EXPECT_EQ(Run("tray click\n"), 1);
  EXPECT_EQ(errors, "t.vmx:1: there is no Velmox icon in the tray to click\n");
}

TEST_F(ScriptRunnerTest, RawTrayMessagesReachTheIcon) {
  EXPECT_EQ(Run("start\ntray message 515\nexpect tray picture off\ntray message 512\n"
                "tray message 519\nexpect tray picture off\n"),
            0)
      << errors;
  EXPECT_EQ(Run("tray message\n"), 2);
  EXPECT_EQ(Run("tray message 515 516\n"), 2);
}

TEST_F(ScriptRunnerTest, SecondStartWhileRunningIsASecondInstance) {
  EXPECT_EQ(Run("start\nstart\nexpect running\nexpect tray tip \"Velmox (On)\"\n"), 0) << errors;
  EXPECT_TRUE(Traced("[     0.000] velmox: a second instance ends at once"));
}

TEST_F(ScriptRunnerTest, NewRunOnTheSameProfileKeepsItsToken) {
  EXPECT_EQ(Run("start\n"
                "file \"token.txt\" \"{token}\"\n"
                "expect setting Data URLPrefix \"{token}\"\n" +
                std::string(kCloseByMenu) +
                "start\n"
                "expect file \"token.txt\" \"{token}\"\n"),
            0)
      << errors;
  const auto& lines = session.desktop.trace.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "[     0.000] velmox: starts"), 2);
}

TEST_F(ScriptRunnerTest, SettingsAndFilesCanBePreparedAndChecked) {
  EXPECT_EQ(Run("setting Options BlinkLightBulb \"False\"\n"
                "expect setting options blinklightbulb \"False\"\n"
                "expect setting Options PlayASound missing\n"
                "file \"a.txt\" \"one{crlf}two{tab}\"\"q\"\"\"\n"
                "expect file \"a.txt\" \"one{cr}{lf}two{tab}\"\"q\"\"\"\n"
                "expect file \"a.txt\" present\n"
                "remove file \"a.txt\"\n"
                "expect file \"a.txt\" absent\n"
                "expect sounds none\n"
                "expect sounds\n"),
            0)
      << errors;
  EXPECT_FALSE(std::filesystem::exists(folders.folders.appDir / "a.txt"));
}

TEST_F(ScriptRunnerTest, MismatchedFileContentIsShownQuoted) {
  EXPECT_EQ(Run("file \"a.txt\" \"x{crlf}\"\nexpect file \"a.txt\" \"y\"\n"), 1);
  EXPECT_EQ(errors, "t.vmx:2: expected file \"a.txt\" \"y\", saw \"x{cr}{lf}\"\n");
}

TEST_F(ScriptRunnerTest, DesktopFailureOfAnActionIsReportedNotFatal) {
  EXPECT_EQ(Run("file \"no\\such\\folder.txt\" \"x\"\nstart\n"), 2);
  EXPECT_EQ(errors, "t.vmx:1: the desktop could not do this: Path/File access error\n");
  EXPECT_EQ(Run("setting Data URLPrefix \"1\"\nexpect setting Data URLPrefix matches \"[0-9\"\n"),
            2);
  EXPECT_EQ(errors.rfind("t.vmx:2: the desktop could not do this: ", 0), 0u) << errors;
  EXPECT_EQ(Run("setting Data URLPrefix \"a{lf}b\"\n"), 2);
}

TEST_F(ScriptRunnerTest, DesktopFailureInsideTheMenuIsReportedToo) {
  EXPECT_EQ(Run("start\ntray right-click\nfile \"no\\such\\folder.txt\" \"x\"\n"
                "menu choose \"&Close Velmox\"\n"),
            2);
  EXPECT_EQ(errors, "t.vmx:3: the desktop could not do this: Path/File access error\n");
}

TEST_F(ScriptRunnerTest, MessageBoxesAreAnsweredByTheLinesThatFollow) {
  std::istringstream in(
      "expect box \"Velmox\" \"Go on?\"\n"
      "wait 10\n"
      "answer No\n");
  ScriptRunner runner(session, in, "t.vmx", folders.root.Path());
  EXPECT_EQ(session.desktop.messageBoxes.MessageBoxA(0, "Go on?", "Velmox", 4),
            MessageBoxes::kIdNo);
  EXPECT_TRUE(Traced("[     0.010] > answer No"));
  EXPECT_TRUE(Traced("[     0.010] message box: answered No"));

  EXPECT_EQ(Run("answer OK\n"), 1);
  EXPECT_EQ(errors, "t.vmx:1: no message box is open\n");
}

TEST_F(ScriptRunnerTest, MenuAnswerDoesNotAnswerABox) {
  std::istringstream in("menu dismiss\n");
  ScriptRunner runner(session, in, "t.vmx", folders.root.Path());
  try {
    session.desktop.messageBoxes.MessageBoxA(0, "text", "title", 0);
    ADD_FAILURE() << "the box was answered";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.kind, ScriptError::Failed);
    EXPECT_EQ(e.message, "no tray menu is open");
  }
}

TEST(ScriptWords, QuotesBareWordsAndComments) {
  const auto words = SplitWords("  say \"a \"\"quoted\"\" text\"\tbare#not \"#\" # comment \"x");
  ASSERT_EQ(words.size(), 4u);
  EXPECT_EQ(words[0].text, "say");
  EXPECT_FALSE(words[0].quoted);
  EXPECT_EQ(words[1].text, "a \"quoted\" text");
  EXPECT_TRUE(words[1].quoted);
  EXPECT_EQ(words[2].text, "bare#not");
  EXPECT_EQ(words[3].text, "#");
  EXPECT_TRUE(words[3].quoted);

  const auto empty = SplitWords("\"\"");
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(empty[0].text, "");
  EXPECT_TRUE(empty[0].quoted);
  EXPECT_TRUE(SplitWords("   # only a comment").empty());
  EXPECT_TRUE(SplitWords("\r").empty());
}

TEST_F(ScriptRunnerTest, PlaceholdersExpand) {
  EXPECT_EQ(ExpandPlaceholders("a{crlf}b{cr}c{lf}d{tab}e", session), "a\r\nb\rc\nd\te");
  EXPECT_EQ(ExpandPlaceholders("{folder}\\x", session), "C:\\Program Files\\Velmox\\x");
  EXPECT_EQ(ExpandPlaceholders("[0-9]{10} {nope} {{lf} {", session), "[0-9]{10} {nope} {\n {");
  EXPECT_EQ(ExpandPlaceholders("{token}", session), "") << "no token before the first start";
  session.desktop.settings.SaveSetting("Velmox", "Data", "URLPrefix", "0001112223");
  EXPECT_EQ(ExpandPlaceholders("b{token}.html", session), "b0001112223.html");
  session.Start();
  EXPECT_EQ(ExpandPlaceholders("{token}", session), "0001112223");
}

}  // namespace
}  // namespace velmox::sim
