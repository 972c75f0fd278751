#pragma once

#include <string>

#include "core/desktop_services.h"
#include "core/option_record.h"
#include "core/settings_store.h"
#include "settings/option_schema.h"

namespace velmox {

// Fills the option record and the command token from the settings store, and makes and stores a
// new token when none was made yet or the stored one is not ten digits. Every step is guarded: a
// failing read behaves like a missing key.
void LoadOptions(SettingsStore& store, RandomSource& random, const std::string& applicationFolder,
                 OptionRecord& options, std::string& URLPrefix);

// Ten decimal digits drawn one after another, the first drawn leftmost.
std::string MakeCommandToken(RandomSource& random);

}  // namespace velmox
