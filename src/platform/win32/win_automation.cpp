#include "platform/win32/win_automation.h"

#include <exdisp.h>

#include "platform/win32/page_sink_control.h"
#include "platform/win32/shell_windows.h"
#include "platform/win32/trace.h"
#include "platform/win32/web_browser.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {

std::unique_ptr<ShellWindows> WinBrowserAutomation::CreateShellWindows() {
  ComPtr<IShellWindows> windows;
  CheckHr(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                           reinterpret_cast<void**>(windows.Put())));
  return std::make_unique<WinShellWindows>(std::move(windows), gate_);
}

std::shared_ptr<BrowserWindow> WinBrowserAutomation::CreateInternetExplorer() {
  ComPtr<IWebBrowser2> browser;
  // Whatever kind of server the browser registered for its application class.
  CheckHr(CoCreateInstance(CLSID_InternetExplorer, nullptr, CLSCTX_SERVER, IID_IWebBrowser2,
                           reinterpret_cast<void**>(browser.Put())));
  Trace("CreateInternetExplorer");
  return std::make_shared<WinBrowserWindow>(std::move(browser), gate_);
}

std::unique_ptr<PageSinkControl> WinBrowserAutomation::CreatePageSink(int index) {
  return std::make_unique<WinPageSinkControl>(index, gate_);
}

}  // namespace velmox::win32
