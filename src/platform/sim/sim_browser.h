#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/browser_automation.h"
#include "platform/sim/page_map.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_trace.h"
#include "platform/sim/sim_window.h"

namespace velmox::sim {

// A window or one of its frames: where a page is shown.
struct Place {
  SimWindow* window = nullptr;
  SimFrame* frame = nullptr;  // nullptr: the window's top page

  // The page shown there; nullptr when it is not HTML.
  SimDocument* Document() const;
  std::string Label() const;
};

// The state of one hidden embedded browser control.
struct SinkState {
  int index = 0;
  std::string location = "http:///";
  bool navigated = false;  // its own navigation to `location` has reached its handlers
  bool alive = true;       // false once its control has gone: its object can no longer be had
  std::vector<std::shared_ptr<EventLink<BrowserEvents>>> links;

  // The connected handlers that are still connected.
  std::vector<BrowserEvents*> Handlers() const;
};

// The automation object of a page sink, handed out as ppDisp.
struct SinkObject : Dispatch {
  explicit SinkObject(std::shared_ptr<SinkState> state) : state(std::move(state)) {}
  std::shared_ptr<SinkState> state;
};

// A request caught by a page sink.
struct SinkCatch {
  int index = 0;
  std::string address;
  bool cancelled = false;
};

// The end of one navigation.
struct NavigationOutcome {
  std::string address;  // as reported in BeforeNavigate2
  bool cancelled = false;
};

// The simulated browser: its windows in the shell collection's enumeration order, their pages
// built from real HTML files, the hidden page sinks, and what a person does in it. Browser events
// reach only connected handlers. The shell collection's WindowRegistered and WindowRevoked are
// posted and delivered by `Settle`, after the browser's own work, as a message loop would.
class SimBrowsers : public BrowserAutomation {
 public:
  // Frames load up to this depth, and one page loads at most this many frame documents, however
  // they nest: a frameset that includes itself stays small. Frames beyond show empty pages.
  static constexpr int kMaxFrameDepth = 4;
  static constexpr int kMaxFrameDocuments = 100;

  SimBrowsers(Trace& trace, SimFiles& files) : trace_(trace), files_(files) {}

  // Velmox's collection. Its connections end with Velmox's process (DisconnectAll).
  std::unique_ptr<ShellWindows> CreateShellWindows() override;
  // The collection as another program on the desktop has it (the starter): its connections
  // outlive Velmox's runs.
  std::unique_ptr<ShellWindows> CreateShellWindowsFor(std::string program);
  std::shared_ptr<BrowserWindow> CreateInternetExplorer() override;
  std::unique_ptr<PageSinkControl> CreatePageSink(int index) override;

  // Faults to order: asked before each call on the browser's own objects ("CreateShellWindows",
  // "ShellWindows.Connect", "CreatePageSink"); a call answered true fails as when the browser
  // cannot be reached.
  std::function<bool(std::string_view call)> failCall;

  // ---- Pages ----
  // The page file for an address. An address ending in "/" mapped to a folder serves every
  // address below it from that folder ("index.html" for the folder itself). A page that is not
  // HTML gives its document type.
  void MapPage(const std::string& address, const std::filesystem::path& file,
               const std::string& documentType = "");

  // ---- Windows ----
  struct OpenOptions {
    std::string name = BrowserWindow::kBrowserName;
    std::string documentType;  // empty: the page is HTML
    WindowFeatures features;
    std::optional<std::size_t> position;  // place in the enumeration order; default last
  };
  SimWindow& Open(const std::string& label, const std::string& address, const OpenOptions& options);
  void Close(SimWindow& window);
  // An open window by its label; nullptr when there is none.
  SimWindow* Find(const std::string& label);
  // "label", "label/frame", "label/frame/inner": nullptr when there is no such place.
  std::optional<Place> FindPlace(const std::string& path);
  const std::vector<std::shared_ptr<SimWindow>>& Windows() const { return windows_; }
  // The user changes a window's features.
  void ChangeFeatures(SimWindow& window, const WindowFeatures& features);
  void FailWindow(SimWindow& window, std::optional<PlatformError> failure);
  // The enumeration fails when it reaches item `item` (1 for the first); nullopt: it works.
  void FailEnumeration(std::optional<std::size_t> item, PlatformError failure);

