#include "engine/page_sinks.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

// A simulated browser with windows on an ordinary page.
struct Browser {
  std::shared_ptr<sim::SimWindow> OpenWindow(const std::string& label) {
    desktop.browsers.Open(label, "http://ads.example/", {});
    return desktop.browsers.Windows().back();
  }
  // The browser sends a captured window's first navigation into sink `index`.
  BeforeNavigate2Args Navigate(int index, const std::string& url) {
    BeforeNavigate2Args args;
    args.URL = url;
    for (BrowserEvents* handler : desktop.browsers.Sink(index)->Handlers())
      handler->BeforeNavigate2(args);
    return args;
  }

  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
};

struct PageSinksTest : ::testing::Test, Browser {
  PageSinksTest() {
    state.OptionValues.LinkTarget = "_blank";
    // The sinks' own first navigations have stamped the run's first failure; the rule is seen
    // here from a fresh stamp.
    state.ErrorTime = 0;
  }

  void Capture() {
    std::shared_ptr<Dispatch> ppDisp;
    sinks.CaptureInSink(opener, ppDisp);
  }

  AppState state;
  int alerts = 0;
  PageSinks sinks{state, desktop.clock, desktop.browsers, [this] { ++alerts; }};
  const int startFailures = sinks.AnalysisFailures();  // the sinks' own first navigations
  std::shared_ptr<sim::SimWindow> opener = OpenWindow("opener");
};

// The rotation itself is seen end to end; here, that a reused sink forgets its earlier opener.
TEST_F(PageSinksTest, TheFifthCaptureReplacesTheOpenerOfSinkOne) {
  std::vector<std::shared_ptr<sim::SimWindow>> openers;
  for (int i = 0; i < 5; ++i) {
    openers.push_back(OpenWindow("w" + std::to_string(i)));
    std::shared_ptr<Dispatch> ppDisp;
    EXPECT_EQ(sinks.CaptureInSink(openers.back(), ppDisp), ppDisp);
  }
  EXPECT_EQ(sinks.NextSink(), 1);
  EXPECT_EQ(sinks.SinkOpener(1), openers[4]);
  EXPECT_EQ(sinks.SinkOpener(0), openers[3]);
}

TEST_F(PageSinksTest, SinkThatCannotHandOutItsObjectLeavesTheResultEmpty) {
  desktop.browsers.Sink(1)->alive = false;  // its control has gone
  const std::shared_ptr<Dispatch> held = OpenWindow("held");
  std::shared_ptr<Dispatch> ppDisp = held;
  EXPECT_EQ(sinks.CaptureInSink(opener, ppDisp), nullptr);
  EXPECT_EQ(ppDisp, held);
  EXPECT_EQ(sinks.NextSink(), 1) << "the rotation has moved on all the same";
  EXPECT_EQ(sinks.SinkOpener(1), opener);
}

// The page is read with calls into the browser, which let its events in: one of them may unload
// the main form and the sinks with it. The handler then does nothing more.
TEST(PageSinksLifetime, SinksThatGoWhileThePageIsReadAlertNoMore) {
  AppState state;
  Browser browser;
  int alerts = 0;
  auto sinks = std::make_unique<PageSinks>(state, browser.desktop.clock, browser.desktop.browsers,
                                           [&] { ++alerts; });
  const auto opener = browser.OpenWindow("opener");
  std::shared_ptr<Dispatch> ppDisp;
  sinks->CaptureInSink(opener, ppDisp);
  opener->Scope()->failCall = [&](std::string_view) {
    sinks.reset();
    return false;
  };
  const BeforeNavigate2Args args = browser.Navigate(1, "http://ads.example/pop.html");
  EXPECT_EQ(sinks, nullptr);
  EXPECT_TRUE(args.Cancel);
  EXPECT_EQ(alerts, 0);
}

TEST(PageSinksCreation, SinkThatCannotBeCreatedIsLeftOutAndCapturesIntoItFail) {
  AppState state;
  Browser browser;
  sim::SimBrowsers& browsers = browser.desktop.browsers;
  int created = 0;
  browsers.failCall = [&](std::string_view call) {
    return call == "CreatePageSink" && created++ == 1;
  };
  PageSinks sinks(state, browser.desktop.clock, browsers, [] {});
  for (int index : {0, 2, 3})
    EXPECT_EQ(browsers.Sink(index)->Handlers().size(), 1u) << index;
  EXPECT_EQ(browsers.Sink(1), nullptr);
  std::shared_ptr<Dispatch> ppDisp;
  EXPECT_EQ(sinks.CaptureInSink(browser.OpenWindow("a"), ppDisp), nullptr);
  EXPECT_NE(sinks.CaptureInSink(browser.OpenWindow("b"), ppDisp), nullptr);
}

