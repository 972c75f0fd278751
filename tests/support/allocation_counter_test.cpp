#include "support/allocation_counter.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmox::test {
namespace {

// The counter is what "allocates nothing" tests rest on, in the normal and the sanitizer build.
TEST(AllocationCounter, CountsEveryHeapAllocation) {
  const std::size_t before = AllocationCount();
  auto one = std::make_unique<int>(1);
  auto many = std::make_unique<int[]>(100);
  EXPECT_GE(AllocationCount(), before + 2);
  EXPECT_EQ(*one + many[0], 1);
}

}  // namespace
}  // namespace velmox::test
