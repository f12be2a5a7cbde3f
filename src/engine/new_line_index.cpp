#include "engine/new_line_index.h"

namespace quintrel {

namespace {

// Room for every line at half load when that costs no more than twice the text's memory, so
// the table need not grow while it is filled; otherwise start small and grow with the
// distinct contents (a text of many short or repeated lines).
std::size_t InitialSlots(std::size_t lines, std::size_t textBytes, std::size_t minimum) {
  std::size_t slots = minimum;
  while (slots < 2 * lines) slots *= 2;
  return slots * sizeof(LineIndexMemory::Slot) <= 2 * textBytes ? slots : minimum;
}

}  // namespace

NewLineIndex::NewLineIndex(const LineKeys& keys, const LineList& list, Grouping grouping,
                           LineIndexMemory& memory)
    : m_keys(keys), m_list(list), m_grouping(grouping), m_next(memory.next), m_slots(memory.slots) {
  const std::size_t count = list.lines.size();
  m_next.clear();
  m_next.resize(count);  // every entry is written as it is inserted
  m_slots.assign(InitialSlots(count, keys.TextBytes(), kInitialSlots), Slot{0, kEmpty});
  // Insert from the last entry back, so that each chain ends up in line order.
  for (std::size_t step = 0; step < count; ++step) {
    if (step + kPrefetchAhead < count) Prefetch(list.hashes[count - 1 - step - kPrefetchAhead]);
    Insert(count - 1 - step);
  }
}

std::int32_t NewLineIndex::Take(const LineKey& key, std::uint64_t hash) {
  const bool byContent = m_grouping == Grouping::kByContent;
  for (std::size_t at = hash & Mask();; at = (at + 1) & Mask()) {
    Slot& slot = m_slots[at];
    if (slot.cursor == kEmpty) return kNone;
    if (slot.cursor < 0) {
      // A used-up group. Grouped by hash, it is the only group of this hash.
      if (!byContent && slot.hash == hash) return kNone;
      continue;
    }
    if (slot.hash != hash || (byContent && !SameKey(KeyOf(slot.cursor), key))) continue;
    const std::int32_t entry = slot.cursor;
    slot.cursor = m_next[static_cast<std::size_t>(entry)];
    m_next[static_cast<std::size_t>(entry)] = kPaired;
    return entry;
  }
}

void NewLineIndex::Insert(std::size_t entry) {
  const std::uint64_t hash = m_list.hashes[entry];
  const auto entryNumber = static_cast<std::int32_t>(entry);
  for (std::size_t at = hash & Mask();; at = (at + 1) & Mask()) {
    Slot& slot = m_slots[at];
    if (slot.cursor == kEmpty) {
      m_next[entry] = kChainEnd;
      slot = Slot{hash, entryNumber};
      if (++m_groups * 2 > m_slots.size()) Grow();
      return;
    }
    // While the index is built every group still has all its entries, so a cursor is one.
    if (slot.hash == hash &&
        (m_grouping == Grouping::kByHash || SameKey(KeyOf(slot.cursor), KeyOf(entryNumber)))) {
      m_next[entry] = slot.cursor;
      slot.cursor = entryNumber;
      return;
    }
  }
}

// Doubles the table; the groups are distinct, so only their hashes need to be placed.
void NewLineIndex::Grow() {
  LargeVector<Slot> old(m_slots.size() * 2, Slot{0, kEmpty});
  old.swap(m_slots);
  for (const Slot& slot : old) {
    if (slot.cursor == kEmpty) continue;
    std::size_t at = slot.hash & Mask();
    while (m_slots[at].cursor != kEmpty) at = (at + 1) & Mask();
    m_slots[at] = slot;
  }
}

}  // namespace quintrel
