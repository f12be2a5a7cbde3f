#include "compare/results/totals.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace quintrel {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(FileCountText, CountsRowsInTheNewFolder) {
  EXPECT_EQ(FileCountText(0, 0, 0), "0 (+0/-0)");
  EXPECT_EQ(FileCountText(5000000000LL, 0, 1), "4999999999 (+0/-1)");
}

// Markers are counted and every column summed without wrapping at 32 bits, over all rows or
// over any chosen ones.
TEST(SummarizeRows, CountsMarkersAndSumsNumbers) {
  const std::vector<ResultRow> rows = {{kInOld | kInNew, "x.c", {kMax, 2, 3}, {}, {}},
                                       {kInOld, "y.c", {0, kMax, 0}, {}, {}},
                                       {kInNew, "z.c", {5, 0, kMax}, {}, {}},
                                       {kInNew, "w.c", {kMax, 0, 1}, {}, {}},
                                       {0, "q.c", {0, 0, 0}, {}, {}}};
  const Summary all = SummarizeRows(rows);
  EXPECT_EQ(all.fileCountText, "4 (+2/-1)");
  EXPECT_EQ(all.totals, (Totals{2LL * kMax + 5, kMax + 2LL, kMax + 4LL}));

  const Summary minusOnly = SummarizeRows(std::vector<const ResultRow*>{&rows[1]});
  EXPECT_EQ(minusOnly.fileCountText, "0 (+0/-1)");
  EXPECT_EQ(minusOnly.totals, (Totals{0, kMax, 0}));

  const Summary plusBothPlus =
      SummarizeRows(std::vector<const ResultRow*>{&rows[2], &rows[0], &rows[3]});
  EXPECT_EQ(plusBothPlus.fileCountText, "3 (+2/-0)");

  const Summary none = SummarizeRows(std::vector<const ResultRow*>{});
  EXPECT_EQ(none.fileCountText, "0 (+0/-0)");
  EXPECT_EQ(none.totals, Totals{});
}

}  // namespace
}  // namespace quintrel
