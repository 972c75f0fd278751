#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/browser_automation.h"
#include "core/option_record.h"

// Tells the user's own link clicks and form submissions apart from unwanted pop-ups. Where the
// desktop sees the user's trusted input, the user's last activation must lead to the captured
// address; elsewhere the link, submit button or field the user has just used still holds the
// focus in the opener's page when the captured window's first navigation arrives.
namespace velmox {

enum class RequestStyle { Link, Form };

// How old the user's activation may be and still count for a window. On a loaded two-core
// machine a second and a half can pass between the user's press and the judgement of the
// window it asked for; the activation counts for one window only, at its own address.
constexpr double kActivationWindowSeconds = 3.0;

// Lets the captured window go on to a navigation, where the browser still holds it as the window
// the page asked for; false where it cannot.
using LetCapturedWindowGoOn = std::function<bool(const NavigateArgs&)>;

// True when the window has been opened for the user: the request was not started without a
// user action, and the user's last activation (or, where the desktop sees only the focus, the
// focused element of the opener's page or of its focused frame) leads to `URL`. Any failure to
// read the page propagates to the caller. `capturedWindow` lets the window that the page sink
// holds go on; it is empty where nothing can.
bool OpenIfUserAction(const OptionRecord& options, BrowserAutomation& browsers,
                      BrowserWindow& Opener, const std::string& URL, std::optional<long> Flags,
                      const std::optional<std::string>& PostData,
                      UserAction startedBy = UserAction::Unknown,
                      const LetCapturedWindowGoOn& capturedWindow = {});

// The form that encloses `FormChildElement`, or null when it is not inside one or the walk up
// its parents fails. The element itself is never tested.
std::shared_ptr<HtmlElement> LocateParentForm(std::shared_ptr<HtmlElement> FormChildElement);

// The element's parent, or null when it cannot be read.
std::shared_ptr<HtmlElement> ParentElement(const std::shared_ptr<HtmlElement>& HTMLElement);

// A form's action reduced to the piece looked for in the address: leading "/", "\" and "."
// dropped, then one trailing "/" or "\".
std::string GetURLFromAction(std::string_view Action);

// Opens an address the user asked for: in the opener when LinkTarget is "_top", otherwise in the
// window the page asked for where `capturedWindow` can let it go on, else in a new visible
// browser window. Flags and post data go along only with a form submission.
void OpenRequestedWindow(const OptionRecord& options, BrowserAutomation& browsers,
                         BrowserWindow& Opener, const std::string& URL, RequestStyle Style,
                         std::optional<long> Flags, const std::optional<std::string>& PostData,
                         const LetCapturedWindowGoOn& capturedWindow = {});

}  // namespace velmox
