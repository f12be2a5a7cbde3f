#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/line_matching.h"

namespace quintrel::testing {

// The plain greedy pairing that PairLines must reproduce flag for flag: each old line, in
// order, takes the first free new line with equal content, searching from a low-water index
// below which every new line is paired. Quadratic; only for checking the fast version.
// A text without line entries is absent: every line of the other text gets 0.
inline void GreedyPairLines(SourceText& oldText, SourceText& newText) {
  LineTable& oldLines = oldText.lines;
  LineTable& newLines = newText.lines;
  if (!oldLines.empty() && !newLines.empty()) {
    std::int32_t low = 0;
    for (std::size_t j = 0; j < oldLines.size(); ++j) {
      for (std::size_t k = static_cast<std::size_t>(low); k < newLines.size(); ++k) {
        if (newLines[k] == -1) continue;
        if (!LinesEqual(oldText, newText, oldLines[j], newLines[k])) continue;
        newLines[k] = -1;
        oldLines[j] = -1;
        if (k == static_cast<std::size_t>(low)) ++low;
        break;
      }
    }
  }
  for (std::int32_t& entry : oldLines) entry = entry < 0 ? 1 : 0;
  for (std::int32_t& entry : newLines) entry = entry < 0 ? 1 : 0;
}

}  // namespace quintrel::testing
