#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "engine/byte_mask.h"
#include "engine/line_keys.h"

namespace quintrel {

// The lines of a text in order, found from its bytes a block of line ends at a time, for a
// single pass that needs no line table. A text of n line ends has n + 1 lines, the last
// after the final line end (empty when the text ends with one); an empty text has one,
// empty. A line's content runs to its '\n', as LineKey's does in a text without kEndMarker.
class LineScan {
 public:
  LineScan(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

  // Writes up to `most` next lines to `keys`; returns how many (0 once all were given).
  std::size_t Next(LineKey* keys, std::size_t most) {
    // Held in locals: a store to `keys` could otherwise stand for a store to the members.
    std::size_t start = m_start;
    std::size_t blockStart = m_blockStart;
    std::uint64_t ends = m_ends;
    std::size_t given = 0;
    while (given < most) {
      if (ends == 0) {
        if (blockStart + kMaskBlock >= m_size) {
          if (!m_done) keys[given++] = LineKey{m_data + start, m_size - start};
          m_done = true;
          break;
        }
        blockStart += kMaskBlock;
        ends = EndsOfBlock(blockStart);
        continue;
      }
      const std::size_t end = blockStart + LowestBit(ends);
      ends &= ends - 1;
      keys[given++] = LineKey{m_data + start, end - start};
      start = end + 1;
    }
    m_start = start;
    m_blockStart = blockStart;
    m_ends = ends;
    return given;
  }

 private:
  std::uint64_t EndsOfBlock(std::size_t at) const {
    if (at + kMaskBlock <= m_size) return ByteBlock(m_data + at).EqualAny('\n');
    std::uint64_t ends = 0;
    for (std::size_t i = at; i < m_size; ++i) ends |= std::uint64_t{m_data[i] == '\n'} << (i - at);
    return ends;
  }

  const unsigned char* const m_data;
  const std::size_t m_size;
  std::size_t m_start = 0;                // of the next line
  std::size_t m_blockStart = 0;           // of the block whose line ends are in m_ends
  std::uint64_t m_ends = EndsOfBlock(0);  // the line ends of that block not given yet
  bool m_done = false;                    // the last line was given
};

// The number of '\n' bytes of a text.
inline std::size_t CountLineEnds(const unsigned char* data, std::size_t size) {
  std::size_t ends = 0;
  std::size_t at = 0;
  for (; at + kMaskBlock <= size; at += kMaskBlock) {
    ends += static_cast<std::size_t>(CountBits(ByteBlock(data + at).EqualAny('\n')));
  }
  for (; at < size; ++at) ends += data[at] == '\n';
  return ends;
}

}  // namespace quintrel
