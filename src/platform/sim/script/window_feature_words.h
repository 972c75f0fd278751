#pragma once

#include <string>

#include "platform/sim/sim_window.h"

namespace velmox::sim {

// "FullScreen=True", "ToolBar=0": one feature set on `features`; false when the word is none.
// A word that names no feature, or a value that does not fit it, is a malformed line.
bool ApplyFeature(const std::string& word, WindowFeatures& features);

}  // namespace velmox::sim
