#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/large_block.h"
#include "engine/line_keys.h"

namespace quintrel {

struct HashedKey {
  LineKey key;
  std::uint32_t hash;
};

// The index's tables, kept by callers that pair many texts so that each reuses the memory
// of the one before.
struct LineIndexMemory {
  // The cursor doubles as the group's sample line for comparing contents while it has one.
  // Once a group is used up its content is unknown, but then a lookup that reaches its slot
  // would answer "none" anyway, and goes on to the empty slot that gives the same answer.
  struct Slot {
    std::uint32_t hash;
    std::int32_t cursor;
  };
  static_assert(sizeof(Slot) == sizeof(std::uint64_t));

  LargeVector<std::int32_t> next;  // per line: the next line of its group, or "paired"
  LargeVector<Slot> slots;         // open addressing; the size is a power of two
};

// The new lines from `first` on, grouped by content. Each group is a chain of its lines in
// line order; its cursor is the earliest line not yet handed out, so handing lines out in
// chain order gives each old line the earliest free new line with its content.
class NewLineIndex {
 public:
  static constexpr std::int32_t kNone = -1;

  NewLineIndex(const LineKeys& keys, std::size_t first, std::size_t end, LineIndexMemory& memory);

  // Hands out the earliest free new line with the content of `key`, or kNone.
  std::int32_t Take(const HashedKey& key);

  bool IsPaired(std::size_t line) const { return m_next[line - m_first] == kPaired; }

  // Starts fetching the slot where a lookup of `hash` begins.
  void Prefetch(std::uint32_t hash) const {
#if defined(__GNUC__)
    __builtin_prefetch(&m_slots[hash & Mask()]);
#else
    static_cast<void>(hash);  // a hint only; the lookup works without it
#endif
  }

 private:
  static constexpr std::size_t kInitialSlots = 1024;
  static constexpr std::int32_t kEmpty = -1;     // slot cursor: the slot holds no group
  static constexpr std::int32_t kPaired = -2;    // chain link: the line was handed out
  static constexpr std::int32_t kChainEnd = -3;  // chain link and slot cursor: no more lines

  using Slot = LineIndexMemory::Slot;

  std::size_t Mask() const {
    return m_slots.size() - 1;
  }
  void Insert(std::size_t line, const HashedKey& key);
  void Grow();

  const LineKeys& m_keys;
  std::size_t m_first;
  LargeVector<std::int32_t>& m_next;
  LargeVector<Slot>& m_slots;
  std::size_t m_groups = 0;
};

// Calls visit(line, hashedKey) for line = lineAt(0) ... lineAt(count - 1), hashing each line
// kAhead steps early and prefetching its slot meanwhile: a large index does not fit the
// cache, and waiting for each slot in turn would dominate the pairing time.
template <typename LineAt, typename Visit>
void VisitHashed(const LineKeys& keys, const NewLineIndex& index, std::size_t count, LineAt lineAt,
                 Visit visit) {
  constexpr std::size_t kAhead = 8;
  HashedKey ring[kAhead];
  auto hashed = [&](std::size_t step) {
    LineKey key = keys(lineAt(step));
    HashedKey result{key, HashKey(key)};
    index.Prefetch(result.hash);
    return result;
  };
  for (std::size_t step = 0; step < count && step < kAhead; ++step) ring[step] = hashed(step);
  for (std::size_t step = 0; step < count; ++step) {
    HashedKey current = ring[step % kAhead];
    if (step + kAhead < count) ring[step % kAhead] = hashed(step + kAhead);
    visit(lineAt(step), current);
  }
}

}  // namespace quintrel
