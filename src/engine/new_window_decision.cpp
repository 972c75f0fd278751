#include "engine/new_window_decision.h"

#include <cstdint>
#include <optional>
#include <string>

#include "core/ascii_case.h"
#include "core/failure.h"
#include "sites/host_name.h"
#include "sites/site_verdict.h"

namespace velmox {
namespace {

// The key is down, whether or not it was pressed since the last call; no other bit is set.
bool OverrideKeyHeld(std::uint16_t keyState) {
  return keyState == Keyboard::kKeyDown ||
         keyState == (Keyboard::kKeyDown | Keyboard::kPressedSinceLastCall);
}

}  // namespace

bool isHTTP(const OptionRecord& options, BrowserWindow& IEObject) noexcept {
  return TrapOr(false, [&] {
    const std::string location = IEObject.LocationURL();
    if (options.IgnoreLocal && StartsWithIgnoreCase(location, "file:")) return false;
    if (StartsWithIgnoreCase(location, "http")) return true;
    // Both are read, so a failure of either means "not a web page".
    const bool htmlDocument = IEObject.Document() != nullptr;
    const bool htmlType = IEObject.Type() == BrowserWindow::kHtmlDocumentType;
    return htmlDocument || htmlType;
  });
}

NewWindowDecision DecideNewWindow(const AppState& state, Keyboard& keyboard,
                                  BrowserWindow* IEObject) noexcept {
  std::uint16_t keyState = 0;
  SkipOnFailure([&] { keyState = keyboard.GetAsyncKeyState(Keyboard::kVkControl); });
  const bool webPage = IEObject != nullptr && isHTTP(state.OptionValues, *IEObject);

  if (OverrideKeyHeld(keyState)) return NewWindowDecision::StandAsideOverrideKey;
  if (!state.BlockingOn) return NewWindowDecision::StandAsideBlockingOff;
  if (!webPage) return NewWindowDecision::StandAsideNotWebPage;

  // A site that cannot be made out is treated as disallowed.
  std::optional<bool> disallowed;
  SkipOnFailure([&] {
    disallowed = IsBlocked(state.Sites, state.OptionValues.BlockByDefault,
                           GetHostNameFromURL(IEObject->LocationURL()));
  });
  if (!disallowed) return NewWindowDecision::CaptureSiteUnreadable;
  if (!*disallowed) return NewWindowDecision::StandAsideSiteAllowed;
  return NewWindowDecision::CaptureSiteDisallowed;
}

std::shared_ptr<Dispatch> OpenWindow(const AppState& state, Keyboard& keyboard, PageSinks& sinks,
                                     std::shared_ptr<BrowserWindow> IEObject,
                                     std::shared_ptr<Dispatch>& ppDisp,
                                     UserAction startedBy) noexcept {
  const NewWindowDecision decision = DecideNewWindow(state, keyboard, IEObject.get());
  if (!IsCapture(decision)) return nullptr;
  return TrapOr<std::shared_ptr<Dispatch>>(
      nullptr, [&] { return sinks.CaptureInSink(std::move(IEObject), ppDisp, startedBy); });
}

}  // namespace velmox
