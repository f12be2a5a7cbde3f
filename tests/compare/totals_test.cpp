#include "compare/totals.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace quintrel {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// The totals of rows holding `results`, all files in both folders.
Totals TotalsOf(const std::vector<FileResult>& results) {
  std::vector<ResultRow> rows;
  for (const FileResult& result : results)
    rows.push_back({kInOld | kInNew, "f.c", result, "f.c", "f.c"});
  return SummarizeRows(rows).totals;
}

TEST(SummarizeRows, SumsEachColumnWithoutWrapping) {
  EXPECT_EQ(TotalsOf({}), Totals{});
  EXPECT_EQ(TotalsOf({{3, 1, 120}, {0, 0, 10}}), (Totals{3, 1, 130}));
  const Totals big = TotalsOf({{kMax, kMax, kMax}, {kMax, 1, 2}});
  EXPECT_EQ(big, (Totals{2LL * kMax, kMax + 1LL, kMax + 2LL}));
}

TEST(FileCountText, CountsRowsInTheNewFolder) {
  EXPECT_EQ(FileCountText(0, 0, 0), "0 (+0/-0)");
  EXPECT_EQ(FileCountText(3, 1, 1), "2 (+1/-1)");
  EXPECT_EQ(FileCountText(5000000000LL, 0, 1), "4999999999 (+0/-1)");
}

TEST(SummarizeRows, CountsMarkersAndSumsNumbers) {
  const std::vector<ResultRow> rows = {{kInOld | kInNew, "x.c", {1, 2, 3}, {}, {}},
                                       {kInOld, "y.c", {0, 12, 0}, {}, {}},
                                       {kInNew, "z.c", {5, 0, 5}, {}, {}},
                                       {kInNew, "w.c", {1, 0, 1}, {}, {}},
                                       {0, "q.c", {0, 0, 0}, {}, {}}};
  const Summary all = SummarizeRows(rows);
  EXPECT_EQ(all.fileCountText, "4 (+2/-1)");
  EXPECT_EQ(all.totals, (Totals{7, 14, 9}));

  const Summary minusOnly = SummarizeRows(std::vector<const ResultRow*>{&rows[1]});
  EXPECT_EQ(minusOnly.fileCountText, "0 (+0/-1)");
  EXPECT_EQ(minusOnly.totals, (Totals{0, 12, 0}));

  const Summary plusBothPlus =
      SummarizeRows(std::vector<const ResultRow*>{&rows[2], &rows[0], &rows[3]});
  EXPECT_EQ(plusBothPlus.fileCountText, "3 (+2/-0)");

  const Summary none = SummarizeRows(std::vector<const ResultRow*>{});
  EXPECT_EQ(none.fileCountText, "0 (+0/-0)");
  EXPECT_EQ(none.totals, Totals{});
}

}  // namespace
}  // namespace quintrel
