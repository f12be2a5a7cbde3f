#pragma once

#include <cstddef>
#include <vector>

#include "engine/source_text.h"

namespace quintrel {

// A rename found: the index of the old file and of the new file in the lists searched.
struct RenamePair {
  std::size_t oldIndex = 0;
  std::size_t newIndex = 0;
  bool operator==(const RenamePair&) const = default;
};

// The work a search did, for checking that it stays near linear.
struct RenameSearchStats {
  std::size_t candidatePairs = 0;    // pairs whose bound reached the threshold
  std::size_t exactComparisons = 0;  // pairs whose lines were actually paired
};

// Finds renames between files only in the old version and files only in the new one, each
// list in catalogue order. A text is as measuring loads it (bytes and a line table of
// offsets); an absent text (no lines) takes no part. The similarity of two files is the
// number of the new file's lines that PairLines pairs, times 100, divided by the larger line
// count, rounded down; a pair qualifies when it reaches `percent` (1 to 100). Pairs are
// chosen from the most similar down (ties: lower old index, then lower new index), each file
// in at most one pair. The line tables are offsets again on return. Returned in the order
// chosen.
std::vector<RenamePair> FindRenames(std::vector<SourceText>& oldFiles,
                                    std::vector<SourceText>& newFiles, int percent,
                                    RenameSearchStats* stats = nullptr);

}  // namespace quintrel
