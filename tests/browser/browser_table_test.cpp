#include "browser/browser_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/fake_browser.h"

namespace velmox {
namespace {

using test::FakeShellWindows;
using test::FakeWindow;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct RecordingHandlers : SlotHandlers {
  std::vector<std::shared_ptr<BrowserWindow>> navigations, newWindows;
  bool fail = false;
  void SlotBeforeNavigate2(std::shared_ptr<BrowserWindow> slotWindow,
                           BeforeNavigate2Args& args) override {
    navigations.push_back(slotWindow);
    slotWindow.reset();  // a handler's copy is its own
    if (fail) throw test::GoneError();
    args.Cancel = true;
  }
  void SlotNewWindow2(std::shared_ptr<BrowserWindow> slotWindow, std::shared_ptr<Dispatch>&,
                      bool&) override {
    newWindows.push_back(slotWindow);
    if (fail) throw test::GoneError();
  }
};

struct FakeMessageBoxes : MessageBoxes {
  struct Shown {
    std::string text, title;
    unsigned style;
  };
  std::vector<Shown> shown;
  int answer = kIdYes;
  std::function<void()> whileShown;  // events that arrive in the box's message loop
  int MessageBoxA(std::uintptr_t, const std::string& text, const std::string& title,
                  unsigned style) override {
    shown.push_back({text, title, style});
    if (whileShown) whileShown();
    return answer;
  }
};

struct RunEnded {};  // what a desktop that unwinds the run at its end throws: no failure

struct FakeProcess : Process {
  int ended = 0;
  bool unwind = false;
  void EndNow() override {
    ++ended;
    if (unwind) throw RunEnded{};
  }
};

struct BrowserTableTest : ::testing::Test {
  AppState state;
  test::FakeBrowserAutomation browsers;
  FakeShellWindows& shell = *browsers.shellWindows;
  FakeMessageBoxes boxes;
  FakeProcess process;
  RecordingHandlers handlers;
  std::vector<std::string> unloads;
  std::unique_ptr<BrowserTable> table;

  BrowserTableTest() {
    state.BlockingOn = true;
    BrowserTableHooks hooks;
    hooks.UnloadSettingsDialog = [this] { unloads.push_back("dialog"); };
    hooks.UnloadMainForm = [this] { unloads.push_back("main"); };
    table = std::make_unique<BrowserTable>(state, browsers, boxes, process, handlers, hooks);
  }

