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

LineKey KeyOf(const SourceText& text, std::size_t line) {
  const std::size_t total = text.bytes.size();
  const std::size_t start = std::min<std::size_t>(text.lines[line], total);
  std::size_t stop = total;
  if (line + 1 < text.lines.size()) {
    // The next line starts right after this line's '\n'.
    stop =
        std::clamp<std::size_t>(static_cast<std::size_t>(text.lines[line + 1]) - 1, start, total);
  }
  const unsigned char* data = text.bytes.data() + start;
  const void* marker = std::memchr(data, kEndMarker, stop - start);
  std::size_t size = marker ? static_cast<const unsigned char*>(marker) - data : stop - start;
  return LineKey{data, size};
}

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

  NewLineIndex(const SourceText& text, std::size_t first)
      : m_text(text), m_first(first), m_next(text.lines.size() - first, kNone) {
    std::size_t capacity = 16;
    while (capacity < 2 * m_next.size()) capacity *= 2;
    m_slots.assign(capacity, Slot{});
    m_mask = capacity - 1;
    // Insert from the last line back, so that each chain ends up in line order.
    for (std::size_t line = text.lines.size(); line-- > first;) Insert(line);
  }

  // Hands out the earliest free new line with the content of `key`, or kNone.
  std::int32_t Take(const LineKey& key) {
    Slot& slot = Find(key, HashKey(key));
    if (slot.cursor < 0) return kNone;
    std::int32_t line = slot.cursor;
    slot.cursor = m_next[line - m_first];
    m_next[line - m_first] = kPaired;
    return line;
  }

  bool IsPaired(std::size_t line) const { return m_next[line - m_first] == kPaired; }

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::int32_t sample = kNone;  // a line of the group, for comparing contents
    std::int32_t cursor = kNone;  // earliest line not handed out, kNone when all are
  };

  // The slot of the group with this content, or the empty slot where it belongs.
  Slot& Find(const LineKey& key, std::uint32_t hash) {
    for (std::size_t at = hash & m_mask;; at = (at + 1) & m_mask) {
      Slot& slot = m_slots[at];
      if (slot.sample == kNone) return slot;
      if (slot.hash == hash && SameKey(KeyOf(m_text, slot.sample), key)) return slot;
    }
  }

  void Insert(std::size_t line) {
    LineKey key = KeyOf(m_text, line);
    std::uint32_t hash = HashKey(key);
    Slot& slot = Find(key, hash);
    m_next[line - m_first] = slot.cursor;
    slot.hash = hash;
    slot.sample = static_cast<std::int32_t>(line);
    slot.cursor = static_cast<std::int32_t>(line);
  }

  const SourceText& m_text;
  std::size_t m_first;
  std::vector<std::int32_t> m_next;  // per line: the next line of its group, or kPaired
  std::vector<Slot> m_slots;
  std::size_t m_mask = 0;
};

// Lines that agree position by position from the top pair with each other: each is the
// earliest free line with its content on both sides.
std::size_t CommonPrefix(const SourceText& oldText, const SourceText& newText) {
  std::size_t limit = std::min(oldText.lines.size(), newText.lines.size());
  std::size_t line = 0;
  while (line < limit && SameKey(KeyOf(oldText, line), KeyOf(newText, line))) ++line;
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

  std::size_t prefix = CommonPrefix(oldText, newText);
  if (prefix == oldLines.size() && prefix == newLines.size()) {
    std::fill(oldLines.begin(), oldLines.end(), 1);
    std::fill(newLines.begin(), newLines.end(), 1);
    return;
  }

  NewLineIndex index(newText, prefix);
  // Old line j still needs the start of line j + 1, so its flag is written only after it
  // has been handled; the new offsets stay intact until every old line is done.
  for (std::size_t line = prefix; line < oldLines.size(); ++line) {
    bool paired = index.Take(KeyOf(oldText, line)) != NewLineIndex::kNone;
    oldLines[line] = paired ? 1 : 0;
  }
  for (std::size_t line = prefix; line < newLines.size(); ++line) {
    newLines[line] = index.IsPaired(line) ? 1 : 0;
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
