#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compare/listing/folder_listing.h"
#include "compare/results/result_row.h"
#include "compare/results/totals.h"

namespace quintrel {

// One folder beneath the top folder, with the sums of every row at any depth below it.
struct FolderSum {
  std::string name;  // its path relative to the top folder, parts joined by TreePathSeparator
  FileCounts counts;
  Totals totals;
};

// The folders that hold rows, in the order in which their first row stands; a folder always
// comes before the folders inside it. For rows in pre-order this is the pre-order of the
// folders. The top folder itself is not listed: rows without a '/' belong to no entry.
std::vector<FolderSum> SumFolders(const std::vector<ResultRow>& rows);

// The columns of the table of folder sums, in the order it shows them.
enum FolderSumColumn {
  kFolderColumnName = 0,
  kFolderColumnFiles,  // the file count text
  kFolderColumnAdded,
  kFolderColumnDeleted,
  kFolderColumnLoc,
  kFolderColumnCount
};
static_assert(static_cast<int>(kFolderColumnCount) == static_cast<int>(kColumnCount),
              "a folder's line is laid out as a row's");

// The texts of a folder's line in that table, column by column.
RowTexts FolderSumTexts(const FolderSum& folder);

// Ascending comparison of two folders by one FolderSumColumn: the names in catalogue order,
// the file counts by the number of files, then of "+" and of "-" files, the sums by value.
// Negative, 0 or positive.
int CompareFolderSums(const FolderSum& a, const FolderSum& b, int column);

}  // namespace quintrel
