#include "platform/sim/sim_window.h"

#include "platform/sim/sim_browser.h"

namespace velmox::sim {

std::string FeatureText(bool value) {
  return value ? "True" : "False";
}

std::string FeaturesText(const WindowFeatures& f) {
  return "TheaterMode=" + FeatureText(f.TheaterMode) + " FullScreen=" + FeatureText(f.FullScreen) +
         " MenuBar=" + FeatureText(f.MenuBar) + " StatusBar=" + FeatureText(f.StatusBar) +
         " ToolBar=" + std::to_string(f.ToolBar) + " AddressBar=" + FeatureText(f.AddressBar) +
         " Visible=" + FeatureText(f.Visible);
}

SimWindow::SimWindow(SimBrowsers& browsers, std::string label, long cookie, Trace& trace)
    : browsers_(browsers), cookie_(cookie), scope_(std::make_shared<WindowScope>()) {
  scope_->label = std::move(label);
  scope_->trace = &trace;
}

void SimWindow::Check(std::string_view member) const {
  scope_->Check(member);
}

std::string SimWindow::Name() {
  Check("Name");
  return name;
}

std::string SimWindow::LocationURL() {
  Check("LocationURL");
  return location;
}

std::shared_ptr<HtmlDocument> SimWindow::Document() {
  Check("Document");
  return document;
}

std::string SimWindow::Type() {
  Check("Type");
  if (!documentType.empty()) return documentType;
  // A window that has shown no page yet has no document type to give.
  if (!document) throw Unsupported();
  return kHtmlDocumentType;
}

bool SimWindow::TheaterMode() {
  Check("TheaterMode");
  return features.TheaterMode;
}
bool SimWindow::FullScreen() {
  Check("FullScreen");
  return features.FullScreen;
}
bool SimWindow::MenuBar() {
  Check("MenuBar");
  return features.MenuBar;
}
bool SimWindow::StatusBar() {
  Check("StatusBar");
  return features.StatusBar;
}
int SimWindow::ToolBar() {
  Check("ToolBar");
  return features.ToolBar;
}

template <class T>
void SimWindow::Write(const char* property, T& field, T value) {
  Check(std::string("Set") + property);
  std::string shown;
  if constexpr (std::is_same_v<T, bool>) {
    shown = FeatureText(value);
  } else {
    shown = std::to_string(value);
  }
  writes.push_back(std::string(property) + "=" + shown);
  if (field == value) return;
  field = value;
  scope_->trace->Line("browser", Label() + ": Velmox sets " + property + " " + shown);
}

void SimWindow::SetTheaterMode(bool v) {
  Write("TheaterMode", features.TheaterMode, v);
}
void SimWindow::SetFullScreen(bool v) {
  Write("FullScreen", features.FullScreen, v);
}
void SimWindow::SetMenuBar(bool v) {
  Write("MenuBar", features.MenuBar, v);
}
void SimWindow::SetStatusBar(bool v) {
  Write("StatusBar", features.StatusBar, v);
}
void SimWindow::SetToolBar(int v) {
  Write("ToolBar", features.ToolBar, v);
}
void SimWindow::SetAddressBar(bool v) {
  Write("AddressBar", features.AddressBar, v);
}
void SimWindow::SetVisible(bool v) {
  Write("Visible", features.Visible, v);
}

void SimWindow::Navigate(const NavigateArgs& args) {
  Check("Navigate");
  browsers_.NavigateFromVelmox(*this, args);
}

std::unique_ptr<Connection> SimWindow::Connect(BrowserEvents& events) {
  Check("Connect");
  auto link = std::make_shared<EventLink<BrowserEvents>>();
  link->events = &events;
  links_.push_back(link);
  browsers_.allLinks_.push_back(link);
  return std::make_unique<SimConnection<BrowserEvents>>(link);
}

std::vector<BrowserEvents*> SimWindow::Handlers() {
  std::erase_if(links_, [](const auto& link) { return !link->alive; });
  std::vector<BrowserEvents*> out;
  for (const auto& link : links_)
    out.push_back(link->events);
  return out;
}

}  // namespace velmox::sim
