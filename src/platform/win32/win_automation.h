#pragma once

#include "core/browser_automation.h"
#include "platform/win32/new_window_gate.h"

namespace velmox::win32 {

// Creation of the browser's automation objects. Needs OLE on the calling thread.
class WinBrowserAutomation : public BrowserAutomation {
 public:
  std::unique_ptr<ShellWindows> CreateShellWindows() override;
  std::shared_ptr<BrowserWindow> CreateInternetExplorer() override;
  std::unique_ptr<PageSinkControl> CreatePageSink(int index) override;

 private:
  NewWindowGate gate_;
};

}  // namespace velmox::win32
