// What Chromium says, taken in as it arrives. Nothing here reaches Velmox: whatever Velmox must
// hear is posted and delivered by the event loop.
#include <algorithm>

#include "platform/chromium/chromium_browser.h"

namespace velmox::chromium {
namespace {

constexpr std::size_t kWindowOpensKept = 64;

// What the browser holds of a new window until Velmox has judged it, and of a captured one.
const Json& Everything() {
  static const Json patterns = Json::array({{{"urlPattern", "*"}}});
  return patterns;
}

std::string Base64Decoded(const std::string& text) {
  static const std::string digits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned value = 0;
  int bits = 0;
  for (char c : text) {
    const auto digit = digits.find(c);
    if (digit == std::string::npos) continue;  // padding and line breaks
    value = (value << 6) | static_cast<unsigned>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((value >> bits) & 0xFF));
    }
  }
  return out;
}

// The request's post data as text; nullopt when it has none.
std::optional<std::string> PostDataOf(const Json& request) {
  if (request.contains("postData")) return request.value("postData", std::string());
  if (!request.contains("postDataEntries")) return std::nullopt;
  std::string data;
  for (const auto& entry : request["postDataEntries"])
    data += Base64Decoded(entry.value("bytes", std::string()));
  return data;
}

}  // namespace

std::shared_ptr<ChromiumWindow> ChromiumBrowsers::BySession(const std::string& sessionId) {
  for (const auto& [id, window] : targets_) {
    if (window->sessionId == sessionId) return window;
  }
  return nullptr;
}

std::shared_ptr<ChromiumWindow> ChromiumBrowsers::ByTarget(const std::string& targetId) {
  const auto found = targets_.find(targetId);
  return found == targets_.end() ? nullptr : found->second;
}

void ChromiumBrowsers::OnEvent(const DevToolsEvent& event) {
  const Json& p = event.params;
  if (event.method == "Target.attachedToTarget") return OnAttached(p);
  if (event.method == "Target.detachedFromTarget" || event.method == "Target.targetDestroyed" ||
      event.method == "Target.targetCrashed") {
    return OnDetached(p.value("targetId", std::string()));
  }
  if (event.method == "Target.targetInfoChanged") {
    const Json info = p.value("targetInfo", Json::object());
    if (auto window = ByTarget(info.value("targetId", std::string()))) {
      if (!info.value("url", std::string()).empty()) window->url = info.value("url", "");
    }
    return;
  }
  if (event.sessionId.empty()) return;
  const auto window = BySession(event.sessionId);
  if (!window || !window->open) return;
  const std::string frameId = p.value("frameId", std::string());
  if (event.method == "Fetch.requestPaused") {
    OnRequestPaused(*window, p);
  } else if (event.method == "Page.windowOpen") {
    // Events of windows the browser never made (a name it reused) are not kept for ever.
    if (window->windowOpens.size() >= kWindowOpensKept) window->windowOpens.pop_front();
    const bool gesture = p.value("userGesture", false);
    window->windowOpens.push_back(
        {p.value("url", ""), gesture, gesture ? UserAction::Yes : UserAction::No});
    Post([this, opener = ByTarget(window->targetId)] { LateWindowOpen(opener); });
  } else if (event.method == "Page.frameRequestedNavigation") {
    OnNavigationRequested(*window, p);
  } else if (event.method == "Page.frameNavigated") {
    OnFrameNavigated(*window, p.value("frame", Json::object()));
  } else if (event.method == "Page.frameAttached") {
    window->frames[frameId].parentId = p.value("parentFrameId", "");
  } else if (event.method == "Page.frameDetached") {
    window->frames.erase(frameId);
    window->loading.erase(frameId);
  } else if (event.method == "Page.frameStartedLoading") {
    window->loading.insert(frameId);
  } else if (event.method == "Page.frameStoppedLoading") {
    window->loading.erase(frameId);
  } else if (event.method == "Page.javascriptDialogOpening") {
    // A page's alert or confirm would hold its page until someone answers it.
    client_.Post("Page.handleJavaScriptDialog", {{"accept", true}}, window->sessionId);
  }
}

void ChromiumBrowsers::OnAttached(const Json& params) {
  const Json info = params.value("targetInfo", Json::object());
  const std::string sessionId = params.value("sessionId", "");
  if (info.value("type", "") != "page") {
    // Workers and the browser's own pages are no windows: they go on unwatched.
    client_.Post("Runtime.runIfWaitingForDebugger", Json::object(), sessionId, false);
    client_.Post("Target.detachFromTarget", {{"sessionId", sessionId}});
    return;
  }
  auto window = std::make_shared<ChromiumWindow>(*this, info.value("targetId", ""), sessionId);
  window->url = info.value("url", "");
  window->openerId = info.value("openerId", "");
  if (closedAtStart_.contains(window->targetId)) return Resume(*window);
  targets_[window->targetId] = window;
  Prepare(*window);
  // Every new window goes on to its blank start at once: its opener's script waits in
  // window.open until the window exists, and Velmox reads that opener while it judges. What
  // the window is to show waits, held as its first navigation, until Velmox has judged it.
  Resume(*window);
  if (!window->openerId.empty() && options_.intercept) {
    Post([this, window] { JudgeNewWindow(window); });
    return;
  }
  // A window nobody here created and no page opened: a page may have asked for it all the same
  // (a link clicked with a modifier); any other (a new tab of the user's, or any window while
  // nothing is intercepted) is the browser's own new window.
  Post([this, window] {
    if (!window->open || !window->label.empty()) return;
    if (options_.intercept) return PlaceByRequest(window);
    BrowsersOwn(window);
  });
}

