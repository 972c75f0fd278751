#pragma once

#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMOX_SOAK_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VELMOX_SOAK_ASAN 1
#endif

#if defined(VELMOX_SOAK_ASAN)
#include <sanitizer/allocator_interface.h>
#else
#include <malloc.h>
#endif

namespace velmox::soak {

// Bytes of heap in use now. Under AddressSanitizer the allocator's own count: freed blocks wait
// in its quarantine, which the process's size would include.
inline std::size_t LiveHeapBytes() {
#if defined(VELMOX_SOAK_ASAN)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

}  // namespace velmox::soak
