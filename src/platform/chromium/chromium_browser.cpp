#include "platform/chromium/chromium_browser.h"

#include <stdlib.h>

#include <algorithm>
#include <thread>

#include "core/platform_error.h"
#include "platform/sim/sim_document.h"
#include "platform/sim/sim_process_end.h"
#include "platform/sim/snapshot_enumerator.h"

namespace velmox::chromium {
namespace {

constexpr std::chrono::milliseconds kStartLimit{10000};

// A fresh folder for this run's browser profile, under `parent`.
std::filesystem::path FreshFolder(const std::filesystem::path& parent) {
  std::error_code ec;
  std::filesystem::create_directories(parent, ec);
  std::string pattern = (parent / "chromium-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw PlatformError(errno,
                        "cannot make a profile folder for the browser in " + parent.string());
  }
  return pattern;
}

BrowserLaunch LaunchIn(BrowserLaunch launch, const std::filesystem::path& folder) {
  launch.userDataDir = folder;
  return launch;
}

}  // namespace

std::string ChromiumPlace::Label() const {
  std::string label = window->label;
  for (const auto& name : framePath)
    label += "/" + (name.empty() ? std::string("(unnamed)") : name);
  return label;
}

// ---- The shell collection and the page sinks ---------------------------------------------------

class ChromiumBrowsers::Shell : public ShellWindows {
 public:
  explicit Shell(ChromiumBrowsers& browsers) : browsers_(browsers) {}

  // The collection is the shell's, not the browser's: once the browser has gone it is empty.
  std::unique_ptr<WindowEnumerator> Enumerate() override {
    return std::make_unique<sim::SnapshotEnumerator<ChromiumWindow>>(
        browsers_.windows_, browsers_.failAt_, browsers_.enumerationFailure_);
  }
  std::unique_ptr<Connection> Connect(ShellWindowsEvents& events) override {
    auto link = std::make_shared<sim::EventLink<ShellWindowsEvents>>();
    link->events = &events;
    browsers_.shellLinks_.push_back(link);
    return std::make_unique<sim::SimConnection<ShellWindowsEvents>>(link);
  }

 private:
  ChromiumBrowsers& browsers_;
};

// A page sink is no page of Chromium's: a captured new window stays held in the browser, bound
// to the sink, and its first navigation is the sink's.
class ChromiumBrowsers::SinkControl : public PageSinkControl {
 public:
  SinkControl(ChromiumBrowsers& browsers, std::shared_ptr<sim::SinkState> state)
      : browsers_(browsers),
        state_(std::move(state)),
        object_(std::make_shared<sim::SinkObject>(state_)) {}
  ~SinkControl() override { state_->alive = false; }

  std::shared_ptr<Dispatch> Object() override {
    if (!state_->alive) throw sim::Disconnected();
    return object_;
  }
  std::unique_ptr<Connection> Connect(BrowserEvents& events) override {
    auto link = std::make_shared<sim::EventLink<BrowserEvents>>();
    link->events = &events;
    state_->links.push_back(link);
    browsers_.allLinks_.push_back(link);
    // The control's own navigation to its initial address comes once it is listened to: no
    // catch, as it is no new window.
    if (!state_->navigated) {
      state_->navigated = true;
      browsers_.Post([browsers = &browsers_, state = state_, object = object_] {
        BeforeNavigate2Args args;
        args.pDisp = object.get();
        args.URL = state->location;
        args.Flags = 0;
        const auto links = state->links;
        for (const auto& each : links) {
          if (!each->alive) continue;
          browsers->CallVelmox("page sink BeforeNavigate2",
                               [&] { each->events->BeforeNavigate2(args); });
        }
      });
    }
    return std::make_unique<sim::SimConnection<BrowserEvents>>(link);
  }
  bool LetCapturedWindowGoOn(const NavigateArgs& navigation) noexcept override {
    return state_->alive && browsers_.LetSinkWindowGoOn(state_->index, navigation);
  }

