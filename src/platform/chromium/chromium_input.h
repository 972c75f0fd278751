#pragma once

#include <optional>
#include <string>

#include "platform/chromium/chromium_browser.h"
#include "platform/sim/sim_files.h"

// What a person and a page do in Chromium, for the desktop script. Clicks and keys go through
// the browser's real input path, so the focus and the user gesture are the browser's own.
namespace velmox::chromium {

// The element a script line picks in a place: the first one the selector finds, or the first
// link with that text.
struct ElementChoice {
  std::string selector;
  std::optional<std::string> linkText;
  std::string Described() const;
};

enum class MouseButton { Left, Middle };

// How the user clicks: which button, once or twice, and whether Ctrl is held meanwhile.
struct ClickHow {
  MouseButton button = MouseButton::Left;
  int count = 1;
  bool ctrl = false;
};

// The user clicks the element, in whichever frame it is (of another origin, or sandboxed): the
// mouse moves there, presses and releases the button, carrying Ctrl when it is held.
void Click(ChromiumBrowsers& browsers, const ChromiumPlace& place, const ElementChoice& choice,
           const ClickHow& how);
// The user presses a key in the window: Enter, Tab, Space or Escape, with "Shift+" allowed,
// and Ctrl when it is held.
void PressKey(ChromiumBrowsers& browsers, ChromiumWindow& window, const std::string& key,
              bool ctrl);
// The page's script opens a window (window.open): on its own, or with `duringUserAction` as it
// would while it handles the user's click (the browser counts a user gesture for it).
void ScriptOpens(ChromiumBrowsers& browsers, const ChromiumPlace& place, const std::string& address,
                 const std::string& features, bool duringUserAction = false);
// The user picks a context-menu entry: the browser runs the entry's script from the application
// folder, whose navigation climbs from the place towards the top window.
void ContextMenu(ChromiumBrowsers& browsers, sim::SimFiles& files, ChromiumPlace place,
                 bool disallow);

// Where the focus is in the page of the element picked.
struct FocusSeen {
  bool found = false;    // the element exists
  bool focused = false;  // it has the focus
  std::string expected;  // the element
  std::string seen;      // what has the focus
};
FocusSeen FocusOf(ChromiumBrowsers& browsers, const ChromiumPlace& place,
                  const ElementChoice& choice);

}  // namespace velmox::chromium
