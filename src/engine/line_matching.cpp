#include "engine/line_matching.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "engine/source_loader.h"

namespace quintrel {

namespace {

constexpr unsigned char kEndMarker = 0xFF;

// A line's content: its bytes up to the first '\n', 0xFF or the end of the text.
struct LineKey {
  const unsigned char* data;
  std::size_t size;
};

// Finds the content of each line of one text from its line table.
class LineKeys {
 public:
  explicit LineKeys(const SourceText& text)
      : m_text(text),
        // Most texts hold no 0xFF at all; then no line needs to be searched for one. An empty
        // text may have no buffer at all, which memchr must not be given.
        m_hasEndMarker(!text.bytes.empty() &&
                       std::memchr(text.bytes.data(), kEndMarker, text.bytes.size()) != nullptr) {}

  LineKey operator()(std::size_t line) const {
    const std::size_t total = m_text.bytes.size();
    const std::size_t start = std::min<std::size_t>(m_text.lines[line], total);
    std::size_t stop = total;
    if (line + 1 < m_text.lines.size()) {
      // The next line starts right after this line's '\n'.
      stop = std::clamp<std::size_t>(static_cast<std::size_t>(m_text.lines[line + 1]) - 1, start,
                                     total);
    }
    const unsigned char* data = m_text.bytes.data() + start;
    if (m_hasEndMarker) {
      if (const void* marker = std::memchr(data, kEndMarker, stop - start)) {
        return LineKey{data,
                       static_cast<std::size_t>(static_cast<const unsigned char*>(marker) - data)};
      }
    }
    return LineKey{data, stop - start};
  }

 private:
  const SourceText& m_text;
  bool m_hasEndMarker;
};

bool SameKey(const LineKey& a, const LineKey& b) {
  return a.size == b.size && (a.size == 0 || std::memcmp(a.data, b.data, a.size) == 0);
}

std::uint32_t HashKey(const LineKey& key) {
  std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ key.size;
  const unsigned char* at = key.data;
  std::size_t left = key.size;
  for (; left >= 8; at += 8, left -= 8) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    hash = (hash ^ word) * 0xBF58476D1CE4E5B9ull;
    hash ^= hash >> 31;
  }
  std::uint64_t tail = 0;
  for (std::size_t i = 0; i < left; ++i) tail |= static_cast<std::uint64_t>(at[i]) << (8 * i);
  hash = (hash ^ tail) * 0x94D049BB133111EBull;
  hash ^= hash >> 29;
  hash *= 0xD6E8FEB86659FD93ull;
  return static_cast<std::uint32_t>(hash >> 32);
}

// The new lines from `first` on, grouped by content. Each group is a chain of its lines in
// line order; its cursor is the earliest line not yet handed out, so handing lines out in
// chain order gives each old line the earliest free new line with its content.
class NewLineIndex {
 public:
  static constexpr std::int32_t kNone = -1;
  static constexpr std::int32_t kPaired = -2;

  NewLineIndex(const LineKeys& keys, std::size_t first, std::size_t end)
      : m_keys(keys), m_first(first), m_next(end - first, kNone) {
    // Sized for the distinct contents, not the lines: a small table stays in the cache.
    m_slots.assign(kInitialSlots, Slot{});
    // Insert from the last line back, so that each chain ends up in line order.
    for (std::size_t line = end; line-- > first;) Insert(line);
  }

  // Hands out the earliest free new line with the content of `key`, or kNone.
  std::int32_t Take(const LineKey& key) {
    Slot& slot = m_slots[Find(key, HashKey(key))];
    if (slot.cursor < 0) return kNone;
    std::int32_t line = slot.cursor;
    slot.cursor = m_next[line - m_first];
    m_next[line - m_first] = kPaired;
    return line;
  }

  bool IsPaired(std::size_t line) const { return m_next[line - m_first] == kPaired; }

 private:
  static constexpr std::size_t kInitialSlots = 1024;

  struct Slot {
    std::uint32_t hash = 0;
    std::int32_t sample = kNone;  // a line of the group, for comparing contents
    std::int32_t cursor = kNone;  // earliest line not handed out, kNone when all are
  };

  std::size_t Mask() const { return m_slots.size() - 1; }

  // The slot of the group with this content, or the empty slot where it belongs.
  std::size_t Find(const LineKey& key, std::uint32_t hash) const {
    for (std::size_t at = hash & Mask();; at = (at + 1) & Mask()) {
      const Slot& slot = m_slots[at];
      if (slot.sample == kNone) return at;
      if (slot.hash == hash && SameKey(m_keys(slot.sample), key)) return at;
    }
  }

  void Insert(std::size_t line) {
    LineKey key = m_keys(line);
    std::uint32_t hash = HashKey(key);
    Slot& slot = m_slots[Find(key, hash)];
    bool newGroup = slot.sample == kNone;
    m_next[line - m_first] = slot.cursor;
    slot = Slot{hash, static_cast<std::int32_t>(line), static_cast<std::int32_t>(line)};
    if (newGroup && ++m_groups * 2 > m_slots.size()) Grow();
  }

  // Doubles the table; the groups are distinct, so only their hashes need to be placed.
  void Grow() {
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    for (const Slot& slot : old) {
      if (slot.sample == kNone) continue;
      std::size_t at = slot.hash & Mask();
      while (m_slots[at].sample != kNone) at = (at + 1) & Mask();
      m_slots[at] = slot;
    }
  }

  const LineKeys& m_keys;
  std::size_t m_first;
  std::vector<std::int32_t> m_next;  // per line: the next line of its group, or kPaired
  std::vector<Slot> m_slots;         // open addressing; the size is a power of two
  std::size_t m_groups = 0;
};

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
    NewLineIndex index(newKeys, prefix, newLines.size());
    // Old line j still needs the start of line j + 1, so its flag is written only after it
    // has been handled; the new offsets stay intact until every old line is done.
    for (std::size_t line = prefix; line < oldLines.size(); ++line) {
      oldLines[line] = index.Take(oldKeys(line)) != NewLineIndex::kNone ? 1 : 0;
    }
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
