#include "platform/sim/sim_clock.h"

#include <cmath>

namespace velmox::sim {

class SimClock::SimTimer : public Timer {
 public:
  SimTimer(SimClock& clock, std::shared_ptr<Entry> entry)
      : clock_(clock), entry_(std::move(entry)) {}
  ~SimTimer() override { entry_->alive = false; }
  SimTimer(const SimTimer&) = delete;
  SimTimer& operator=(const SimTimer&) = delete;

  void SetEnabled(bool enabled) override {
    if (enabled && !entry_->enabled) entry_->dueMs = clock_.nowMs_ + entry_->intervalMs;
    entry_->enabled = enabled;
  }
  bool Enabled() const override { return entry_->enabled; }

 private:
  SimClock& clock_;
  std::shared_ptr<Entry> entry_;
};

void SimClock::SetTimeOfDay(double secondsSinceMidnight) {
  startOfDay_ = secondsSinceMidnight - static_cast<double>(nowMs_) / 1000.0;
}

double SimClock::SecondsSinceMidnight() {
  double seconds = startOfDay_ + static_cast<double>(nowMs_) / 1000.0;
  return std::fmod(std::fmod(seconds, 86400.0) + 86400.0, 86400.0);
}

std::unique_ptr<Timer> SimClock::CreateTimer(int intervalMs, std::function<void()> onTick) {
  auto entry = std::make_shared<Entry>();
  entry->intervalMs = intervalMs > 0 ? intervalMs : 1;
  entry->onTick = std::move(onTick);
  std::erase_if(timers_, [](const auto& t) { return !t->alive; });
  timers_.push_back(entry);
  return std::make_unique<SimTimer>(*this, entry);
}

std::shared_ptr<SimClock::Entry> SimClock::NextDue(std::int64_t limitMs) const {
  std::shared_ptr<Entry> next;
  for (const auto& t : timers_) {
    if (!t->alive || !t->enabled || t->dueMs > limitMs) continue;
    if (!next || t->dueMs < next->dueMs) next = t;
  }
  return next;
}

void SimClock::Advance(std::int64_t ms) {
  const std::int64_t target = nowMs_ + (ms > 0 ? ms : 0);
  while (auto timer = NextDue(target)) {
    nowMs_ = timer->dueMs;
    timer->dueMs += timer->intervalMs;
    auto tick = timer->onTick;  // the tick may destroy its own timer
    if (tick) tick();
  }
  // A tick may have waited further inside a modal window; time never goes back.
  if (nowMs_ < target) nowMs_ = target;
}

}  // namespace velmox::sim
