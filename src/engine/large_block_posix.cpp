// POSIX implementation of the large block memory (a Windows build would provide
// large_block_win32.cpp with VirtualAlloc).
#include <sys/mman.h>

#include <cstdint>
#include <limits>
#include <new>

#include "engine/large_block.h"

namespace quintrel {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
  return (bytes + unit - 1) / unit * unit;
}

}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
  // Rounding up and the extra page must not wrap around.
  if (bytes > std::numeric_limits<std::size_t>::max() - 2 * kHugePage) throw std::bad_alloc();
  const std::size_t size = RoundUp(bytes, kHugePage);
  // Map one huge page more than needed and trim it, so the block starts on a huge page
  // boundary: only aligned 2 MiB ranges can be backed by huge pages.
  void* mapped =
      ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  auto* start = static_cast<unsigned char*>(mapped);
  const auto address = reinterpret_cast<std::uintptr_t>(start);
  auto* block = start + (RoundUp(address, kHugePage) - address);
  if (block != start) ::munmap(start, static_cast<std::size_t>(block - start));
  const std::size_t tail = static_cast<std::size_t>(start + size + kHugePage - (block + size));
  if (tail > 0) ::munmap(block + size, tail);
#ifdef MADV_HUGEPAGE
  ::madvise(block, size, MADV_HUGEPAGE);  // a hint: small pages still work without it
#endif
  return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept {
  ::munmap(block, RoundUp(bytes, kHugePage));
}

}  // namespace quintrel
