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

void HashLines(const LineKeys& keys, std::size_t first, std::size_t end, LineHash hash,
               LargeVector<std::uint64_t>& hashes) {
  hashes.resize(end - first);
  for (std::size_t line = first; line < end; ++line) hashes[line - first] = hash(keys(line));
}

// The lines from `first` on, both sides hashed into `memory`.
struct Unpaired {
  const LineKeys& oldKeys;
  const LineKeys& newKeys;
  std::size_t first;
  std::size_t oldEnd;
  std::size_t newEnd;
};

// Starts fetching the bytes of a line that will be compared soon.
void PrefetchLine(const SourceText& text, std::int32_t line) {
#if defined(__GNUC__)
  __builtin_prefetch(text.bytes.data() + text.lines[static_cast<std::size_t>(line)]);
#else
  static_cast<void>(text);
  static_cast<void>(line);
#endif
}

// Pairs each old line with the earliest free new line of its group, and writes the flags.
// Grouped by hash, lines of different content may share a group; then false when a pair's
// contents differ, with no flag written. When every pair made holds equal contents, the
// flags are those of grouping by content: within a group, the k-th old line pairs with the
// k-th new line, so each content's pairs are the first occurrences on both sides.
// Overwrites the old hashes with the partners found.
bool PairThroughIndex(const Unpaired& lines, Grouping grouping, SourceText& oldText,
                      SourceText& newText, LineIndexMemory& memory) {
  NewLineIndex index(lines.newKeys, lines.first, lines.newEnd, grouping, memory);
  LargeVector<std::uint64_t>& partners = memory.oldHashes;
  const std::size_t count = lines.oldEnd - lines.first;
  constexpr std::size_t kAhead = NewLineIndex::kPrefetchAhead;
  // First only the index, then the contents: the lines' bytes are read in order, not
  // between lookups in a table that does not fit the cache.
  for (std::size_t step = 0; step < count; ++step) {
    if (step + kAhead < count) index.Prefetch(partners[step + kAhead]);
    const LineKey key =
        grouping == Grouping::kByContent ? lines.oldKeys(lines.first + step) : LineKey{};
    partners[step] = static_cast<std::uint32_t>(index.Take(key, partners[step]));
  }
  if (grouping == Grouping::kByHash) {
    for (std::size_t step = 0; step < count; ++step) {
      if (step + kAhead < count) {
        const auto ahead = static_cast<std::int32_t>(partners[step + kAhead]);
        if (ahead != NewLineIndex::kNone) PrefetchLine(newText, ahead);
      }
      const auto partner = static_cast<std::int32_t>(partners[step]);
      if (partner != NewLineIndex::kNone &&
          !SameKey(lines.oldKeys(lines.first + step),
                   lines.newKeys(static_cast<std::size_t>(partner)))) {
        return false;
      }
    }
  }
  // The offsets were needed up to here to find the lines' contents.
  for (std::size_t step = 0; step < count; ++step) {
    const bool paired = static_cast<std::int32_t>(partners[step]) != NewLineIndex::kNone;
    oldText.lines[lines.first + step] = paired ? 1 : 0;
  }
  for (std::size_t line = lines.first; line < lines.newEnd; ++line) {
    newText.lines[line] = index.IsPaired(line) ? 1 : 0;
  }
  return true;
}

}  // namespace

void PairLines(SourceText& oldText, SourceText& newText, LineIndexMemory& memory, LineHash hash) {
  if (hash == nullptr) hash = HashKey;
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
    const Unpaired lines{oldKeys, newKeys, prefix, oldLines.size(), newLines.size()};
    HashLines(newKeys, prefix, newLines.size(), hash, memory.newHashes);
    HashLines(oldKeys, prefix, oldLines.size(), hash, memory.oldHashes);
    if (!PairThroughIndex(lines, Grouping::kByHash, oldText, newText, memory)) {
      // Two different lines share a hash: rare enough to start over comparing contents.
      HashLines(oldKeys, prefix, oldLines.size(), hash, memory.oldHashes);
      PairThroughIndex(lines, Grouping::kByContent, oldText, newText, memory);
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
