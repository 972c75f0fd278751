#include "browser/browser_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process_end.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

using Window = std::shared_ptr<sim::SimWindow>;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct RecordingHandlers : SlotHandlers {
  std::vector<std::shared_ptr<BrowserWindow>> navigations, newWindows;
  bool fail = false;
  void SlotBeforeNavigate2(std::shared_ptr<BrowserWindow> slotWindow,
                           BeforeNavigate2Args& args) override {
    navigations.push_back(slotWindow);
    slotWindow.reset();  // a handler's copy is its own
    if (fail) throw sim::Disconnected();
    args.Cancel = true;
  }
  void SlotNewWindow2(std::shared_ptr<BrowserWindow> slotWindow, std::shared_ptr<Dispatch>&, bool&,
                      UserAction) override {
    newWindows.push_back(slotWindow);
    if (fail) throw sim::Disconnected();
  }
};

// The table on a simulated browser. Unless a test lets it unwind the run, ending the process
// fails here (and is skipped), so that what arrives afterwards can be seen.
struct BrowserTableTest : ::testing::Test {
  AppState state;
  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  sim::SimBrowsers& browsers = desktop.browsers;
  std::vector<sim::MessageBoxCall>& boxes = desktop.messageBoxes.shown;
  RecordingHandlers handlers;
  std::vector<std::string> unloads;
  int ends = 0;
  bool endUnwinds = false;
  int opened = 0;
  std::unique_ptr<BrowserTable> table;

  BrowserTableTest() {
    state.BlockingOn = true;
    desktop.process.failCall = [this] {
      ++ends;
      return !endUnwinds;
    };
    BrowserTableHooks hooks;
    hooks.UnloadSettingsDialog = [this] { unloads.push_back("dialog"); };
    hooks.UnloadMainForm = [this] { unloads.push_back("main"); };
    table = std::make_unique<BrowserTable>(state, browsers, desktop.messageBoxes, desktop.process,
                                           handlers, hooks);
  }

  // A window opens at the end of the shell's collection. The shell tells whoever listens when
  // the browser settles, as Register and Revoke do.
  Window Open(sim::SimBrowsers::OpenOptions options = {}) {
    browsers.Open("w" + std::to_string(++opened), "about:blank", options);
    return browsers.Windows().back();
  }
  Window Register(sim::SimBrowsers::OpenOptions options = {}) {
    Window window = Open(options);
    browsers.Settle();
    return window;
  }
  void Revoke(const Window& window) {
    browsers.Close(*window);
    browsers.Settle();
  }
  std::vector<Window> AddWindows(int count, const std::string& name) {
    std::vector<Window> added;
    sim::SimBrowsers::OpenOptions options;
    options.name = name;
    for (int i = 0; i < count; ++i)
      added.push_back(Open(options));
    browsers.Settle();
    return added;
  }
  std::vector<Window> AddBrowsers(int count) {
    return AddWindows(count, BrowserWindow::kBrowserName);
  }
  // Slot numbers of the given windows, 0 for untracked ones.
  std::vector<int> SlotsOf(const std::vector<Window>& windows) const {
    std::vector<int> numbers;
    for (const Window& w : windows)
      numbers.push_back(table->SlotNumberOf(w.get()));
    return numbers;
  }
  int FilledSlots() const {
    int filled = 0;
    for (int n = 1; n <= BrowserTable::kSlotCount; ++n)
      filled += table->Slot(n) != nullptr;
    return filled;
  }
  static BrowserEvents& Events(const Window& window) { return *window->Handlers().at(0); }
  void FailEnumerationAt(std::size_t item, long number, const std::string& description) {
    browsers.FailEnumeration(item, PlatformError(number, description));
  }
  void EnumerationWorks() { browsers.FailEnumeration(std::nullopt, PlatformError(0, "")); }
};

// ---- Scanning --------------------------------------------------------------------------------

