#pragma once

#include <cstddef>

namespace velmox::test {

// Heap allocations made so far by this test program (global operator new is replaced).
std::size_t AllocationCount();

}  // namespace velmox::test
