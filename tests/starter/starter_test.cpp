#include "starter/starter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/platform_error.h"
#include "platform/sim/sim_desktop.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct RecordingLauncher : VelmoxLauncher {
  int starts = 0;
  bool fail = false;
  void StartVelmox() override {
    if (fail) throw PlatformError(2, "The system cannot find the file specified.");
    ++starts;
  }
};

// The starter on a simulated desktop, with the browser's windows, the settings store and the
// clock of that desktop.
struct StarterTest : ::testing::Test {
  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  sim::SimBrowsers& browsers = desktop.browsers;
  RecordingLauncher launcher;
  std::vector<std::string> trace;
  Starter starter{{[this] { return browsers.CreateShellWindowsFor("starter"); }, desktop.settings,
                   desktop.clock, launcher,
                   [this](const std::string& line) { trace.push_back(line); }}};
  int opened = 0;

  sim::SimWindow& Open(const std::string& name = BrowserWindow::kBrowserName) {
    sim::SimBrowsers::OpenOptions options;
    options.name = name;
    sim::SimWindow& window =
        browsers.Open("w" + std::to_string(++opened), "http://example.com/", options);
    browsers.Settle();
    return window;
  }
  void Close(sim::SimWindow& window) {
    browsers.Close(window);
    browsers.Settle();
  }
  void AutoLoad(const std::string& text) {
    desktop.settings.SaveSetting("Velmox", "Options", "AutoLoad", text);
  }
  void FailEnumeration() {
    browsers.FailEnumeration(1, PlatformError(-2147023174, "The RPC server is unavailable."));
  }
};

TEST_F(StarterTest, AStoredAutoLoadIsReadWhenTheBrowserWindowAppears) {
  starter.Begin();
  const std::vector<std::pair<std::string, int>> cases = {
      {"True", 1}, {"true", 1}, {"-1", 1}, {" 1 ", 1}, {"False", 0}, {"0", 0}, {"yes", 0}, {"", 0}};
  for (const auto& [text, starts] : cases) {
    SCOPED_TRACE(text);
    launcher.starts = 0;
    AutoLoad(text);
    Open();
    EXPECT_EQ(launcher.starts, starts);
  }
  // A store that cannot be read counts as "False", as a missing key does.
  desktop.settings.failCall = [](std::string_view call, const std::string&) {
    return call == "read";
  };
  launcher.starts = 0;
  Open();
  EXPECT_EQ(launcher.starts, 0);
  EXPECT_EQ(trace.back(), "a browser window appeared, AutoLoad is \"False\": Velmox not started");
}

TEST_F(StarterTest, OnlyAnotherBrowserWindowIsAReason) {
  AutoLoad("True");
  sim::SimWindow& first = Open();
  starter.Begin();  // one browser window was open before: it is not new
  EXPECT_EQ(trace.back(), "waiting for browser windows (1 open)");
  Open("Windows Explorer");
  Open("microsoft internet explorer");
  sim::SimWindow& browser = Open();
  EXPECT_EQ(launcher.starts, 1);
  // A window closing is no reason; the next browser window after it is.
  Close(browser);
  EXPECT_EQ(launcher.starts, 1);
  Open("Windows Explorer");
  EXPECT_EQ(launcher.starts, 1);
  Open();
  EXPECT_EQ(launcher.starts, 2);
  // A browser window whose name cannot be read (it is closing) counts as it did: it neither
  // hides the new window nor fails the collection.
  browsers.FailWindow(first, PlatformError(-2147417848, "The object invoked has disconnected."));
  Open();
  EXPECT_EQ(launcher.starts, 3);
  EXPECT_TRUE(starter.Waiting());
}

TEST_F(StarterTest, VelmoxThatCannotBeStartedIsTracedAndTriedAgainNextTime) {
  AutoLoad("True");
  starter.Begin();
  launcher.fail = true;
  Open();
  EXPECT_EQ(trace.back(),
            "cannot start Velmox (error 2: The system cannot find the file specified.)");
  launcher.fail = false;
  Open();
  EXPECT_EQ(launcher.starts, 1);
}

TEST_F(StarterTest, ACollectionThatCannotBeHadIsTriedAgainWithAGrowingWait) {
  browsers.failCall = [](std::string_view call) { return call == "CreateShellWindows"; };
  starter.Begin();
  EXPECT_FALSE(starter.Waiting());
  EXPECT_TRUE(starter.Retrying());
  // Tries at 5 s, 15 s, 35 s, ... the wait doubles up to five minutes.
  std::vector<long> tries;
  for (int ms = 0; ms < 20 * 60 * 1000; ms += 1000) {
    const std::size_t before = trace.size();
    desktop.clock.Advance(1000);
    if (trace.size() > before) tries.push_back(desktop.clock.NowMs() / 1000);
  }
  EXPECT_THAT(tries, ElementsAre(5, 15, 35, 75, 155, 315, 615, 915));
  EXPECT_THAT(trace[0], HasSubstr("cannot use the shell's window collection (error 429: "));
  EXPECT_THAT(trace[0], HasSubstr(", trying again in 5 s"));

  // It comes back: the starter waits on it, and the next failure waits five seconds again.
  browsers.failCall = nullptr;
  desktop.clock.Advance(300 * 1000);
  EXPECT_TRUE(starter.Waiting());
  EXPECT_FALSE(starter.Retrying());
  starter.CollectionLost("the shell has ended");
  EXPECT_EQ(trace.back(), "the shell has ended, trying again in 5 s");
  EXPECT_FALSE(starter.Waiting());
  desktop.clock.Advance(5000);
  EXPECT_TRUE(starter.Waiting());
}

TEST_F(StarterTest, ACollectionWithoutEventsIsNoCollection) {
  browsers.failCall = [](std::string_view call) { return call == "ShellWindows.Connect"; };
  starter.Begin();
  EXPECT_TRUE(starter.Retrying());
  EXPECT_FALSE(browsers.ShellEventsConnected());
}

TEST_F(StarterTest, ACollectionThatFailsInAnEventIsLetGoAndTakenAgain) {
  AutoLoad("True");
  starter.Begin();
  FailEnumeration();
  Open();
  EXPECT_EQ(launcher.starts, 0);
  EXPECT_EQ(trace.back(),
            "the shell's window collection failed (error -2147023174: The RPC server is "
            "unavailable.), trying again in 5 s");
  // Until the next try it hears nothing, and then it counts afresh.
  browsers.FailEnumeration(std::nullopt, PlatformError(0, ""));
  Open();
  EXPECT_EQ(launcher.starts, 0);
  desktop.clock.Advance(5000);
  EXPECT_EQ(trace.back(), "waiting for browser windows (2 open)");
  Open();
  EXPECT_EQ(launcher.starts, 1);
}

TEST_F(StarterTest, AnEndedStarterHearsNothing) {
  {
    Starter other{{[this] { return browsers.CreateShellWindowsFor("starter"); }, desktop.settings,
                   desktop.clock, launcher, [](const std::string&) {}}};
    other.Begin();
    EXPECT_TRUE(browsers.ShellEventsConnected());
  }
  EXPECT_FALSE(browsers.ShellEventsConnected());
}

}  // namespace
}  // namespace velmox
