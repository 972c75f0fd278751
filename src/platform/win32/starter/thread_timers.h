#pragma once

#include "platform/win32/win_api.h"

#include <functional>
#include <map>
#include <memory>

#include "core/desktop_services.h"

namespace velmox::win32 {

// Timers of the thread itself, without a window: SetTimer with no window posts WM_TIMER to the
// thread's queue, and the message loop hands it to Fire. A disabled timer costs nothing.
class ThreadTimers : public Timers {
 public:
  std::unique_ptr<Timer> CreateTimer(int intervalMs, std::function<void()> onTick) override;
  // A WM_TIMER without a window: runs the tick of the timer with that id, if it is one of these.
  void Fire(UINT_PTR id);

 private:
  class ThreadTimer;
  std::map<UINT_PTR, std::function<void()>> ticks_;  // the enabled timers, by the system's id
};

}  // namespace velmox::win32