TEST_F(BrowserTableTest, FortyOneWindowsFillFortySlotsInEnumerationOrder) {
  table->CreateSWs();
  const auto windows = AddBrowsers(41);
  table->FindIEWindows();
  for (int n = 1; n <= 40; ++n) {
    EXPECT_EQ(table->Slot(n), windows[n - 1]) << n;
    EXPECT_TRUE(windows[n - 1]->Tracked()) << n;
  }
  EXPECT_EQ(table->SlotNumberOf(windows[40].get()), 0);
  EXPECT_FALSE(windows[40]->Tracked());
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
  EXPECT_FALSE(others1[0]->Tracked());
  EXPECT_EQ(table->LastBrowser(), b[0]);
  EXPECT_EQ(FilledSlots(), 2);
}

TEST_F(BrowserTableTest, EveryScanDealsTheSlotsAfresh) {
  table->CreateSWs();
  auto windows = AddBrowsers(3);
  table->FindIEWindows();
  Revoke(windows[0]);
  EXPECT_THAT(SlotsOf(windows), ElementsAre(0, 1, 2));
  EXPECT_FALSE(windows[0]->Tracked());
  EXPECT_EQ(table->Slot(3), nullptr);
  Window late = Register();
  EXPECT_EQ(table->SlotNumberOf(late.get()), 3);
  EXPECT_EQ(table->LastBrowser(), late);
}

TEST_F(BrowserTableTest, WithoutACollectionNothingIsFoundAndNothingIsAsked) {
  browsers.failCall = [](std::string_view call) { return call == "CreateShellWindows"; };
  EXPECT_THROW(table->CreateSWs(), PlatformError);
  EXPECT_EQ(table->SWs(), nullptr);
  table->FindIEWindows();
  table->Timer1_Timer();
  EXPECT_EQ(FilledSlots(), 0);
  EXPECT_THAT(boxes, IsEmpty());

  browsers.failCall = [](std::string_view call) { return call == "ShellWindows.Connect"; };
  EXPECT_THROW(table->CreateSWs(), PlatformError);
  EXPECT_EQ(table->SWs(), nullptr);
}

// ---- Slot events ------------------------------------------------------------------------------

TEST_F(BrowserTableTest, EachSlotPassesItsOwnWindowToTheHandlers) {
  table->CreateSWs();
  auto windows = AddBrowsers(40);
  table->FindIEWindows();
  BeforeNavigate2Args args;
  Events(windows[39]).BeforeNavigate2(args);
  std::shared_ptr<Dispatch> ppDisp;
  bool cancel = false;
  Events(windows[0]).NewWindow2(ppDisp, cancel, UserAction::Unknown);
  EXPECT_THAT(handlers.navigations, ElementsAre(windows[39]));
  EXPECT_THAT(handlers.newWindows, ElementsAre(windows[0]));
  EXPECT_TRUE(args.Cancel);
  EXPECT_EQ(table->Slot(40), windows[39]);  // the handler's reset touched only its copy

  // After a rescan that moves it, the window still reports as itself.
  Revoke(windows[0]);
  Events(windows[39]).BeforeNavigate2(args);
  EXPECT_EQ(handlers.navigations.back(), windows[39]);
  EXPECT_EQ(table->SlotNumberOf(windows[39].get()), 39);

  handlers.fail = true;
  EXPECT_NO_THROW(Events(windows[39]).BeforeNavigate2(args));
  EXPECT_NO_THROW(Events(windows[39]).NewWindow2(ppDisp, cancel, UserAction::Unknown));
}

// ---- Failure during a scan --------------------------------------------------------------------

TEST_F(BrowserTableTest, AFailedScanAnsweredYesKeepsTheWindowsFoundBeforeIt) {
  table->CreateSWs();
  auto windows = AddBrowsers(5);
  FailEnumerationAt(4, static_cast<long>(0x80010108), "The object invoked has disconnected");
  table->FindIEWindows();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].style, MessageBoxes::kYesNo | MessageBoxes::kIconStop);
  EXPECT_THAT(SlotsOf(windows), ElementsAre(1, 2, 3, 0, 0));
  EXPECT_EQ(table->LastBrowser(), windows[2]);
  EXPECT_EQ(ends, 0);

  // The next scan without the fault tracks them all again.
  EnumerationWorks();
  Register();
  EXPECT_EQ(FilledSlots(), 6);
}

