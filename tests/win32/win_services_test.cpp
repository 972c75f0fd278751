#include "platform/win32/win_services.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/win32/win_timers.h"
#include "win32/win_test_support.h"

namespace velmox::win32 {
namespace {

TEST(WinRandomTest, DrawsAreInTheUnitIntervalAndDoNotRepeat) {
  WinRandom random;
  std::set<double> seen;
  for (int i = 0; i < 200; ++i) {
    const double value = random.NextUniform();
    ASSERT_GE(value, 0.0);
    ASSERT_LT(value, 1.0);
    seen.insert(value);
  }
  EXPECT_EQ(200u, seen.size());
}

TEST(WinClockTest, TheTimeOfDayAgreesWithTheSystemClock) {
  WinClock clock;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const double seconds = clock.SecondsSinceMidnight();
  const double expected = now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond;
  EXPECT_GE(seconds, 0.0);
  EXPECT_LT(seconds, 86400.0);
  // Around midnight the two readings may fall on different days.
  if (expected < 86398) {
    EXPECT_NEAR(expected, seconds, 2.0);
  }
}

TEST(WinSingleInstanceTest, OnlyTheFirstHolderOfTheNameRuns) {
  const std::string name = "Local\\VelmoxTest" + std::to_string(GetCurrentProcessId());
  auto first = std::make_unique<WinSingleInstance>(name);
  EXPECT_FALSE(first->AnotherInstanceRunning());
  WinSingleInstance second(name);
  EXPECT_TRUE(second.AnotherInstanceRunning());
  first.reset();
  WinSingleInstance third(name);
  EXPECT_FALSE(third.AnotherInstanceRunning());
}

TEST(ExecutableFolderTest, IsTheFolderOfTheRunningProgram) {
  const std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE('\\', folder.back());
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(WinTimersTest, AnEnabledTimerTicksThroughTheMessageLoopAndStopsWhenDisabled) {
  WinTimers timers;
  int ticks = 0;
  auto timer = timers.CreateTimer(20, [&] { ++ticks; });
  EXPECT_FALSE(timer->Enabled());
  EXPECT_FALSE(test::PumpUntil([&] { return ticks > 0; }, std::chrono::milliseconds(150)));

  timer->SetEnabled(true);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_TRUE(test::PumpUntil([&] { return ticks >= 2; }, std::chrono::seconds(5)));

  timer->SetEnabled(false);
  const int stoppedAt = ticks;
  test::PumpUntil([] { return false; }, std::chrono::milliseconds(150));
  EXPECT_EQ(stoppedAt, ticks);
}

TEST(WinTimersTest, ATickMayDestroyItsOwnTimer) {
  WinTimers timers;
  std::unique_ptr<Timer> timer;
  int ticks = 0;
  timer = timers.CreateTimer(10, [&] {
    ++ticks;
    timer.reset();
  });
  timer->SetEnabled(true);
  EXPECT_TRUE(test::PumpUntil([&] { return !timer; }, std::chrono::seconds(5)));
  test::PumpUntil([] { return false; }, std::chrono::milliseconds(100));
  EXPECT_EQ(1, ticks);
}

}  // namespace
}  // namespace velmox::win32
