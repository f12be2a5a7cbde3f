#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/source_text.h"

namespace quintrel::testing {

// True when the line of `a` starting at byte `startA` equals the line of `b` starting at
// `startB`, compared byte by byte. A line runs up to its first '\n', kEndMarker or the end of
// the text; an offset at or past the end denotes an empty line.
inline bool LinesEqual(const SourceText& a, const SourceText& b, std::int64_t startA,
                       std::int64_t startB) {
  auto at = [](const SourceText& text, std::int64_t pos) -> int {
    if (pos < 0 || pos >= static_cast<std::int64_t>(text.bytes.size())) return -1;
    unsigned char byte = text.bytes[static_cast<std::size_t>(pos)];
    return byte == '\n' || byte == kEndMarker ? -1 : byte;
  };
  for (;; ++startA, ++startB) {
    int charA = at(a, startA);
    int charB = at(b, startB);
    if (charA != charB) return false;
    if (charA < 0) return true;
  }
}

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
