#pragma once

#include <string>

#include "core/browser_automation.h"
#include "core/settings_store.h"

// The rule of "Run Velmox whenever Internet Explorer runs": a browser window of the system browser
// has appeared, and the stored "Options" / "AutoLoad" reads true at that moment.
namespace velmox {

// The stored "AutoLoad" text, read afresh: "False" when the key is missing or cannot be read.
std::string ReadAutoLoad(SettingsStore& store);

// The browser windows the collection lists, by the window scan's name test. An entry whose name
// cannot be read counts as one: that is most often a browser window that is closing, and so it
// neither hides a new window nor passes for one. A failing enumeration throws PlatformError,
// since the collection itself has failed.
int CountBrowserWindows(ShellWindows& collection);

struct StartDecision {
  bool start = false;
  std::string reason;  // what the starter saw, for its trace
};

// Whether a window registered in the collection is a reason to start Velmox: the collection
// lists more browser windows than before, and `autoLoad` reads true as Velmox reads Boolean
// text ("True" in any letter case, a number other than zero). A text that is no Boolean reads
// false, as the Settings dialog takes it.
StartDecision DecideOnRegistered(int browsersBefore, int browsersNow, const std::string& autoLoad);

}  // namespace velmox
