#include "platform/win32/web_browser.h"

#include <mshtml.h>

#include <cstring>

#include "platform/win32/browser_events.h"
#include "platform/win32/com_text.h"
#include "platform/win32/html_document.h"
#include "platform/win32/trace.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {
namespace {

VARIANT_BOOL ToVariantBool(bool value) {
  return value ? VARIANT_TRUE : VARIANT_FALSE;
}

template <class Getter>
bool ReadBool(Getter getter) {
  VARIANT_BOOL value = VARIANT_FALSE;
  CheckHr(getter(&value));
  return value != VARIANT_FALSE;
}

// An optional argument left out is an empty variant.
class OptionalArgument {
 public:
  OptionalArgument() { VariantInit(&value_); }
  ~OptionalArgument() { VariantClear(&value_); }
  OptionalArgument(const OptionalArgument&) = delete;
  OptionalArgument& operator=(const OptionalArgument&) = delete;

  void SetLong(long number) {
    value_.vt = VT_I4;
    value_.lVal = number;
  }
  // The variant takes each value once it exists, so that a failure leaves it empty.
  void SetText(const std::string& text) {
    value_.bstrVal = ToBstr(text).Release();
    value_.vt = VT_BSTR;
  }
  void SetBytes(const std::string& bytes) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!array) ThrowError(E_OUTOFMEMORY);
    value_.parray = array;
    value_.vt = VT_ARRAY | VT_UI1;
    if (bytes.empty()) return;
    const SafeArrayData data(array);
    std::memcpy(data.Get(), bytes.data(), bytes.size());
  }
  VARIANT* Get() { return &value_; }

 private:
  VARIANT value_;
};

}  // namespace

std::string WinBrowserWindow::Name() {
  return ReadText([&](BSTR* out) { return browser_->get_Name(out); });
}

std::string WinBrowserWindow::LocationURL() {
  return ReadText([&](BSTR* out) { return browser_->get_LocationURL(out); });
}

std::shared_ptr<HtmlDocument> WinBrowserWindow::Document() {
  ComPtr<IDispatch> document;
  CheckHr(browser_->get_Document(document.Put()));
  ComPtr<IHTMLDocument2> html = document.Query<IHTMLDocument2>(IID_IHTMLDocument2);
  if (!html) return nullptr;
  return WrapDocument(std::move(html));
}

std::string WinBrowserWindow::Type() {
  return ReadText([&](BSTR* out) { return browser_->get_Type(out); });
}

bool WinBrowserWindow::TheaterMode() {
  return ReadBool([&](VARIANT_BOOL* out) { return browser_->get_TheaterMode(out); });
}
void WinBrowserWindow::SetTheaterMode(bool value) {
  CheckHr(browser_->put_TheaterMode(ToVariantBool(value)));
}
bool WinBrowserWindow::FullScreen() {
  return ReadBool([&](VARIANT_BOOL* out) { return browser_->get_FullScreen(out); });
}
void WinBrowserWindow::SetFullScreen(bool value) {
  CheckHr(browser_->put_FullScreen(ToVariantBool(value)));
}
bool WinBrowserWindow::MenuBar() {
  return ReadBool([&](VARIANT_BOOL* out) { return browser_->get_MenuBar(out); });
}
void WinBrowserWindow::SetMenuBar(bool value) {
  CheckHr(browser_->put_MenuBar(ToVariantBool(value)));
}
bool WinBrowserWindow::StatusBar() {
  return ReadBool([&](VARIANT_BOOL* out) { return browser_->get_StatusBar(out); });
}
void WinBrowserWindow::SetStatusBar(bool value) {
  CheckHr(browser_->put_StatusBar(ToVariantBool(value)));
}
int WinBrowserWindow::ToolBar() {
  int value = 0;
  CheckHr(browser_->get_ToolBar(&value));
  return value;
}
void WinBrowserWindow::SetToolBar(int value) {
  CheckHr(browser_->put_ToolBar(value));
}
void WinBrowserWindow::SetAddressBar(bool value) {
  CheckHr(browser_->put_AddressBar(ToVariantBool(value)));
}
void WinBrowserWindow::SetVisible(bool value) {
  CheckHr(browser_->put_Visible(ToVariantBool(value)));
}

void WinBrowserWindow::Navigate(const NavigateArgs& args) {
  OptionalArgument flags, target, postData, headers;
  if (args.flags) flags.SetLong(*args.flags);
  if (args.targetFrameName) target.SetText(*args.targetFrameName);
  if (args.postData) postData.SetBytes(*args.postData);
  ScopedBstr url = ToBstr(args.url);
  Trace("Navigate " + args.url);
  CheckHr(browser_->Navigate(url.Get(), flags.Get(), target.Get(), postData.Get(), headers.Get()));
}

std::unique_ptr<Connection> WinBrowserWindow::Connect(BrowserEvents& events) {
  return Advise(browser_.Get(), DIID_DWebBrowserEvents2, new BrowserEventSink(events, gate_));
}

}  // namespace velmox::win32
