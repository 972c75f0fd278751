#pragma once

#include <memory>

#include "core/app_state.h"
#include "core/browser_automation.h"
#include "core/desktop_services.h"
#include "engine/page_sinks.h"

// The first half of the pop-up decision, made inside the opener's new-window event: stand aside
// and let the browser open the window, or capture it in a page sink where its address becomes
// known. Only the opener is looked at; the new window's address is not known yet.
namespace velmox {

enum class NewWindowDecision {
  StandAsideOverrideKey,  // Ctrl held at the moment of the request
  StandAsideBlockingOff,  // Velmox turned off
  StandAsideNotWebPage,   // the opener shows no web page
  StandAsideSiteAllowed,  // the opener's site is allowed, listed or by default
  CaptureSiteDisallowed,  // the opener's site is disallowed, listed or by default
  CaptureSiteUnreadable,  // the opener's address or its site could not be read
};

constexpr bool IsCapture(NewWindowDecision decision) {
  return decision == NewWindowDecision::CaptureSiteDisallowed ||
         decision == NewWindowDecision::CaptureSiteUnreadable;
}

// True when the window shows a web page: an http or https address, or any HTML document, except
// local pages when IgnoreLocal is set. A window that cannot be inspected is not a web page.
bool isHTTP(const OptionRecord& options, BrowserWindow& IEObject) noexcept;

// Decides without acting. Ctrl is sampled once, first; isHTTP is evaluated on every request.
NewWindowDecision DecideNewWindow(const AppState& state, Keyboard& keyboard,
                                  BrowserWindow* IEObject) noexcept;

// The answer to the opener's new-window event: null to stand aside, or the sink object the
// request was captured in (then also stored into ppDisp).
std::shared_ptr<Dispatch> OpenWindow(const AppState& state, Keyboard& keyboard, PageSinks& sinks,
                                     std::shared_ptr<BrowserWindow> IEObject,
                                     std::shared_ptr<Dispatch>& ppDisp,
                                     UserAction startedBy = UserAction::Unknown) noexcept;

}  // namespace velmox
