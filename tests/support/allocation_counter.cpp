#include "support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMOX_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VELMOX_ASAN 1
#endif

namespace {
std::atomic<std::size_t> allocations{0};
}  // namespace

namespace velmox::test {
std::size_t AllocationCount() {
  return allocations.load();
}
}  // namespace velmox::test

#if defined(VELMOX_ASAN)

// AddressSanitizer owns operator new: replacing it would hide mismatched new and delete. Its
// allocation hook sees every heap allocation instead (malloc too, which only makes the count
// stricter).
#include <sanitizer/allocator_interface.h>

namespace {
void CountAllocation(const volatile void*, std::size_t) {
  ++allocations;
}
void IgnoreFree(const volatile void*) {}
[[maybe_unused]] const int hooksInstalled =
    __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree);
}  // namespace

#else

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

#endif
