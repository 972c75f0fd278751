#include "platform/win32/shell_windows.h"

#include <exdispid.h>

#include "platform/win32/event_sink.h"
#include "platform/win32/web_browser.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {
namespace {

// An entry of the collection that cannot be taken through the web-browser interface. It is
// reported all the same, as the collection lists it: a call through that interface fails as
// taking it did, so a scan that meets it stops with its message box. The address-bar tick acts
// on every entry whatever its kind: it sets the property by name on the object itself.
class NotABrowser : public BrowserWindow {
 public:
  NotABrowser(HRESULT why, ComPtr<IDispatch> entry) : why_(why), entry_(std::move(entry)) {}

  std::string Name() override { Fail(); }
  std::string LocationURL() override { Fail(); }
  std::shared_ptr<HtmlDocument> Document() override { Fail(); }
  std::string Type() override { Fail(); }
  bool TheaterMode() override { Fail(); }
  void SetTheaterMode(bool) override { Fail(); }
  bool FullScreen() override { Fail(); }
  void SetFullScreen(bool) override { Fail(); }
  bool MenuBar() override { Fail(); }
  void SetMenuBar(bool) override { Fail(); }
  bool StatusBar() override { Fail(); }
  void SetStatusBar(bool) override { Fail(); }
  int ToolBar() override { Fail(); }
  void SetToolBar(int) override { Fail(); }
  void SetAddressBar(bool value) override {
    if (!entry_) Fail();
    wchar_t name[] = L"AddressBar";
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    CheckHr(entry_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BOOL;
    argument.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    CheckHr(entry_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                           nullptr, nullptr, nullptr));
  }
  void SetVisible(bool) override { Fail(); }
  void Navigate(const NavigateArgs&) override { Fail(); }
  std::unique_ptr<Connection> Connect(BrowserEvents&) override { Fail(); }

 private:
  [[noreturn]] void Fail() const { ThrowError(why_); }
  HRESULT why_;
  ComPtr<IDispatch> entry_;  // null when the entry is no object at all
};

class WinWindowEnumerator : public WindowEnumerator {
 public:
  WinWindowEnumerator(ComPtr<IEnumVARIANT> items, NewWindowGate& gate)
      : items_(std::move(items)), gate_(gate) {}

  std::shared_ptr<BrowserWindow> Next() override {
    ScopedVariant item;
    ULONG fetched = 0;
    const HRESULT hr = items_->Next(1, item.Get(), &fetched);
    CheckHr(hr);
    if (hr == S_FALSE || fetched == 0) return nullptr;
    if ((*item).vt != VT_DISPATCH || !(*item).pdispVal) {
      return std::make_shared<NotABrowser>(DISP_E_TYPEMISMATCH, ComPtr<IDispatch>());
    }
    ComPtr<IWebBrowser2> browser;
    const HRESULT asked =
        (*item).pdispVal->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(browser.Put()));
    if (FAILED(asked) || !browser) {
      return std::make_shared<NotABrowser>(FAILED(asked) ? asked : E_NOINTERFACE,
                                           ComPtr<IDispatch>::Borrow((*item).pdispVal));
    }
    return std::make_shared<WinBrowserWindow>(std::move(browser), gate_);
  }

 private:
  ComPtr<IEnumVARIANT> items_;
  NewWindowGate& gate_;
};

class ShellWindowsSink : public EventSink {
 public:
  explicit ShellWindowsSink(ShellWindowsEvents& events)
      : EventSink(DIID_DShellWindowsEvents), events_(&events) {}
  void Detach() override { events_ = nullptr; }

 protected:
  bool Handles(DISPID id) const override {
    return id == DISPID_WINDOWREGISTERED || id == DISPID_WINDOWREVOKED;
  }
  void OnEvent(DISPID id, DISPPARAMS& params) override {
    if (!events_ || params.cArgs != 1) return;
    const VARIANT& cookie = params.rgvarg[0];
    const long lCookie = cookie.vt == VT_I4 ? cookie.lVal : 0;
    if (id == DISPID_WINDOWREGISTERED) events_->WindowRegistered(lCookie);
    if (id == DISPID_WINDOWREVOKED) events_->WindowRevoked(lCookie);
  }

 private:
  ShellWindowsEvents* events_;
};

}  // namespace

std::unique_ptr<WindowEnumerator> WinShellWindows::Enumerate() {
  ComPtr<IUnknown> enumerator;
  CheckHr(windows_->_NewEnum(enumerator.Put()));
  ComPtr<IEnumVARIANT> items = enumerator.Query<IEnumVARIANT>(IID_IEnumVARIANT);
  if (!items) ThrowError(E_NOINTERFACE);
  return std::make_unique<WinWindowEnumerator>(std::move(items), gate_);
}

std::unique_ptr<Connection> WinShellWindows::Connect(ShellWindowsEvents& events) {
  return Advise(windows_.Get(), DIID_DShellWindowsEvents, new ShellWindowsSink(events));
}

}  // namespace velmox::win32
