#pragma once

#include <stdexcept>
#include <string>

namespace velmox {

// Every platform call may fail, as a call on a browser window that just closed does. The failure
// carries a number and a description (on Windows the HRESULT and the system's message for it).
class PlatformError : public std::runtime_error {
 public:
  PlatformError(long number, const std::string& description)
      : std::runtime_error(description), number_(number) {}

  long Number() const { return number_; }
  std::string Description() const { return what(); }

 private:
  long number_;
};

// The failure of a call on an object that is missing (a page, a frame, a window).
inline constexpr long kObjectNotSet = 91;
inline PlatformError ObjectNotSet() {
  return PlatformError(kObjectNotSet, "Object variable not set");
}

}  // namespace velmox
