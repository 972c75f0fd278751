#pragma once

#include "platform/win32/win_api.h"

#include <exdisp.h>
#include <oleidl.h>

#include <memory>

#include "core/browser_automation.h"
#include "platform/win32/browser_site.h"
#include "platform/win32/message_window.h"
#include "platform/win32/new_window_gate.h"
#include "platform/win32/web_browser.h"

namespace velmox::win32 {

// A web-browser control embedded in a hidden window that is never shown. It stays out of the
// shell's window collection and keeps script errors to itself. Each navigation that reaches it
// is traced with its address and post data.
class WinPageSinkControl : public PageSinkControl {
 public:
  WinPageSinkControl(int index, NewWindowGate& gate);
  ~WinPageSinkControl() override;
  WinPageSinkControl(const WinPageSinkControl&) = delete;
  WinPageSinkControl& operator=(const WinPageSinkControl&) = delete;

  std::shared_ptr<Dispatch> Object() override { return browser_; }
  std::unique_ptr<Connection> Connect(BrowserEvents& events) override;
  WinBrowserWindow& Browser() { return *browser_; }

 private:
  void Unsite() noexcept;

  int index_;
  MessageWindow host_;
  ComPtr<BrowserSite> site_;
  ComPtr<IOleObject> control_;
  std::shared_ptr<WinBrowserWindow> browser_;
  bool navigated_ = false;  // its own navigation to its starting address has been asked for
};

}  // namespace velmox::win32
