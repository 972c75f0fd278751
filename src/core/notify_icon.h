#pragma once

#include <array>
#include <cstdint>

namespace velmox {

// The notification-icon record in its first, 88-byte version (32-bit layout), with an ANSI tip
// field of 64 bytes. The Windows desktop copies it into the platform's own structure.
struct NotifyIconData {
  std::uint32_t cbSize = 0;
  std::uintptr_t hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  std::uintptr_t hIcon = 0;
  std::array<char, 64> szTip{};
};

// The messages of Shell_NotifyIconA.
enum class NotifyIconMessage : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

}  // namespace velmox
