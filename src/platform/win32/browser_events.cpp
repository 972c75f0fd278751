#include "platform/win32/browser_events.h"

#include <exdisp.h>
#include <exdispid.h>
#include <shlwapi.h>

#include "core/failure.h"
#include "core/platform_error.h"
#include "platform/win32/com_object.h"
#include "platform/win32/com_text.h"
#include "platform/win32/local_path.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {
namespace {

bool IsMissing(const VARIANT& value) {
  return value.vt == VT_EMPTY || value.vt == VT_NULL ||
         (value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND);
}

std::string OptionalText(const VARIANT& value) {
  return IsMissing(Unwrapped(value)) ? std::string() : VariantText(value);
}

void WriteCancel(VARIANT& cancel, bool value) {
  if (cancel.vt == (VT_BYREF | VT_BOOL) && cancel.pboolVal) {
    *cancel.pboolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  }
}

bool ReadCancel(const VARIANT& cancel) {
  return cancel.vt == (VT_BYREF | VT_BOOL) && cancel.pboolVal && *cancel.pboolVal != VARIANT_FALSE;
}

// Reads one argument a handler may use. One that cannot be read is noted, not thrown: the handler
// runs all the same, and only a handler that uses it fails.
template <class Read>
void ReadArgument(BeforeNavigate2Args& args, Read read) {
  try {
    read();
  } catch (const PlatformError& error) {
    if (!args.Unreadable) args.Unreadable = error;
  } catch (const std::exception& error) {
    if (!args.Unreadable) args.Unreadable = PlatformError(E_FAIL, error.what());
  }
}

}  // namespace

std::optional<long> FlagsArgument(const VARIANT& flags) {
  const VARIANT& value = Unwrapped(flags);
  if (IsMissing(value)) return std::nullopt;
  if (value.vt == VT_I4) return value.lVal;
  ScopedVariant number;
  CheckHr(VariantChangeType(number.Get(), const_cast<VARIANT*>(&value), 0, VT_I4));
  return (*number).lVal;
}

std::optional<std::string> PostDataArgument(const VARIANT& postData) {
  const VARIANT& value = Unwrapped(postData);
  if (IsMissing(value)) return std::nullopt;
  SAFEARRAY* array = nullptr;
  if (value.vt == (VT_ARRAY | VT_UI1)) {
    array = value.parray;
  } else if (value.vt == (VT_BYREF | VT_ARRAY | VT_UI1) && value.pparray) {
    array = *value.pparray;
  } else {
    // Post data of another kind is not dropped quietly: a form reopened without it is wrong.
    ThrowError(DISP_E_TYPEMISMATCH);
  }
  if (!array) return std::nullopt;
  if (SafeArrayGetDim(array) != 1) ThrowError(DISP_E_BADINDEX);
  LONG lower = 0, upper = -1;
  CheckHr(SafeArrayGetLBound(array, 1, &lower));
  CheckHr(SafeArrayGetUBound(array, 1, &upper));
  const SafeArrayData bytes(array);
  return std::string(static_cast<const char*>(bytes.Get()),
                     static_cast<std::size_t>(upper - lower + 1));
}

std::string AddressArgument(const VARIANT& url) {
  const VARIANT& value = Unwrapped(url);
  std::string address =
      value.vt == VT_BSTR
          ? AnsiAddress(value.bstrVal ? std::wstring(value.bstrVal, SysStringLen(value.bstrVal))
                                      : std::wstring())
          : VariantText(url);
  if (address.size() < 5 || _strnicmp(address.c_str(), "file:", 5) != 0) return address;
  char path[MAX_PATH * 2];
  DWORD length = sizeof path;
  if (FAILED(PathCreateFromUrlA(address.c_str(), path, &length, 0))) return address;
  return std::string(path, length);
}

void DispatchBeforeNavigate2(BrowserEvents& events, DISPPARAMS& params) {
  if (params.cArgs != 7) return;
  VARIANT* arg = params.rgvarg;
  BeforeNavigate2Args args;
  ComDispatch frame(
      ComPtr<IDispatch>::Borrow(arg[6].vt == VT_DISPATCH ? arg[6].pdispVal : nullptr));
  args.pDisp = &frame;
  args.Cancel = ReadCancel(arg[0]);
  ReadArgument(args, [&] { args.URL = AddressArgument(arg[5]); });
  ReadArgument(args, [&] { args.Flags = FlagsArgument(arg[4]); });
  ReadArgument(args, [&] { args.PostData = PostDataArgument(arg[2]); });
  // No handler uses these two: whatever they hold, they cannot fail it.
  SkipOnFailure([&] { args.TargetFrameName = OptionalText(arg[3]); });
  SkipOnFailure([&] { args.Headers = OptionalText(arg[1]); });
  try {
    events.BeforeNavigate2(args);
  } catch (...) {
    WriteCancel(arg[0], args.Cancel);
    throw;
  }
  WriteCancel(arg[0], args.Cancel);
}

