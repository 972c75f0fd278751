#include "platform/sim/script/script_runner.h"

#include <gtest/gtest.h>

#include "support/script_test.h"

namespace velmox::sim {
namespace {

using ScriptRunnerTest = test::ScriptTest;

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

// An expectation that could not fail would let every script pass.
TEST_F(ScriptRunnerTest, ExpectationsThatDoNotHoldFail) {
  for (const char* line :
       {"expect running", "expect tray shown", "expect tray picture on",
        "expect setting Data URLPrefix \"1\"", "expect file \"servers.lst\" present",
        "expect sounds \"a.wav\"", "expect menu \"x\"", "expect starter waiting"}) {
    ExpectStatus(1, "", line);
  }
  ExpectStatus(1, "file \"a.txt\" \"x{crlf}\"\n", "expect file \"a.txt\" \"y\"");
}

TEST_F(ScriptRunnerTest, ActionsThatCannotBeDoneFail) {
  ExpectStatus(1, "", "tray click");  // no icon yet
  ExpectStatus(1, "", "menu dismiss");
  ExpectStatus(1, "", "answer OK");
  ExpectStatus(1, "", "starter stop");
  ExpectStatus(1, "start\n", "menu choose \"&Close Velmox\"");
  ExpectStatus(1, "tray right-click\n", "menu choose \"&Close\"");
  ExpectStatus(1, "tray right-click\n", "menu choose \"-\"");
  ExpectStatus(1, "tray right-click\n", "expect running");  // the script ends inside the menu
  EXPECT_FALSE(session.desktop.tray.OpenMenu());
}

TEST_F(ScriptRunnerTest, LinesThatMakeNoSenseOrThatTheDesktopRefusesEndWithTwo) {
  for (const char* line :
       {"frobnicate", "tray", "\"start\"", "start now", "expect tray tip \"open", "wait soon",
        "wait 10ms", "wait -1", "wait", "set time 24:00:00", "answer Maybe", "tray message",
        "tray message 515 516", "file \"no\\such\\folder.txt\" \"x\"",
        "setting Data URLPrefix \"a{lf}b\"", "starter start now", "expect starter asleep"}) {
    ExpectStatus(2, "# first line\n", line);
  }
  ExpectStatus(2, "setting Data URLPrefix \"1\"\n",
               "expect setting Data URLPrefix matches \"[0-9\"");
  ExpectStatus(2, "start\ntray right-click\n", "file \"no\\such\\folder.txt\" \"x\"");
}

// A number that does not fit where it goes is a line that makes no sense, never one cut down to
// fit (4294967811 would otherwise act as 515, a double click).
TEST_F(ScriptRunnerTest, NumbersOutOfRangeOrNotFiniteEndWithTwo) {
  for (const char* line :
       {"tray message 4294967811", "tray message -1", "wait 9223372036854775807",
        "wait 99999999999999999999", "wait 0x", "wait 0x-5", "wait -", "set time 00:00:nan",
        "set time 00:00:inf", "set time 10:00:05x", "set time 4294967306:00:00",
        "window open w \"about:blank\" ToolBar=99999999999999",
        "windows open w 1001 \"about:blank\""}) {
    ExpectStatus(2, "start\n", line);
  }
  const std::string websites =
      "start\ntray right-click\nmenu choose \"&Settings...\"\ndialog tab 4\n";
  for (const char* line : {"dialog column 4294967297", "expect dialog page 4294967299",
                           "expect control XBlink colour 4294967301"}) {
    ExpectStatus(2, websites, line);
  }
  EXPECT_EQ(Run("start\ntray message 0x203\nexpect tray picture off\nset time 23:59:59.5\n"
                "window open w \"about:blank\" ToolBar=-2147483648\nexpect window w "
                "ToolBar=-2147483648\nwait 1000\n"),
            0)
      << errors;
  ExpectStatus(2, "wait 999999999999000\n", "wait 2000");  // past the clock's end
}

// Whatever a script names, it names inside the application folder.
TEST_F(ScriptRunnerTest, FileNamesNeverLeadOutOfTheApplicationFolder) {
  const std::filesystem::path outside = folders.root.Path() / "outside.txt";
  std::string backslashed = outside.string();
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  for (const std::string& name : {outside.string(), backslashed}) {
    test::WriteRealFile(outside, "kept");
    for (const std::string& line :
         {"file \"" + name + "\" \"lost\"", "remove file \"" + name + "\"",
          "expect file \"" + name + "\" \"kept\""}) {
      ExpectStatus(2, "", line);
      EXPECT_EQ(test::ReadRealFile(outside), "kept") << line;
    }
  }
}

// A line of garbage is reported in one short, printable line.
TEST_F(ScriptRunnerTest, AnUnknownCommandIsEchoedShortAndEscaped) {
  const std::string garbage = "zap\x01\x1b[2J\xff" + std::string(10000, 'x') + "\r";
  EXPECT_EQ(Run(garbage), 2);
  EXPECT_EQ(errors, "t.vmx:1: unknown command: zap\\x01\\x1B[2J\\xFF" + std::string(71, 'x') +
                        "... (10010 characters)\n");
}

// A profile whose lock cannot be taken ends the run with the reason in the trace.
TEST_F(ScriptRunnerTest, AnUnusableInstanceLockIsTraced) {
  std::filesystem::create_directory(folders.folders.profile / "velmox.lock");
  EXPECT_EQ(Run("start\nexpect ended\n"), 0) << errors;
  EXPECT_TRUE(Traced("[     0.000] velmox: the instance lock \"" +
                     (folders.folders.profile / "velmox.lock").string() +
                     "\" cannot be opened: Is a directory"));
}

TEST_F(ScriptRunnerTest, MenuAnswerDoesNotAnswerABox) {
  std::istringstream in("menu dismiss\n");
  ScriptRunner runner(session, in, "t.vmx", folders.root.Path());
  try {
    session.desktop.messageBoxes.MessageBoxA(0, "text", "title", MessageBoxes::kOk);
    ADD_FAILURE() << "the box was answered";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.kind, ScriptError::Failed);
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
