#pragma once

#include <cstdint>

#include "engine/large_block.h"
#include "engine/statement_units.h"

namespace quintrel {

// A unit of one side, ordered for pairing: by hash, then by position.
struct UnitOrderEntry {
  std::uint64_t hash;
  std::uint32_t unit;
};

// The memory of measuring by statement units, kept by callers that measure many pairs.
struct StatementUnitMemory {
  UnitList oldUnits;
  UnitList newUnits;
  LargeVector<UnitOrderEntry> oldOrder;
  LargeVector<UnitOrderEntry> newOrder;
  LargeVector<unsigned char> taken;  // per new unit of one hash group
};

struct UnitCounts {
  std::int64_t added = 0;    // marks in new units without a partner
  std::int64_t deleted = 0;  // marks in old units without a partner
};

// Pairs each old unit, in order, with the earliest free new unit of equal tokens, and
// counts the marks of the units left without a partner. Units are grouped by hash, and
// within a group paired by comparing their bytes, so colliding hashes cost time only.
UnitCounts PairUnits(const UnitList& oldUnits, const UnitList& newUnits,
                     StatementUnitMemory& memory);

}  // namespace quintrel
