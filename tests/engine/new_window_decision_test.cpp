#include "engine/new_window_decision.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

using D = NewWindowDecision;

struct NewWindowTest : ::testing::Test {
  NewWindowTest() {
    state.BlockingOn = true;
    state.OptionValues.BlockByDefault = true;
    state.Sites.ReplaceAll({{"", false}, {"friends.example", false}, {"ads.example", true}});
    opener->Scope()->failCall = [this](std::string_view member) {
      return member == "LocationURL" && ++locationReads >= failLocationFromRead;
    };
  }
  D Decide() { return DecideNewWindow(state, desktop.keyboard, opener.get()); }
  D DecideAt(const std::string& location) {
    opener->location = location;
    return Decide();
  }
  std::shared_ptr<sim::SimWindow> NewBrowserWindow(const std::string& label) {
    desktop.browsers.Open(label, "http://unlisted.example/index.html", {});
    return desktop.browsers.Windows().back();
  }

  AppState state;
  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  PageSinks sinks{state, desktop.clock, desktop.browsers, [] {}};
  std::shared_ptr<sim::SimWindow> opener = NewBrowserWindow("opener");
  int locationReads = 0;
  int failLocationFromRead = 1000;  // this read of the address and every later one fail
};

TEST_F(NewWindowTest, CtrlIsSampledOnceAndHeldOnlyFor8000Or8001) {
  sim::SimKeyboard& keyboard = desktop.keyboard;
  keyboard.SetCtrl(true);
  EXPECT_EQ(Decide(), D::StandAsideOverrideKey);  // 0x8001: down, and pressed since last asked
  EXPECT_EQ(Decide(), D::StandAsideOverrideKey);  // 0x8000
  keyboard.SetCtrl(false);
  keyboard.SetCtrl(true);
  keyboard.SetCtrl(false);
  EXPECT_EQ(Decide(), D::CaptureSiteDisallowed);  // 0x0001: pressed earlier, up now
  EXPECT_EQ(keyboard.timesRead, 3);
  keyboard.failCall = [] { return true; };
  EXPECT_EQ(Decide(), D::CaptureSiteDisallowed) << "an unreadable key counts as up";
}

TEST_F(NewWindowTest, OpenerIsInspectedOnEveryRequestEvenWhenStandingAside) {
  desktop.keyboard.SetCtrl(true);
  state.BlockingOn = false;
  Decide();
  EXPECT_EQ(locationReads, 1);
}

TEST_F(NewWindowTest, StandAsideRulesApplyInOrder) {
  desktop.keyboard.SetCtrl(true);
  state.BlockingOn = false;
  desktop.browsers.FailWindow(*opener, sim::Disconnected());
  EXPECT_EQ(Decide(), D::StandAsideOverrideKey);
  desktop.keyboard.SetCtrl(false);
  EXPECT_EQ(Decide(), D::StandAsideBlockingOff);
  state.BlockingOn = true;
  EXPECT_EQ(Decide(), D::StandAsideNotWebPage) << "an uninspectable window is not a web page";
  EXPECT_EQ(DecideNewWindow(state, desktop.keyboard, nullptr), D::StandAsideNotWebPage);
}

TEST_F(NewWindowTest, WebPageTest) {
  const auto page = opener->document;
  opener->document = nullptr;
  opener->documentType = "Text Document";
  EXPECT_EQ(DecideAt("ftp://files.example/readme.txt"), D::StandAsideNotWebPage);
  EXPECT_EQ(DecideAt("HTTPS://secure.example/"), D::CaptureSiteDisallowed) << "the prefix alone";
  opener->documentType = BrowserWindow::kHtmlDocumentType;
  EXPECT_EQ(DecideAt("res://local/page.htm"), D::CaptureSiteDisallowed) << "the type alone";
  opener->documentType = "HTML-Dokument";
  opener->document = page;
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
  failLocationFromRead = 2;
  EXPECT_EQ(Decide(), D::CaptureSiteUnreadable);
}

TEST_F(NewWindowTest, CaptureHandsOutTheSameSinkObjectInPpDispAndResult) {
  std::shared_ptr<Dispatch> ppDisp;
  auto result = OpenWindow(state, desktop.keyboard, sinks, opener, ppDisp);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result, ppDisp);
  EXPECT_EQ(dynamic_cast<sim::SinkObject&>(*result).state.get(), desktop.browsers.Sink(1));
  EXPECT_EQ(sinks.SinkOpener(1), opener);
}

TEST_F(NewWindowTest, StandingAsideLeavesPpDispAndTheSinksAlone) {
  const std::shared_ptr<Dispatch> passedIn = NewBrowserWindow("held");
  std::shared_ptr<Dispatch> ppDisp = passedIn;
  state.BlockingOn = false;
  EXPECT_EQ(OpenWindow(state, desktop.keyboard, sinks, opener, ppDisp), nullptr);
  EXPECT_EQ(ppDisp, passedIn);
  EXPECT_EQ(sinks.NextSink(), 0);
  EXPECT_EQ(sinks.SinkOpener(1), nullptr);
}

}  // namespace
}  // namespace velmox
