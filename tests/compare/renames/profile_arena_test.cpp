#include "compare/renames/profile_arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace quintrel {
namespace {

// Blocks of every size, small and larger than the arena's own blocks: each aligned, none
// overlapping another (each keeps the bytes written into it).
TEST(ProfileArena, HandsOutAlignedBlocksThatDoNotOverlap) {
  ProfileArena arena;
  std::vector<std::pair<unsigned char*, std::size_t>> blocks;
  for (std::size_t size : {1, 7, 16, 100, 4096, 3 << 20, 9 << 20, 5, 0, 64}) {
    auto* block = static_cast<unsigned char*>(arena.Allocate(size));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u);
    std::memset(block, static_cast<int>(blocks.size()), size);
    blocks.push_back({block, size});
  }
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    for (std::size_t at = 0; at < blocks[i].second; at += 997)
      ASSERT_EQ(blocks[i].first[at], static_cast<unsigned char>(i));
  }
}

// A vector moved keeps the arena; a copy, made by construction or assignment, lives on the
// heap and outlives the arena.
TEST(ProfileArena, MovedVectorsKeepItCopiesLeaveIt) {
  ArenaVector<int> constructed;
  ArenaVector<int> assigned;
  {
    ProfileArena arena;
    ArenaVector<int> grown{ArenaAllocator<int>(&arena)};
    for (int i = 0; i < 2'000'000; ++i) grown.push_back(i);  // past one block
    ArenaVector<int> moved = std::move(grown);
    EXPECT_EQ(moved.get_allocator().Arena(), &arena);
    constructed = ArenaVector<int>(moved);
    assigned = moved;
  }
  for (const ArenaVector<int>* copy : {&constructed, &assigned}) {
    EXPECT_EQ(copy->get_allocator().Arena(), nullptr);
    ASSERT_EQ(copy->size(), 2'000'000u);
    EXPECT_EQ((*copy)[1'999'999], 1'999'999);
  }
}

}  // namespace
}  // namespace quintrel
