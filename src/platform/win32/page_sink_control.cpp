#include "platform/win32/page_sink_control.h"

#include "core/failure.h"
#include "platform/win32/trace.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {
namespace {

std::string PostDataText(const BeforeNavigate2Args& args) {
  if (args.Unreadable) return "unreadable";
  if (!args.PostData) return "none";
  if (args.PostData->empty()) return "empty";
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char byte : *args.PostData) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

// A sink's navigation in the trace: the only place where a captured window's address and post
// data can be seen from outside.
class TracedSinkEvents : public BrowserEvents {
 public:
  TracedSinkEvents(int index, BrowserEvents& events) : index_(index), events_(events) {}
  void BeforeNavigate2(BeforeNavigate2Args& args) override {
    Trace("PageSink " + std::to_string(index_) + " BeforeNavigate2 " + args.URL +
          " post=" + PostDataText(args));
    events_.BeforeNavigate2(args);
  }
  void NewWindow2(std::shared_ptr<Dispatch>& ppDisp, bool& Cancel, UserAction startedBy) override {
    events_.NewWindow2(ppDisp, Cancel, startedBy);
  }

 private:
  int index_;
  BrowserEvents& events_;
};

class TracedConnection : public Connection {
 public:
  TracedConnection(std::unique_ptr<TracedSinkEvents> events, WinBrowserWindow& browser)
      : events_(std::move(events)), connection_(browser.Connect(*events_)) {}

 private:
  std::unique_ptr<TracedSinkEvents> events_;
  std::unique_ptr<Connection> connection_;  // dropped first, before the events it calls
};

}  // namespace

WinPageSinkControl::WinPageSinkControl(int index, NewWindowGate& gate)
    : index_(index),
      host_("Velmox.PageSink", [](UINT, WPARAM, LPARAM, LRESULT&) { return false; }) {
  SetWindowPos(host_.Get(), nullptr, 0, 0, 320, 240, SWP_NOZORDER | SWP_NOACTIVATE);
  site_ = ComPtr<BrowserSite>(new BrowserSite(host_.Get()));
  CheckHr(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                           reinterpret_cast<void**>(control_.Put())));
  CheckHr(control_->SetClientSite(static_cast<IOleClientSite*>(site_.Get())));
  // From here on the control holds the site: a failure closes and unsites it again.
  try {
    RECT area{};
    GetClientRect(host_.Get(), &area);
    CheckHr(control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                             static_cast<IOleClientSite*>(site_.Get()), 0, host_.Get(), &area));

    ComPtr<IWebBrowser2> browser = control_.Query<IWebBrowser2>(IID_IWebBrowser2);
    if (!browser) ThrowError(E_NOINTERFACE);
    browser->put_RegisterAsBrowser(VARIANT_FALSE);
    browser->put_Silent(VARIANT_TRUE);
    browser_ = std::make_shared<WinBrowserWindow>(std::move(browser), gate);
    Trace("PageSink " + std::to_string(index) + " hosted");
  } catch (...) {
    Unsite();
    throw;
  }
}

WinPageSinkControl::~WinPageSinkControl() {
  Unsite();
}

void WinPageSinkControl::Unsite() noexcept {
  if (!control_) return;
  control_->Close(OLECLOSE_NOSAVE);
  control_->SetClientSite(nullptr);
}

std::unique_ptr<Connection> WinPageSinkControl::Connect(BrowserEvents& events) {
  auto connection = std::make_unique<TracedConnection>(
      std::make_unique<TracedSinkEvents>(index_, events), *browser_);
  // The control's own navigation to its starting address comes once it is listened to: the
  // handler hears it as it hears every navigation that reaches a sink.
  if (!navigated_) {
    navigated_ = true;
    SkipOnFailure([&] { browser_->Navigate(NavigateArgs{"http:///", {}, {}, {}}); });
  }
  return connection;
}

}  // namespace velmox::win32
