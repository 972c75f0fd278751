// What a page asked the browser for before a new window appears: its window-open events, and
// its requests to show an address in a new tab or window. A new window is matched to the
// record of its own request, each record is taken once, and none is kept for ever.
#include <algorithm>

#include "platform/chromium/chromium_browser.h"

namespace velmox::chromium {
namespace {

constexpr std::size_t kNewTabRequestsKept = 64;
constexpr std::chrono::seconds kNewTabRequestAge{10};

std::string WithoutFragment(const std::string& url) {
  return url.substr(0, url.find('#'));
}

void ForgetOld(std::deque<NewTabRequest>& requests) {
  const auto oldest = std::chrono::steady_clock::now() - kNewTabRequestAge;
  while (!requests.empty() && requests.front().when < oldest)
    requests.pop_front();
}

}  // namespace

WindowOpenRecord ChromiumBrowsers::TakeWindowOpen(ChromiumWindow& window, const std::string& url) {
  const auto opener = ByTarget(window.openerId);
  if (!opener) return {url, false};
  auto& records = opener->windowOpens;
  const auto found = std::find_if(records.begin(), records.end(),
                                  [&](const WindowOpenRecord& r) { return r.url == url; });
  if (found == records.end()) return {url, false};
  const WindowOpenRecord record = *found;
  records.erase(found);
  return record;
}

// A window-open event that came after its window was judged without it: a captured window still
// waiting to say where it goes learns it, and its page sink hears of an address that never
// reaches the network (a javascript: one) at once.
void ChromiumBrowsers::LateWindowOpen(const std::shared_ptr<ChromiumWindow>& opener) {
  if (!opener || opener->windowOpens.empty()) return;
  for (const auto& entry : targets_) {
    const std::shared_ptr<ChromiumWindow>& held = entry.second;
    if (held->openerId != opener->targetId || held->role != TargetRole::Sink || !held->open ||
        held->firstNavigation || !held->request || !held->request->url.empty()) {
      continue;
    }
    held->request = opener->windowOpens.back();
    return HandToSink(held, held->sink, held->request->url);
  }
}

// A captured window whose address nothing has named by the time the browser is quiet (its
// window-open event never came, as happens for a javascript: address) goes to its page sink as
// a blank window: judged, and blocked with the alert, rather than held unseen for ever.
bool ChromiumBrowsers::SendUnnamedToSinks() {
  bool sent = false;
  for (const auto& entry : targets_) {
    const std::shared_ptr<ChromiumWindow> held = entry.second;
    if (held->role != TargetRole::Sink || !held->open || held->closing || held->firstNavigation ||
        !held->request || !held->request->url.empty()) {
      continue;
    }
    held->request->url = "about:blank";
    Post([this, held] { HandToSink(held, held->sink, held->request->url); });
    sent = true;
  }
  return sent;
}

void ChromiumBrowsers::OnNavigationRequested(ChromiumWindow& window, const Json& params) {
  const std::string disposition = params.value("disposition", "");
  if (disposition != "newTab" && disposition != "newWindow") return;
  auto& requests = window.newTabRequests;
  ForgetOld(requests);
  if (requests.size() >= kNewTabRequestsKept) requests.pop_front();
  requests.push_back({WithoutFragment(params.value("url", "")), std::chrono::steady_clock::now()});
  for (const auto& entry : targets_) {
    const std::shared_ptr<ChromiumWindow> held = entry.second;
    if (!held->unplaced) continue;
    held->unplaced = false;
    Post([this, held] { PlaceByRequest(held); });
  }
}

// A window that came with no opener (a link clicked with a modifier, by the user or by a page's
// script, or a page's window opened without one) is judged as a new window of the page that
// asked for it: the page whose request for a new tab names its address, else the page its first
// request names as referrer, else the collection's first window, for no window Velmox has not
// judged may open. Only with no window in the collection at all is it the browser's own.
void ChromiumBrowsers::PlaceByRequest(const std::shared_ptr<ChromiumWindow>& window) {
  if (!window->open) return;
  auto asked = TakeNewTabRequest(window->url);
  if (!asked && window->firstRequest) asked = OpenerByReferrer(*window->firstRequest);
  if (!asked && windows_.empty()) return BrowsersOwn(window);
  // Nothing says yet who asked for it (the browser's clock may be held): it stays held until its
  // first request or a page's request for a new tab comes.
  window->unplaced = !asked;
  if (!asked) return;
  const auto& [opener, url] = *asked;
  window->openerId = opener->targetId;
  window->url = url;
  opener->windowOpens.push_back({url, false, UserAction::Unknown});
  JudgeNewWindow(window);
  // Its record is taken where its navigation is: by a cancel, by its page sink, or by its first
  // request when one was seen. Otherwise the browser's own navigation of it may never pass
  // Velmox: the record goes here, and a page sink hears of the address now.
  if (window->firstNavigation || window->closing || window->firstRequest) return;
  TakeWindowOpen(*window, url);
  sim::NavigationRequest navigation;
  navigation.address = pages.Reported(url);
  navigation.flags = 0;  // nothing says a user's gesture asked for it
  window->firstNavigation = navigation;
  if (window->role == TargetRole::Sink) SinkNavigation(window, PausedRequest{}, navigation);
}

std::optional<std::pair<std::shared_ptr<ChromiumWindow>, std::string>>
ChromiumBrowsers::OpenerByReferrer(const FirstRequest& request) {
  if (windows_.empty()) return std::nullopt;
  const std::string referrer = WithoutFragment(request.referrer);
  for (const auto& candidate : windows_) {
    if (!referrer.empty() && WithoutFragment(candidate->url) == referrer) {
      return std::make_pair(candidate, request.url);
    }
  }
  return std::make_pair(windows_.front(), request.url);
}

// The oldest request for a new tab of the collection's windows, the one for `url` first (when
// the new window already says where it goes); taken, with the window that asked.
std::optional<std::pair<std::shared_ptr<ChromiumWindow>, std::string>>
ChromiumBrowsers::TakeNewTabRequest(const std::string& url) {
  std::shared_ptr<ChromiumWindow> opener;
  std::deque<NewTabRequest>::iterator chosen;
  for (const auto& candidate : windows_) {
    auto& requests = candidate->newTabRequests;
    ForgetOld(requests);
    for (auto it = requests.begin(); it != requests.end(); ++it) {
      const bool better = !opener || (it->url == url && chosen->url != url) ||
                          ((it->url == url) == (chosen->url == url) && it->when < chosen->when);
      if (better) {
        opener = candidate;
        chosen = it;
      }
    }
  }
  if (!opener) return std::nullopt;
  std::string taken = chosen->url;
  opener->newTabRequests.erase(chosen);
  return std::make_pair(opener, std::move(taken));
}

}  // namespace velmox::chromium
