#pragma once

namespace velmox {

// The product's name: the settings store's application name, and the name in every caption,
// tip text and menu item that names Velmox.
inline constexpr const char* kProductName = "Velmox";

}  // namespace velmox
