#pragma once

#include <string>

namespace velmox {

// One site of the user's list. An empty Host marks a free or deleted entry.
struct SiteEntry {
  std::string Host;
  bool Blocked = false;  // true: pop-ups of this site are disallowed

  bool operator==(const SiteEntry&) const = default;
};

}  // namespace velmox
