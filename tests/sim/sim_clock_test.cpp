#include "platform/sim/sim_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmox::sim {
namespace {

TEST(SimClock, TimersFireInTheOrderTheyFallDue) {
  SimClock clock;
  std::vector<std::string> ticks;
  auto stamp = [&](const char* name) {
    return [&, name] { ticks.push_back(name + std::to_string(clock.NowMs())); };
  };
  auto slow = clock.CreateTimer(500, stamp("slow@"));
  auto fast = clock.CreateTimer(300, stamp("fast@"));
  auto idle = clock.CreateTimer(100, stamp("idle@"));
  slow->SetEnabled(true);
  fast->SetEnabled(true);
  clock.Advance(1000);
  EXPECT_EQ(ticks, (std::vector<std::string>{"fast@300", "slow@500", "fast@600", "fast@900",
                                             "slow@1000"}));
  EXPECT_EQ(clock.NowMs(), 1000);
}

TEST(SimClock, TimerCountsFromWhenItIsEnabled) {
  SimClock clock;
  int ticks = 0;
  auto timer = clock.CreateTimer(3000, [&] { ++ticks; });
  clock.Advance(2000);
  timer->SetEnabled(true);
  timer->SetEnabled(true);  // enabling again does not restart it
  clock.Advance(2999);
  EXPECT_EQ(ticks, 0);
  clock.Advance(1);
  EXPECT_EQ(ticks, 1);
  timer->SetEnabled(false);
  clock.Advance(10000);
  EXPECT_EQ(ticks, 1);
}

TEST(SimClock, TickMayDestroyItsOwnTimer) {
  SimClock clock;
  int ticks = 0;
  std::unique_ptr<Timer> timer;
  timer = clock.CreateTimer(100, [&] {
    ++ticks;
    timer.reset();
  });
  timer->SetEnabled(true);
  clock.Advance(1000);
  EXPECT_EQ(ticks, 1);
}

TEST(SimClock, WaitInsideATickNeverTurnsTimeBack) {
  // A tick that opens a modal window lets the script wait inside it.
  SimClock clock;
  bool waited = false;
  auto timer = clock.CreateTimer(500, [&] {
    if (waited) return;
    waited = true;
    clock.Advance(5000);
  });
  timer->SetEnabled(true);
  clock.Advance(1000);
  EXPECT_EQ(clock.NowMs(), 5500);
}

TEST(SimClock, TimeOfDayFollowsTheVirtualClock) {
  SimClock clock(23 * 3600.0 + 59 * 60 + 59);
  clock.Advance(1500);
  EXPECT_DOUBLE_EQ(clock.SecondsSinceMidnight(), 0.5);
  clock.SetTimeOfDay(12 * 3600.0);
  clock.Advance(250);
  EXPECT_DOUBLE_EQ(clock.SecondsSinceMidnight(), 12 * 3600.0 + 0.25);
}

}  // namespace
}  // namespace velmox::sim
