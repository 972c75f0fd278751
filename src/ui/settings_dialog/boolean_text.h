#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmox {

// Booleans in the settings store: written "True" / "False"; read back from "True" and "False"
// in any letter case or from a number (zero is false). Any other text gives nullopt.
std::string BooleanText(bool value);
std::optional<bool> BooleanFromText(std::string_view text);

}  // namespace velmox
