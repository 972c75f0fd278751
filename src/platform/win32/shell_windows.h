#pragma once

#include "platform/win32/win_api.h"

#include <exdisp.h>

#include "core/browser_automation.h"
#include "platform/win32/new_window_gate.h"
#include "platform/win32/scoped_win.h"

namespace velmox::win32 {

// The shell's collection of browser windows and its two events.
class WinShellWindows : public ShellWindows {
 public:
  WinShellWindows(ComPtr<IShellWindows> windows, NewWindowGate& gate)
      : windows_(std::move(windows)), gate_(gate) {}

  std::unique_ptr<WindowEnumerator> Enumerate() override;
  std::unique_ptr<Connection> Connect(ShellWindowsEvents& events) override;

 private:
  ComPtr<IShellWindows> windows_;
  NewWindowGate& gate_;
};

}  // namespace velmox::win32
