#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/browser_automation.h"
#include "platform/chromium/chromium_pages.h"
#include "platform/chromium/chromium_window.h"
#include "platform/chromium/devtools_client.h"
#include "platform/chromium/devtools_pipe.h"
#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_trace.h"

namespace velmox::chromium {

// The name of Velmox's own world in every frame of a page.
inline constexpr const char* kVelmoxWorld = "velmox";

struct ChromiumOptions {
  // Where the browser is started from; its `userDataDir` is the folder under which each run
  // makes a fresh profile of its own.
  BrowserLaunch launch;
  // Velmox hears navigations and new windows before they happen. Only a measurement of what
  // that costs turns it off.
  bool intercept = true;
  // The browser counts as quiet when it has said nothing for this long, no page is loading and
  // Velmox has been told everything. A page's own timer that fires later than this after the
  // last event is not waited for.
  std::chrono::milliseconds quiet{100};
  // How long the browser may take to become quiet after one line of a script.
  std::chrono::milliseconds settleLimit{15000};
};

// The browser did not become quiet within the settle limit.
struct SettleTimeout : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A window or one of its frames, by the frames' names from the top ("news", "f/main").
struct ChromiumPlace {
  std::shared_ptr<ChromiumWindow> window;
  std::vector<std::string> framePath;
  std::string Label() const;
};

// Chromium as the browser Velmox watches, driven through its DevTools protocol. Page targets
// are the browser windows, in the order they appeared. Events of the browser are taken in as
// they come, but Velmox hears of them only in `Settle` (or `PumpUntil`), one at a time, as a
// message loop delivers them; a navigation or a new window waits in the browser until Velmox
// has answered.
class ChromiumBrowsers : public BrowserAutomation {
 public:
  ChromiumBrowsers(sim::Trace& trace, sim::SimFiles& files, ChromiumOptions options);
  ~ChromiumBrowsers() override;

  std::unique_ptr<ShellWindows> CreateShellWindows() override;
  std::shared_ptr<BrowserWindow> CreateInternetExplorer() override;
  std::unique_ptr<PageSinkControl> CreatePageSink(int index) override;

  ChromiumPages pages;

  // ---- Windows ----
  // A window the user opens, at `position` in the collection's order (default last). The
  // reference lasts while the window is open; whoever keeps a window holds it as Velmox does.
  ChromiumWindow& Open(const std::string& label, const std::string& address,
                       std::optional<std::size_t> position = std::nullopt);
  void Close(ChromiumWindow& window);
  ChromiumWindow* Find(const std::string& label);
  std::optional<ChromiumPlace> FindPlace(const std::string& path);
  const std::vector<std::shared_ptr<ChromiumWindow>>& Windows() const { return windows_; }
  // The new windows still open outside the collection: held before they are judged, or
  // captured and not yet closed.
  std::size_t HeldWindows() const;
  // The user types an address into a window or has a frame load it.
  void Navigate(const ChromiumPlace& place, const std::string& address);
  void UserSetsFullScreen(ChromiumWindow& window, bool fullScreen);
  void FailWindow(ChromiumWindow& window, std::optional<PlatformError> failure);
  void FailEnumeration(std::optional<std::size_t> item, PlatformError failure);
  // The browser dies at once.
  void Kill();
  bool Gone() const { return client_.Gone(); }