  // ---- What a person and a page do ----
  // The user types an address into the place's window (or has a frame navigate).
  bool Navigate(Place place, const NavigationRequest& request);
  // A click by the user (Yes) or by the page's own script (No): the element takes the focus, a
  // link follows its target and a submit button submits its form.
  void Click(Place place, HtmlNode& element, UserAction by = UserAction::Yes);
  // The user presses Enter: a focused link is followed, a focused field submits its form.
  void PressEnter(Place place);
  // The page's script moves the focus to the element.
  void ScriptFocuses(Place place, HtmlNode& element);
  // A middle click: a link opens in a new window whatever its target; anything else only
  // takes the focus.
  void MiddleClick(Place place, HtmlNode& element);
  // The page's script opens a window; `features` are the window.open feature text. `startedBy`
  // is Yes when it does so while handling the user's click or key.
  void ScriptOpens(Place place, const std::string& address, const std::string& features,
                   UserAction startedBy = UserAction::No);
  // The user picks a context-menu entry: true for the one that disallows pop-ups.
  void ContextMenu(Place place, bool disallow);

  // The live page sink of that index; nullptr when Velmox has none.
  SinkState* Sink(int index);
  // True while a handler is connected to the shell collection's events.
  bool ShellEventsConnected() const;

  // ---- The event loop ----
  // Delivers the collection's posted events, each to the handlers connected before it was posted.
  void Settle();
  // Velmox's process has ended: no handler of it is connected any more. Other programs' stay.
  void DisconnectAll();

  // ---- What the script expects ----
  // Windows opened by the browser or by Velmox, not yet checked by the script.
  std::deque<std::shared_ptr<SimWindow>> newWindows;
  std::vector<SinkCatch> sinkCatches;
  std::map<std::string, NavigationOutcome> lastNavigation;  // by place label
  int escapedFailures = 0;  // failures that escaped a handler of Velmox

 private:
  friend class SimWindow;
  struct ShellEvent {
    bool registered;
    long cookie;
    long number;  // in the order posted
  };
  struct ShellLink {
    std::shared_ptr<EventLink<ShellWindowsEvents>> link;
    std::string program;
    long firstEvent;  // the number of the first event posted after it connected
  };
  class Shell;

  // What one page's load may still load: its frames, however nested, share one budget.
  struct FrameBudget {
    int left = kMaxFrameDocuments;
    int refused = 0;
  };

  // The page for an address with its frames: nullptr when it is not HTML (`documentType` says
  // what it is).
  std::shared_ptr<SimDocument> LoadPage(const std::string& address,
                                        const std::shared_ptr<WindowScope>& scope,
                                        std::string& documentType);
  std::shared_ptr<SimDocument> LoadDocument(const std::string& address,
                                            const std::shared_ptr<WindowScope>& scope,
                                            std::string& documentType, int depth,
                                            FrameBudget& budget);
  std::optional<PageMap::Page> PageFor(const std::string& address) const;
  void LoadFrames(SimDocument& document, const std::shared_ptr<WindowScope>& scope, int depth,
                  FrameBudget& budget);
  void Check(std::string_view call) const;
  std::shared_ptr<SimWindow> AddWindow(const std::string& label, std::optional<std::size_t> at);
  std::string NewLabel();
  void Post(bool registered, long cookie);

  void NavigateFromVelmox(SimWindow& window, const NavigateArgs& args);
  void FollowTarget(Place from, const std::string& target, const NavigationRequest& request,
                    const std::string& features = "");
  void RequestNewWindow(SimWindow& opener, const NavigationRequest& request,
                        const std::string& features);
  void FollowLink(Place place, HtmlNode& link, UserAction by);
  void Submit(Place place, HtmlNode& form, const HtmlNode& submitter, UserAction by);
  void NavigateSink(SinkState& sink, const std::shared_ptr<Dispatch>& object,
                    const NavigationRequest& request);
  // The sink's own first navigation, to its initial address: no catch, as it is no new window.
  void NavigateSinkHome(SinkState& sink, const std::shared_ptr<Dispatch>& object);
  Place Parent(Place place);
  // A failure that escapes a handler is Velmox's fault: it is counted and traced.
  void CallVelmox(const std::string& handler, const std::function<void()>& call);

  Trace& trace_;
  SimFiles& files_;
  std::vector<std::shared_ptr<SimWindow>> windows_;
  PageMap pages_;
  std::vector<ShellLink> shellLinks_;
  std::vector<std::weak_ptr<EventLink<BrowserEvents>>> allLinks_;
  std::vector<std::shared_ptr<SinkState>> sinks_;
  std::deque<ShellEvent> pending_;
  std::optional<std::size_t> failAt_;
  std::optional<PlatformError> enumerationFailure_;
  long nextCookie_ = 1;
  long nextEvent_ = 1;
  int nextNewLabel_ = 1;
};

}  // namespace velmox::sim
