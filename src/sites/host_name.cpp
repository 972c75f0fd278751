#include "sites/host_name.h"

#include "core/site_host.h"

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
  // Only A to Z are lowered, whatever the process locale: bytes above 127 stay as they are, so
  // the same address gives the same host on every desktop.
  std::string host(SiteHost(rest));
  for (char& c : host) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return host;
}

}  // namespace velmox
