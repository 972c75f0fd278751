#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/desktop_services.h"

namespace velmox::sim {

// The simulated desktop's virtual clock and its timers. Time moves only when told to, so "three
// seconds later" takes no time; timers fire in the order they fall due.
class SimClock : public Clock, public Timers {
 public:
  // `startOfDay`: the time of day, in seconds since midnight, at virtual millisecond 0.
  explicit SimClock(double startOfDay = 9 * 3600.0) : startOfDay_(startOfDay) {}

  // The virtual clock's end, some 30,000 years on: nothing waits past it, so that no time
  // computed from the clock overflows.
  static constexpr std::int64_t kLastMs = 1'000'000'000'000'000;

  std::int64_t NowMs() const { return nowMs_; }
  void SetTimeOfDay(double secondsSinceMidnight);

  // Moves the clock forward, firing every timer tick that falls due on the way, in order.
  void Advance(std::int64_t ms);

  double SecondsSinceMidnight() override;
  std::unique_ptr<Timer> CreateTimer(int intervalMs, std::function<void()> onTick) override;

 private:
  struct Entry {
    int intervalMs;
    bool enabled = false;
    std::int64_t dueMs = 0;
    std::function<void()> onTick;
    bool alive = true;
  };
  class SimTimer;

  std::shared_ptr<Entry> NextDue(std::int64_t limitMs) const;

  double startOfDay_;
  std::int64_t nowMs_ = 0;
  std::vector<std::shared_ptr<Entry>> timers_;
};

}  // namespace velmox::sim