// Each sink's own navigation to its initial address reaches the handler, with no opener: the
// run's first failure is stamped as the sinks start, without an alert.
TEST(PageSinksCreation, TheSinksOwnFirstNavigationsStampTheFirstFailure) {
  AppState state;
  Browser browser;
  browser.desktop.clock.SetTimeOfDay(3600.5);
  int alerts = 0;
  PageSinks sinks(state, browser.desktop.clock, browser.desktop.browsers, [&] { ++alerts; });
  EXPECT_EQ(state.ErrorTime, 3600.5f);
  EXPECT_EQ(sinks.AnalysisFailures(), PageSinks::kCount);
  EXPECT_EQ(alerts, 0);
  EXPECT_TRUE(browser.desktop.browsers.sinkCatches.empty()) << "no new window was caught";
  for (int index = 0; index < PageSinks::kCount; ++index)
    EXPECT_EQ(browser.desktop.browsers.Sink(index)->location, "http:///");
}

TEST_F(PageSinksTest, SinkNeverOpensAWindowOfItsOwn) {
  std::shared_ptr<Dispatch> ppDisp;
  bool cancel = false;
  desktop.browsers.Sink(2)->Handlers().at(0)->NewWindow2(ppDisp, cancel, UserAction::Unknown);
  EXPECT_TRUE(cancel);
  EXPECT_EQ(ppDisp, nullptr);
}

// The run's first failure is stamped and never renewed; only failures more than 3 s after it
// alert.
TEST_F(PageSinksTest, FailuresAlertOnlyMoreThanThreeSecondsAfterTheFirst) {
  opener->Scope()->failCall = [](std::string_view m) { return m == "activeElement"; };
  Capture();
  const float T = static_cast<float>(desktop.clock.SecondsSinceMidnight());
  EXPECT_TRUE(Navigate(1, "http://ads.example/1").Cancel);
  EXPECT_EQ(alerts, 0) << "first failure at T";
  EXPECT_EQ(state.ErrorTime, T);
  desktop.clock.Advance(2000);
  Navigate(1, "http://ads.example/2");
  EXPECT_EQ(alerts, 0) << "T + 2 s";
  desktop.clock.Advance(2000);
  Navigate(1, "http://ads.example/3");
  EXPECT_EQ(alerts, 1) << "T + 4 s";
  desktop.clock.Advance(56000);
  Navigate(1, "http://ads.example/4");
  EXPECT_EQ(alerts, 2) << "T + 60 s";
  EXPECT_EQ(state.ErrorTime, T);
  EXPECT_EQ(sinks.AnalysisFailures() - startFailures, 4);
}

TEST_F(PageSinksTest, FailureJustAfterMidnightAlertsAgainstAStampJustBefore) {
  opener->Scope()->failCall = [](std::string_view m) { return m == "activeElement"; };
  desktop.clock.SetTimeOfDay(86400.0 - 1.5);
  Capture();
  Navigate(1, "http://ads.example/1");
  EXPECT_EQ(alerts, 0);
  desktop.clock.Advance(2000);  // 00:00:00.5, only two seconds later
  Navigate(1, "http://ads.example/2");
  EXPECT_EQ(alerts, 1);
}

TEST_F(PageSinksTest, SinkWithoutOpenerFallsUnderTheFailureRule) {
  state.ErrorTime = 100;  // an earlier failure long ago
  auto args = Navigate(3, "http:///");
  EXPECT_TRUE(args.Cancel);
  EXPECT_EQ(alerts, 1);
  EXPECT_EQ(state.ErrorTime, 100);
  EXPECT_EQ(sinks.AnalysisFailures() - startFailures, 1);
}

// Post data the desktop could not read must not reopen the user's own form without it.
TEST_F(PageSinksTest, UnreadableArgumentFallsUnderTheFailureRuleBeforeAnythingOpens) {
  auto page = std::make_shared<sim::SimDocument>(
      opener->location, sim::ParseHtml("<a href=\"http://ads.example/mine\">mine</a>"),
      opener->Scope());
  page->Focus(*sim::QuerySelector(page->Root(), "a"));
  opener->document = page;
  Capture();
  BeforeNavigate2Args args;
  args.URL = "http://ads.example/mine";
  args.Unreadable = PlatformError(static_cast<long>(0x80020005), "Type mismatch");
  for (BrowserEvents* handler : desktop.browsers.Sink(1)->Handlers())
    handler->BeforeNavigate2(args);
  EXPECT_TRUE(args.Cancel);
  EXPECT_TRUE(desktop.browsers.newWindows.empty());
  EXPECT_EQ(alerts, 0);
  EXPECT_EQ(sinks.AnalysisFailures() - startFailures, 1);
}

TEST(PageSinksAlert, FailingAlertDoesNotEscapeTheHandler) {
  AppState state;
  Browser browser;
  PageSinks sinks(state, browser.desktop.clock, browser.desktop.browsers,
                  [] { throw PlatformError(1, "sound device busy"); });
  std::shared_ptr<Dispatch> ppDisp;
  sinks.CaptureInSink(browser.OpenWindow("opener"), ppDisp);
  BeforeNavigate2Args args;
  EXPECT_NO_THROW(args = browser.Navigate(1, ""));
  EXPECT_TRUE(args.Cancel);
}

}  // namespace
}  // namespace velmox
