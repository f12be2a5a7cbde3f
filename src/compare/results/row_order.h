#pragma once

#include <cstdint>

#include "compare/results/result_row.h"

namespace quintrel {

// Ascending comparison of two counts: negative, 0 or positive.
inline int CompareValues(std::int64_t a, std::int64_t b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Ascending comparison of two rows by one column: the marker and name columns in catalogue
// order, the number columns by value. Negative, 0 or positive.
int CompareRows(const ResultRow& a, const ResultRow& b, int column);

}  // namespace quintrel
