#pragma once

#include <string>
#include <vector>

#include "compare/results/result_row.h"
#include "compare/results/totals.h"

namespace quintrel {

// The rows of one extension: ".c", ".h", ".cpp", ...
struct ExtensionSum {
  std::string name;  // with its dot, in lower case
  FileCounts counts;
  Totals totals;
};

// The extension of a name as sums group it: from its last dot (in its last path part), ASCII
// letters in lower case; empty for a name without one.
std::string GroupedExtension(std::string_view name);

// The sums per extension of the rows' names, in byte order of the extensions; letter case is
// folded, so "A.C" counts with ".c". A renamed file counts under its new name's extension,
// as its row stands in the new version.
std::vector<ExtensionSum> SumExtensions(const std::vector<ResultRow>& rows);

}  // namespace quintrel
