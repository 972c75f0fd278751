#include "platform/chromium/chromium_window.h"

#include <algorithm>
#include <iterator>

#include "platform/chromium/chromium_browser.h"
#include "platform/chromium/chromium_document.h"
#include "platform/sim/sim_document.h"

namespace velmox::chromium {
namespace {

constexpr const char* kHtmlTypes[] = {"text/html", "application/xhtml+xml"};

bool IsHtml(const std::string& contentType) {
  return std::ranges::find(kHtmlTypes, contentType) != std::end(kHtmlTypes);
}

// True in the page when its document is an HTML document.
std::string HtmlCheck() {
  std::string types;
  for (const char* type : kHtmlTypes)
    types += std::string(types.empty() ? "" : ", ") + "'" + type + "'";
  return "[" + types + "].includes(document.contentType)";
}

}  // namespace

ChromiumWindow::ChromiumWindow(ChromiumBrowsers& browsers, std::string targetId,
                               std::string sessionId)
    : targetId(std::move(targetId)), sessionId(std::move(sessionId)), browsers_(browsers) {}

void ChromiumWindow::Check() const {
  if (!open) throw sim::Disconnected();
  if (failure) throw *failure;
}

std::string ChromiumWindow::Name() {
  Check();
  return kBrowserName;
}

std::string ChromiumWindow::LocationURL() {
  Check();
  return browsers_.pages.Shown(url);
}

std::string ChromiumWindow::ContentType() {
  return browsers_.Evaluate(*this, "document.contentType").value("value", std::string());
}

std::shared_ptr<HtmlDocument> ChromiumWindow::Document() {
  Check();
  // The document comes with its focused element and that element's tag, asked at once: judging
  // a pop-up asks for them next, and a page still busy with the window it has just opened makes
  // every separate call wait for it.
  static const std::string html = HtmlCheck();
  static const std::vector<ChromiumBrowsers::Expression> asked = {
      {html + " ? document : null", false},
      {html + " ? (" + kActiveElement + ").call(document) : null", false},
      {html + " && document.activeElement ? document.activeElement.tagName : null", true}};
  const auto answers = browsers_.EvaluateTogether(*this, asked);
  const auto self = browsers_.ByTarget(targetId);
  FocusAtStart focus{nullptr, answers[1].error};
  if (const std::string id = answers[1].result.value("objectId", ""); !id.empty()) {
    const Json& tag = answers[2].result.value("value", Json());
    focus.element = std::make_shared<ChromiumElement>(
        browsers_, self, id,
        tag.is_string() ? std::optional<std::string>(tag.get<std::string>()) : std::nullopt);
  }
  if (answers[0].error) throw *answers[0].error;
  const std::string id = answers[0].result.value("objectId", "");
  if (id.empty()) return nullptr;
  return std::make_shared<ChromiumDocument>(browsers_, self, id, std::move(focus));
}

std::string ChromiumWindow::Type() {
  Check();
  const std::string type = ContentType();
  return IsHtml(type) ? kHtmlDocumentType : type;
}

// Chromium has no theater mode, menu bar, status bar, tool bar or address-bar switch: they
// read as Velmox's rules want them, and writing them is noted but changes nothing.
bool ChromiumWindow::TheaterMode() {
  Check();
  return false;
}
bool ChromiumWindow::MenuBar() {
  Check();
  return true;
}
bool ChromiumWindow::StatusBar() {
  Check();
  return true;
}
int ChromiumWindow::ToolBar() {
  Check();
  return 1;
}

bool ChromiumWindow::FullScreen() {
  Check();
  const Json found =
      browsers_.Client().Call("Browser.getWindowForTarget", {{"targetId", targetId}});
  return found.value("bounds", Json::object()).value("windowState", "") == "fullscreen";
}

template <class T>
void ChromiumWindow::Write(const char* property, T value) {
  Check();
  std::string shown;
  if constexpr (std::is_same_v<T, bool>) {
    shown = sim::FeatureText(value);
  } else {
    shown = std::to_string(value);
  }
  writes.push_back(std::string(property) + "=" + shown);
  browsers_.TraceLine(label + ": Velmox sets " + property + " " + shown);
}

void ChromiumWindow::SetTheaterMode(bool v) {
  Write("TheaterMode", v);
}
void ChromiumWindow::SetMenuBar(bool v) {
  Write("MenuBar", v);
}
void ChromiumWindow::SetStatusBar(bool v) {
  Write("StatusBar", v);
}
void ChromiumWindow::SetToolBar(int v) {
  Write("ToolBar", v);
}
void ChromiumWindow::SetAddressBar(bool v) {
  Write("AddressBar", v);
}

void ChromiumWindow::SetFullScreen(bool v) {
  Write("FullScreen", v);
  const Json found =
      browsers_.Client().Call("Browser.getWindowForTarget", {{"targetId", targetId}});
  browsers_.Client().Call("Browser.setWindowBounds",
                          {{"windowId", found.value("windowId", 0)},
                           {"bounds", {{"windowState", v ? "fullscreen" : "normal"}}}});
}

void ChromiumWindow::SetVisible(bool v) {
  Write("Visible", v);
  visible = v;
}

void ChromiumWindow::Navigate(const NavigateArgs& args) {
  browsers_.NavigateFromVelmox(*this, args);
}

std::unique_ptr<Connection> ChromiumWindow::Connect(BrowserEvents& events) {
  Check();
  auto link = std::make_shared<sim::EventLink<BrowserEvents>>();
  link->events = &events;
  links_.push_back(link);
  browsers_.allLinks_.push_back(link);
  return std::make_unique<sim::SimConnection<BrowserEvents>>(link);
}

std::vector<BrowserEvents*> ChromiumWindow::Handlers() {
  std::erase_if(links_, [](const auto& link) { return !link->alive; });
  std::vector<BrowserEvents*> out;
  for (const auto& link : links_)
    out.push_back(link->events);
  return out;
}

sim::WindowFeatures ChromiumWindow::Features() {
  sim::WindowFeatures features;
  try {
    features.FullScreen = FullScreen();
  } catch (const PlatformError&) {
    features.FullScreen = false;
  }
  features.Visible = visible;
  return features;
}

std::string ChromiumWindow::PlaceLabel(const std::string& frameId) const {
  std::string path;
  std::string id = frameId;
  for (int depth = 0; depth < 16 && !id.empty() && id != targetId; ++depth) {
    const auto found = frames.find(id);
    if (found == frames.end()) break;
    path =
        "/" + (found->second.name.empty() ? std::string("(unnamed)") : found->second.name) + path;
    id = found->second.parentId;
  }
  return label + path;
}

}  // namespace velmox::chromium
