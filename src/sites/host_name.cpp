#include "sites/host_name.h"

#include <algorithm>
#include <cctype>

namespace velmox {

std::string GetHostNameFromURL(std::string_view URL) {
  const auto colon = URL.find(':');
  if (colon == std::string_view::npos) return "unknown";
  std::string_view rest = URL.substr(colon + 1);
  while (!rest.empty() && (rest.front() == '/' || rest.front() == '\\'))
    rest.remove_prefix(1);
  if (auto slash = rest.find('/'); slash != std::string_view::npos) {
    rest = rest.substr(0, slash);
  } else if (auto backslash = rest.find('\\'); backslash != std::string_view::npos) {
    rest = rest.substr(0, backslash);
  }
  std::string host(rest);
  std::transform(host.begin(), host.end(), host.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return host;
}

}  // namespace velmox