  std::vector<std::shared_ptr<FakeWindow>> AddWindows(int count, const std::string& name) {
    std::vector<std::shared_ptr<FakeWindow>> added;
    for (int i = 0; i < count; ++i) {
      auto window = std::make_shared<FakeWindow>();
      window->name = name;
      shell.windows.push_back(window);
      added.push_back(window);
    }
    return added;
  }
  std::vector<std::shared_ptr<FakeWindow>> AddBrowsers(int count) {
    return AddWindows(count, BrowserWindow::kBrowserName);
  }
  // Slot numbers of the given windows, 0 for untracked ones.
  std::vector<int> SlotsOf(const std::vector<std::shared_ptr<FakeWindow>>& windows) const {
    std::vector<int> numbers;
    for (const auto& w : windows)
      numbers.push_back(table->SlotNumberOf(w.get()));
    return numbers;
  }
  int FilledSlots() const {
    int filled = 0;
    for (int n = 1; n <= BrowserTable::kSlotCount; ++n)
      filled += table->Slot(n) != nullptr;
    return filled;
  }
};

// ---- Scanning --------------------------------------------------------------------------------

TEST_F(BrowserTableTest, FortyOneWindowsFillFortySlotsInEnumerationOrder) {
  table->CreateSWs();
  const auto windows = AddBrowsers(41);
  table->FindIEWindows();
  for (int n = 1; n <= 40; ++n) {
    EXPECT_EQ(table->Slot(n), windows[n - 1]) << n;
    EXPECT_NE(windows[n - 1]->events, nullptr) << n;
  }
  EXPECT_EQ(table->SlotNumberOf(windows[40].get()), 0);
  EXPECT_EQ(windows[40]->events, nullptr);
  EXPECT_EQ(table->LastBrowser(), windows[39]);
}

TEST_F(BrowserTableTest, OtherNamesTakeNoSlotAndDoNotAdvanceTheCounter) {
  table->CreateSWs();
  const auto a = AddBrowsers(1);
  const auto others1 = AddWindows(1, "microsoft internet explorer");
  const auto others2 = AddWindows(1, "Microsoft Internet Explorer ");
  const auto b = AddBrowsers(1);
  const auto others3 = AddWindows(1, "Windows Explorer");
  table->FindIEWindows();
  EXPECT_THAT(SlotsOf({a[0], others1[0], others2[0], b[0], others3[0]}),
              ElementsAre(1, 0, 0, 2, 0));
  EXPECT_EQ(others1[0]->events, nullptr);
  EXPECT_EQ(table->LastBrowser(), b[0]);
  EXPECT_EQ(FilledSlots(), 2);
}

TEST_F(BrowserTableTest, EveryScanDealsTheSlotsAfresh) {
  table->CreateSWs();
  auto windows = AddBrowsers(3);
  table->FindIEWindows();
  shell.Revoke(windows[0]);
  EXPECT_THAT(SlotsOf(windows), ElementsAre(0, 1, 2));
  EXPECT_EQ(windows[0]->events, nullptr);
  EXPECT_EQ(table->Slot(3), nullptr);
  auto late = shell.Register();
  EXPECT_EQ(table->SlotNumberOf(late.get()), 3);
  EXPECT_EQ(table->LastBrowser(), late);
}

TEST_F(BrowserTableTest, WithoutACollectionNothingIsFoundAndNothingIsAsked) {
  browsers.failShellWindows = true;
  EXPECT_THROW(table->CreateSWs(), PlatformError);
  EXPECT_EQ(table->SWs(), nullptr);
  table->FindIEWindows();
  table->Timer1_Timer();
  EXPECT_EQ(FilledSlots(), 0);
  EXPECT_THAT(boxes.shown, IsEmpty());

  browsers.failShellWindows = false;
  shell.failConnect = true;
  EXPECT_THROW(table->CreateSWs(), PlatformError);
  EXPECT_EQ(table->SWs(), nullptr);
}

// ---- Slot events ------------------------------------------------------------------------------

TEST_F(BrowserTableTest, EachSlotPassesItsOwnWindowToTheHandlers) {
  table->CreateSWs();
  auto windows = AddBrowsers(40);
  table->FindIEWindows();
  BeforeNavigate2Args args;
  windows[39]->events->BeforeNavigate2(args);
  std::shared_ptr<Dispatch> ppDisp;
  bool cancel = false;
  windows[0]->events->NewWindow2(ppDisp, cancel);
  EXPECT_THAT(handlers.navigations, ElementsAre(windows[39]));
  EXPECT_THAT(handlers.newWindows, ElementsAre(windows[0]));
  EXPECT_TRUE(args.Cancel);
  EXPECT_EQ(table->Slot(40), windows[39]);  // the handler's reset touched only its copy

  // After a rescan that moves it, the window still reports as itself.
  shell.Revoke(windows[0]);
  windows[39]->events->BeforeNavigate2(args);
  EXPECT_EQ(handlers.navigations.back(), windows[39]);
  EXPECT_EQ(table->SlotNumberOf(windows[39].get()), 39);

  handlers.fail = true;
  EXPECT_NO_THROW(windows[39]->events->BeforeNavigate2(args));
  EXPECT_NO_THROW(windows[39]->events->NewWindow2(ppDisp, cancel));
}

// ---- Failure during a scan --------------------------------------------------------------------

TEST_F(BrowserTableTest, AFailedScanAnsweredYesKeepsTheWindowsFoundBeforeIt) {
  table->CreateSWs();
  auto windows = AddBrowsers(5);
  shell.FailAt(3, static_cast<long>(0x80010108), "The object invoked has disconnected");
  table->FindIEWindows();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].style, MessageBoxes::kYesNo | MessageBoxes::kIconStop);
  EXPECT_THAT(SlotsOf(windows), ElementsAre(1, 2, 3, 0, 0));
  EXPECT_EQ(table->LastBrowser(), windows[2]);
  EXPECT_EQ(process.ended, 0);

