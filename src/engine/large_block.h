#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace quintrel {

// Memory for the big per-file buffers (file bytes, line tables, the line index). Blocks of
// kLargeBlockBytes and more come straight from the operating system in huge pages where it
// offers them: a multi-megabyte buffer in small pages costs one page fault per 4 KiB, which
// on some machines takes longer than reading the file. Smaller blocks use operator new.
constexpr std::size_t kLargeBlockBytes = std::size_t{1} << 20;

// Platform side (one implementation file per system). AllocateLargeBlock throws
// std::bad_alloc on failure; the memory it returns is zero-filled.
void* AllocateLargeBlock(std::size_t bytes);
void FreeLargeBlock(void* block, std::size_t bytes) noexcept;

// Allocator for plain element types that also leaves elements default-initialised on
// resize(): a buffer about to be overwritten by read() need not be zero-filled first.
template <typename T>
class LargeBlockAllocator {
 public:
  static_assert(std::is_trivially_copyable_v<T>);
  using value_type = T;

  LargeBlockAllocator() = default;
  template <typename U>
  LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    const std::size_t bytes = count * sizeof(T);
    if (bytes >= kLargeBlockBytes) return static_cast<T*>(AllocateLargeBlock(bytes));
    return static_cast<T*>(::operator new(bytes));
  }

  void deallocate(T* block, std::size_t count) noexcept {
    const std::size_t bytes = count * sizeof(T);
    if (bytes >= kLargeBlockBytes) {
      FreeLargeBlock(block, bytes);
    } else {
      ::operator delete(block);
    }
  }

  // No value given: leave the element uninitialised instead of zeroing it.
  template <typename U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }

  template <typename U>
  bool operator==(const LargeBlockAllocator<U>&) const noexcept {
    return true;
  }
};

template <typename T>
using LargeVector = std::vector<T, LargeBlockAllocator<T>>;

// The bytes of one file.
using ByteBuffer = LargeVector<unsigned char>;

}  // namespace quintrel
