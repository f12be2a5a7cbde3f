#include "engine/statement_units.h"

#include "engine/unit_reader.h"

namespace quintrel {

void ReadStatementUnits(const SourceText& text, UnitList& list, UnitHash hash) {
  list.bytes.clear();
  list.units.clear();
  list.marks = 0;
  UnitReader(text, list, hash).Finish();
}

}  // namespace quintrel
