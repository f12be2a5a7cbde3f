// Windows implementation of the large block memory: committed pages from VirtualAlloc, which
// the system hands out zero-filled. Blocks start on a 2 MiB boundary as on other systems, so
// that the system may back them with large pages where it does so on its own.
#include <windows.h>

#include <cstdint>
#include <limits>
#include <new>

#include "engine/large_block.h"

namespace quintrel {

namespace {

constexpr std::size_t kAlignment = std::size_t{2} << 20;

}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
  if (bytes > std::numeric_limits<std::size_t>::max() - kAlignment) throw std::bad_alloc();
  // Reserve one alignment unit more than needed and commit only the aligned part; the rest
  // stays reserved address space, which costs no memory.
  void* reserved = ::VirtualAlloc(nullptr, bytes + kAlignment, MEM_RESERVE, PAGE_NOACCESS);
  if (reserved == nullptr) throw std::bad_alloc();
  const auto address = reinterpret_cast<std::uintptr_t>(reserved);
  const std::uintptr_t aligned = (address + kAlignment - 1) / kAlignment * kAlignment;
  void* block = ::VirtualAlloc(reinterpret_cast<void*>(aligned), bytes, MEM_COMMIT, PAGE_READWRITE);
  if (block == nullptr) {
    ::VirtualFree(reserved, 0, MEM_RELEASE);
    throw std::bad_alloc();
  }
  return block;
}

void FreeLargeBlock(void* block, std::size_t) noexcept {
  // Releasing needs the start of the whole reservation, which the system remembers.
  MEMORY_BASIC_INFORMATION info;
  if (::VirtualQuery(block, &info, sizeof info) == 0) return;
  ::VirtualFree(info.AllocationBase, 0, MEM_RELEASE);
}

}  // namespace quintrel
