#include "core/site_host.h"

#include "core/ascii_case.h"

namespace velmox {
namespace {

bool IsDigits(std::string_view text) noexcept {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool IsDriveLetter(std::string_view host) noexcept {
  return host.size() == 2 && IsAsciiLetter(host[0]) && host[1] == ':';
}

// One pass of the rule; SiteHost repeats it so that a host it gives reduces to itself.
std::string_view TakeOffOnce(std::string_view host) noexcept {
  if (auto at = host.rfind('@'); at != std::string_view::npos) host.remove_prefix(at + 1);
  const auto colon = host.rfind(':');
  const auto bracket = host.rfind(']');
  if (colon != std::string_view::npos && (bracket == std::string_view::npos || bracket < colon) &&
      IsDigits(host.substr(colon + 1)) && !IsDriveLetter(host))
    host = host.substr(0, colon);
  if (host.ends_with('.')) host.remove_suffix(1);
  return host;
}

}  // namespace

std::string_view SiteHost(std::string_view host) noexcept {
  for (;;) {
    const std::string_view shorter = TakeOffOnce(host);
    if (shorter.size() == host.size()) return host;
    host = shorter;
  }
}

std::optional<std::string_view> SiteOfEntry(std::string_view host) noexcept {
  const std::string_view site = SiteHost(host);
  if (site.empty()) return std::nullopt;
  for (char c : site) {
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F || c == '/') return std::nullopt;
  }
  return site;
}

}  // namespace velmox
