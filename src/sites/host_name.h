#pragma once

#include <string>
#include <string_view>

namespace velmox {

// Reduces an address to its lower-case host name, without user information, port or closing
// dot; "unknown" when the address has no colon.
std::string GetHostNameFromURL(std::string_view URL);

}  // namespace velmox
