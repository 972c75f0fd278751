#pragma once

#include <string>
#include <vector>

namespace velmox {

// What this run knows of servers.lst on disk: the bytes it read at start-up or wrote last.
// Before a save replaces the file, it is compared with them, so that a list Velmox did not read
// (unreadable at start-up, or changed since by another program) is never lost without a copy.
struct SitesFileState {
  bool known = false;               // false: the file was there but could not be read
  std::string bytes;                // the file as read or last written; empty for a missing file
  std::vector<std::string> copies;  // the copies this run made, by path
};

}  // namespace velmox