TEST_F(BrowserTableTest, AFailedScanAnsweredNoEndsAtOnceWithoutUnloading) {
  state.OptionValues.AutoClose = true;
  table->CreateSWs();
  Window window = Register();
  FailEnumerationAt(1, 91, "Object variable or With block variable not set");
  desktop.messageBoxes.answer = [](const sim::MessageBoxCall&) { return MessageBoxes::kIdNo; };
  Revoke(window);  // a revoke whose scan fails
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(table->Ended());
  EXPECT_THAT(unloads, IsEmpty());
  // Whatever still arrives before the process is gone changes nothing.
  EnumerationWorks();
  Register();
  table->Timer1_Timer();
  EXPECT_EQ(FilledSlots(), 0);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(BrowserTableTest, AnEndThatUnwindsTheRunPassesThroughUntouched) {
  state.OptionValues.AutoClose = true;
  endUnwinds = true;
  desktop.messageBoxes.answer = [](const sim::MessageBoxCall&) { return MessageBoxes::kIdNo; };
  table->CreateSWs();
  Window window = Register();
  FailEnumerationAt(1, 5, "Invalid procedure call or argument");
  EXPECT_THROW(Revoke(window), sim::ProcessEnded);
  EXPECT_EQ(ends, 1);
  EXPECT_THAT(unloads, IsEmpty());
}

TEST_F(BrowserTableTest, NameAndConnectionFailuresAlsoStopTheScan) {
  table->CreateSWs();
  auto windows = AddBrowsers(3);
  windows[1]->Scope()->failCall = [](std::string_view member) { return member == "Connect"; };
  table->FindIEWindows();
  EXPECT_THAT(SlotsOf(windows), ElementsAre(1, 0, 0));
  EXPECT_EQ(table->LastBrowser(), windows[0]);
  windows[1]->Scope()->failCall = nullptr;
  browsers.FailWindow(*windows[0], sim::Disconnected());
  table->FindIEWindows();
  EXPECT_THAT(SlotsOf(windows), ElementsAre(0, 0, 0));
  EXPECT_EQ(table->LastBrowser(), nullptr);
  EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(BrowserTableTest, ARescanAskedForInsideTheErrorBoxRunsAfterIt) {
  table->CreateSWs();
  AddBrowsers(2);
  FailEnumerationAt(2, 5, "Invalid procedure call or argument");
  bool first = true;
  desktop.messageBoxes.answer = [&](const sim::MessageBoxCall&) {
    if (std::exchange(first, false)) {
      EnumerationWorks();
      Register();  // events arrive in the box's message loop
    }
    return MessageBoxes::kIdYes;
  };
  table->FindIEWindows();
  EXPECT_EQ(FilledSlots(), 3);
  EXPECT_EQ(boxes.size(), 1u);
}

// ---- Events that arrive inside the table's own calls -------------------------------------------

// Every call into the browser may let the browser's events in before it returns. Whatever
// arrives then, each window ends up in one slot with one connection of its own, in order.
TEST_F(BrowserTableTest, AWindowClosingInsideAScanLeavesEveryWindowInOneSlot) {
  table->CreateSWs();
  auto windows = AddBrowsers(4);
  table->FindIEWindows();
  struct Trigger {
    std::size_t window;
    const char* member;
    std::size_t closes;
  };
  // While the scan reads the name of the second window, connects it, or lets go of it (the
  // sim has no call for that: its Name is read right after), the first one closes.
  for (const Trigger trigger : {Trigger{1, "Name", 0}, Trigger{2, "Connect", 1}}) {
    bool fired = false;
    const Window closing = windows[trigger.closes];
    windows[trigger.window]->Scope()->failCall = [&](std::string_view member) {
      if (member == trigger.member && !std::exchange(fired, true)) Revoke(closing);
      return false;
    };
    Register();
    EXPECT_TRUE(fired) << trigger.member;
    windows[trigger.window]->Scope()->failCall = nullptr;
  }
  // Windows 0 and 1 have closed; 2 and 3 and the two registered ones are tracked once each.
  std::vector<Window> open(windows.begin() + 2, windows.end());
  open.push_back(browsers.Windows().at(2));
  open.push_back(browsers.Windows().at(3));
  EXPECT_THAT(SlotsOf(open), ElementsAre(1, 2, 3, 4));
  for (const Window& w : open)
    EXPECT_EQ(w->Handlers().size(), 1u) << w->Label();
  EXPECT_EQ(FilledSlots(), 4);

  // Each window's events come with that window, whatever happened to the slots in between.
  BeforeNavigate2Args args;
  for (const Window& w : open)
    Events(w).BeforeNavigate2(args);
  EXPECT_THAT(handlers.navigations, ElementsAre(open[0], open[1], open[2], open[3]));
}

TEST_F(BrowserTableTest, AScanAskedForWhileTheErrorBoxIsUpWaitsForTheAnswer) {
  table->CreateSWs();
  AddBrowsers(2);
  FailEnumerationAt(2, 5, "Invalid procedure call or argument");
  std::vector<std::size_t> shownWhenAnswered;
  desktop.messageBoxes.answer = [&](const sim::MessageBoxCall&) {
    shownWhenAnswered.push_back(boxes.size());
    if (shownWhenAnswered.size() == 1) Register();  // fails the same way, in the box's loop
    if (shownWhenAnswered.size() == 2) EnumerationWorks();
    return MessageBoxes::kIdYes;
  };
  table->FindIEWindows();
  // One box at a time: the second scan ran after the first box was answered.
  EXPECT_THAT(shownWhenAnswered, ElementsAre(1u, 2u));
  EXPECT_EQ(FilledSlots(), 1);  // the second scan failed at the same place

  Register();
  EXPECT_EQ(FilledSlots(), 4);
  EXPECT_EQ(boxes.size(), 2u);
}

// A revoke that arrives while a registered window is adjusted is handled after the adjustment,
// with its own scan.
TEST_F(BrowserTableTest, AnEventArrivingDuringTheAdjustmentIsHandledAfterIt) {
  state.OptionValues.FullScreen = true;
  table->CreateSWs();
  Window other = Register();
  sim::SimBrowsers::OpenOptions fullScreen;
  fullScreen.features.FullScreen = true;
  Window window = Open(fullScreen);
  std::vector<std::string> calls;
  window->Scope()->failCall = [&](std::string_view member) {
    calls.emplace_back(member);
    if (member == "FullScreen") Revoke(other);  // while the property is read
    return false;
  };
  browsers.Settle();
  EXPECT_THAT(calls, ElementsAre("Name", "Connect", "FullScreen", "SetFullScreen", "ToolBar",
                                 "MenuBar", "StatusBar", "TheaterMode", "Name", "Connect"));
  EXPECT_THAT(window->writes, ElementsAre("FullScreen=False"));
  EXPECT_THAT(SlotsOf({other, window}), ElementsAre(0, 1));
}

// ---- Registered windows -----------------------------------------------------------------------

// Each rule acts only when its setting is on, and only on the last browser window found.
TEST_F(BrowserTableTest, EachRuleActsOnlyWhenItsSettingIsOn) {
  table->CreateSWs();
  sim::SimBrowsers::OpenOptions breaksEveryRule;
  breaksEveryRule.features = {
      .TheaterMode = true, .FullScreen = true, .MenuBar = false, .StatusBar = false, .ToolBar = 0};
  Window earlier = Register(breaksEveryRule);
  struct Rule {
    bool OptionRecord::*setting;
    const char* write;
  };
  const Rule rules[] = {
      {&OptionRecord::FullScreen, "FullScreen=False"},
      {&OptionRecord::ToolBar, "ToolBar=-1"},
      {&OptionRecord::MenuBar, "MenuBar=True"},
      {&OptionRecord::StatusBar, "StatusBar=True"},
      {&OptionRecord::TheaterMode, "TheaterMode=False"},
  };
  for (const Rule& rule : rules) {
    for (bool on : {false, true}) {
      state.OptionValues = OptionRecord{};
      state.OptionValues.*rule.setting = on;
      Window window = Register(breaksEveryRule);
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
  state.OptionValues.FullScreen = state.OptionValues.MenuBar = true;
  table->CreateSWs();
  sim::SimBrowsers::OpenOptions noMenuBar;
  noMenuBar.features.MenuBar = false;
  Window window = Open(noMenuBar);
  window->Scope()->failCall = [](std::string_view member) { return member == "FullScreen"; };
  browsers.Settle();
  EXPECT_THAT(window->writes, ElementsAre("MenuBar=True"));

  // A window that closes right after the scan has connected it: every rule fails, nothing
  // escapes, and the window stays tracked until the next scan.
  Window closed = Open();
  closed->Scope()->failCall = [](std::string_view member) {
    return member == "FullScreen" || member == "ToolBar" || member == "MenuBar" ||
           member == "StatusBar" || member == "TheaterMode";
  };
  EXPECT_NO_THROW(browsers.Settle());
  EXPECT_THAT(closed->writes, IsEmpty());
  EXPECT_EQ(table->SlotNumberOf(closed.get()), 2);
  EXPECT_THAT(boxes, IsEmpty());
}

// ---- Auto-close -------------------------------------------------------------------------------

TEST_F(BrowserTableTest, OnlyARevokeThatLeavesNoBrowserClosesAndOnlyWithAutoClose) {
  table->CreateSWs();
  Revoke(Register());
  EXPECT_THAT(unloads, IsEmpty());
  EXPECT_EQ(FilledSlots(), 0);
  state.OptionValues.AutoClose = true;
  AddWindows(1, "Windows Explorer");
  EXPECT_THAT(unloads, IsEmpty());
}

TEST_F(BrowserTableTest, AFailingDialogUnloadStillUnloadsTheMainForm) {
  state.OptionValues.AutoClose = true;
  BrowserTableHooks hooks;
  hooks.UnloadSettingsDialog = [] { throw sim::Disconnected(); };
  hooks.UnloadMainForm = [this] {
    unloads.push_back("main");
    table.reset();  // the main form owns the table
  };
  table = std::make_unique<BrowserTable>(state, browsers, desktop.messageBoxes, desktop.process,
                                         handlers, hooks);
  table->CreateSWs();
  Revoke(Register());
  EXPECT_THAT(unloads, ElementsAre("main"));
  EXPECT_EQ(table, nullptr);
  EXPECT_FALSE(browsers.ShellEventsConnected());
}

// ---- Address-bar timer ------------------------------------------------------------------------

TEST_F(BrowserTableTest, TheTimerShowsTheAddressBarOfEveryWindowWhateverItsName) {
  auto browsersShown = AddBrowsers(41);
  auto others = AddWindows(1, "Windows Explorer");
  auto closed = AddBrowsers(1);
  auto after = AddWindows(1, "");
  browsers.FailWindow(*closed[0], sim::Disconnected());
  table->CreateSWs();
  table->Timer1_Timer();
  for (const Window& w : browsersShown)
    EXPECT_THAT(w->writes, ElementsAre("AddressBar=True"));
  EXPECT_THAT(others[0]->writes, ElementsAre("AddressBar=True"));
  EXPECT_THAT(after[0]->writes, ElementsAre("AddressBar=True"));
  EXPECT_EQ(FilledSlots(), 0);  // the timer does not scan

  FailEnumerationAt(1, 5, "Invalid procedure call or argument");
  EXPECT_NO_THROW(table->Timer1_Timer());
}

}  // namespace
}  // namespace velmox
