#pragma once

// The keys, shift states and mouse buttons a desktop hands to Velmox's handlers, numbered as
// Windows numbers them.
namespace velmox {

// Virtual-key codes.
inline constexpr int kKeyTab = 9;      // VK_TAB
inline constexpr int kKeyEnter = 13;   // VK_RETURN
inline constexpr int kKeyDelete = 46;  // VK_DELETE
inline constexpr int kKeyF1 = 112;     // VK_F1

// Shift state: the sum of the modifier keys held.
inline constexpr int kShiftShift = 1;
inline constexpr int kShiftCtrl = 2;
inline constexpr int kShiftAlt = 4;

// Mouse buttons.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;

}  // namespace velmox
