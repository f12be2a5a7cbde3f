#pragma once

#include "compare/totals.h"

namespace quintrel {

// Result list columns.
enum ResultColumn {
  kColumnMarker = 0,
  kColumnName,
  kColumnAdded,
  kColumnDeleted,
  kColumnLoc,
  kColumnCount
};

// Ascending comparison of two rows by one column: the marker and name columns in catalogue
// order, the number columns by value. Negative, 0 or positive.
int CompareRows(const ResultRow& a, const ResultRow& b, int column);

}  // namespace quintrel
