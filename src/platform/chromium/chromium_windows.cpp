// The windows of Chromium as the desktop script and Velmox handle them.
#include <algorithm>

#include "core/platform_error.h"
#include "platform/chromium/chromium_browser.h"
#include "platform/sim/sim_document.h"

namespace velmox::chromium {

std::string ChromiumBrowsers::NewLabel() {
  std::string label;
  do {
    label = "new" + std::to_string(nextNewLabel_++);
  } while (Find(label) != nullptr);
  return label;
}

std::shared_ptr<ChromiumWindow> ChromiumBrowsers::CreateTarget(const std::string& label) {
  const Json created =
      client_.Call("Target.createTarget", {{"url", "about:blank"}, {"newWindow", true}});
  const std::string targetId = created.value("targetId", "");
  const auto deadline = std::chrono::steady_clock::now() + DevToolsClient::kCallTimeout;
  while (!targets_.contains(targetId)) {
    if (Gone() || std::chrono::steady_clock::now() > deadline) {
      throw PlatformError(sim::kDisconnected, "The browser did not attach its new window.");
    }
    client_.Poll(std::chrono::milliseconds(10));
  }
  auto window = targets_[targetId];
  window->label = label;
  return window;
}

void ChromiumBrowsers::JoinCollection(const std::shared_ptr<ChromiumWindow>& window,
                                      std::optional<std::size_t> position) {
  window->role = TargetRole::Window;
  window->cookie = nextCookie_++;
  if (options_.intercept) {
    client_.Post("Emulation.setScriptExecutionDisabled", {{"value", false}}, window->sessionId);
    // Placed once its scripts are on (in the documents it has and every later one): nothing of
    // a held window runs, Velmox's listeners included.
    WatchActivations(*window);
  }
  const std::size_t at = std::min(position.value_or(windows_.size()), windows_.size());
  windows_.insert(windows_.begin() + static_cast<std::ptrdiff_t>(at), window);
  if (window->firstNavigation) Narrow(*window);
  const long cookie = window->cookie;
  Post([this, cookie] { RaiseRegistered(cookie, true); });
}

ChromiumWindow& ChromiumBrowsers::Open(const std::string& label, const std::string& address,
                                       std::optional<std::size_t> position) {
  auto window = CreateTarget(label);
  JoinCollection(window, position);
  trace_.Line("browser", label + " opens at " + sim::Quoted(address));
  Navigate(ChromiumPlace{window, {}}, address);
  return *window;
}

void ChromiumBrowsers::Close(ChromiumWindow& window) {
  trace_.Line("browser", window.label + " is closed by the user");
  window.closing = true;
  client_.Call("Target.closeTarget", {{"targetId", window.targetId}});
}

std::size_t ChromiumBrowsers::HeldWindows() const {
  return static_cast<std::size_t>(std::count_if(
      targets_.begin(), targets_.end(),
      [](const auto& t) { return t.second->open && t.second->role != TargetRole::Window; }));
}

ChromiumWindow* ChromiumBrowsers::Find(const std::string& label) {
  for (const auto& window : windows_) {
    if (window->label == label) return window.get();
  }
  return nullptr;
}

std::optional<ChromiumPlace> ChromiumBrowsers::FindPlace(const std::string& path) {
  const auto slash = path.find('/');
  ChromiumWindow* window = Find(path.substr(0, slash));
  if (window == nullptr) return std::nullopt;
  ChromiumPlace place{ByTarget(window->targetId), {}};
  std::size_t start = slash;
  while (start != std::string::npos) {
    const auto end = path.find('/', start + 1);
    place.framePath.push_back(
        path.substr(start + 1, end == std::string::npos ? end : end - start - 1));
    start = end;
  }
  return place;
}

void ChromiumBrowsers::Navigate(const ChromiumPlace& place, const std::string& address) {
  ChromiumWindow& window = *place.window;
  window.Check();
  std::string frameId = window.targetId;
  for (const auto& name : place.framePath) {
    const auto found = std::find_if(window.frames.begin(), window.frames.end(), [&](const auto& f) {
      return f.second.parentId == frameId && f.second.name == name;
    });
    if (found == window.frames.end()) {
      throw std::invalid_argument(place.Label() + " has no frame " + sim::Quoted(name));
    }
    frameId = found->first;
  }
  client_.Post("Page.navigate", {{"url", pages.ToBrowser(address)}, {"frameId", frameId}},
               window.sessionId);
}

void ChromiumBrowsers::UserSetsFullScreen(ChromiumWindow& window, bool fullScreen) {
  window.Check();
  const Json found = client_.Call("Browser.getWindowForTarget", {{"targetId", window.targetId}});
  client_.Call("Browser.setWindowBounds",
               {{"windowId", found.value("windowId", 0)},
                {"bounds", {{"windowState", fullScreen ? "fullscreen" : "normal"}}}});
  trace_.Line("browser",
              window.label + ": the user sets FullScreen=" + sim::FeatureText(fullScreen));
}

void ChromiumBrowsers::FailWindow(ChromiumWindow& window, std::optional<PlatformError> failure) {
  window.failure = std::move(failure);
  const auto& f = window.failure;
  trace_.Line("browser",
              window.label + (f ? ": every call fails with #" + std::to_string(f->Number()) + " " +
                                      sim::Quoted(f->Description())
                                : ": calls work again"));
}

void ChromiumBrowsers::FailEnumeration(std::optional<std::size_t> item, PlatformError failure) {
  failAt_ = item;
  enumerationFailure_ = std::move(failure);
  trace_.Line("browser", item ? "the shell's enumeration fails at item " + std::to_string(*item)
                              : "the shell's enumeration works again");
}

void ChromiumBrowsers::Kill() {
  trace_.Line("browser", "Chromium is killed");
  pipe_->Kill();
  client_.Poll(std::chrono::milliseconds(0));
}

}  // namespace velmox::chromium
