#pragma once

#include <string>
#include <string_view>

namespace velmox {

// Reduces an address to its lower-case host name; "unknown" when the address has no colon.
std::string GetHostNameFromURL(std::string_view URL);

}  // namespace velmox
