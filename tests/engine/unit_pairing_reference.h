#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/statement_units.h"
#include "engine/unit_pairing.h"

namespace quintrel::testing {

struct ReferenceUnit {
  std::string tokens;
  std::int64_t marks;
};

inline std::vector<ReferenceUnit> ReferenceUnitsOf(const UnitList& list) {
  std::vector<ReferenceUnit> units;
  for (const StatementUnit& unit : list.units) {
    const auto* data = reinterpret_cast<const char*>(list.bytes.data()) + unit.offset;
    units.push_back(ReferenceUnit{std::string(data, unit.size), unit.marks});
  }
  return units;
}

// The plain pairing that PairUnits must reproduce: each old unit, in order, takes the
// first free new unit with the same tokens. Quadratic; only for checking.
inline UnitCounts ReferencePairUnits(const std::vector<ReferenceUnit>& oldUnits,
                                     const std::vector<ReferenceUnit>& newUnits) {
  std::vector<bool> taken(newUnits.size(), false);
  UnitCounts counts;
  for (const ReferenceUnit& unit : oldUnits) {
    std::size_t partner = 0;
    while (partner < newUnits.size() &&
           (taken[partner] || newUnits[partner].tokens != unit.tokens)) {
      ++partner;
    }
    if (partner == newUnits.size()) {
      counts.deleted += unit.marks;
    } else {
      taken[partner] = true;
    }
  }
  for (std::size_t unit = 0; unit < newUnits.size(); ++unit) {
    if (!taken[unit]) counts.added += newUnits[unit].marks;
  }
  return counts;
}

// Whether units of equal tokens always hold equal marks, within and across the lists:
// otherwise a pair could hide a mark.
inline bool MarksFollowTokens(const std::vector<ReferenceUnit>& a,
                              const std::vector<ReferenceUnit>& b) {
  std::map<std::string, std::int64_t> marksOf;
  for (const auto* list : {&a, &b}) {
    for (const ReferenceUnit& unit : *list) {
      const auto [entry, added] = marksOf.emplace(unit.tokens, unit.marks);
      if (!added && entry->second != unit.marks) return false;
    }
  }
  return true;
}

// The units of `whole` that `read` lacks, with how often; nothing when `read` holds a unit
// more often than `whole`.
inline std::optional<std::map<std::pair<std::string, std::int64_t>, std::int64_t>> UnitsLeftOut(
    const std::vector<ReferenceUnit>& whole, const std::vector<ReferenceUnit>& read) {
  std::map<std::pair<std::string, std::int64_t>, std::int64_t> count;
  for (const ReferenceUnit& unit : whole) ++count[{unit.tokens, unit.marks}];
  for (const ReferenceUnit& unit : read) {
    if (--count[{unit.tokens, unit.marks}] < 0) return std::nullopt;
  }
  std::erase_if(count, [](const auto& entry) { return entry.second == 0; });
  return count;
}

// Whether reading two versions together only left out units both versions hold: each list
// is part of the list of its version read whole, and what was left out of one is what was
// left out of the other, unit for unit.
inline bool LeftOutAlike(const std::vector<ReferenceUnit>& wholeOld,
                         const std::vector<ReferenceUnit>& readOld,
                         const std::vector<ReferenceUnit>& wholeNew,
                         const std::vector<ReferenceUnit>& readNew) {
  const auto oldLeftOut = UnitsLeftOut(wholeOld, readOld);
  const auto newLeftOut = UnitsLeftOut(wholeNew, readNew);
  return oldLeftOut && newLeftOut && *oldLeftOut == *newLeftOut;
}

}  // namespace quintrel::testing
