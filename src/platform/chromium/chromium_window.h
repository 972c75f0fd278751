#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/browser_automation.h"
#include "core/platform_error.h"
#include "platform/sim/sim_window.h"

namespace velmox::chromium {

class ChromiumBrowsers;

// What a page target of Chromium is to Velmox.
enum class TargetRole {
  Held,    // a new window held at its start, not yet judged
  Window,  // a browser window of the collection
  Sink,    // a captured new window handed to a page sink; it never joins the collection
};

// A page's request for a new window, from its window-open event.
struct WindowOpenRecord {
  std::string url;
  bool userGesture = false;
  // What the event said of the user's gesture; Unknown for a window no event announced.
  UserAction startedBy = UserAction::Unknown;
};

// A page's request to show an address in a new tab or window of the browser's (a link clicked
// with a modifier, by the user or by a script's event): such a window comes with no opener.
struct NewTabRequest {
  std::string url;  // as its window's first request will name it (no fragment)
  std::chrono::steady_clock::time_point when;
};

// The first request of a new window held before it was judged, and the page it names as its
// referrer (none when the page withholds it).
struct FirstRequest {
  std::string url;
  std::string referrer;
};

// A navigation Velmox asked of a window, waiting for its request to carry its post data.
struct PendingNavigation {
  std::string url;            // as Chromium loads it
  std::string velmoxAddress;  // as Velmox gave it
  std::optional<long> flags;
  std::optional<std::string> postData;
};

// One frame of a window's page, as the page reported it.
struct FrameInfo {
  std::string parentId;
  std::string name;
  int world = 0;  // the context of Velmox's own world in its document, once made
};

// One page target of Chromium: a browser window, or a new window while Velmox judges it. The
// properties Chromium has no switch for read as Velmox's rules want them and writing them does
// nothing; full screen is the window's state. Every call fails once the target has gone.
class ChromiumWindow : public BrowserWindow {
 public:
  ChromiumWindow(ChromiumBrowsers& browsers, std::string targetId, std::string sessionId);

  std::string Name() override;
  std::string LocationURL() override;
  std::shared_ptr<HtmlDocument> Document() override;
  std::string Type() override;
  bool TheaterMode() override;
  void SetTheaterMode(bool value) override;
  bool FullScreen() override;
  void SetFullScreen(bool value) override;
  bool MenuBar() override;
  void SetMenuBar(bool value) override;
  bool StatusBar() override;
  void SetStatusBar(bool value) override;
  int ToolBar() override;
  void SetToolBar(int value) override;
  void SetAddressBar(bool value) override;
  void SetVisible(bool value) override;
  void Navigate(const NavigateArgs& args) override;
  std::unique_ptr<Connection> Connect(BrowserEvents& events) override;
  std::optional<UserActivation> LastUserActivation() override;
  void ConsumeUserActivation() override;

  // Throws when the window has gone or has been told to fail.
  void Check() const;
  // The connected handlers that are still connected.
  std::vector<BrowserEvents*> Handlers();
  bool Tracked() { return !Handlers().empty(); }
  // The features as Velmox reads them, for the script.
  sim::WindowFeatures Features();
  // The label of a frame for the trace and the script: "news/main".
  std::string PlaceLabel(const std::string& frameId) const;

  const std::string targetId;
  const std::string sessionId;
  std::string label;
  TargetRole role = TargetRole::Held;
  int sink = -1;  // the page sink of a captured window
  long cookie = 0;
  bool open = true;
  bool closing = false;  // Velmox's side has closed it; the browser has not yet said so
  bool visible = true;
  std::string url;                          // the address shown, as Chromium has it
  std::string openerId;                     // the target that opened it, if any
  std::optional<WindowOpenRecord> request;  // what its opener asked for
  std::optional<sim::NavigationRequest> firstNavigation;
  std::vector<std::string> writes;  // property writes by Velmox, as "Name=value"
  std::optional<PlatformError> failure;
  std::map<std::string, FrameInfo> frames;
  std::set<std::string> loading;  // frames that are loading
  std::deque<WindowOpenRecord> windowOpens;
  std::deque<NewTabRequest> newTabRequests;
  std::optional<FirstRequest> firstRequest;
  bool unplaced = false;  // no opener, and nothing yet says which page asked for it
  std::optional<PendingNavigation> pendingNavigation;
  // A window of the collection whose first navigation has passed: only what may be a command
  // page is held from then on.
  bool narrowed = false;
  double judgingMs = 0;  // how long Velmox's handlers took over this new window so far
  // The frame and time of the user's last press that Velmox read, and of the one a window used.
  std::optional<std::pair<std::string, double>> lastActivation;
  std::optional<std::pair<std::string, double>> usedActivation;

 private:
  template <class T>
  void Write(const char* property, T value);
  std::string ContentType();

  ChromiumBrowsers& browsers_;
  std::vector<std::shared_ptr<sim::EventLink<BrowserEvents>>> links_;
};

}  // namespace velmox::chromium
