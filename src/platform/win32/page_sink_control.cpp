#include "platform/win32/page_sink_control.h"

#include "core/failure.h"
#include "platform/win32/trace.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {

WinPageSinkControl::WinPageSinkControl(int index, NewWindowGate& gate)
    : host_("Velmox.PageSink", [](UINT, WPARAM, LPARAM, LRESULT&) { return false; }) {
  SetWindowPos(host_.Get(), nullptr, 0, 0, 320, 240, SWP_NOZORDER | SWP_NOACTIVATE);
  site_ = ComPtr<BrowserSite>(new BrowserSite(host_.Get()));
  CheckHr(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                           reinterpret_cast<void**>(control_.Put())));
  CheckHr(control_->SetClientSite(static_cast<IOleClientSite*>(site_.Get())));
  RECT area{};
  GetClientRect(host_.Get(), &area);
  CheckHr(control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                           static_cast<IOleClientSite*>(site_.Get()), 0, host_.Get(), &area));

  ComPtr<IWebBrowser2> browser = control_.Query<IWebBrowser2>(IID_IWebBrowser2);
  if (!browser) ThrowError(E_NOINTERFACE);
  browser->put_RegisterAsBrowser(VARIANT_FALSE);
  browser->put_Silent(VARIANT_TRUE);
  browser_ = std::make_shared<WinBrowserWindow>(std::move(browser), gate);
  // The control's starting address; loaded before anyone listens to its events.
  SkipOnFailure([&] { browser_->Navigate(NavigateArgs{"http:///", {}, {}, {}}); });
  Trace("PageSink " + std::to_string(index) + " hosted");
}

WinPageSinkControl::~WinPageSinkControl() {
  if (control_) {
    control_->Close(OLECLOSE_NOSAVE);
    control_->SetClientSite(nullptr);
  }
}

std::unique_ptr<Connection> WinPageSinkControl::Connect(BrowserEvents& events) {
  return browser_->Connect(events);
}

}  // namespace velmox::win32
