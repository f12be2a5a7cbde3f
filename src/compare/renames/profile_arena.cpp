#include "compare/renames/profile_arena.h"

#include <algorithm>

#include "engine/large_block.h"

namespace quintrel {

namespace {

// Two huge pages: a block's unused end wastes little, and few blocks are needed.
constexpr std::size_t kBlockBytes = std::size_t{4} << 20;
constexpr std::size_t kAlignment = alignof(std::max_align_t);

}  // namespace

ProfileArena::~ProfileArena() {
  for (const Block& block : m_blocks) FreeLargeBlock(block.data, block.size);
}

void* ProfileArena::Allocate(std::size_t bytes) {
  bytes = (std::max<std::size_t>(bytes, 1) + kAlignment - 1) / kAlignment * kAlignment;
  if (m_blocks.empty() || m_blocks.back().size - m_used < bytes) {
    const std::size_t size = std::max(kBlockBytes, bytes);
    m_blocks.reserve(m_blocks.size() + 1);  // no block is lost if the reserve throws
    m_blocks.push_back({static_cast<unsigned char*>(AllocateLargeBlock(size)), size});
    m_used = 0;
  }
  void* at = m_blocks.back().data + m_used;
  m_used += bytes;
  return at;
}

}  // namespace quintrel
