#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/large_block.h"
#include "engine/line_keys.h"

namespace quintrel {

// Lines to pair on one side: their numbers in rising order, and the hash of each.
struct LineList {
  LargeVector<std::int32_t> lines;
  LargeVector<std::uint64_t> hashes;
};

// The tables of pairing, kept by callers that pair many texts so that each reuses the
// memory of the one before.
struct LineIndexMemory {
  // The cursor doubles as the group's sample line for comparing contents while it has one.
  // Once a group is used up its content is unknown, but then a lookup that reaches its slot
  // would answer "none" anyway, and goes on to the empty slot that gives the same answer.
  struct Slot {
    std::uint64_t hash;
    std::int32_t cursor;
  };

  LineList oldList;
  LineList newList;
  LargeVector<std::int32_t> next;  // per new entry: the next entry of its group, or "paired"
  LargeVector<Slot> slots;         // open addressing; the size is a power of two
};

// How lines are told apart. kByHash takes lines with the same 64-bit hash for the same
// content: nothing but the hashes is touched while grouping, and the caller compares the
// contents of the pairs it gets (see PairLines). kByContent also compares the bytes.
enum class Grouping { kByHash, kByContent };

// The entries of a new line list (positions in it), grouped by content. Each group is a
// chain of its entries in line order; its cursor is the earliest entry not yet handed out,
// so handing entries out in chain order gives each old line the earliest free new line
// with its content.
class NewLineIndex {
 public:
  static constexpr std::int32_t kNone = -1;

  NewLineIndex(const LineKeys& keys, const LineList& list, Grouping grouping,
               LineIndexMemory& memory);

  // Hands out the earliest free entry in the group of `key`, or kNone. `key` is read only
  // when grouping by content.
  std::int32_t Take(const LineKey& key, std::uint64_t hash);

  bool IsPaired(std::size_t entry) const { return m_next[entry] == kPaired; }

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
  static constexpr std::int32_t kPaired = -2;    // chain link: the entry was handed out
  static constexpr std::int32_t kChainEnd = -3;  // chain link and slot cursor: no more entries

  using Slot = LineIndexMemory::Slot;

  std::size_t Mask() const {
    return m_slots.size() - 1;
  }
  LineKey KeyOf(std::int32_t entry) const {
    return m_keys(static_cast<std::size_t>(m_list.lines[static_cast<std::size_t>(entry)]));
  }
  void Insert(std::size_t entry);
  void Grow();

  const LineKeys& m_keys;
  const LineList& m_list;
  Grouping m_grouping;
  LargeVector<std::int32_t>& m_next;
  LargeVector<Slot>& m_slots;
  std::size_t m_groups = 0;
};

}  // namespace quintrel
