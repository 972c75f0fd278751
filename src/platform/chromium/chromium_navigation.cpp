// What Velmox hears of Chromium and what its answers do there: navigations before they happen,
// new windows before they show, and the page sinks.
#include <algorithm>
#include <utility>

#include "core/ascii_case.h"
#include "platform/chromium/chromium_browser.h"
#include "platform/chromium/chromium_document.h"

namespace velmox::chromium {
namespace {

// The flags a navigation carries when the user started it with a click or a key.
constexpr long kUserNavigationFlags = 64;
constexpr std::chrono::milliseconds kWindowOpenWait{1000};

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

std::string Base64(const std::string& bytes) {
  static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += {digits[(v >> 18) & 63], digits[(v >> 12) & 63], digits[(v >> 6) & 63], digits[v & 63]};
  }
  if (i + 1 == bytes.size()) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += {digits[(v >> 18) & 63], digits[(v >> 12) & 63], '=', '='};
  } else if (i + 2 == bytes.size()) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8);
    out += {digits[(v >> 18) & 63], digits[(v >> 12) & 63], digits[(v >> 6) & 63], '='};
  }
  return out;
}

std::string RequestText(const sim::NavigationRequest& r) {
  std::string text = sim::Quoted(r.address);
  if (r.flags) text += " flags " + std::to_string(*r.flags);
  if (r.postData) text += " post " + sim::Quoted(*r.postData);
  return text;
}

// The frame a navigation happens in, as the pDisp of its event.
struct FrameObject : Dispatch {};

}  // namespace

void ChromiumBrowsers::Answer(ChromiumWindow& window, const PausedRequest& request, bool document) {
  if (request.requestId.empty() || !window.open) return;
  if (const auto response = pages.Serve(request.url, document)) {
    client_.Post("Fetch.fulfillRequest",
                 {{"requestId", request.requestId},
                  {"responseCode", response->status},
                  {"responseHeaders",
                   Json::array({{{"name", "Content-Type"}, {"value", response->contentType}}})},
                  {"body", Base64(response->body)}},
                 window.sessionId);
    return;
  }
  client_.Post("Fetch.continueRequest", {{"requestId", request.requestId}}, window.sessionId);
}

void ChromiumBrowsers::Refuse(ChromiumWindow& window, const std::string& requestId) {
  if (requestId.empty() || !window.open) return;
  client_.Post("Fetch.failRequest", {{"requestId", requestId}, {"errorReason", "Aborted"}},
               window.sessionId);
}

void ChromiumBrowsers::CloseTarget(ChromiumWindow& window) {
  if (!window.open || window.closing) return;
  window.closing = true;  // what it still asks for is refused
  client_.Post("Target.closeTarget", {{"targetId", window.targetId}});
}

void ChromiumBrowsers::NavigationRequested(const std::shared_ptr<ChromiumWindow>& window,
                                           const PausedRequest& request, bool askVelmox) {
  if (!window->open) return;
  if (window->unplaced) {
    window->unplaced = false;
    PlaceByRequest(window);
  }
  if (window->closing) return Refuse(*window, request.requestId);
  if (window->role == TargetRole::Held) {
    // Its judgement is still going on (a modal window inside it runs the loop): later.
    Post([this, window, request] { NavigationRequested(window, request); });
    return;
  }
  sim::NavigationRequest navigation;
  navigation.address = pages.Reported(request.url);
  navigation.postData = request.postData;
  std::optional<PendingNavigation> asked;
  if (window->pendingNavigation && request.frameId == window->targetId) {
    asked.swap(window->pendingNavigation);
    navigation.flags = asked->flags;
  } else if (!window->firstNavigation && !window->openerId.empty()) {
    navigation.flags = TakeWindowOpen(*window, request.url).userGesture ? kUserNavigationFlags : 0;
  }
  if (!window->firstNavigation) {
    window->firstNavigation = navigation;
    // A window Velmox navigated shows the address Velmox gave; one the browser opened, its own.
    window->firstNavigation->address = asked ? asked->velmoxAddress : pages.Shown(request.url);
  }
  Narrow(*window);
  if (window->role == TargetRole::Sink) return SinkNavigation(window, request, navigation);

  BeforeNavigate2Args args;
  FrameObject frame;
  args.pDisp = request.frameId == window->targetId ? static_cast<Dispatch*>(window.get()) : &frame;
  args.URL = navigation.address;
  args.Flags = navigation.flags;
  args.PostData = navigation.postData;
  if (window->role == TargetRole::Window && askVelmox) {
    for (BrowserEvents* handler : window->Handlers())
      CallVelmox("BeforeNavigate2", [&] { handler->BeforeNavigate2(args); });
  }
  const std::string label = window->PlaceLabel(request.frameId);
  lastNavigation[label] = {navigation.address, args.Cancel};
  if (args.Cancel) {
    Refuse(*window, request.requestId);
    trace_.Line("browser",
                label + ": the navigation to " + sim::Quoted(navigation.address) + " is cancelled");
    return;
  }
  Answer(*window, request, true);
  trace_.Line("browser", label + " loads " + RequestText(navigation));
}

