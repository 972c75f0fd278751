#include "browser/window_event_routing.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_clock.h"
#include "support/fake_browser.h"
#include "support/memory_files.h"

namespace velmox {
namespace {

const std::string kFolder = "C:\\Velmox";
const std::string kCommand = kFolder + "\\b9876543210.html";

struct RoutingTest : ::testing::Test {
  RoutingTest() {
    state.BlockingOn = true;
    state.OptionValues.BlockByDefault = true;
    state.URLPrefix = "9876543210";
    state.Sites.ReplaceAll({{"", false}});
    window->location = "http://ads.example/";
  }
  BeforeNavigate2Args Navigate(const std::string& url, bool cancelBefore) {
    BeforeNavigate2Args args;
    args.URL = url;
    args.Cancel = cancelBefore;
    routing.SlotBeforeNavigate2(window, args);
    return args;
  }

  AppState state;
  test::MemoryFiles files;
  test::FakeKeyboard keyboard;
  sim::SimClock clock;
  test::FakeBrowserAutomation browsers;
  PageSinks sinks{state, clock, browsers, [] {}};
  WindowEventRouting routing{state, files, kFolder, keyboard, sinks};
  std::shared_ptr<test::FakeWindow> window = std::make_shared<test::FakeWindow>();
};

TEST_F(RoutingTest, CancelIsWrittenOnEveryNavigation) {
  EXPECT_FALSE(Navigate("http://ads.example/next.html", true).Cancel);
  EXPECT_TRUE(Navigate(kCommand, false).Cancel);
  EXPECT_EQ(state.Sites.Verdict("ads.example"), true);
  EXPECT_EQ(files.Content(kFolder + "\\servers.lst"), "\"ads.example\",#TRUE#\r\n");
}

TEST_F(RoutingTest, CommandWhoseWindowFailsIsStillCancelled) {
  window->failing = true;
  BeforeNavigate2Args args;
  args.URL = kCommand;
  EXPECT_NO_THROW(routing.SlotBeforeNavigate2(window, args));
  EXPECT_TRUE(args.Cancel);
  EXPECT_EQ(state.Sites.Count(), 1u);
  EXPECT_FALSE(Navigate("http://ads.example/", true).Cancel);
}

TEST_F(RoutingTest, NewWindowGetsOpenWindowsAnswerAndCancelIsLeftAlone) {
  auto passedIn = std::make_shared<test::FakeSinkObject>();
  std::shared_ptr<Dispatch> ppDisp = passedIn;
  bool cancel = true;
  routing.SlotNewWindow2(window, ppDisp, cancel);
  EXPECT_EQ(ppDisp, browsers.sinks[1]->object);
  EXPECT_TRUE(cancel);

  state.BlockingOn = false;
  ppDisp = passedIn;
  cancel = false;
  routing.SlotNewWindow2(window, ppDisp, cancel);
  EXPECT_EQ(ppDisp, nullptr) << "standing aside empties ppDisp: the browser opens the window";
  EXPECT_FALSE(cancel);
}

TEST_F(RoutingTest, FailuresStillGiveADefiniteEmptyPpDisp) {
  browsers.sinks[1]->failObject = true;
  auto passedIn = std::make_shared<test::FakeSinkObject>();
  std::shared_ptr<Dispatch> ppDisp = passedIn;
  bool cancel = false;
  EXPECT_NO_THROW(routing.SlotNewWindow2(window, ppDisp, cancel));
  EXPECT_EQ(ppDisp, nullptr);

  window->failing = true;
  ppDisp = passedIn;
  EXPECT_NO_THROW(routing.SlotNewWindow2(window, ppDisp, cancel));
  EXPECT_EQ(ppDisp, nullptr);
  EXPECT_FALSE(cancel);
}

}  // namespace
}  // namespace velmox
