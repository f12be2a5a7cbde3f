#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/source_text.h"

namespace quintrel {

// A line's content: its bytes up to the first '\n', kEndMarker or the end of the text.
struct LineKey {
  const unsigned char* data;
  std::size_t size;
};

namespace line_keys_detail {
template <typename Word>
Word Load(const unsigned char* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}
}  // namespace line_keys_detail

// Compared in words rather than through memcmp: most lines are short, and a library call
// per line costs more than the comparison itself.
inline bool SameKey(const LineKey& a, const LineKey& b) {
  using line_keys_detail::Load;
  const std::size_t size = a.size;
  if (size != b.size) return false;
  if (size >= 8) {
    for (std::size_t at = 0; at + 8 < size; at += 8) {
      if (Load<std::uint64_t>(a.data + at) != Load<std::uint64_t>(b.data + at)) return false;
    }
    return Load<std::uint64_t>(a.data + size - 8) == Load<std::uint64_t>(b.data + size - 8);
  }
  if (size >= 4) {
    return Load<std::uint32_t>(a.data) == Load<std::uint32_t>(b.data) &&
           Load<std::uint32_t>(a.data + size - 4) == Load<std::uint32_t>(b.data + size - 4);
  }
  for (std::size_t at = 0; at < size; ++at) {
    if (a.data[at] != b.data[at]) return false;
  }
  return true;
}

std::uint64_t HashKey(const LineKey& key);

class LineKeys;

// HashKey of the listed lines, hashes[i] for lines[i]. One call for them all, so that the
// hash is inlined into the loop rather than called per line.
void HashListedKeys(const LineKeys& keys, const std::int32_t* lines, std::size_t count,
                    std::uint64_t* hashes);

// Finds the content of each line of one text from its line table. Looking up line j reads
// the offsets of lines j and j + 1, so those must still be offsets.
class LineKeys {
 public:
  explicit LineKeys(const SourceText& text);

  std::size_t TextBytes() const { return m_text.bytes.size(); }
  bool HasEndMarker() const { return m_hasEndMarker; }

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

}  // namespace quintrel
