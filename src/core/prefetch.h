#pragma once

// A hint to start loading the memory at `address` into the cache before it is needed. Every
// compiler Velmox is built with gets the hint where it has one; elsewhere it does nothing.
#if defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
#include <xmmintrin.h>
#endif

namespace velmox {

inline void PrefetchForRead(const void* address) noexcept {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(address);
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
  _mm_prefetch(static_cast<const char*>(address), _MM_HINT_T0);
#else
  (void)address;
#endif
}

}  // namespace velmox
