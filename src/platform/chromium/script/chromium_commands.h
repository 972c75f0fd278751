#pragma once

#include <string>
#include <vector>

#include "platform/chromium/chromium_browser.h"
#include "platform/sim/script/script_runner.h"

namespace velmox::chromium {

// The desktop script's browser commands and expectations, driving Chromium in place of the
// simulated browser. A command of the simulated browser that Chromium cannot carry out makes
// its line malformed, saying why.
void AddChromiumCommands(sim::CommandTable& table, ChromiumBrowsers& browsers);

// ---- Shared by the actions and the expectations ----
void AddChromiumExpectations(sim::CommandTable& table, ChromiumBrowsers& browsers);
ChromiumWindow& WindowNamed(ChromiumBrowsers& browsers, sim::ScriptContext& c, std::size_t index);
ChromiumPlace PlaceNamed(ChromiumBrowsers& browsers, sim::ScriptContext& c, std::size_t index);
std::string LabelList(const std::vector<std::string>& labels);

}  // namespace velmox::chromium
