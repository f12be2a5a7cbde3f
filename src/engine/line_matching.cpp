#include "engine/line_matching.h"

#include <algorithm>

#include "engine/new_line_index.h"

namespace quintrel {

namespace {

// Lines that agree position by position from the top pair with each other: each is the
// earliest free line with its content on both sides.
std::size_t CommonPrefix(const LineKeys& oldKeys, std::size_t oldCount, const LineKeys& newKeys,
                         std::size_t newCount) {
  std::size_t limit = std::min(oldCount, newCount);
  std::size_t line = 0;
  while (line < limit && SameKey(oldKeys(line), newKeys(line))) ++line;
  return line;
}

}  // namespace

void PairLines(SourceText& oldText, SourceText& newText, LineIndexMemory& memory) {
  LineTable& oldLines = oldText.lines;
  LineTable& newLines = newText.lines;
  if (oldLines.empty() || newLines.empty()) {
    std::fill(oldLines.begin(), oldLines.end(), 0);
    std::fill(newLines.begin(), newLines.end(), 0);
    return;
  }

  const LineKeys oldKeys(oldText);
  const LineKeys newKeys(newText);
  const std::size_t prefix = CommonPrefix(oldKeys, oldLines.size(), newKeys, newLines.size());
  if (prefix < oldLines.size() && prefix < newLines.size()) {
    NewLineIndex index(newKeys, prefix, newLines.size(), memory);
    // Old line j still needs the start of line j + 1, so its flag is written only after it
    // has been handled; the new offsets stay intact until every old line is done.
    VisitHashed(
        oldKeys, index, oldLines.size() - prefix,
        [prefix](std::size_t step) { return prefix + step; },
        [&](std::size_t line, const HashedKey& key) {
          oldLines[line] = index.Take(key) != NewLineIndex::kNone ? 1 : 0;
        });
    for (std::size_t line = prefix; line < newLines.size(); ++line) {
      newLines[line] = index.IsPaired(line) ? 1 : 0;
    }
  } else {
    // One text is a prefix of the other: the rest of the longer one has no partners.
    std::fill(oldLines.begin() + prefix, oldLines.end(), 0);
    std::fill(newLines.begin() + prefix, newLines.end(), 0);
  }
  std::fill(oldLines.begin(), oldLines.begin() + prefix, 1);
  std::fill(newLines.begin(), newLines.begin() + prefix, 1);
}

}  // namespace quintrel
