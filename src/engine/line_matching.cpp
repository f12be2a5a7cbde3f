#include "engine/line_matching.h"

#include <algorithm>

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

// The lines from `first` on to pair: every line, or those the caller listed as holding a
// mark, less the ones before `first`.
void ListLines(const SourceText& text, std::size_t first, FlagsWanted wanted, LineList& list) {
  LargeVector<std::int32_t>& lines = list.lines;
  if (wanted == FlagsWanted::kLinesWithMarks) {
    lines.erase(lines.begin(),
                std::lower_bound(lines.begin(), lines.end(), static_cast<std::int32_t>(first)));
    return;
  }
  lines.resize(text.lines.size() - first);
  for (std::size_t line = first; line < text.lines.size(); ++line) {
    lines[line - first] = static_cast<std::int32_t>(line);
  }
}

void HashLines(const LineKeys& keys, LineHash hash, LineList& list) {
  list.hashes.resize(list.lines.size());
  if (hash == nullptr) {
    HashListedKeys(keys, list.lines.data(), list.lines.size(), list.hashes.data());
    return;
  }
  for (std::size_t entry = 0; entry < list.lines.size(); ++entry) {
    list.hashes[entry] = hash(keys(static_cast<std::size_t>(list.lines[entry])));
  }
}

// Starts fetching the bytes of a line that will be compared soon.
void PrefetchLine(const SourceText& text, std::int32_t line) {
#if defined(__GNUC__)
  __builtin_prefetch(text.bytes.data() + text.lines[static_cast<std::size_t>(line)]);
#else
  static_cast<void>(text);
  static_cast<void>(line);
#endif
}

struct Side {
  SourceText& text;
  const LineKeys& keys;
  LineList& list;
};

// Pairs each listed old line with the earliest free listed new line of its group, and
// flags the lines from `first` on. Grouped by hash, lines of different content may share a
// group; then false when a pair's contents differ, with no flag written. When every pair
// made holds equal contents, the flags are those of grouping by content: within a group,
// the k-th old line pairs with the k-th new line, so each content's pairs are the first
// occurrences on both sides. Overwrites the old hashes with the partners found.
bool PairThroughIndex(Side oldSide, Side newSide, std::size_t first, Grouping grouping,
                      LineIndexMemory& memory) {
  NewLineIndex index(newSide.keys, newSide.list, grouping, memory);
  const LargeVector<std::int32_t>& oldLines = oldSide.list.lines;
  const LargeVector<std::int32_t>& newLines = newSide.list.lines;
  LargeVector<std::uint64_t>& partners = oldSide.list.hashes;
  const std::size_t count = oldLines.size();
  constexpr std::size_t kAhead = NewLineIndex::kPrefetchAhead;
  // First only the index, then the contents: the lines' bytes are read in order, not
  // between lookups in a table that does not fit the cache.
  for (std::size_t step = 0; step < count; ++step) {
    if (step + kAhead < count) index.Prefetch(partners[step + kAhead]);
    const LineKey key = grouping == Grouping::kByContent
                            ? oldSide.keys(static_cast<std::size_t>(oldLines[step]))
                            : LineKey{};
    partners[step] = static_cast<std::uint32_t>(index.Take(key, partners[step]));
  }
  auto partnerAt = [&](std::size_t step) { return static_cast<std::int32_t>(partners[step]); };
  if (grouping == Grouping::kByHash) {
    for (std::size_t step = 0; step < count; ++step) {
      if (step + kAhead < count && partnerAt(step + kAhead) != NewLineIndex::kNone) {
        PrefetchLine(newSide.text, newLines[static_cast<std::size_t>(partnerAt(step + kAhead))]);
      }
      const std::int32_t partner = partnerAt(step);
      if (partner != NewLineIndex::kNone &&
          !SameKey(oldSide.keys(static_cast<std::size_t>(oldLines[step])),
                   newSide.keys(
                       static_cast<std::size_t>(newLines[static_cast<std::size_t>(partner)])))) {
        return false;
      }
    }
  }
  // The offsets were needed up to here to find the lines' contents.
  std::fill(oldSide.text.lines.begin() + first, oldSide.text.lines.end(), 0);
  std::fill(newSide.text.lines.begin() + first, newSide.text.lines.end(), 0);
  for (std::size_t step = 0; step < count; ++step) {
    if (partnerAt(step) != NewLineIndex::kNone) oldSide.text.lines[oldLines[step]] = 1;
  }
  for (std::size_t entry = 0; entry < newLines.size(); ++entry) {
    if (index.IsPaired(entry)) newSide.text.lines[newLines[entry]] = 1;
  }
  return true;
}

}  // namespace

void PairLines(SourceText& oldText, SourceText& newText, LineIndexMemory& memory,
               FlagsWanted wanted, LineHash hash) {
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
    // Where a line's content ends at kEndMarker, marks after it would belong to a line
    // whose content holds none; such texts are paired in full.
    if (oldKeys.HasEndMarker() || newKeys.HasEndMarker()) wanted = FlagsWanted::kEveryLine;
    const Side oldSide{oldText, oldKeys, memory.oldList};
    const Side newSide{newText, newKeys, memory.newList};
    ListLines(oldText, prefix, wanted, memory.oldList);
    ListLines(newText, prefix, wanted, memory.newList);
    HashLines(oldKeys, hash, memory.oldList);
    HashLines(newKeys, hash, memory.newList);
    if (!PairThroughIndex(oldSide, newSide, prefix, Grouping::kByHash, memory)) {
      // Two different lines share a hash: rare enough to start over comparing contents.
      HashLines(oldKeys, hash, memory.oldList);
      PairThroughIndex(oldSide, newSide, prefix, Grouping::kByContent, memory);
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
