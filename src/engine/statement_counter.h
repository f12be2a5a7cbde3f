#pragma once

#include <cstdint>

#include "engine/source_text.h"

namespace quintrel {

struct StatementCounts {
  std::int32_t matched = 0;    // marks on lines flagged 1
  std::int32_t unmatched = 0;  // marks on lines flagged 0 or beyond the line table
};

// Counts the statement marks (';', '{', ':' but not "::", '#' but not "##") outside
// comments and literals, crediting each to its line's match flag. kEndMarker in code ends
// the count.
StatementCounts CountStatements(const SourceText& text);

}  // namespace quintrel
