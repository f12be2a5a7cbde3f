#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compare/results/result_row.h"

namespace quintrel {

// Sums of the number columns. 64-bit, so large trees never wrap.
struct Totals {
  std::int64_t added = 0;
  std::int64_t deleted = 0;
  std::int64_t loc = 0;

  void Add(const FileResult& result) {
    added += result.added;
    deleted += result.deleted;
    loc += result.loc;
  }
  bool operator==(const Totals&) const = default;
};

// How many rows a set holds, and how many of them are marked "+" and "-".
struct FileCounts {
  std::int64_t rows = 0;
  std::int64_t plusRows = 0;
  std::int64_t minusRows = 0;

  void Add(PresenceFlags flags) {
    ++rows;
    plusRows += flags == kInNew ? 1 : 0;
    minusRows += flags == kInOld ? 1 : 0;
  }
  // The number the file count text starts with: the rows less the "-" rows.
  std::int64_t files() const { return rows - minusRows; }
  bool operator==(const FileCounts&) const = default;
};

// "%d (+%d/-%d)": rows minus the "-" rows, the "+" rows, the "-" rows.
std::string FileCountText(std::int64_t rows, std::int64_t plusRows, std::int64_t minusRows);

// The texts of a line of sums (a folder's, an extension's), column by column: its name, its
// file count text and the three sums.
RowTexts SumLineTexts(const std::string& name, const FileCounts& counts, const Totals& totals);

// The file count text and totals of a set of rows (all rows after a run, or the selected
// ones).
struct Summary {
  FileCounts counts;
  std::string fileCountText;  // FileCountText of `counts`
  Totals totals;
};
Summary SummarizeRows(const std::vector<const ResultRow*>& rows);
Summary SummarizeRows(const std::vector<ResultRow>& rows);

}  // namespace quintrel
