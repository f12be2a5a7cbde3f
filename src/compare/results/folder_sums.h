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

}  // namespace quintrel
