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

inline bool SameKey(const LineKey& a, const LineKey& b) {
  return a.size == b.size && (a.size == 0 || std::memcmp(a.data, b.data, a.size) == 0);
}

std::uint32_t HashKey(const LineKey& key);

// Finds the content of each line of one text from its line table. Looking up line j reads
// the offsets of lines j and j + 1, so those must still be offsets.
class LineKeys {
 public:
  explicit LineKeys(const SourceText& text);

  std::size_t TextBytes() const { return m_text.bytes.size(); }

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
