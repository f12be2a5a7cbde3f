#include "compare/results/extension_sums.h"

#include <gtest/gtest.h>

namespace quintrel {
namespace {

constexpr PresenceFlags kBoth = kInOld | kInNew;

TEST(SumExtensions, GroupsByTheLowerCasedExtensionInByteOrder) {
  std::vector<ResultRow> rows = {
      {kBoth, "main.c", {3, 1, 10}, {}, {}},    {kInNew, "lib/Util.CPP", {5, 0, 5}, {}, {}},
      {kInOld, "old.C", {0, 4, 0}, {}, {}},     {kBoth, "include/a.h", {1, 1, 7}, {}, {}},
      {kBoth, "v1.2/x.cpp", {2, 0, 9}, {}, {}},  // a dot in a folder's name is no extension
      {kInNew, "Makefile", {0, 0, 0}, {}, {}},
  };
  // A rename counts under its new name's extension.
  rows.push_back(
      {kBoth, "net/sock.c => net/sock.cc", {1, 2, 3}, "net/sock.c", "net/sock.cc", "net/sock.c"});
  const std::vector<ExtensionSum> sums = SumExtensions(rows);
  std::vector<std::string> names;
  for (const ExtensionSum& sum : sums) names.push_back(sum.name);
  EXPECT_EQ(names, (std::vector<std::string>{"", ".c", ".cc", ".cpp", ".h"}));
  EXPECT_EQ(sums[1].counts, (FileCounts{2, 0, 1}));
  EXPECT_EQ(sums[1].totals, (Totals{3, 5, 10}));
  EXPECT_EQ(sums[2].totals, (Totals{1, 2, 3}));
  EXPECT_EQ(sums[3].counts, (FileCounts{2, 1, 0}));
  EXPECT_EQ(sums[3].totals, (Totals{7, 0, 14}));
  // Every row counts once: the sums add up to the run's.
  Totals all;
  std::int64_t rowsSeen = 0;
  for (const ExtensionSum& sum : sums) {
    all.added += sum.totals.added;
    all.deleted += sum.totals.deleted;
    all.loc += sum.totals.loc;
    rowsSeen += sum.counts.rows;
  }
  EXPECT_EQ(all, SummarizeRows(rows).totals);
  EXPECT_EQ(rowsSeen, static_cast<std::int64_t>(rows.size()));
  EXPECT_TRUE(SumExtensions({}).empty());
}

}  // namespace
}  // namespace quintrel