void ChromiumBrowsers::SinkNavigation(const std::shared_ptr<ChromiumWindow>& window,
                                      const PausedRequest& request,
                                      const sim::NavigationRequest& navigation) {
  const std::string name = "page sink " + std::to_string(window->sink);
  trace_.Line("browser",
              "the new window's navigation to " + RequestText(navigation) + " goes to " + name);
  BeforeNavigate2Args args;
  args.URL = navigation.address;
  args.Flags = navigation.flags;
  args.PostData = navigation.postData;
  const auto start = std::chrono::steady_clock::now();
  SinkHearing hearing{window->sink, window, navigation, std::nullopt};
  SinkHearing* const outer = std::exchange(sinkHearing_, &hearing);
  for (const auto& state : sinks_) {
    if (!state->alive || state->index != window->sink) continue;
    const auto links = state->links;
    for (const auto& link : links) {
      if (link->alive) {
        CallVelmox("page sink BeforeNavigate2", [&] { link->events->BeforeNavigate2(args); });
      }
    }
  }
  sinkHearing_ = outer;
  judgingMs.push_back(window->judgingMs + MsSince(start));
  sinkCatches.push_back({window->sink, args.URL, args.Cancel});
  if (hearing.goOn && window->open && !window->closing) {
    return SinkWindowGoesOn(window, request, *hearing.goOn);
  }
  if (args.Cancel) {
    Refuse(*window, request.requestId);
    CloseTarget(*window);
    trace_.Line("browser", name + ": the navigation is cancelled and the window closed unseen");
    return;
  }
  Answer(*window, request, true);
  trace_.Line("browser", name + " loads it, unseen");
}

void ChromiumBrowsers::JudgeNewWindow(const std::shared_ptr<ChromiumWindow>& held) {
  if (!held->open) return;
  const auto opener = ByTarget(held->openerId);
  if (opener && opener->windowOpens.empty()) {
    // The opener's window-open event names the address; it comes just before the new window.
    const auto deadline = std::chrono::steady_clock::now() + kWindowOpenWait;
    while (opener->windowOpens.empty() && opener->open && !Gone() &&
           std::chrono::steady_clock::now() < deadline) {
      client_.Poll(std::chrono::milliseconds(5));
    }
  }
  // The event names the address only for the trace: the window's first request says where it
  // goes, and is matched to its event then. Under load the event may come after the window.
  WindowOpenRecord asked{held->url, false, UserAction::Unknown};
  if (opener && !opener->windowOpens.empty()) {
    const auto& records = opener->windowOpens;
    const auto own = std::find_if(records.begin(), records.end(),
                                  [&](const WindowOpenRecord& r) { return r.url == held->url; });
    asked = own != records.end() ? *own : records.front();
  }
  held->request = asked;
  const std::string address = pages.Shown(asked.url);
  // A window opened by a window Velmox holds or has captured is judged against the window of the
  // collection that started the chain.
  const auto judging = JudgingWindow(*held);
  if (!judging) return StandAside(held, address);
  trace_.Line("browser", judging->label + " asks for a new window for " + sim::Quoted(address) +
                             " flags " +
                             std::to_string(asked.userGesture ? kUserNavigationFlags : 0));
  std::shared_ptr<Dispatch> ppDisp;
  bool cancel = false;
  const auto start = std::chrono::steady_clock::now();
  for (BrowserEvents* handler : judging->Handlers())
    CallVelmox("NewWindow2", [&] { handler->NewWindow2(ppDisp, cancel, asked.startedBy); });
  held->judgingMs = MsSince(start);
  if (cancel) {
    trace_.Line("browser", judging->label + ": the new window is cancelled");
    TakeWindowOpen(*held, asked.url);
    return CloseTarget(*held);
  }
  if (!ppDisp) return StandAside(held, address);
  if (auto* sink = dynamic_cast<sim::SinkObject*>(ppDisp.get()); sink && sink->state->alive) {
    return HandToSink(held, sink->state->index, asked.url);
  }
  trace_.Line("browser", judging->label +
                             ": the object handed back for the new window is no page sink, "
                             "so no window opens");
  CloseTarget(*held);
}

