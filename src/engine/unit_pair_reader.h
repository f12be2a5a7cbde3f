#pragma once

#include "engine/source_text.h"
#include "engine/statement_units.h"

namespace quintrel {

// ReadStatementUnits on two versions, leaving out the units of stretches they share: where
// both readers stand at a line start with nothing left over and the bytes ahead are the same,
// the units read from there are the same on both sides, each pairs with its equal and so
// changes no count. Such a stretch is read on one side only, counting its marks, and one that
// runs to the end of both is not read at all. Most changed files of a release are long
// stretches of unchanged text. Each list's `marks` still counts every mark of its text.
void ReadStatementUnitPair(const SourceText& oldText, const SourceText& newText, UnitList& oldList,
                           UnitList& newList);

}  // namespace quintrel
