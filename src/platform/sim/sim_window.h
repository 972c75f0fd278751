#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/browser_automation.h"
#include "platform/sim/sim_document.h"

namespace velmox::sim {

class SimBrowsers;

// The window features a browser window shows.
struct WindowFeatures {
  bool TheaterMode = false;
  bool FullScreen = false;
  bool MenuBar = true;
  bool StatusBar = true;
  int ToolBar = 1;
  bool AddressBar = true;
  bool Visible = true;

  bool operator==(const WindowFeatures&) const = default;
};

// One connection of an event handler; the handler's side ends it by destroying its Connection,
// the desktop's side when Velmox's process ends.
template <class Events>
struct EventLink {
  Events* events = nullptr;
  bool alive = true;
};

template <class Events>
class SimConnection : public Connection {
 public:
  explicit SimConnection(std::shared_ptr<EventLink<Events>> link) : link_(std::move(link)) {}
  ~SimConnection() override { link_->alive = false; }

 private:
  std::shared_ptr<EventLink<Events>> link_;
};

// What started a navigation, as the browser reports it in BeforeNavigate2.
struct NavigationRequest {
  std::string address;
  std::optional<long> flags;
  std::string targetFrameName;
  std::optional<std::string> postData;
  std::string headers;
  // Yes for what the user did, No for what the page's script did on its own.
  UserAction startedBy = UserAction::Unknown;
};

// One top-level window of the browser, or another kind of shell window (a folder window) when
// its `Name` is some other text.
class SimWindow : public BrowserWindow {
 public:
  SimWindow(SimBrowsers& browsers, std::string label, long cookie, Trace& trace);

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

  const std::string& Label() const { return scope_->label; }
  long Cookie() const { return cookie_; }
  const std::shared_ptr<WindowScope>& Scope() const { return scope_; }

  std::string name = kBrowserName;
  std::string location;
  std::shared_ptr<SimDocument> document;  // null: the page is not HTML
  // The type of a page that is not HTML; beside an HTML page, the name a browser in another
  // language gives it.
  std::string documentType;
  WindowFeatures features;
  bool open = true;
  // The first navigation asked of a window that the browser or Velmox opened.
  std::optional<NavigationRequest> firstNavigation;
  // Property writes by Velmox not yet checked by the script, as "Name=value".
  std::vector<std::string> writes;

  // The connected handlers that are still connected.
  std::vector<BrowserEvents*> Handlers();
  bool Tracked() { return !Handlers().empty(); }

 private:
  void Check(std::string_view member) const;
  template <class T>
  void Write(const char* property, T& field, T value);

  SimBrowsers& browsers_;
  long cookie_;
  std::shared_ptr<WindowScope> scope_;
  std::vector<std::shared_ptr<EventLink<BrowserEvents>>> links_;
};

std::string FeatureText(bool value);
// "TheaterMode=False FullScreen=False MenuBar=True ..." in the order of WindowFeatures.
std::string FeaturesText(const WindowFeatures& features);

}  // namespace velmox::sim
