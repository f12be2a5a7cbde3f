#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compare/result_row.h"

namespace quintrel {

// Sums of the number columns. 64-bit, so large trees never wrap.
struct Totals {
  std::int64_t added = 0;
  std::int64_t deleted = 0;
  std::int64_t loc = 0;

  bool operator==(const Totals&) const = default;
};

// "%d (+%d/-%d)": rows minus the "-" rows, the "+" rows, the "-" rows.
std::string FileCountText(std::int64_t rows, std::int64_t plusRows, std::int64_t minusRows);

// The file count text and totals of a set of rows (all rows after a run, or the selected
// ones).
struct Summary {
  std::string fileCountText;
  Totals totals;
};
Summary SummarizeRows(const std::vector<const ResultRow*>& rows);
Summary SummarizeRows(const std::vector<ResultRow>& rows);

}  // namespace quintrel
