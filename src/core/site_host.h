#pragma once

#include <optional>
#include <string_view>

namespace velmox {

// The site a host text names, letter case kept: user information before an "@", a port (a
// colon and digits, or a bare colon) and a closing dot are taken off until none is left, for
// they name no other site. A drive letter ("c:", a letter and a colon with nothing after it) is
// not a host with an empty port and stays as it is. The result is a part of `host`.
std::string_view SiteHost(std::string_view host) noexcept;

// The site an entry of the list stands for: its host text through SiteHost. Nullopt for a text
// that cannot be a host at all (a blank or another control character, a "/", or nothing left):
// such an entry is kept but never matches.
std::optional<std::string_view> SiteOfEntry(std::string_view host) noexcept;

}  // namespace velmox
