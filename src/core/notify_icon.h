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

// The fields of the record the shell reads (uFlags).
inline constexpr std::uint32_t kNotifyIconMessage = 1;  // NIF_MESSAGE: uCallbackMessage
inline constexpr std::uint32_t kNotifyIconIcon = 2;     // NIF_ICON: hIcon
inline constexpr std::uint32_t kNotifyIconTip = 4;      // NIF_TIP: szTip

// The mouse messages the shell hands back in the icon's callback, numbered as Windows numbers
// them. The callback may carry any other number too.
inline constexpr std::uint32_t kMouseMove = 512;        // WM_MOUSEMOVE
inline constexpr std::uint32_t kLButtonDown = 513;      // WM_LBUTTONDOWN
inline constexpr std::uint32_t kLButtonUp = 514;        // WM_LBUTTONUP
inline constexpr std::uint32_t kLButtonDblClick = 515;  // WM_LBUTTONDBLCLK
inline constexpr std::uint32_t kRButtonDown = 516;      // WM_RBUTTONDOWN
inline constexpr std::uint32_t kRButtonUp = 517;        // WM_RBUTTONUP
inline constexpr std::uint32_t kRButtonDblClick = 518;  // WM_RBUTTONDBLCLK

}  // namespace velmox
