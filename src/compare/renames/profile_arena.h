#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <vector>

namespace quintrel {

// Memory for the profiles of one search, which all live until it has chosen: taken from the
// system in large blocks (huge pages where it offers them) and given back all at once. The
// profiles of a large search, made in small vectors, had cost a page fault per 4 KiB (about
// 3 us of system time each on the development machine). Used by one thread at a time.
class ProfileArena {
 public:
  ProfileArena() = default;
  ProfileArena(const ProfileArena&) = delete;
  ProfileArena& operator=(const ProfileArena&) = delete;
  ~ProfileArena();

  // `bytes` aligned for any profile element; valid until the arena ends.
  void* Allocate(std::size_t bytes);

 private:
  struct Block {
    unsigned char* data;
    std::size_t size;
  };
  std::vector<Block> m_blocks;
  std::size_t m_used = 0;  // of the last block
};

// Allocates from an arena, or from the heap without one (a profile made outside a search).
// A copy of a vector goes to the heap, a moved one keeps its arena: the arena must outlive
// the vectors moved out of the profiles it holds.
template <typename T>
class ArenaAllocator {
 public:
  using value_type = T;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;
  using is_always_equal = std::false_type;

  ArenaAllocator() = default;
  explicit ArenaAllocator(ProfileArena* arena) noexcept : m_arena(arena) {}
  template <typename U>
  ArenaAllocator(const ArenaAllocator<U>& other) noexcept : m_arena(other.Arena()) {}

  ArenaAllocator select_on_container_copy_construction() const { return {}; }

  T* allocate(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    if (m_arena == nullptr) return static_cast<T*>(::operator new(count * sizeof(T)));
    return static_cast<T*>(m_arena->Allocate(count * sizeof(T)));
  }

  void deallocate(T* block, std::size_t) noexcept {
    if (m_arena == nullptr) ::operator delete(block);
  }

  ProfileArena* Arena() const noexcept { return m_arena; }

  template <typename U>
  bool operator==(const ArenaAllocator<U>& other) const noexcept {
    return m_arena == other.Arena();
  }

 private:
  ProfileArena* m_arena = nullptr;
};

template <typename T>
using ArenaVector = std::vector<T, ArenaAllocator<T>>;

}  // namespace quintrel
