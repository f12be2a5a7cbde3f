#include "compare/results/folder_sums.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace quintrel {
namespace {

constexpr PresenceFlags kBoth = kInOld | kInNew;

std::vector<std::string> Names(const std::vector<FolderSum>& folders) {
  std::vector<std::string> names;
  for (const FolderSum& folder : folders) names.push_back(folder.name);
  return names;
}

const FolderSum& Find(const std::vector<FolderSum>& folders, const std::string& name) {
  for (const FolderSum& folder : folders) {
    if (folder.name == name) return folder;
  }
  throw std::runtime_error("no folder " + name);
}

// A tree's rows in pre-order: the top folder's files, then each folder with all beneath it.
const std::vector<ResultRow> kTreeRows = {
    {kBoth, "main.c", {1, 1, 10}, {}, {}},
    {kInNew, "kernel/fork.c", {3, 0, 3}, {}, {}},
    {kBoth, "kernel/sched/core.c", {2, 5, 40}, {}, {}},
    {kInOld, "kernel/sched/old.h", {0, 7, 0}, {}, {}},
    {kBoth, "kernel/time/deep/er/t.c", {1, 0, 1}, {}, {}},
    {kInNew, "kernel2/x.c", {4, 0, 4}, {}, {}},
    {kBoth, "lib/a.c", {0, 0, 9}, {}, {}},
};

// Every folder on a row's path collects the row, the top folder is not listed, and a folder
// whose name starts like another ("kernel2", "kernel") never takes the other's rows.
TEST(SumFolders, SumsEachFolderOverEverythingBeneathIt) {
  const std::vector<FolderSum> folders = SumFolders(kTreeRows);
  EXPECT_EQ(Names(folders),
            (std::vector<std::string>{"kernel", "kernel/sched", "kernel/time", "kernel/time/deep",
                                      "kernel/time/deep/er", "kernel2", "lib"}));
  const FolderSum& kernel = Find(folders, "kernel");
  EXPECT_EQ(kernel.counts, (FileCounts{4, 1, 1}));
  EXPECT_EQ(kernel.totals, (Totals{6, 12, 44}));
  EXPECT_EQ(kernel.counts.files(), 3);
  EXPECT_EQ(Find(folders, "kernel/sched").counts, (FileCounts{2, 0, 1}));
  EXPECT_EQ(Find(folders, "kernel/sched").totals, (Totals{2, 12, 40}));
  EXPECT_EQ(Find(folders, "kernel/time/deep/er").totals, (Totals{1, 0, 1}));
  EXPECT_EQ(Find(folders, "kernel2").counts, (FileCounts{1, 1, 0}));
  EXPECT_EQ(Find(folders, "kernel2").totals, (Totals{4, 0, 4}));
}

// A folder stands where its first row stands, before the folders inside it, even when its
// own files come after them or the rows are not in pre-order at all.
TEST(SumFolders, FolderStandsWhereItsFirstRowIs) {
  const std::vector<ResultRow> rows = {{kBoth, "z/q/r.c", {1, 0, 1}, {}, {}},
                                       {kBoth, "a/b.c", {0, 1, 0}, {}, {}},
                                       {kBoth, "z/s.c", {1, 0, 2}, {}, {}},
                                       {kBoth, "z/q/t.c", {1, 0, 3}, {}, {}}};
  const std::vector<FolderSum> folders = SumFolders(rows);
  EXPECT_EQ(Names(folders), (std::vector<std::string>{"z", "z/q", "a"}));
  EXPECT_EQ(Find(folders, "z").totals, (Totals{3, 0, 6}));
  EXPECT_EQ(Find(folders, "z/q").counts.rows, 2);
}

// Sums of many large files do not wrap at 32 bits.
TEST(SumFolders, SumsDoNotWrap) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::vector<ResultRow> rows(3, {kBoth, "big/f.c", {kMax, kMax, kMax}, {}, {}});
  const std::vector<FolderSum> folders = SumFolders(rows);
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0].totals.loc, 3LL * kMax);
}

// A folder's line reads as the command line's table shows it: name, file count text, sums.
TEST(FolderSumTexts, NameCountTextAndSums) {
  const FolderSum folder{"kernel/sched", {5, 2, 1}, {12, 3, 4000000000LL}};
  EXPECT_EQ(FolderSumTexts(folder),
            (RowTexts{"kernel/sched", "4 (+2/-1)", "12", "3", "4000000000"}));
}

// Each column orders by what it shows: names in catalogue order (letter case aside, '/'
// as a character), counts by files then "+" then "-" files, sums by their 64-bit values.
TEST(CompareFolderSums, EachColumnByWhatItShows) {
  const FolderSum lib{"lib", {3, 1, 0}, {5, 0, 3000000000LL}};
  const FolderSum kernel{"Kernel", {4, 0, 1}, {5, 1, 10}};
  const FolderSum kernelSched{"kernel/sched", {3, 0, 0}, {0, 9, 10}};
  EXPECT_LT(CompareFolderSums(kernel, lib, kFolderColumnName), 0);
  EXPECT_LT(CompareFolderSums(kernel, kernelSched, kFolderColumnName), 0);
  EXPECT_GT(CompareFolderSums(lib, kernelSched, kFolderColumnName), 0);
  // lib and kernel both hold 3 files; lib has the more "+" files, kernel/sched the fewer.
  EXPECT_EQ(CompareFolderSums(lib, kernel, kFolderColumnFiles), 1);
  EXPECT_EQ(CompareFolderSums(kernelSched, lib, kFolderColumnFiles), -1);
  EXPECT_EQ(CompareFolderSums(kernelSched, kernelSched, kFolderColumnFiles), 0);
  EXPECT_EQ(CompareFolderSums(lib, kernel, kFolderColumnAdded), 0);
  EXPECT_EQ(CompareFolderSums(lib, kernelSched, kFolderColumnDeleted), -1);
  EXPECT_EQ(CompareFolderSums(lib, kernel, kFolderColumnLoc), 1);
  EXPECT_EQ(CompareFolderSums(kernel, kernelSched, kFolderColumnLoc), 0);
}

}  // namespace
}  // namespace quintrel
