#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "compare/renames/line_profile.h"

namespace quintrel {

// A line hash that occurs in more old files than this is common (a blank line, "}", a
// popular #include): it is not followed file by file, which would make the search quadratic;
// it enters each bound as a count instead. Any limit leaves the choice as it is (the bounds
// only order the exact comparisons); a low one follows fewer postings per new line. On GCC's
// gcc/ folder, 8 instead of 32 follows 169,000 shares instead of 444,000 for one more exact
// comparison; on the whole tree it doubles them (1,587 to 3,101, a few microseconds each).
inline constexpr std::size_t kCommonPostings = 8;

// Lines a new file shares with an old file through rare hashes: the sum, over some of the
// rare hashes both hold, of the smaller count.
struct OldShare {
  std::uint32_t oldFile;
  std::uint32_t lines;
};

// What the old and new files of a search have in common, by line hash alone (contents that
// share a hash only raise the counts).
struct SharedLines {
  // Per new file: its shares; an old file may come more than once, its shares then add up.
  std::vector<std::vector<OldShare>> rare;
  std::vector<std::size_t> commonNew;  // per new file: its lines whose hash is common
  std::vector<std::size_t> commonOld;  // per old file: its lines whose hash is common
};

// The profiles' lines must be in hash order, as LineProfiler makes them. New files without
// lines (lineCount 0) take no part: theirs stay empty. Joined on up to `jobs` threads (0: one
// per core).
SharedLines FindSharedLines(const std::vector<LineProfile>& oldFiles,
                            const std::vector<LineProfile>& newFiles, unsigned jobs = 1);

}  // namespace quintrel
