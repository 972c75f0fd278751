#include "engine/page_sinks.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_clock.h"
#include "support/fake_browser.h"

namespace velmox {
namespace {

using test::FakeWindow;

struct PageSinksTest : ::testing::Test {
  PageSinksTest() {
    state.OptionValues.LinkTarget = "_blank";
    opener->location = "http://ads.example/";
    opener->document = page;
    page->active = std::make_shared<test::FakeElement>();
    page->active->tag = "BODY";
  }

  // The browser sends a captured window's first navigation into sink `index`.
  BeforeNavigate2Args Navigate(int index, const std::string& url) {
    BeforeNavigate2Args args;
    args.URL = url;
    browsers.sinks.at(index)->events->BeforeNavigate2(args);
    return args;
  }
  void Capture() {
    std::shared_ptr<Dispatch> ppDisp;
    sinks.CaptureInSink(opener, ppDisp);
  }

  AppState state;
  sim::SimClock clock{12 * 3600.0};
  test::FakeBrowserAutomation browsers;
  int alerts = 0;
  PageSinks sinks{state, clock, browsers, [this] { ++alerts; }};
  std::shared_ptr<FakeWindow> opener = std::make_shared<FakeWindow>();
  std::shared_ptr<test::FakeDocument> page = std::make_shared<test::FakeDocument>();
};

// The rotation itself is seen end to end; here, that a reused sink forgets its earlier opener.
TEST_F(PageSinksTest, TheFifthCaptureReplacesTheOpenerOfSinkOne) {
  std::vector<std::shared_ptr<FakeWindow>> openers(5);
  for (auto& each : openers) {
    each = std::make_shared<FakeWindow>();
    std::shared_ptr<Dispatch> ppDisp;
    EXPECT_EQ(sinks.CaptureInSink(each, ppDisp), ppDisp);
  }
  EXPECT_EQ(sinks.NextSink(), 1);
  EXPECT_EQ(sinks.SinkOpener(1), openers[4]);
  EXPECT_EQ(sinks.SinkOpener(0), openers[3]);
}

TEST_F(PageSinksTest, SinkThatCannotHandOutItsObjectLeavesTheResultEmpty) {
  browsers.sinks[1]->failObject = true;
  auto held = std::make_shared<test::FakeSinkObject>();
  std::shared_ptr<Dispatch> ppDisp = held;
  EXPECT_EQ(sinks.CaptureInSink(opener, ppDisp), nullptr);
  EXPECT_EQ(ppDisp, held);
  EXPECT_EQ(sinks.NextSink(), 1) << "the rotation has moved on all the same";
  EXPECT_EQ(sinks.SinkOpener(1), opener);
}

TEST(PageSinksCreation, SinkThatCannotBeCreatedIsLeftOutAndCapturesIntoItFail) {
  AppState state;
  sim::SimClock clock;
  test::FakeBrowserAutomation browsers;
  browsers.failingSinks = {1};
  PageSinks sinks(state, clock, browsers, [] {});
  ASSERT_EQ(browsers.sinks.size(), 3u);
  for (auto* sink : browsers.sinks)
    EXPECT_NE(sink->events, nullptr);
  std::shared_ptr<Dispatch> ppDisp;
  EXPECT_EQ(sinks.CaptureInSink(std::make_shared<FakeWindow>(), ppDisp), nullptr);
  EXPECT_NE(sinks.CaptureInSink(std::make_shared<FakeWindow>(), ppDisp), nullptr);
}

TEST_F(PageSinksTest, SinkNeverOpensAWindowOfItsOwn) {
  std::shared_ptr<Dispatch> ppDisp;
  bool cancel = false;
  browsers.sinks[2]->events->NewWindow2(ppDisp, cancel);
  EXPECT_TRUE(cancel);
  EXPECT_EQ(ppDisp, nullptr);
}

// The run's first failure is stamped and never renewed; only failures more than 3 s after it
// alert.
TEST_F(PageSinksTest, FailuresAlertOnlyMoreThanThreeSecondsAfterTheFirst) {
  page->active = nullptr;  // the page cannot be read
  Capture();
  const float T = static_cast<float>(clock.SecondsSinceMidnight());
  EXPECT_TRUE(Navigate(1, "http://ads.example/1").Cancel);
  EXPECT_EQ(alerts, 0) << "first failure at T";
  EXPECT_EQ(state.ErrorTime, T);
  clock.Advance(2000);
  Navigate(1, "http://ads.example/2");
  EXPECT_EQ(alerts, 0) << "T + 2 s";
  clock.Advance(2000);
  Navigate(1, "http://ads.example/3");
  EXPECT_EQ(alerts, 1) << "T + 4 s";
  clock.Advance(56000);
  Navigate(1, "http://ads.example/4");
  EXPECT_EQ(alerts, 2) << "T + 60 s";
  EXPECT_EQ(state.ErrorTime, T);
  EXPECT_EQ(sinks.AnalysisFailures(), 4);
}

TEST_F(PageSinksTest, FailureJustAfterMidnightAlertsAgainstAStampJustBefore) {
  page->active = nullptr;
  clock.SetTimeOfDay(86400.0 - 1.5);
  Capture();
  Navigate(1, "http://ads.example/1");
  EXPECT_EQ(alerts, 0);
  clock.Advance(2000);  // 00:00:00.5, only two seconds later
  Navigate(1, "http://ads.example/2");
  EXPECT_EQ(alerts, 1);
}

TEST_F(PageSinksTest, SinkWithoutOpenerFallsUnderTheFailureRule) {
  state.ErrorTime = 100;  // an earlier failure long ago
  auto args = Navigate(3, "http:///");
  EXPECT_TRUE(args.Cancel);
  EXPECT_EQ(alerts, 1);
  EXPECT_EQ(state.ErrorTime, 100);
  EXPECT_EQ(sinks.AnalysisFailures(), 1);
}

// Post data the desktop could not read must not reopen the user's own form without it.
TEST_F(PageSinksTest, UnreadableArgumentFallsUnderTheFailureRuleBeforeAnythingOpens) {
  page->active = std::make_shared<test::FakeElement>();
  page->active->tag = "A";
  page->active->hrefValue = "http://ads.example/mine";
  Capture();
  BeforeNavigate2Args args;
  args.URL = "http://ads.example/mine";
  args.Unreadable = PlatformError(static_cast<long>(0x80020005), "Type mismatch");
  browsers.sinks.at(1)->events->BeforeNavigate2(args);
  EXPECT_TRUE(args.Cancel);
  EXPECT_TRUE(browsers.created.empty());
  EXPECT_EQ(page->active->blurCount, 0);
  EXPECT_EQ(alerts, 0);
  EXPECT_EQ(sinks.AnalysisFailures(), 1);
}

TEST(PageSinksAlert, FailingAlertDoesNotEscapeTheHandler) {
  AppState state;
  sim::SimClock clock;
  test::FakeBrowserAutomation browsers;
  PageSinks sinks(state, clock, browsers, [] { throw PlatformError(1, "sound device busy"); });
  auto opener = std::make_shared<FakeWindow>();
  opener->document = std::make_shared<test::FakeDocument>();
  opener->document->active = std::make_shared<test::FakeElement>();
  std::shared_ptr<Dispatch> ppDisp;
  sinks.CaptureInSink(opener, ppDisp);
  BeforeNavigate2Args args;
  EXPECT_NO_THROW(browsers.sinks[1]->events->BeforeNavigate2(args));
  EXPECT_TRUE(args.Cancel);
}

}  // namespace
}  // namespace velmox
