#include "compare/totals.h"

#include <cinttypes>
#include <cstdio>

namespace quintrel {

std::string FileCountText(std::int64_t rows, std::int64_t plusRows, std::int64_t minusRows) {
  char text[80];
  std::snprintf(text, sizeof text, "%" PRId64 " (+%" PRId64 "/-%" PRId64 ")", rows - minusRows,
                plusRows, minusRows);
  return text;
}

Summary SummarizeRows(const std::vector<const ResultRow*>& rows) {
  std::int64_t plusRows = 0;
  std::int64_t minusRows = 0;
  Summary summary;
  for (const ResultRow* row : rows) {
    plusRows += row->flags == kInNew ? 1 : 0;
    minusRows += row->flags == kInOld ? 1 : 0;
    summary.totals.added += row->result.added;
    summary.totals.deleted += row->result.deleted;
    summary.totals.loc += row->result.loc;
  }
  summary.fileCountText =
      FileCountText(static_cast<std::int64_t>(rows.size()), plusRows, minusRows);
  return summary;
}

Summary SummarizeRows(const std::vector<ResultRow>& rows) {
  std::vector<const ResultRow*> pointers;
  pointers.reserve(rows.size());
  for (const ResultRow& row : rows) pointers.push_back(&row);
  return SummarizeRows(pointers);
}

}  // namespace quintrel