  // ---- Calls into pages (throw PlatformError) ----
  DevToolsClient& Client() { return client_; }
  // Runs `function` with `this` bound to the object and the arguments given, in its page;
  // the value when `byValue`, else the object's description ("objectId" when it is one).
  Json CallOn(ChromiumWindow& window, const std::string& objectId, const std::string& function,
              const Json& arguments = Json::array(), bool byValue = true);
  // An expression evaluated in Velmox's own world of the window's top frame.
  Json Evaluate(ChromiumWindow& window, const std::string& expression, bool byValue = true);
  struct Expression {
    std::string text;
    bool byValue = true;
  };
  // The expressions evaluated in the page one after another, asked at once: each answer is
  // what Evaluate would return, or the failure it would throw. Throws only when the window or
  // the browser has gone.
  std::vector<DevToolsAnswer> EvaluateTogether(ChromiumWindow& window,
                                               const std::vector<Expression>& expressions);
  // The execution context of Velmox's own world in a frame of the window, made when first
  // asked for and again after the frame has shown another document. Throws PlatformError.
  int WorldOf(ChromiumWindow& window, const std::string& frameId);
  // Lets a page object go (when the browser is still there).
  void Release(ChromiumWindow& window, const std::string& objectId) noexcept;
  // True while a call into Velmox's handlers (a judgement) goes on: the page objects it asks
  // for are let go together when it returns.
  bool Judging() const { return !judgements_.empty(); }
  // The object group of the innermost judgement, noted as used in the window's page; empty
  // outside any judgement.
  std::string JudgementGroup(const ChromiumWindow& window);
  void TraceLine(const std::string& what) { trace_.Line("browser", what); }

  // ---- The event loop ----
  // Delivers the browser's events to Velmox until the browser is quiet; throws SettleTimeout.
  void Settle();
  // Delivers events until `done` holds; false when `limit` passed first.
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
  // Velmox's process has ended: no handler of it is connected any more.
  void DisconnectAll();

  // ---- What the script expects ----
  std::deque<std::shared_ptr<ChromiumWindow>> newWindows;
  std::vector<sim::SinkCatch> sinkCatches;
  std::map<std::string, sim::NavigationOutcome> lastNavigation;  // by place label
  int escapedFailures = 0;
  // For each captured window, how long Velmox itself took to judge it: its NewWindow2 and its
  // page sink's BeforeNavigate2, the calls into the opener's page included.
  std::vector<double> judgingMs;

 private:
  friend class ChromiumWindow;
  class Shell;
  class SinkControl;
  struct PausedRequest {
    std::string requestId;
    std::string frameId;
    std::string url;
    std::string method;
    std::optional<std::string> postData;
  };

  void Start();
  // ---- Taken in as the browser says it (chromium_events.cpp) ----
  void OnEvent(const DevToolsEvent& event);
  void OnAttached(const Json& params);
  void OnDetached(const std::string& targetId);
  void OnRequestPaused(ChromiumWindow& window, const Json& params);
  void OnFrameNavigated(ChromiumWindow& window, const Json& frame);
  void OnGone();
  std::shared_ptr<ChromiumWindow> BySession(const std::string& sessionId);
  std::shared_ptr<ChromiumWindow> ByTarget(const std::string& targetId);
  // A new page target of this run, waiting at its start: made ready for Velmox.
  void Prepare(ChromiumWindow& window);
  // The user's trusted input in the window's frames is kept for Velmox
  // (chromium_activation.cpp).
  void WatchActivations(ChromiumWindow& window);
  // The same in the frame's document as it is now, where no script placed for it runs.
  void WatchFrameActivations(ChromiumWindow& window, const std::string& frameId);
  // The user's last press in any frame of the window, as Velmox's worlds keep it.
  UserActivation ReadActivation(ChromiumWindow& window);
  // A target Velmox creates: created blank and held, claimed under `label`.
  std::shared_ptr<ChromiumWindow> CreateTarget(const std::string& label);