 private:
  ChromiumBrowsers& browsers_;
  std::shared_ptr<sim::SinkState> state_;
  std::shared_ptr<sim::SinkObject> object_;
};

// ---- Start and end -----------------------------------------------------------------------------

ChromiumBrowsers::ChromiumBrowsers(sim::Trace& trace, sim::SimFiles& files, ChromiumOptions options)
    : pages(files),
      trace_(trace),
      options_(std::move(options)),
      userDataDir_(FreshFolder(options_.launch.userDataDir)),
      pipe_(std::make_unique<DevToolsPipe>(LaunchIn(options_.launch, userDataDir_))),
      client_(*pipe_) {
  client_.onEvent = [this](const DevToolsEvent& event) { OnEvent(event); };
  client_.onGone = [this] { OnGone(); };
  try {
    Start();
  } catch (...) {
    pipe_.reset();
    std::error_code ec;
    std::filesystem::remove_all(userDataDir_, ec);
    throw;
  }
}

ChromiumBrowsers::~ChromiumBrowsers() {
  client_.onEvent = nullptr;
  client_.onGone = nullptr;
  pipe_.reset();  // ends the browser before its profile goes
  std::error_code ec;
  std::filesystem::remove_all(userDataDir_, ec);
}

void ChromiumBrowsers::Start() {
  // The browser's first tab is no window of this run: it is closed before anything is watched.
  const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
  bool closedFirstTab = false;
  while (!closedFirstTab) {
    const Json found = client_.Call("Target.getTargets", Json::object(), "", kStartLimit);
    for (const auto& info : found.value("targetInfos", Json::array())) {
      if (info.value("type", "") != "page") continue;
      closedAtStart_.insert(info.value("targetId", ""));
      client_.Call("Target.closeTarget", {{"targetId", info.value("targetId", "")}});
      closedFirstTab = true;
    }
    if (closedFirstTab || std::chrono::steady_clock::now() > deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  client_.Call("Target.setDiscoverTargets", {{"discover", true}});
  client_.Call(
      "Target.setAutoAttach",
      {{"autoAttach", true}, {"waitForDebuggerOnStart", options_.intercept}, {"flatten", true}});
  trace_.Line("browser",
              std::string("Chromium starts") + (options_.launch.headed ? "" : ", headless"));
}

std::unique_ptr<ShellWindows> ChromiumBrowsers::CreateShellWindows() {
  return std::make_unique<Shell>(*this);
}

std::unique_ptr<PageSinkControl> ChromiumBrowsers::CreatePageSink(int index) {
  auto state = std::make_shared<sim::SinkState>();
  state->index = index;
  std::erase_if(sinks_, [](const auto& s) { return !s->alive; });
  sinks_.push_back(state);
  return std::make_unique<SinkControl>(*this, state);
}

std::shared_ptr<BrowserWindow> ChromiumBrowsers::CreateInternetExplorer() {
  if (Gone()) throw sim::Disconnected();
  auto window = CreateTarget(NewLabel());
  window->visible = false;
  newWindows.push_back(window);
  trace_.Line("browser", window->label + " created by Velmox, invisible");
  JoinCollection(window, std::nullopt);
  return window;
}

// ---- The event loop ----------------------------------------------------------------------------

void ChromiumBrowsers::Post(std::function<void()> work) {
  posted_.push_back(std::move(work));
}

void ChromiumBrowsers::RunPosted() {
  // Only what was posted before: work posted meanwhile waits for the next round, so that work
  // that puts itself back cannot hold the loop.
  for (std::size_t count = posted_.size(); count > 0 && !posted_.empty(); --count) {
    auto work = std::move(posted_.front());
    posted_.pop_front();
    work();
  }
}

void ChromiumBrowsers::Settle() {
  const auto start = std::chrono::steady_clock::now();
  while (true) {
    RunPosted();
    if (Gone()) return;
    const auto now = std::chrono::steady_clock::now();
    const bool loading = std::any_of(windows_.begin(), windows_.end(),
                                     [](const auto& w) { return !w->loading.empty(); });
    const bool busy = !posted_.empty() || loading || client_.Unanswered() || AwaitingRequests();
    if (!busy && now - client_.LastActivity() >= options_.quiet) {
      if (SendUnnamedToSinks()) continue;
      return;
    }
    if (now - start > options_.settleLimit) {
      throw SettleTimeout("the browser was not quiet within " +
                          std::to_string(options_.settleLimit.count()) + " ms" +
                          (loading ? " (a page was still loading)"
                           : client_.Unanswered()
                               ? " (" + client_.OldestUnanswered() + " was not answered)"
                           : AwaitingRequests() ? " (a window's navigation or end did not come)"
                                                : ""));
    }
    client_.Poll(std::chrono::milliseconds(10));
  }
}

// A new window's first request, one Velmox asked for, or the end of a window being closed may
// take the browser a while, with nothing said meanwhile.
bool ChromiumBrowsers::AwaitingRequests() const {
  return std::any_of(targets_.begin(), targets_.end(), [](const auto& entry) {
    const ChromiumWindow& w = *entry.second;
    if (!w.open) return false;
    if (w.pendingNavigation || w.closing) return true;
    return w.request && !w.firstNavigation && ReachesNetwork(w.request->url);
  });
}

bool ChromiumBrowsers::PumpUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (true) {
    RunPosted();
    if (done()) return true;
    if (Gone() || std::chrono::steady_clock::now() > deadline) return false;
    client_.Poll(std::chrono::milliseconds(5));
  }
}

void ChromiumBrowsers::RaiseRegistered(long cookie, bool registered) {
  std::erase_if(shellLinks_, [](const auto& link) { return !link->alive; });
  const auto links = shellLinks_;
  for (const auto& link : links) {
    if (!link->alive) continue;
    if (registered) {
      CallVelmox("WindowRegistered", [&] { link->events->WindowRegistered(cookie); });
    } else {
      CallVelmox("WindowRevoked", [&] { link->events->WindowRevoked(cookie); });
    }
  }
}

void ChromiumBrowsers::CallVelmox(const std::string& handler, const std::function<void()>& call) {
  judgements_.push_back({"velmox-judgement-" + std::to_string(nextJudgement_++), {}});
  struct Ends {
    ChromiumBrowsers& browsers;
    ~Ends() { browsers.EndJudgement(); }
  } ends{*this};
  try {
    call();
  } catch (const sim::ProcessEnded&) {
    throw;
  } catch (const std::exception& e) {
    ++escapedFailures;
    trace_.Line("browser", "a failure escaped Velmox's " + handler + " handler: " + e.what());
  }
}

std::string ChromiumBrowsers::JudgementGroup(const ChromiumWindow& window) {
  if (judgements_.empty()) return "";
  judgements_.back().sessions.insert(window.sessionId);
  return judgements_.back().group;
}

void ChromiumBrowsers::EndJudgement() noexcept {
  const Judgement ended = std::move(judgements_.back());
  judgements_.pop_back();
  for (const auto& session : ended.sessions) {
    const auto window = BySession(session);
    if (!window || !window->open || Gone()) continue;
    try {
      client_.Post("Runtime.releaseObjectGroup", {{"objectGroup", ended.group}}, session);
    } catch (const PlatformError&) {
      return;  // the browser has just gone, and its objects with it
    }
  }
}

void ChromiumBrowsers::DisconnectAll() {
  for (const auto& link : shellLinks_)
    link->alive = false;
  shellLinks_.clear();
  for (const auto& weak : allLinks_) {
    if (auto link = weak.lock()) link->alive = false;
  }
  allLinks_.clear();
}

}  // namespace velmox::chromium
