#include "engine/unit_pairing.h"

#include <algorithm>
#include <cstring>

namespace quintrel {

namespace {

// The units from `first` to `last` (excluded), by hash and then by position.
void Order(const UnitList& list, std::size_t first, std::size_t last,
           LargeVector<UnitOrderEntry>& order) {
  order.resize(last - first);
  for (std::size_t unit = first; unit < last; ++unit) {
    order[unit - first] = UnitOrderEntry{list.units[unit].hash, static_cast<std::uint32_t>(unit)};
  }
  std::sort(order.begin(), order.end(), [](const UnitOrderEntry& a, const UnitOrderEntry& b) {
    return a.hash != b.hash ? a.hash < b.hash : a.unit < b.unit;
  });
}

bool SameTokens(const UnitList& a, std::size_t unitA, const UnitList& b, std::size_t unitB) {
  const StatementUnit& x = a.units[unitA];
  const StatementUnit& y = b.units[unitB];
  return x.hash == y.hash && x.size == y.size &&
         std::memcmp(a.bytes.data() + x.offset, b.bytes.data() + y.offset, x.size) == 0;
}

struct Group {
  const UnitOrderEntry* entries;
  std::size_t count;
};

// One hash group of each side. Below `low` every new unit is taken, so when all units of
// the group are equal (no collision), each old unit takes the first new one it looks at.
void PairGroup(const UnitList& oldUnits, Group oldGroup, const UnitList& newUnits, Group newGroup,
               LargeVector<unsigned char>& taken, UnitCounts& counts) {
  taken.assign(newGroup.count, 0);
  std::size_t low = 0;
  for (std::size_t o = 0; o < oldGroup.count; ++o) {
    const std::uint32_t oldUnit = oldGroup.entries[o].unit;
    std::size_t n = low;
    while (n < newGroup.count &&
           (taken[n] != 0 || !SameTokens(oldUnits, oldUnit, newUnits, newGroup.entries[n].unit))) {
      ++n;
    }
    if (n == newGroup.count) {
      counts.deleted += oldUnits.units[oldUnit].marks;
      continue;
    }
    taken[n] = 1;
    while (low < newGroup.count && taken[low] != 0) ++low;
  }
  for (std::size_t n = 0; n < newGroup.count; ++n) {
    if (taken[n] == 0) counts.added += newUnits.units[newGroup.entries[n].unit].marks;
  }
}

std::size_t GroupEnd(const LargeVector<UnitOrderEntry>& order, std::size_t from) {
  std::size_t end = from + 1;
  while (end < order.size() && order[end].hash == order[from].hash) ++end;
  return end;
}

}  // namespace

UnitCounts PairUnits(const UnitList& oldUnits, const UnitList& newUnits,
                     StatementUnitMemory& memory) {
  LargeVector<UnitOrderEntry>& oldOrder = memory.oldOrder;
  LargeVector<UnitOrderEntry>& newOrder = memory.newOrder;
  // Units of equal tokens at the same place from the start, or from the end, pair with each
  // other. Which equal units pair changes no count (units of equal tokens hold equal marks:
  // each content pairs as often as it occurs on the rarer side), and most of a changed file
  // stands where it stood, so only the rest is ordered.
  const std::size_t oldCount = oldUnits.units.size();
  const std::size_t newCount = newUnits.units.size();
  std::size_t first = 0;
  while (first < oldCount && first < newCount && SameTokens(oldUnits, first, newUnits, first))
    ++first;
  std::size_t oldLast = oldCount;
  std::size_t newLast = newCount;
  while (oldLast > first && newLast > first &&
         SameTokens(oldUnits, oldLast - 1, newUnits, newLast - 1)) {
    --oldLast;
    --newLast;
  }
  Order(oldUnits, first, oldLast, oldOrder);
  Order(newUnits, first, newLast, newOrder);
  UnitCounts counts;
  std::size_t o = 0;
  std::size_t n = 0;
  while (o < oldOrder.size() || n < newOrder.size()) {
    if (n == newOrder.size() || (o < oldOrder.size() && oldOrder[o].hash < newOrder[n].hash)) {
      counts.deleted += oldUnits.units[oldOrder[o++].unit].marks;
    } else if (o == oldOrder.size() || newOrder[n].hash < oldOrder[o].hash) {
      counts.added += newUnits.units[newOrder[n++].unit].marks;
    } else {
      const std::size_t oldEnd = GroupEnd(oldOrder, o);
      const std::size_t newEnd = GroupEnd(newOrder, n);
      PairGroup(oldUnits, Group{oldOrder.data() + o, oldEnd - o}, newUnits,
                Group{newOrder.data() + n, newEnd - n}, memory.taken, counts);
      o = oldEnd;
      n = newEnd;
    }
  }
  return counts;
}

}  // namespace quintrel
