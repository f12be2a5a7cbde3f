#include "compare/results/totals.h"

#include <cinttypes>
#include <cstdio>

namespace quintrel {

RowTexts SumLineTexts(const std::string& name, const FileCounts& counts, const Totals& totals) {
  return {name, FileCountText(counts.rows, counts.plusRows, counts.minusRows),
          std::to_string(totals.added), std::to_string(totals.deleted), std::to_string(totals.loc)};
}

std::string FileCountText(std::int64_t rows, std::int64_t plusRows, std::int64_t minusRows) {
  char text[80];
  std::snprintf(text, sizeof text, "%" PRId64 " (+%" PRId64 "/-%" PRId64 ")", rows - minusRows,
                plusRows, minusRows);
  return text;
}

Summary SummarizeRows(const std::vector<const ResultRow*>& rows) {
  Summary summary;
  for (const ResultRow* row : rows) {
    summary.counts.Add(row->flags);
    summary.totals.Add(row->result);
  }
  const FileCounts& counts = summary.counts;
  summary.fileCountText = FileCountText(counts.rows, counts.plusRows, counts.minusRows);
  return summary;
}

Summary SummarizeRows(const std::vector<ResultRow>& rows) {
  std::vector<const ResultRow*> pointers;
  pointers.reserve(rows.size());
  for (const ResultRow& row : rows) pointers.push_back(&row);
  return SummarizeRows(pointers);
}

}  // namespace quintrel
