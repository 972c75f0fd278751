#include "platform/chromium/chromium_input.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/chromium/chromium_document.h"
#include "platform/sim/context_menu_script.h"

namespace velmox::chromium {
namespace {

// The window of a frame path from the top window, by the frames' names; null when there is none.
const char* const kFindWindow = R"js(function(path) {
  let w = window;
  for (const name of path) {
    let next = null;
    for (let i = 0; i < w.frames.length; i++) {
      try {
        if (w.frames[i].name === name) { next = w.frames[i]; break; }
      } catch (e) {}
    }
    if (!next) return null;
    w = next;
  }
  return w;
})js";

// The element a script line picks in a document, run in Velmox's own world of its frame.
const char* const kFindElement = R"js(function(selector, linkText) {
  if (linkText === null) return document.querySelector(selector);
  const wanted = linkText.replace(/\s+/g, ' ').trim();
  for (const link of document.querySelectorAll('a, area')) {
    if (link.textContent.replace(/\s+/g, ' ').trim() === wanted) return link;
  }
  return null;
})js";

// The world in which the script finds what the user clicks: one of its own in each frame, so a
// frame of another origin or a sandboxed one is reached as the user reaches it.
constexpr const char* kInputWorld = "velmox-input";

Json PathOf(const ChromiumPlace& place) {
  Json path = Json::array();
  for (const auto& name : place.framePath)
    path.push_back(name);
  return path;
}

// "(f)(a, b)" with the arguments as JavaScript literals.
std::string Called(const std::string& function, const Json& arguments) {
  std::string text = "(" + function + ")(";
  for (std::size_t i = 0; i < arguments.size(); ++i)
    text += (i ? ", " : "") + arguments[i].dump();
  return text + ")";
}

// The element in the page's own world of the frame, reached from the top window.
std::string FindElementExpression(const ChromiumPlace& place, const ElementChoice& choice) {
  const std::string find = std::string("function(w, selector, linkText) { if (!w) return null; ") +
                           "const document = w.document; return (" + kFindElement +
                           ")(selector, linkText); }";
  const std::string window = Called(kFindWindow, Json::array({PathOf(place)}));
  return "(" + find + ")(" + window + ", " + Json(choice.selector).dump() + ", " +
         (choice.linkText ? Json(*choice.linkText).dump() : "null") + ")";
}

// The frame of the place, by the frames' names from the top, in the browser's frame tree.
std::string FrameIdOf(ChromiumBrowsers& browsers, const ChromiumPlace& place) {
  const Json tree =
      browsers.Client().Call("Page.getFrameTree", Json::object(), place.window->sessionId);
  Json node = ObjectMember(tree, "frameTree");
  for (const auto& name : place.framePath) {
    const Json children = node.value("childFrames", Json::array());
    const auto child = std::find_if(children.begin(), children.end(), [&](const Json& c) {
      return TextMember(ObjectMember(c, "frame"), "name", "") == name;
    });
    if (child == children.end()) throw std::invalid_argument("there is no frame " + place.Label());
    node = *child;
  }
  return TextMember(ObjectMember(node, "frame"), "id", "");
}

// Where the user's pointer lands on the element: the middle of its first box, in the top
// window's viewport (the browser places a frame's boxes there), after scrolling it into view;
// nullopt when it is not shown.
std::optional<std::pair<double, double>> MiddleOf(ChromiumBrowsers& browsers,
                                                  ChromiumWindow& window, const std::string& id) {
  browsers.CallOn(window, id,
                  "function() { this.scrollIntoView({block: 'center', inline: 'center'}); }");
  const Json quads =
      browsers.Client().Call("DOM.getContentQuads", {{"objectId", id}}, window.sessionId);
  for (const auto& quad : quads.value("quads", Json::array())) {
    if (!quad.is_array() || quad.size() != 8) continue;
    double x = 0, y = 0, left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (std::size_t i = 0; i < 8; i += 2) {
      const double qx = quad[i].is_number() ? quad[i].get<double>() : 0;
      const double qy = quad[i + 1].is_number() ? quad[i + 1].get<double>() : 0;
      x += qx / 4;
      y += qy / 4;
      left = std::min(left, qx), right = std::max(right, qx);
      top = std::min(top, qy), bottom = std::max(bottom, qy);
    }
    if (right - left > 0 && bottom - top > 0) return std::make_pair(x, y);
  }
  return std::nullopt;
}

constexpr int kShiftModifier = 8;
constexpr int kCtrlModifier = 2;

// Input goes out without waiting for the page to take it: a page that opens a window from its
// click handler waits in window.open until Velmox has heard of that window.
void Mouse(ChromiumBrowsers& browsers, ChromiumWindow& window, const std::string& type,
           const std::pair<double, double>& at, const ClickHow& how, int count) {
  const char* button = how.button == MouseButton::Middle ? "middle" : "left";
  Json event = {{"type", type},        {"x", at.first},
                {"y", at.second},      {"button", type == "mouseMoved" ? "none" : button},
                {"clickCount", count}, {"modifiers", how.ctrl ? kCtrlModifier : 0}};
  browsers.Client().Post("Input.dispatchMouseEvent", event, window.sessionId);
}

}  // namespace

std::string ElementChoice::Described() const {
  return linkText ? "link " + sim::Quoted(*linkText) : sim::Quoted(selector);
}

