#include "engine/new_window_decision.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_clock.h"
#include "support/fake_browser.h"

namespace velmox {
namespace {

using D = NewWindowDecision;

struct NewWindowTest : ::testing::Test {
  NewWindowTest() {
    state.BlockingOn = true;
    state.OptionValues.BlockByDefault = true;
    state.Sites.ReplaceAll({{"", false}, {"friends.example", false}, {"ads.example", true}});
    opener->location = "http://unlisted.example/index.html";
    opener->document = std::make_shared<test::FakeDocument>();
  }
  D Decide() { return DecideNewWindow(state, keyboard, opener.get()); }
  D DecideAt(const std::string& location) {
    opener->location = location;
    return Decide();
  }

  AppState state;
  test::FakeKeyboard keyboard;
  sim::SimClock clock;
  test::FakeBrowserAutomation browsers;
  PageSinks sinks{state, clock, browsers, [] {}};
  std::shared_ptr<test::FakeWindow> opener = std::make_shared<test::FakeWindow>();
};

TEST_F(NewWindowTest, CtrlIsSampledOnceAndHeldOnlyFor8000Or8001) {
  keyboard.state = Keyboard::kKeyDown;
  EXPECT_EQ(Decide(), D::StandAsideOverrideKey);
  keyboard.state = Keyboard::kKeyDown | Keyboard::kPressedSinceLastCall;
  EXPECT_EQ(Decide(), D::StandAsideOverrideKey);
  keyboard.state = Keyboard::kPressedSinceLastCall;  // pressed earlier, up now
  EXPECT_EQ(Decide(), D::CaptureSiteDisallowed);
  EXPECT_EQ(keyboard.asked, std::vector<int>(3, Keyboard::kVkControl));
  keyboard.failing = true;
  EXPECT_EQ(Decide(), D::CaptureSiteDisallowed) << "an unreadable key counts as up";
}

TEST_F(NewWindowTest, OpenerIsInspectedOnEveryRequestEvenWhenStandingAside) {
  keyboard.state = Keyboard::kKeyDown;
  state.BlockingOn = false;
  Decide();
  EXPECT_EQ(opener->locationReads, 1);
}

TEST_F(NewWindowTest, StandAsideRulesApplyInOrder) {
  keyboard.state = Keyboard::kKeyDown;
  state.BlockingOn = false;
  opener->failing = true;
  EXPECT_EQ(Decide(), D::StandAsideOverrideKey);
  keyboard.state = 0;
  EXPECT_EQ(Decide(), D::StandAsideBlockingOff);
  state.BlockingOn = true;
  EXPECT_EQ(Decide(), D::StandAsideNotWebPage) << "an uninspectable window is not a web page";
  EXPECT_EQ(DecideNewWindow(state, keyboard, nullptr), D::StandAsideNotWebPage);
}

TEST_F(NewWindowTest, WebPageTest) {
  opener->document = nullptr;
  opener->type = "Text Document";
  EXPECT_EQ(DecideAt("ftp://files.example/readme.txt"), D::StandAsideNotWebPage);
  EXPECT_EQ(DecideAt("HTTPS://secure.example/"), D::CaptureSiteDisallowed) << "the prefix alone";
  opener->type = BrowserWindow::kHtmlDocumentType;
  EXPECT_EQ(DecideAt("res://local/page.htm"), D::CaptureSiteDisallowed) << "the type alone";
  opener->type = "Text Document";
  opener->document = std::make_shared<test::FakeDocument>();
  EXPECT_EQ(DecideAt("res://local/page.htm"), D::CaptureSiteDisallowed) << "the document alone";
}

TEST_F(NewWindowTest, LocalPagesAreLeftAloneOnlyWhenIgnoreLocalIsSet) {
  state.OptionValues.IgnoreLocal = true;
  EXPECT_EQ(DecideAt("FILE:///C:/pages/offer.html"), D::StandAsideNotWebPage);
  state.OptionValues.IgnoreLocal = false;
  EXPECT_EQ(DecideAt("FILE:///C:/pages/offer.html"), D::CaptureSiteDisallowed);
  state.OptionValues.BlockByDefault = false;
  EXPECT_EQ(DecideAt("file:///C:/pages/offer.html"), D::StandAsideSiteAllowed);
}

TEST_F(NewWindowTest, SiteVerdictDecidesForWebPages) {
  EXPECT_EQ(DecideAt("http://friends.example/"), D::StandAsideSiteAllowed);
  EXPECT_EQ(DecideAt("http://www.friends.example/"), D::StandAsideSiteAllowed);
  EXPECT_EQ(DecideAt("http://ads.example/"), D::CaptureSiteDisallowed);
  EXPECT_EQ(DecideAt("http://unlisted.example/"), D::CaptureSiteDisallowed);
  state.OptionValues.BlockByDefault = false;
  EXPECT_EQ(DecideAt("http://unlisted.example/"), D::StandAsideSiteAllowed);
  EXPECT_EQ(DecideAt("http://ads.example/"), D::CaptureSiteDisallowed);
}

TEST_F(NewWindowTest, UnreadableAddressAfterTheWebPageTestIsCaptured) {
  state.OptionValues.BlockByDefault = false;
  opener->location = "http://friends.example/";
  opener->failLocationFromRead = 2;
  EXPECT_EQ(Decide(), D::CaptureSiteUnreadable);
}

TEST_F(NewWindowTest, CaptureHandsOutTheSameSinkObjectInPpDispAndResult) {
  std::shared_ptr<Dispatch> ppDisp;
  auto result = OpenWindow(state, keyboard, sinks, opener, ppDisp);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result, ppDisp);
  EXPECT_EQ(result, browsers.sinks[1]->object);
  EXPECT_EQ(sinks.SinkOpener(1), opener);
}

TEST_F(NewWindowTest, StandingAsideLeavesPpDispAndTheSinksAlone) {
  auto passedIn = std::make_shared<test::FakeSinkObject>();
  std::shared_ptr<Dispatch> ppDisp = passedIn;
  state.BlockingOn = false;
  EXPECT_EQ(OpenWindow(state, keyboard, sinks, opener, ppDisp), nullptr);
  EXPECT_EQ(ppDisp, passedIn);
  EXPECT_EQ(sinks.NextSink(), 0);
  EXPECT_EQ(sinks.SinkOpener(1), nullptr);
}

}  // namespace
}  // namespace velmox
