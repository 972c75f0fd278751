#pragma once

#include "platform/win32/win_api.h"

#include <oaidl.h>

#include <memory>
#include <optional>
#include <string>

#include "core/browser_automation.h"
#include "platform/win32/event_sink.h"
#include "platform/win32/new_window_gate.h"

namespace velmox::win32 {

// The two browser events Velmox handles, read from their argument layout in DISPPARAMS (the
// arguments stand in reverse order) and written back after the handler has run. The handler
// always runs and Cancel is always written, whatever argument could not be read.
void DispatchBeforeNavigate2(BrowserEvents& events, DISPPARAMS& params);
// NewWindow2's and NewWindow3's ppDisp and Cancel; returns the answer left in them.
NewWindowGate::Answer DispatchNewWindow(BrowserEvents& events, VARIANT& ppDispArg,
                                        VARIANT& cancelArg, UserAction startedBy);

// NewWindow3's dwFlags: NWMF_USERINITIATED says whether a user action started the request.
UserAction StartedByFlags(const VARIANT& dwFlags);

// The by-reference arguments' values, as the handler gets them. Post data is an array of bytes
// behind any number of by-reference variants, or itself by reference; nothing when it is empty.
std::optional<long> FlagsArgument(const VARIANT& flags);
std::optional<std::string> PostDataArgument(const VARIANT& postData);
// A local file's address as a path: "file:" addresses are turned into the DOS form, the one the
// browser normally reports, so that the command pages are recognised either way.
std::string AddressArgument(const VARIANT& url);

// DWebBrowserEvents2 of one browser object, delivered to a BrowserEvents handler.
class BrowserEventSink : public EventSink {
 public:
  BrowserEventSink(BrowserEvents& events, NewWindowGate& gate);
  void Detach() override;

 protected:
  bool Handles(DISPID id) const override;
  void OnEvent(DISPID id, DISPPARAMS& params) override;

 private:
  void OnNewWindow(NewWindowGate::Kind kind, VARIANT& ppDispArg, VARIANT& cancelArg,
                   UserAction startedBy);

  BrowserEvents* events_;
  NewWindowGate* gate_;
};

}  // namespace velmox::win32