// The window of the collection a new window is judged against: its opener's, or the first
// window of the collection up its opener chain; the collection's first window when the chain
// reaches none. Null only while the collection is empty.
std::shared_ptr<ChromiumWindow> ChromiumBrowsers::JudgingWindow(const ChromiumWindow& held) {
  auto window = ByTarget(held.openerId);
  for (int steps = 0; window && window->role != TargetRole::Window && steps < 64; ++steps)
    window = ByTarget(window->openerId);
  if (window && window->open && window->role == TargetRole::Window) return window;
  return windows_.empty() ? nullptr : windows_.front();
}

void ChromiumBrowsers::StandAside(const std::shared_ptr<ChromiumWindow>& held,
                                  const std::string& address) {
  held->label = NewLabel();
  newWindows.push_back(held);
  trace_.Line("browser", "the browser opens " + held->label + " for " + sim::Quoted(address));
  JoinCollection(held, std::nullopt);
}

void ChromiumBrowsers::HandToSink(const std::shared_ptr<ChromiumWindow>& held, int sink,
                                  const std::string& address) {
  held->role = TargetRole::Sink;
  held->sink = sink;
  if (!address.empty() && !ReachesNetwork(address)) {
    // A blank or script address never reaches the network: the sink hears it at once.
    sim::NavigationRequest navigation;
    navigation.address = address;
    navigation.flags = TakeWindowOpen(*held, address).userGesture ? kUserNavigationFlags : 0;
    held->firstNavigation = navigation;
    SinkNavigation(held, PausedRequest{}, navigation);
  }
}

bool ChromiumBrowsers::LetSinkWindowGoOn(int sink, const NavigateArgs& navigation) noexcept {
  SinkHearing* const hearing = sinkHearing_;
  if (!hearing || hearing->sink != sink) return false;
  const ChromiumWindow& window = *hearing->window;
  if (!window.open || window.closing) return false;
  // Only to what it asked for: anything else is a navigation of Velmox's own, in a new window.
  if (navigation.url != hearing->navigation.address ||
      navigation.postData != hearing->navigation.postData) {
    return false;
  }
  hearing->goOn = navigation;
  return true;
}

void ChromiumBrowsers::SinkWindowGoesOn(const std::shared_ptr<ChromiumWindow>& window,
                                        const PausedRequest& request,
                                        const NavigateArgs& navigation) {
  window->label = NewLabel();
  window->firstNavigation =
      sim::NavigationRequest{navigation.url, navigation.flags, "", navigation.postData, ""};
  newWindows.push_back(window);
  trace_.Line("browser", "page sink " + std::to_string(window->sink) +
                             ": Velmox lets the window go on, shown as " + window->label);
  JoinCollection(window, std::nullopt);
  Answer(*window, request, true);
  lastNavigation[window->label] = {navigation.url, false};
  trace_.Line("browser", window->label + " loads " + RequestText(*window->firstNavigation));
}

void ChromiumBrowsers::NavigateFromVelmox(ChromiumWindow& window, const NavigateArgs& args) {
  window.Check();
  const std::string url = pages.ToBrowser(args.url);
  if (ReachesNetwork(url))
    window.pendingNavigation = PendingNavigation{url, args.url, args.flags, args.postData};
  sim::NavigationRequest asked{args.url, args.flags, args.targetFrameName.value_or(""),
                               args.postData, ""};
  trace_.Line("browser",
              window.label + ": Velmox navigates to " + RequestText(asked) +
                  (args.targetFrameName ? " target " + sim::Quoted(*args.targetFrameName) : ""));
  if (!args.postData) {
    client_.Post("Page.navigate", {{"url", url}}, window.sessionId);
    return;
  }
  // The browser's own navigation carries no post data: the page submits it as a form would,
  // so the request that leaves the window is a real POST with these fields.
  static const char* submit = R"js(function(url, data) {
    const form = document.createElement('form');
    form.method = 'post';
    form.action = url;
    form.target = '_self';
    const decode = (s) => decodeURIComponent(s.replace(/\+/g, ' '));
    for (const pair of data.split('&')) {
      if (!pair) continue;
      const eq = pair.indexOf('=');
      const input = document.createElement('input');
      input.type = 'hidden';
      input.name = decode(eq < 0 ? pair : pair.slice(0, eq));
      input.value = eq < 0 ? '' : decode(pair.slice(eq + 1));
      form.appendChild(input);
    }
    (document.body || document.documentElement).appendChild(form);
    HTMLFormElement.prototype.submit.call(form);
  })js";
  const ReleasedAtEnd document{*this, window,
                               Evaluate(window, "document", false).value("objectId", "")};
  CallOn(window, document.objectId, submit, Json::array({url, *args.postData}));
}

}  // namespace velmox::chromium