void ChromiumBrowsers::BrowsersOwn(const std::shared_ptr<ChromiumWindow>& window) {
  window->label = NewLabel();
  newWindows.push_back(window);
  trace_.Line("browser", "the browser opens " + window->label);
  JoinCollection(window, std::nullopt);
}

void ChromiumBrowsers::Prepare(ChromiumWindow& window) {
  if (options_.intercept) {
    client_.Post("Fetch.enable", {{"patterns", Everything()}}, window.sessionId);
  }
  client_.Post("Page.enable", Json::object(), window.sessionId);
  // Nothing of a new window is to run until Velmox has judged it (the scripts of a blob: or
  // data: page never pass the interception): only a window that joins the collection gets its
  // scripts back. A pop-up of the opener's own origin may run before this reaches it.
  if (options_.intercept) {
    client_.Post("Emulation.setScriptExecutionDisabled", {{"value", true}}, window.sessionId);
  }
}

// What the browser holds of a window of the collection: web addresses, which the desktop serves
// in place of the network, and the local documents that may be a command page. Chromium's
// patterns cannot say which names those are (a wildcard takes the first match it finds and never
// looks further), so they hold every document of the application folder, every local one with
// an escape (Chromium keeps the escapes a page wrote, which only Velmox's own reading of the
// address can undo), and every one on a drive letter. Velmox's own check lets the rest go at
// once.
Json ChromiumBrowsers::CommandPagesAndWeb() const {
  const auto document = [](const std::string& pattern) {
    return Json{{"urlPattern", pattern}, {"resourceType", "Document"}};
  };
  const auto folder = pages.PlainFolderAddress();
  return Json::array({{{"urlPattern", "http:*"}},
                      {{"urlPattern", "https:*"}},
                      document(folder ? *folder + "/*" : "file:*"),
                      document("file:*%*"),
                      document("file:///*:/*")});
}

void ChromiumBrowsers::Narrow(ChromiumWindow& window) {
  if (!options_.intercept || window.narrowed || window.role != TargetRole::Window) return;
  window.narrowed = true;
  client_.Post("Fetch.enable", {{"patterns", CommandPagesAndWeb()}}, window.sessionId);
}

void ChromiumBrowsers::Resume(ChromiumWindow& window) {
  client_.Post("Runtime.runIfWaitingForDebugger", Json::object(), window.sessionId, false);
}

void ChromiumBrowsers::OnDetached(const std::string& targetId) {
  const auto window = ByTarget(targetId);
  if (!window) return;
  targets_.erase(targetId);
  client_.ForgetSession(window->sessionId);
  window->open = false;
  window->loading.clear();
  const auto inCollection = std::find(windows_.begin(), windows_.end(), window);
  if (inCollection == windows_.end()) return;
  windows_.erase(inCollection);
  trace_.Line("browser", window->label + " closes");
  const long cookie = window->cookie;
  Post([this, cookie] { RaiseRegistered(cookie, false); });
}

void ChromiumBrowsers::OnGone() {
  const std::string& why = client_.WhyGone();
  trace_.Line("browser", "Chromium has gone" + (why.empty() ? "" : " (" + why + ")") +
                             "; its windows are revoked");
  for (const auto& [id, window] : targets_) {
    window->open = false;
    window->loading.clear();
  }
  targets_.clear();
  const auto gone = windows_;
  windows_.clear();
  for (const auto& window : gone) {
    const long cookie = window->cookie;
    Post([this, cookie] { RaiseRegistered(cookie, false); });
  }
}

void ChromiumBrowsers::OnFrameNavigated(ChromiumWindow& window, const Json& frame) {
  const std::string id = frame.value("id", "");
  FrameInfo& info = window.frames[id];
  info.parentId = frame.value("parentId", "");
  info.name = frame.value("name", "");
  info.world = 0;  // a new document, a new world
  if (info.parentId.empty()) window.url = frame.value("url", window.url);
  // Where a document may run none of Velmox's scripts for new documents: a frame (it may be
  // sandboxed), and the page of a window some page opened (a sandboxed frame's pop-up is
  // sandboxed too). A window of the user's own costs its navigations nothing more.
  const bool maySandbox = !info.parentId.empty() || !window.openerId.empty();
  if (options_.intercept && window.role == TargetRole::Window && maySandbox) {
    Post([this, shared = ByTarget(window.targetId), id] { WatchFrameActivations(*shared, id); });
  }
}

void ChromiumBrowsers::OnRequestPaused(ChromiumWindow& window, const Json& params) {
  const Json request = params.value("request", Json::object());
  PausedRequest paused{params.value("requestId", ""), params.value("frameId", ""),
                       request.value("url", ""), request.value("method", "GET"),
                       PostDataOf(request)};
  if (params.value("resourceType", "") != "Document") {
    Answer(window, paused, false);  // what a page loads besides itself is served at once
    return;
  }
  if (window.role == TargetRole::Held && !window.firstRequest) {
    const Json headers = request.value("headers", Json::object());
    window.firstRequest = FirstRequest{paused.url, headers.value("Referer", "")};
  }
  auto shared = ByTarget(window.targetId);
  if (window.narrowed && !pages.MayBeCommandPage(pages.Reported(paused.url))) {
    // Velmox would only let it go: it goes now, without waiting for Velmox.
    return NavigationRequested(shared, paused, false);
  }
  Post([this, shared, paused] { NavigationRequested(shared, paused); });
}

}  // namespace velmox::chromium
