#pragma once

#include <optional>
#include <string>

namespace velmox::sim {

// An address as the browser makes it absolute: `reference` resolved against `base`, scheme and
// host in lower case, dot segments removed, and "/" for an empty path after a host. A
// reference the browser cannot read stays as written.
std::string ResolveAddress(const std::string& base, const std::string& reference);

// The local path an address names ("C:\dir\page.html" for "C:\dir\page.html",
// "file://C:\dir\page.html" or "file:///C:/dir/page.html"; a real "/..." path as it is), or
// nullopt for an address that is not local.
std::optional<std::string> LocalPathOf(const std::string& address);

// The address the browser shows for a local path: "file:///C:/Program%20Files/...".
std::string FileAddressOf(const std::string& localPath);

}  // namespace velmox::sim
