#include "platform/win32/starter/thread_timers.h"

#include "platform/win32/win_error.h"

namespace velmox::win32 {

class ThreadTimers::ThreadTimer : public Timer {
 public:
  ThreadTimer(ThreadTimers& owner, int intervalMs, std::function<void()> onTick)
      : owner_(owner), intervalMs_(intervalMs), onTick_(std::move(onTick)) {}
  ~ThreadTimer() override { SetEnabled(false); }
  ThreadTimer(const ThreadTimer&) = delete;
  ThreadTimer& operator=(const ThreadTimer&) = delete;

  // Without a window the system picks a new id each time a timer is set.
  void SetEnabled(bool enabled) override {
    if (enabled == (id_ != 0)) return;
    if (enabled) {
      id_ = SetTimer(nullptr, 0, static_cast<UINT>(intervalMs_), nullptr);
      if (id_ == 0) ThrowLastError();
      owner_.ticks_[id_] = onTick_;
    } else {
      KillTimer(nullptr, id_);
      owner_.ticks_.erase(id_);
      id_ = 0;
    }
  }
  bool Enabled() const override { return id_ != 0; }

 private:
  ThreadTimers& owner_;
  int intervalMs_;
  std::function<void()> onTick_;
  UINT_PTR id_ = 0;
};

std::unique_ptr<Timer> ThreadTimers::CreateTimer(int intervalMs, std::function<void()> onTick) {
  return std::make_unique<ThreadTimer>(*this, intervalMs, std::move(onTick));
}

void ThreadTimers::Fire(UINT_PTR id) {
  const auto found = ticks_.find(id);
  if (found == ticks_.end()) return;
  const std::function<void()> tick = found->second;  // the tick may destroy its own timer
  tick();
}

}  // namespace velmox::win32
