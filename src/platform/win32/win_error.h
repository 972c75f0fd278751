#pragma once

#include "platform/win32/win_api.h"

#include <string>

namespace velmox::win32 {

// The system's message for an error number (a Win32 code or an HRESULT), without the line break.
std::string SystemMessage(long number);

// Throw velmox::PlatformError carrying the number and the system's message for it.
[[noreturn]] void ThrowError(long number);
[[noreturn]] void ThrowLastError();
inline void CheckHr(HRESULT hr) {
  if (FAILED(hr)) ThrowError(hr);
}
// For the registry's calls, which return their error instead of setting the last error.
inline void CheckStatus(LONG status) {
  if (status != ERROR_SUCCESS) ThrowError(status);
}

}  // namespace velmox::win32
