#include "platform/chromium/chromium_input.h"

#include <stdexcept>

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

// The element a script line picks in the window of a frame path.
const char* const kFindElement = R"js(function(w, selector, linkText) {
  if (!w) return null;
  const d = w.document;
  if (linkText === null) return d.querySelector(selector);
  const wanted = linkText.replace(/\s+/g, ' ').trim();
  for (const link of d.querySelectorAll('a, area')) {
    if (link.textContent.replace(/\s+/g, ' ').trim() === wanted) return link;
  }
  return null;
})js";

// The middle of the element in the top window's viewport, after scrolling it into view.
const char* const kMiddle = R"js(function() {
  this.scrollIntoView({block: 'center', inline: 'center'});
  const r = this.getBoundingClientRect();
  let x = r.left + r.width / 2, y = r.top + r.height / 2;
  for (let w = this.ownerDocument.defaultView; w.frameElement; w = w.parent) {
    const f = w.frameElement, fr = f.getBoundingClientRect();
    x += fr.left + f.clientLeft;
    y += fr.top + f.clientTop;
  }
  return {x: x, y: y, shown: r.width > 0 && r.height > 0};
})js";

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

std::string FindElementExpression(const ChromiumPlace& place, const ElementChoice& choice) {
  const std::string window = Called(kFindWindow, Json::array({PathOf(place)}));
  return "(" + std::string(kFindElement) + ")(" + window + ", " + Json(choice.selector).dump() +
         ", " + (choice.linkText ? Json(*choice.linkText).dump() : "null") + ")";
}

// Input goes out without waiting for the page to take it: a page that opens a window from its
// click handler waits in window.open until Velmox has heard of that window.
void Mouse(ChromiumBrowsers& browsers, ChromiumWindow& window, const char* type, double x,
           double y) {
  Json event = {{"type", type}, {"x", x}, {"y", y}, {"button", "left"}, {"clickCount", 1}};
  if (std::string(type) == "mouseMoved") event["button"] = "none";
  browsers.Client().Post("Input.dispatchMouseEvent", event, window.sessionId);
}

}  // namespace

std::string ElementChoice::Described() const {
  return linkText ? "link " + sim::Quoted(*linkText) : sim::Quoted(selector);
}

void Click(ChromiumBrowsers& browsers, const ChromiumPlace& place, const ElementChoice& choice) {
  ChromiumWindow& window = *place.window;
  const Json element = browsers.Evaluate(window, FindElementExpression(place, choice), false);
  const std::string id = element.value("objectId", "");
  if (id.empty())
    throw std::invalid_argument(place.Label() + " has no element " + choice.Described());
  const std::string described =
      browsers
          .CallOn(window, id,
                  std::string("function() { return (") + kDescribeElement + ")(this); }")
          .value("value", std::string());
  const Json middle = browsers.CallOn(window, id, kMiddle).value("value", Json::object());
  browsers.Release(window, id);
  if (!middle.value("shown", false)) {
    throw std::invalid_argument(place.Label() + ": " + described + " is not shown");
  }
  const double x = middle.value("x", 0.0), y = middle.value("y", 0.0);
  browsers.TraceLine(place.Label() + ": the user clicks " + described);
  Mouse(browsers, window, "mouseMoved", x, y);
  Mouse(browsers, window, "mousePressed", x, y);
  Mouse(browsers, window, "mouseReleased", x, y);
}

void PressKey(ChromiumBrowsers& browsers, ChromiumWindow& window, const std::string& key) {
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
    browsers.TraceLine(window.label + ": the user presses " + key);
    Json down = {{"type", *k.text ? "keyDown" : "rawKeyDown"},
                 {"key", k.key},
                 {"code", k.code},
                 {"windowsVirtualKeyCode", k.virtualKey},
                 {"modifiers", shift ? 8 : 0}};
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
                 const std::string& features) {
  // The address is resolved against the frame's own page, as a script of that page would.
  const std::string opens = R"js(function(w, url, features) {
    if (!w) throw new Error('no such frame');
    w.open(new URL(url, w.document.baseURI).href, '_blank', features);
  })js";
  const std::string window = Called(kFindWindow, Json::array({PathOf(place)}));
  browsers.TraceLine(place.Label() + ": the page's script opens a window");
  place.window->Check();
  browsers.Client().Post("Runtime.evaluate",
                         {{"expression", "(" + opens + ")(" + window + ", " +
                                             Json(browsers.pages.ToBrowser(address)).dump() + ", " +
                                             Json(features).dump() + ")"}},
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
