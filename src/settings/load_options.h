#pragma once

#include <string>

#include "core/app_state.h"
#include "core/desktop_services.h"
#include "core/product.h"
#include "core/settings_store.h"

namespace velmox {

// The stored token's default, which marks a token that was never made.
inline constexpr const char* kUnsetPrefix = "5830271946";

// Fills OptionValues and URLPrefix from the settings store, and makes and stores a new token
// when none was made yet. Every step is guarded: a failing read behaves like a missing key.
void LoadOptions(SettingsStore& store, RandomSource& random, const std::string& applicationFolder,
                 AppState& state);

// Ten decimal digits drawn one after another, the first drawn leftmost.
std::string MakeCommandToken(RandomSource& random);

}  // namespace velmox
