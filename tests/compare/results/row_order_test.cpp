#include "compare/results/row_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace quintrel {
namespace {

int Sign(int value) {
  return (value > 0) - (value < 0);
}

std::vector<std::string> SortedNames(std::vector<ResultRow> rows, int column) {
  std::stable_sort(rows.begin(), rows.end(), [column](const ResultRow& a, const ResultRow& b) {
    return CompareRows(a, b, column) < 0;
  });
  std::vector<std::string> names;
  for (const ResultRow& row : rows) names.push_back(row.name);
  return names;
}

TEST(CompareRows, OrdersMarkersAndNamesInCatalogueOrder) {
  const std::vector<ResultRow> rows = {{0, "q.c", {}, {}, {}},
                                       {kInOld, "aBb.c", {}, {}, {}},
                                       {kInNew, "Zeta.c", {}, {}, {}},
                                       {kInOld | kInNew, "a_b.c", {}, {}, {}},
                                       {kInOld | kInNew, "alpha.c", {}, {}, {}}};
  EXPECT_EQ(SortedNames(rows, kColumnMarker),
            (std::vector<std::string>{"a_b.c", "alpha.c", "Zeta.c", "aBb.c", "q.c"}));
  EXPECT_EQ(SortedNames(rows, kColumnName),
            (std::vector<std::string>{"a_b.c", "aBb.c", "alpha.c", "q.c", "Zeta.c"}));
}

TEST(CompareRows, OrdersNumbersByValueWithoutOverflow) {
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  const ResultRow low{kInOld | kInNew, "a.c", {kMin, 0, -1}, {}, {}};
  const ResultRow high{kInOld | kInNew, "b.c", {kMax, 10, 2}, {}, {}};
  for (int column : {kColumnAdded, kColumnDeleted, kColumnLoc}) {
    EXPECT_LT(CompareRows(low, high, column), 0) << column;
    EXPECT_GT(CompareRows(high, low, column), 0) << column;
    EXPECT_EQ(CompareRows(low, low, column), 0) << column;
  }
  const ResultRow sameLoc{kInNew, "c.c", {0, 0, 2}, {}, {}};
  EXPECT_EQ(Sign(CompareRows(high, sameLoc, kColumnLoc)), 0);
  EXPECT_EQ(CompareRows(low, high, kColumnCount), 0);
}

}  // namespace
}  // namespace quintrel