UserAction StartedByFlags(const VARIANT& dwFlags) {
  constexpr long kUserInitiated = 0x2;  // NWMF_USERINITIATED
  std::optional<long> flags;
  SkipOnFailure([&] { flags = FlagsArgument(dwFlags); });
  if (!flags) return UserAction::Unknown;
  return (*flags & kUserInitiated) != 0 ? UserAction::Yes : UserAction::No;
}

NewWindowGate::Answer DispatchNewWindow(BrowserEvents& events, VARIANT& ppDispArg,
                                        VARIANT& cancelArg, UserAction startedBy) {
  if (ppDispArg.vt != (VT_BYREF | VT_DISPATCH) || !ppDispArg.ppdispVal) return {};
  IDispatch*& slot = *ppDispArg.ppdispVal;

  std::shared_ptr<Dispatch> ppDisp;
  if (slot) ppDisp = std::make_shared<ComDispatch>(ComPtr<IDispatch>::Borrow(slot));
  bool cancel = ReadCancel(cancelArg);
  events.NewWindow2(ppDisp, cancel, startedBy);

  IDispatch* chosen = RawDispatchOf(ppDisp.get());
  if (chosen != slot) {
    // The browser takes over the reference left in ppDisp.
    if (chosen) chosen->AddRef();
    if (slot) slot->Release();
    slot = chosen;
  }
  WriteCancel(cancelArg, cancel);
  return {ComPtr<IDispatch>::Borrow(chosen), cancel};
}

BrowserEventSink::BrowserEventSink(BrowserEvents& events, NewWindowGate& gate)
    : EventSink(DIID_DWebBrowserEvents2), events_(&events), gate_(&gate) {}

void BrowserEventSink::Detach() {
  if (gate_) gate_->Forget(this);
  events_ = nullptr;
  gate_ = nullptr;
}

bool BrowserEventSink::Handles(DISPID id) const {
  return id == DISPID_BEFORENAVIGATE2 || id == DISPID_NEWWINDOW2 || id == DISPID_NEWWINDOW3;
}

void BrowserEventSink::OnEvent(DISPID id, DISPPARAMS& params) {
  if (!events_) return;
  if (id == DISPID_BEFORENAVIGATE2) {
    gate_->Forget(this);  // a request's two events have nothing between them
    DispatchBeforeNavigate2(*events_, params);
  }
  if (id == DISPID_NEWWINDOW2 && params.cArgs == 2) {
    OnNewWindow(NewWindowGate::Kind::NewWindow2, params.rgvarg[1], params.rgvarg[0],
                UserAction::Unknown);
  }
  if (id == DISPID_NEWWINDOW3 && params.cArgs == 5) {
    OnNewWindow(NewWindowGate::Kind::NewWindow3, params.rgvarg[4], params.rgvarg[3],
                StartedByFlags(params.rgvarg[2]));
  }
}

void BrowserEventSink::OnNewWindow(NewWindowGate::Kind kind, VARIANT& ppDispArg, VARIANT& cancelArg,
                                   UserAction startedBy) {
  const bool byReference = ppDispArg.vt == (VT_BYREF | VT_DISPATCH) && ppDispArg.ppdispVal;
  IDispatch* given = byReference ? *ppDispArg.ppdispVal : nullptr;
  if (auto repeated = gate_->TakeRepeated(this, kind, given)) {
    if (byReference && given != repeated->ppDisp.Get()) {
      if (given) given->Release();
      *ppDispArg.ppdispVal = repeated->ppDisp.Detach();
    }
    WriteCancel(cancelArg, repeated->cancel);
    return;
  }
  // Recorded before the handler runs, so that a handler that fails still counts as the answer.
  NewWindowGate& gate = *gate_;
  gate.Record(this, kind, nullptr, ReadCancel(cancelArg));
  const NewWindowGate::Answer answer = DispatchNewWindow(*events_, ppDispArg, cancelArg, startedBy);
  // A connection dropped meanwhile (the browser's calls let events in) leaves nothing kept.
  if (gate_) gate.Record(this, kind, answer.ppDisp.Get(), answer.cancel);
}

}  // namespace velmox::win32
