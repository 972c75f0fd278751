#include "sites/host_name.h"

#include "core/ascii_case.h"

namespace velmox {
namespace {

bool IsDigits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// One site has one host however its address is spelt, or a disallowed site could slip past its
// own entry: user information, a port and a closing dot name no other site. A drive letter
// ("c:" of a local page) is not a host with an empty port.
std::string_view SiteHost(std::string_view host) {
  if (auto at = host.rfind('@'); at != std::string_view::npos) host.remove_prefix(at + 1);
  const auto colon = host.rfind(':');
  const auto bracket = host.rfind(']');
  if (colon != std::string_view::npos && (bracket == std::string_view::npos || bracket < colon) &&
      IsDigits(host.substr(colon + 1)) && !(colon == 1 && IsAsciiLetter(host.front())))
    host = host.substr(0, colon);
  if (host.ends_with('.')) host.remove_suffix(1);
  return host;
}

}  // namespace

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
