// Any address a page may navigate to: the host is a lower-case piece of it with no "/" or "@".
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "sites/host_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view url(reinterpret_cast<const char*>(data), size);
  const std::string host = velmox::GetHostNameFromURL(url);
  if (url.find(':') == std::string_view::npos) {
    FUZZ_CHECK(host == "unknown");
    return 0;
  }
  FUZZ_CHECK(host.size() < url.size());
  FUZZ_CHECK(host.find('/') == std::string::npos);
  for (char c : host)
    FUZZ_CHECK(!(c >= 'A' && c <= 'Z'));
  FUZZ_CHECK(host.find('@') == std::string::npos);
  // The same host spelt with user information, a closing dot and a port is the same host, so a
  // listed site cannot slip past its entry.
  if (host.find('\\') == std::string::npos && !host.empty()) {
    FUZZ_CHECK(velmox::GetHostNameFromURL("http://user@" + host + ".:80/") == host);
  }
  return 0;
}
