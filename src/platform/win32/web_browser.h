#pragma once

#include "platform/win32/win_api.h"

#include <exdisp.h>

#include <memory>

#include "core/browser_automation.h"
#include "platform/win32/com_object.h"
#include "platform/win32/new_window_gate.h"
#include "platform/win32/scoped_win.h"

namespace velmox::win32 {

// A browser window (or an embedded control) through IWebBrowser2.
class WinBrowserWindow : public BrowserWindow, public ComObject {
 public:
  WinBrowserWindow(ComPtr<IWebBrowser2> browser, NewWindowGate& gate)
      : browser_(std::move(browser)), gate_(gate) {}

  IDispatch* RawDispatch() const override { return browser_.Get(); }
  IWebBrowser2* Browser() const { return browser_.Get(); }

  std::string Name() override;
  std::string LocationURL() override;
  std::shared_ptr<HtmlDocument> Document() override;
  std::string Type() override;

  bool TheaterMode() override;
  void SetTheaterMode(bool value) override;
  bool FullScreen() override;
  void SetFullScreen(bool value) override;
  bool MenuBar() override;
  void SetMenuBar(bool value) override;
  bool StatusBar() override;
  void SetStatusBar(bool value) override;
  int ToolBar() override;
  void SetToolBar(int value) override;
  void SetAddressBar(bool value) override;
  void SetVisible(bool value) override;

  void Navigate(const NavigateArgs& args) override;
  std::unique_ptr<Connection> Connect(BrowserEvents& events) override;

 private:
  ComPtr<IWebBrowser2> browser_;
  NewWindowGate& gate_;
};

}  // namespace velmox::win32
