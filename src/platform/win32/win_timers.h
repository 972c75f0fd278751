#pragma once

#include <map>

#include "core/desktop_services.h"
#include "platform/win32/message_window.h"

namespace velmox::win32 {

// Timers as SetTimer on one hidden window; ticks arrive through the message loop.
class WinTimers : public Timers {
 public:
  WinTimers();
  std::unique_ptr<Timer> CreateTimer(int intervalMs, std::function<void()> onTick) override;

 private:
  class WinTimer;
  std::map<UINT_PTR, std::function<void()>> ticks_;
  UINT_PTR nextId_ = 1;
  MessageWindow window_;
};

}  // namespace velmox::win32
