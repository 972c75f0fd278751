#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/sim/sim_files.h"

namespace velmox::sim {

// Where the script of one of Velmox's context-menu entries sends the browser: an address for the
// window of the page the menu was opened on, or for a frame `parentLevels` above it.
struct MenuNavigation {
  std::size_t parentLevels = 0;
  std::string address;
};

// The user picks Velmox's allow or disallow entry on the page `placeLabel` names: the browser
// runs blocksite.script or trustsite.script from Velmox's folder. `say` tells the trace what the
// user picked and what it ran; nothing comes back when the file is missing or does not navigate.
std::optional<MenuNavigation> PickMenuEntry(SimFiles& files, bool disallow,
                                            const std::string& placeLabel,
                                            const std::function<void(const std::string&)>& say);

}  // namespace velmox::sim
