#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

#include "engine/source_text.h"

namespace quintrel::testing {

// A loaded version holding exactly `bytes` (no text-mode translation), with its line table.
inline SourceText MakeText(std::string_view bytes) {
  SourceText text;
  text.bytes.assign(bytes.begin(), bytes.end());
  BuildLineTable(text.bytes, text.lines);
  return text;
}

// For each line of `bytes`, whether it holds a statement mark byte; found line by line.
inline std::vector<bool> LinesWithMarks(std::string_view bytes) {
  std::vector<bool> marked;
  for (std::size_t start = 0;;) {
    const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
    marked.push_back(bytes.substr(start, end - start).find_first_of(";{:#") != bytes.npos);
    if (end == bytes.size()) return marked;
    start = end + 1;
  }
}

}  // namespace quintrel::testing
