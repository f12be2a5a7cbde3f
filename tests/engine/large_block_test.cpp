#include "engine/large_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <new>
#include <numeric>

namespace quintrel {
namespace {

// Buffers on both sides of the large block size keep their contents through growth and
// shrinking, and large blocks start on a 2 MiB boundary, where huge pages can back them.
TEST(LargeBlockAllocator, BuffersAroundTheLargeSizeKeepTheirContents) {
  for (std::size_t size :
       {std::size_t{1}, kLargeBlockBytes / 4 - 1, kLargeBlockBytes / 4, 3 * kLargeBlockBytes + 5}) {
    LargeVector<std::int32_t> values(size);
    std::iota(values.begin(), values.end(), 0);
    values.push_back(-1);  // may move the buffer into a block of the other kind
    values.resize(values.capacity() + 1, 7);
    ASSERT_EQ(values[size], -1) << size;
    for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(values[i], static_cast<std::int32_t>(i));
    EXPECT_EQ(values.back(), 7);
    if (values.capacity() * sizeof(std::int32_t) >= kLargeBlockBytes) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(values.data()) % (std::uintptr_t{2} << 20), 0u);
    }
  }
}

// A size the system cannot give, or that would wrap around when rounded to whole pages, is
// refused like any failed allocation.
TEST(LargeBlockAllocator, ImpossibleSizesThrowBadAlloc) {
  EXPECT_THROW(AllocateLargeBlock(std::numeric_limits<std::size_t>::max() - 1), std::bad_alloc);
  EXPECT_THROW(AllocateLargeBlock(std::size_t{1} << 62), std::bad_alloc);
}

}  // namespace
}  // namespace quintrel
