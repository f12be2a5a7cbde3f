#include "engine/line_matching.h"

#include <algorithm>
#include <initializer_list>

#include "engine/new_line_index.h"
#include "engine/source_loader.h"

namespace quintrel {

namespace {

constexpr unsigned char kEndMarker = 0xFF;

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

bool LinesEqual(const SourceText& a, const SourceText& b, std::int64_t startA,
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

void PairLines(SourceText& oldText, SourceText& newText) {
  LineIndexMemory memory;
  PairLines(oldText, newText, memory);
}

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

void MatchLines(InputFile* oldFile, InputFile* newFile, SourceText& oldText, SourceText& newText) {
  for (SourceText* text : {&oldText, &newText}) {
    text->bytes.clear();
    text->lines.clear();
  }
  if (oldFile != nullptr) LoadSourceText(*oldFile, oldText);
  if (newFile != nullptr) LoadSourceText(*newFile, newText);
  PairLines(oldText, newText);
}

}  // namespace quintrel