  // ---- Delivered to Velmox (chromium_navigation.cpp) ----
  void Post(std::function<void()> work);
  bool AwaitingRequests() const;
  void RunPosted();
  void JudgeNewWindow(const std::shared_ptr<ChromiumWindow>& held);
  std::shared_ptr<ChromiumWindow> JudgingWindow(const ChromiumWindow& held);
  void StandAside(const std::shared_ptr<ChromiumWindow>& held, const std::string& address);
  void HandToSink(const std::shared_ptr<ChromiumWindow>& held, int sink,
                  const std::string& address);
  // A document request: Velmox's handlers hear of it unless `askVelmox` is false (it cannot be
  // a command page), and it is let go or refused as they answer.
  void NavigationRequested(const std::shared_ptr<ChromiumWindow>& window,
                           const PausedRequest& request, bool askVelmox = true);
  // From its first navigation on, a window of the collection holds only what may be a command
  // page.
  void Narrow(ChromiumWindow& window);
  Json CommandPagesAndWeb() const;
  void SinkNavigation(const std::shared_ptr<ChromiumWindow>& window, const PausedRequest& request,
                      const sim::NavigationRequest& navigation);
  // From a sink's handler: the captured window whose navigation it hears is to go on to
  // `navigation` once the handler returns. False when the sink hears none, that window has
  // gone, or `navigation` is not what the window asked for.
  bool LetSinkWindowGoOn(int sink, const NavigateArgs& navigation) noexcept;
  void SinkWindowGoesOn(const std::shared_ptr<ChromiumWindow>& window, const PausedRequest& request,
                        const NavigateArgs& navigation);
  // Lets the request go on: served by the pages, or fetched by the browser itself.
  void Answer(ChromiumWindow& window, const PausedRequest& request, bool document);
  void Refuse(ChromiumWindow& window, const std::string& requestId);
  void Resume(ChromiumWindow& window);
  void NavigateFromVelmox(ChromiumWindow& window, const NavigateArgs& args);
  void CloseTarget(ChromiumWindow& window);
  // The opener's window-open event for the window's request to `url`, taken from its queue;
  // no user gesture when there is none.
  WindowOpenRecord TakeWindowOpen(ChromiumWindow& window, const std::string& url);
  void OnNavigationRequested(ChromiumWindow& window, const Json& params);
  void LateWindowOpen(const std::shared_ptr<ChromiumWindow>& opener);
  bool SendUnnamedToSinks();
  std::optional<std::pair<std::shared_ptr<ChromiumWindow>, std::string>> TakeNewTabRequest(
      const std::string& url);
  void PlaceByRequest(const std::shared_ptr<ChromiumWindow>& window);
  std::optional<std::pair<std::shared_ptr<ChromiumWindow>, std::string>> OpenerByReferrer(
      const FirstRequest& request);
  void BrowsersOwn(const std::shared_ptr<ChromiumWindow>& window);
  void JoinCollection(const std::shared_ptr<ChromiumWindow>& window,
                      std::optional<std::size_t> position);
  void RaiseRegistered(long cookie, bool registered);
  // A failure that escapes a handler is Velmox's fault: it is counted and traced. Each call is
  // one judgement: every page object it asked for is released when it returns, however it ends.
  void CallVelmox(const std::string& handler, const std::function<void()>& call);
  void EndJudgement() noexcept;
  std::string NewLabel();

  sim::Trace& trace_;
  ChromiumOptions options_;
  std::filesystem::path userDataDir_;  // this run's fresh profile, removed at the end
  std::unique_ptr<DevToolsPipe> pipe_;
  DevToolsClient client_;
  std::vector<std::shared_ptr<ChromiumWindow>> windows_;            // the collection, in order
  std::map<std::string, std::shared_ptr<ChromiumWindow>> targets_;  // every page, by target
  std::vector<std::shared_ptr<sim::EventLink<ShellWindowsEvents>>> shellLinks_;
  std::vector<std::weak_ptr<sim::EventLink<BrowserEvents>>> allLinks_;
  std::vector<std::shared_ptr<sim::SinkState>> sinks_;
  std::deque<std::function<void()>> posted_;
  std::set<std::string> closedAtStart_;  // the browser's first tab
  std::optional<std::size_t> failAt_;
  std::optional<PlatformError> enumerationFailure_;
  long nextCookie_ = 1;
  int nextNewLabel_ = 1;
  // The judgements going on, the innermost last (a handler's modal loop may start another).
  struct Judgement {
    std::string group;
    std::set<std::string> sessions;  // the pages it asked for objects in
  };
  std::vector<Judgement> judgements_;
  long nextJudgement_ = 1;
  // The sink navigation whose handlers run now; null outside one.
  struct SinkHearing {
    int sink = -1;
    std::shared_ptr<ChromiumWindow> window;
    sim::NavigationRequest navigation;
    std::optional<NavigateArgs> goOn;
  };
  SinkHearing* sinkHearing_ = nullptr;
};

}  // namespace velmox::chromium
