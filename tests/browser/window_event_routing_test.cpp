#include "browser/window_event_routing.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

const std::string kVelmoxFolder = "C:\\Program Files\\Velmox";
const std::string kCommand = kVelmoxFolder + "\\b9876543210.html";

struct RoutingTest : ::testing::Test {
  RoutingTest() {
    state.BlockingOn = true;
    state.OptionValues.BlockByDefault = true;
    state.URLPrefix = "9876543210";
    state.Sites.ReplaceAll({{"", false}});
  }
  std::shared_ptr<sim::SimWindow> OpenNews() {
    desktop.browsers.Open("news", "http://ads.example/", {});
    return desktop.browsers.Windows().back();
  }
  BeforeNavigate2Args Navigate(const std::string& url, bool cancelBefore) {
    BeforeNavigate2Args args;
    args.URL = url;
    args.Cancel = cancelBefore;
    routing.SlotBeforeNavigate2(window, args);
    return args;
  }

  AppState state;
  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  PageSinks sinks{state, desktop.clock, desktop.browsers, [] {}};
  WindowEventRouting routing{state, desktop.files, kVelmoxFolder, desktop.keyboard, sinks};
  std::shared_ptr<sim::SimWindow> window = OpenNews();
  // Any object the browser may have left in ppDisp.
  const std::shared_ptr<Dispatch> passedIn = std::make_shared<sim::SinkObject>(nullptr);
};

TEST_F(RoutingTest, CancelIsWrittenOnEveryNavigation) {
  EXPECT_FALSE(Navigate("http://ads.example/next.html", true).Cancel);
  EXPECT_TRUE(Navigate(kCommand, false).Cancel);
  EXPECT_EQ(state.Sites.Verdict("ads.example"), true);
  EXPECT_EQ(desktop.files.ReadText(kVelmoxFolder + "\\servers.lst"), "\"ads.example\",#TRUE#\r\n");
}

TEST_F(RoutingTest, CommandWhoseWindowFailsIsStillCancelled) {
  desktop.browsers.FailWindow(*window, sim::Disconnected());
  BeforeNavigate2Args args;
  args.URL = kCommand;
  EXPECT_NO_THROW(routing.SlotBeforeNavigate2(window, args));
  EXPECT_TRUE(args.Cancel);
  EXPECT_EQ(state.Sites.Count(), 1u);
  EXPECT_FALSE(Navigate("http://ads.example/", true).Cancel);
}

TEST_F(RoutingTest, NewWindowGetsOpenWindowsAnswerAndCancelIsLeftAlone) {
  std::shared_ptr<Dispatch> ppDisp = passedIn;
  bool cancel = true;
  routing.SlotNewWindow2(window, ppDisp, cancel, UserAction::Unknown);
  EXPECT_EQ(dynamic_cast<sim::SinkObject&>(*ppDisp).state.get(), desktop.browsers.Sink(1));
  EXPECT_TRUE(cancel);

  state.BlockingOn = false;
  ppDisp = passedIn;
  cancel = false;
  routing.SlotNewWindow2(window, ppDisp, cancel, UserAction::Unknown);
  EXPECT_EQ(ppDisp, nullptr) << "standing aside empties ppDisp: the browser opens the window";
  EXPECT_FALSE(cancel);
}

TEST_F(RoutingTest, FailuresStillGiveADefiniteEmptyPpDisp) {
  desktop.browsers.Sink(1)->alive = false;  // its control has gone
  std::shared_ptr<Dispatch> ppDisp = passedIn;
  bool cancel = false;
  EXPECT_NO_THROW(routing.SlotNewWindow2(window, ppDisp, cancel, UserAction::Unknown));
  EXPECT_EQ(ppDisp, nullptr);

  desktop.browsers.FailWindow(*window, sim::Disconnected());
  ppDisp = passedIn;
  EXPECT_NO_THROW(routing.SlotNewWindow2(window, ppDisp, cancel, UserAction::Unknown));
  EXPECT_EQ(ppDisp, nullptr);
  EXPECT_FALSE(cancel);
}

}  // namespace
}  // namespace velmox
