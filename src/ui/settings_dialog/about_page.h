#pragma once

#include "core/product.h"

// The addresses of the About page, shown without their scheme.
namespace velmox::about {

using velmox::kProductName;
inline constexpr const char* kVersionText = "v.1.2";
inline constexpr const char* kSupportAddress = "support@velmox.example";
inline constexpr const char* kPublisherCaption = "Velmox Project:";
inline constexpr const char* kPublisherWebAddress = "www.velmox.example";
inline constexpr const char* kProductWebAddress = "www.velmox.example/velmox/";

}  // namespace velmox::about
