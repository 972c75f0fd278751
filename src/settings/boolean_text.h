#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmox {

// Booleans are stored as the texts "True" and "False".
std::string BooleanText(bool value);

// "True" and "False" in any letter case, and numbers (zero is false, any other number true).
// Any other text is invalid: nullopt.
std::optional<bool> ParseBoolean(std::string_view text);

}  // namespace velmox
