#include "platform/win32/win_error.h"

#include <cstdio>

#include "core/platform_error.h"

namespace velmox::win32 {

std::string SystemMessage(long number) {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(number), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text(buffer ? buffer : "", length);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  if (!text.empty()) return text;
  char fallback[32];
  std::snprintf(fallback, sizeof fallback, "Error 0x%08lX", static_cast<unsigned long>(number));
  return fallback;
}

void ThrowError(long number) {
  throw PlatformError(number, SystemMessage(number));
}

void ThrowLastError() {
  ThrowError(static_cast<long>(GetLastError()));
}

}  // namespace velmox::win32