void Click(ChromiumBrowsers& browsers, const ChromiumPlace& place, const ElementChoice& choice,
           const ClickHow& how) {
  ChromiumWindow& window = *place.window;
  window.Check();
  const Json world = browsers.Client().Call(
      "Page.createIsolatedWorld",
      {{"frameId", FrameIdOf(browsers, place)}, {"worldName", kInputWorld}}, window.sessionId);
  const Json text = choice.linkText ? Json(*choice.linkText) : Json();
  const Json found = browsers.Client().Call(
      "Runtime.evaluate",
      {{"expression", Called(kFindElement, Json::array({choice.selector, text}))},
       {"contextId", world.value("executionContextId", 0)}},
      window.sessionId);
  const ReleasedAtEnd element{browsers, window,
                              ObjectMember(found, "result").value("objectId", "")};
  const std::string& id = element.objectId;
  if (id.empty())
    throw std::invalid_argument(place.Label() + " has no element " + choice.Described());
  const std::string described =
      browsers
          .CallOn(window, id,
                  std::string("function() { return (") + kDescribeElement + ")(this); }")
          .value("value", std::string());
  const auto middle = MiddleOf(browsers, window, id);
  if (!middle) throw std::invalid_argument(place.Label() + ": " + described + " is not shown");
  const char* verb = how.button == MouseButton::Middle ? " middle-clicks "
                     : how.count == 2                  ? " double-clicks "
                                                       : " clicks ";
  browsers.TraceLine(place.Label() + ": the user" + verb + described +
                     (how.ctrl ? " with Ctrl held" : ""));
  Mouse(browsers, window, "mouseMoved", *middle, how, 0);
  for (int count = 1; count <= how.count; ++count) {
    Mouse(browsers, window, "mousePressed", *middle, how, count);
    Mouse(browsers, window, "mouseReleased", *middle, how, count);
  }
}

void PressKey(ChromiumBrowsers& browsers, ChromiumWindow& window, const std::string& key,
              bool ctrl) {
  struct Key {
    const char* name;
    const char* key;
    const char* code;
    int virtualKey;
    const char* text;
  };
  static const Key keys[] = {{"Enter", "Enter", "Enter", 13, "\r"},
                             {"Tab", "Tab", "Tab", 9, ""},
                             {"Space", " ", "Space", 32, " "},
                             {"Escape", "Escape", "Escape", 27, ""}};
  const bool shift = key.starts_with("Shift+");
  const std::string name = shift ? key.substr(6) : key;
  for (const Key& k : keys) {
    if (name != k.name) continue;
    window.Check();
    browsers.TraceLine(window.label + ": the user presses " + key +
                       (ctrl ? " with Ctrl held" : ""));
    Json down = {{"type", *k.text ? "keyDown" : "rawKeyDown"},
                 {"key", k.key},
                 {"code", k.code},
                 {"windowsVirtualKeyCode", k.virtualKey},
                 {"modifiers", (shift ? kShiftModifier : 0) | (ctrl ? kCtrlModifier : 0)}};
    if (*k.text) down["text"] = k.text;
    browsers.Client().Post("Input.dispatchKeyEvent", down, window.sessionId);
    Json up = down;
    up["type"] = "keyUp";
    up.erase("text");
    browsers.Client().Post("Input.dispatchKeyEvent", up, window.sessionId);
    return;
  }
  throw std::invalid_argument("no such key: " + key);
}

void ScriptOpens(ChromiumBrowsers& browsers, const ChromiumPlace& place, const std::string& address,
                 const std::string& features, bool duringUserAction) {
  // The address is resolved against the frame's own page, as a script of that page would.
  const std::string opens = R"js(function(w, url, features) {
    if (!w) throw new Error('no such frame');
    w.open(new URL(url, w.document.baseURI).href, '_blank', features);
  })js";
  const std::string window = Called(kFindWindow, Json::array({PathOf(place)}));
  browsers.TraceLine(place.Label() + ": the page's script opens a window" +
                     (duringUserAction ? " while it handles the user's action" : ""));
  place.window->Check();
  browsers.Client().Post("Runtime.evaluate",
                         {{"expression", "(" + opens + ")(" + window + ", " +
                                             Json(browsers.pages.ToBrowser(address)).dump() + ", " +
                                             Json(features).dump() + ")"},
                          {"userGesture", duringUserAction}},
                         place.window->sessionId);
}

void ContextMenu(ChromiumBrowsers& browsers, sim::SimFiles& files, ChromiumPlace place,
                 bool disallow) {
  const auto navigation = sim::PickMenuEntry(
      files, disallow, place.Label(), [&](const std::string& line) { browsers.TraceLine(line); });
  if (!navigation) return;
  for (std::size_t levels = navigation->parentLevels; levels > 0; --levels) {
    if (!place.framePath.empty()) place.framePath.pop_back();
  }
  browsers.Navigate(place, navigation->address);
}

FocusSeen FocusOf(ChromiumBrowsers& browsers, const ChromiumPlace& place,
                  const ElementChoice& choice) {
  const std::string check = std::string("(function(e) { const describe = ") + kDescribeElement +
                            R"js(;
    if (!e) return {found: false};
    const focused = e.ownerDocument.activeElement;
    return {found: true, focused: focused === e, expected: describe(e), seen: describe(focused)};
  }))js";
  const Json seen =
      browsers.Evaluate(*place.window, check + "(" + FindElementExpression(place, choice) + ")")
          .value("value", Json::object());
  return {seen.value("found", false), seen.value("focused", false),
          seen.value("expected", std::string()), seen.value("seen", std::string())};
}

}  // namespace velmox::chromium
