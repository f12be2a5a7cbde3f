#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/large_block.h"
#include "engine/line_keys.h"

namespace quintrel {

// The index's tables, kept by callers that pair many texts so that each reuses the memory
// of the one before.
struct LineIndexMemory {
  // The cursor doubles as the group's sample line for comparing contents while it has one.
  // Once a group is used up its content is unknown, but then a lookup that reaches its slot
  // would answer "none" anyway, and goes on to the empty slot that gives the same answer.
  struct Slot {
    std::uint64_t hash;
    std::int32_t cursor;
  };

  LargeVector<std::uint64_t> oldHashes;  // per old line from the first unpaired one
  LargeVector<std::uint64_t> newHashes;  // the same for the new lines
  LargeVector<std::int32_t> next;        // per new line: the next line of its group, or "paired"
  LargeVector<Slot> slots;               // open addressing; the size is a power of two
};

// How lines are told apart. kByHash takes lines with the same 64-bit hash for the same
// content: nothing but the hashes is touched while grouping, and the caller compares the
// contents of the pairs it gets (see PairLines). kByContent also compares the bytes.
enum class Grouping { kByHash, kByContent };

// The new lines from `first` on, grouped by content. Each group is a chain of its lines in
// line order; its cursor is the earliest line not yet handed out, so handing lines out in
// chain order gives each old line the earliest free new line with its content.
class NewLineIndex {
 public:
  static constexpr std::int32_t kNone = -1;

  // `memory.newHashes` holds the hashes of lines first .. end - 1.
  NewLineIndex(const LineKeys& keys, std::size_t first, std::size_t end, Grouping grouping,
               LineIndexMemory& memory);

  // Hands out the earliest free new line in the group of `key`, or kNone.
  std::int32_t Take(const LineKey& key, std::uint64_t hash);

  bool IsPaired(std::size_t line) const { return m_next[line - m_first] == kPaired; }

  // Starts fetching the slot where a lookup of `hash` begins: a large index does not fit
  // the cache, and waiting for each slot in turn would dominate the pairing time.
  void Prefetch(std::uint64_t hash) const {
#if defined(__GNUC__)
    __builtin_prefetch(&m_slots[hash & Mask()]);
#else
    static_cast<void>(hash);  // a hint only; the lookup works without it
#endif
  }

  // How far ahead callers walking a list of hashes prefetch.
  static constexpr std::size_t kPrefetchAhead = 16;

 private:
  static constexpr std::size_t kInitialSlots = 1024;
  static constexpr std::int32_t kEmpty = -1;     // slot cursor: the slot holds no group
  static constexpr std::int32_t kPaired = -2;    // chain link: the line was handed out
  static constexpr std::int32_t kChainEnd = -3;  // chain link and slot cursor: no more lines

  using Slot = LineIndexMemory::Slot;

  std::size_t Mask() const {
    return m_slots.size() - 1;
  }
  bool SameGroup(const Slot& slot, std::size_t line, std::uint64_t hash) const;
  void Insert(std::size_t line, std::uint64_t hash);
  void Grow();

  const LineKeys& m_keys;
  std::size_t m_first;
  Grouping m_grouping;
  LargeVector<std::int32_t>& m_next;
  LargeVector<Slot>& m_slots;
  std::size_t m_groups = 0;
};

}  // namespace quintrel
