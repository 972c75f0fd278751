#include "platform/win32/win_timers.h"

#include "platform/win32/win_error.h"

namespace velmox::win32 {

class WinTimers::WinTimer : public Timer {
 public:
  WinTimer(WinTimers& owner, UINT_PTR id, int intervalMs)
      : owner_(owner), id_(id), intervalMs_(intervalMs) {}
  ~WinTimer() override {
    if (enabled_) KillTimer(owner_.window_.Get(), id_);
    owner_.ticks_.erase(id_);
  }
  WinTimer(const WinTimer&) = delete;
  WinTimer& operator=(const WinTimer&) = delete;

  void SetEnabled(bool enabled) override {
    if (enabled == enabled_) return;
    if (enabled) {
      if (!SetTimer(owner_.window_.Get(), id_, static_cast<UINT>(intervalMs_), nullptr)) {
        ThrowLastError();
      }
    } else {
      KillTimer(owner_.window_.Get(), id_);
    }
    enabled_ = enabled;
  }
  bool Enabled() const override { return enabled_; }

 private:
  WinTimers& owner_;
  UINT_PTR id_;
  int intervalMs_;
  bool enabled_ = false;
};

WinTimers::WinTimers()
    : window_("Velmox.Timers", [this](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_TIMER) return false;
        // Copied: the tick may destroy its own timer.
        const auto found = ticks_.find(wParam);
        if (found != ticks_.end()) {
          const std::function<void()> tick = found->second;
          tick();
        }
        result = 0;
        return true;
      }) {}

std::unique_ptr<Timer> WinTimers::CreateTimer(int intervalMs, std::function<void()> onTick) {
  const UINT_PTR id = nextId_++;
  ticks_[id] = std::move(onTick);
  return std::make_unique<WinTimer>(*this, id, intervalMs);
}

}  // namespace velmox::win32