  // The next scan without the fault tracks them all again.
  shell.failAtItem.reset();
  shell.Register();
  EXPECT_EQ(FilledSlots(), 6);
}

TEST_F(BrowserTableTest, AFailedScanAnsweredNoEndsAtOnceWithoutUnloading) {
  state.OptionValues.AutoClose = true;
  table->CreateSWs();
  AddBrowsers(1);
  shell.FailAt(0, 91, "Object variable or With block variable not set");
  boxes.answer = MessageBoxes::kIdNo;
  shell.Revoke(shell.windows[0]);  // a revoke whose scan fails
  EXPECT_EQ(process.ended, 1);
  EXPECT_TRUE(table->Ended());
  EXPECT_THAT(unloads, IsEmpty());
  // Whatever still arrives before the process is gone changes nothing.
  shell.failAtItem.reset();
  shell.Register();
  table->Timer1_Timer();
  EXPECT_EQ(FilledSlots(), 0);
  EXPECT_EQ(process.ended, 1);
  EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(BrowserTableTest, AnEndThatUnwindsTheRunPassesThroughUntouched) {
  state.OptionValues.AutoClose = true;
  process.unwind = true;
  boxes.answer = MessageBoxes::kIdNo;
  table->CreateSWs();
  shell.Register();
  shell.FailAt(0, 5, "Invalid procedure call or argument");
  EXPECT_THROW(shell.Revoke(shell.windows[0]), RunEnded);
  EXPECT_EQ(process.ended, 1);
  EXPECT_THAT(unloads, IsEmpty());
}

TEST_F(BrowserTableTest, NameAndConnectionFailuresAlsoStopTheScan) {
  table->CreateSWs();
  auto windows = AddBrowsers(3);
  windows[1]->failConnect = true;
  table->FindIEWindows();
  EXPECT_THAT(SlotsOf(windows), ElementsAre(1, 0, 0));
  EXPECT_EQ(table->LastBrowser(), windows[0]);
  windows[1]->failConnect = false;
  windows[0]->failing = true;
  table->FindIEWindows();
  EXPECT_THAT(SlotsOf(windows), ElementsAre(0, 0, 0));
  EXPECT_EQ(table->LastBrowser(), nullptr);
  EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(BrowserTableTest, ARescanInsideTheErrorBoxWins) {
  table->CreateSWs();
  auto windows = AddBrowsers(2);
  shell.FailAt(1, 5, "Invalid procedure call or argument");
  boxes.whileShown = [&] {
    boxes.whileShown = nullptr;
    shell.failAtItem.reset();
    shell.Register();
  };
  table->FindIEWindows();
  EXPECT_EQ(FilledSlots(), 3);
  EXPECT_EQ(boxes.shown.size(), 1u);
}

// ---- Registered windows -----------------------------------------------------------------------

// Each rule acts only when its setting is on, and only on the last browser window found.
TEST_F(BrowserTableTest, EachRuleActsOnlyWhenItsSettingIsOn) {
  table->CreateSWs();
  auto earlier = std::make_shared<FakeWindow>();
  struct Rule {
    bool OptionRecord::*setting;
    std::function<void(FakeWindow&)> breakRule;
    const char* write;
  };
  const Rule rules[] = {
      {&OptionRecord::FullScreen, [](FakeWindow& w) { w.fullScreen = true; }, "FullScreen=0"},
      {&OptionRecord::ToolBar, [](FakeWindow& w) { w.toolBar = 0; }, "ToolBar=-1"},
      {&OptionRecord::MenuBar, [](FakeWindow& w) { w.menuBar = false; }, "MenuBar=1"},
      {&OptionRecord::StatusBar, [](FakeWindow& w) { w.statusBar = false; }, "StatusBar=1"},
      {&OptionRecord::TheaterMode, [](FakeWindow& w) { w.theaterMode = true; }, "TheaterMode=0"},
  };
  for (const Rule& rule : rules) {
    for (bool on : {false, true}) {
      state.OptionValues = OptionRecord{};
      state.OptionValues.*rule.setting = on;
      auto window = std::make_shared<FakeWindow>();
      for (const Rule& other : rules) {
        other.breakRule(*window);
        other.breakRule(*earlier);
      }
      shell.windows = {earlier};
      shell.Register(window);
      if (on) {
        EXPECT_THAT(window->writes, ElementsAre(rule.write));
      } else {
        EXPECT_THAT(window->writes, IsEmpty()) << rule.write;
      }
    }
  }
  EXPECT_THAT(earlier->writes, IsEmpty());
}

TEST_F(BrowserTableTest, ARuleWhoseCallFailsIsSkippedAndTheOthersStillApply) {
  struct NoFullScreen : FakeWindow {
    bool FullScreen() override { throw test::GoneError(); }
  };
  state.OptionValues.FullScreen = state.OptionValues.MenuBar = true;
  table->CreateSWs();
  auto window = std::make_shared<NoFullScreen>();
  window->menuBar = false;
  shell.Register(window);
  EXPECT_THAT(window->writes, ElementsAre("MenuBar=1"));

  // A window that closes right after the scan has connected it: every rule fails, nothing
  // escapes, and the window stays tracked until the next scan.
  struct ClosedAfterScan : FakeWindow {
    bool FullScreen() override { throw test::GoneError(); }
    int ToolBar() override { throw test::GoneError(); }
    bool MenuBar() override { throw test::GoneError(); }
    bool StatusBar() override { throw test::GoneError(); }
    bool TheaterMode() override { throw test::GoneError(); }
  };
  auto closed = std::make_shared<ClosedAfterScan>();
  EXPECT_NO_THROW(shell.Register(closed));
  EXPECT_THAT(closed->writes, IsEmpty());
  EXPECT_EQ(table->SlotNumberOf(closed.get()), 2);
  EXPECT_THAT(boxes.shown, IsEmpty());
}

// ---- Auto-close -------------------------------------------------------------------------------

TEST_F(BrowserTableTest, OnlyARevokeThatLeavesNoBrowserClosesAndOnlyWithAutoClose) {
  table->CreateSWs();
  shell.Revoke(shell.Register());
  EXPECT_THAT(unloads, IsEmpty());
  EXPECT_EQ(FilledSlots(), 0);
  state.OptionValues.AutoClose = true;
  auto explorer = std::make_shared<FakeWindow>();
  explorer->name = "Windows Explorer";
  shell.Register(explorer);
  EXPECT_THAT(unloads, IsEmpty());
}

TEST_F(BrowserTableTest, AFailingDialogUnloadStillUnloadsTheMainForm) {
  state.OptionValues.AutoClose = true;
  BrowserTableHooks hooks;
  hooks.UnloadSettingsDialog = [] { throw test::GoneError(); };
  hooks.UnloadMainForm = [this] {
    unloads.push_back("main");
    table.reset();  // the main form owns the table
  };
  table = std::make_unique<BrowserTable>(state, browsers, boxes, process, handlers, hooks);
  table->CreateSWs();
  shell.Revoke(shell.Register());
  EXPECT_THAT(unloads, ElementsAre("main"));
  EXPECT_EQ(table, nullptr);
  EXPECT_EQ(shell.events, nullptr);
}

// ---- Address-bar timer ------------------------------------------------------------------------

TEST_F(BrowserTableTest, TheTimerShowsTheAddressBarOfEveryWindowWhateverItsName) {
  table->CreateSWs();
  auto browsersShown = AddBrowsers(41);
  auto others = AddWindows(1, "Windows Explorer");
  auto closed = AddBrowsers(1);
  auto after = AddWindows(1, "");
  closed[0]->failing = true;
  table->Timer1_Timer();
  for (const auto& w : browsersShown)
    EXPECT_THAT(w->writes, ElementsAre("AddressBar=1"));
  EXPECT_THAT(others[0]->writes, ElementsAre("AddressBar=1"));
  EXPECT_THAT(after[0]->writes, ElementsAre("AddressBar=1"));
  EXPECT_EQ(FilledSlots(), 0);  // the timer does not scan

  shell.failEnumerate = true;
  EXPECT_NO_THROW(table->Timer1_Timer());
}

}  // namespace
}  // namespace velmox
