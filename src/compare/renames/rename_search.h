#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "compare/renames/line_profile.h"
#include "engine/new_line_index.h"
#include "engine/source_text.h"

namespace quintrel {

// How many lines of the new text pair with lines of the old one, as measuring pairs them.
// Both line tables must hold offsets; they hold match flags afterwards.
std::size_t CountPairedNewLines(SourceText& oldText, SourceText& newText, LineIndexMemory& memory);

// CountPairedNewLines for old file `oldIndex` and new file `newIndex` of a search.
using PairedLinesFunction = std::function<std::size_t(std::size_t oldIndex, std::size_t newIndex)>;

// A rename found: the index of the old file and of the new file in the lists searched.
struct RenamePair {
  std::size_t oldIndex = 0;
  std::size_t newIndex = 0;
  bool operator==(const RenamePair&) const = default;
};

// The work a search did, for checking that it stays near linear.
struct RenameSearchStats {
  std::size_t candidatePairs = 0;    // pairs whose upper bound reached the threshold
  std::size_t exactComparisons = 0;  // calls of the PairedLinesFunction
};

// Finds renames between files only in the old version and files only in the new one, each
// list in catalogue order. The similarity of two files is `pairedLines` of them times 100,
// divided by the larger line count, rounded down; a pair qualifies when it reaches `percent`
// (1 to 100). Pairs are chosen from the most similar down (ties: lower old index, then lower
// new index), each file in at most one pair; absent files take no part. The profiles give
// upper bounds, so that `pairedLines` is called only for pairs that may qualify and are still
// free. Returned in the order chosen.
std::vector<RenamePair> FindRenames(const std::vector<LineProfile>& oldFiles,
                                    const std::vector<LineProfile>& newFiles, int percent,
                                    const PairedLinesFunction& pairedLines,
                                    RenameSearchStats* stats = nullptr);

// The same, with the files' line hashes joined on up to `jobs` threads (0: one per core).
std::vector<RenamePair> FindRenames(const std::vector<LineProfile>& oldFiles,
                                    const std::vector<LineProfile>& newFiles, int percent,
                                    const PairedLinesFunction& pairedLines,
                                    RenameSearchStats* stats, unsigned jobs);

}  // namespace quintrel
