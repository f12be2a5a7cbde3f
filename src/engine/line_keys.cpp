#include "engine/line_keys.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quintrel {

LineKeys::LineKeys(const SourceText& text)
    : m_text(text),
      // Most texts hold no 0xFF at all; then no line needs to be searched for one. An empty
      // text may have no buffer at all, which memchr must not be given.
      m_hasEndMarker(!text.bytes.empty() &&
                     std::memchr(text.bytes.data(), kEndMarker, text.bytes.size()) != nullptr) {}

std::uint64_t HashKey(const LineKey& key) {
  return XXH3_64bits(key.data, key.size);
}

void HashListedKeys(const LineKeys& keys, const std::int32_t* lines, std::size_t count,
                    std::uint64_t* hashes) {
  for (std::size_t entry = 0; entry < count; ++entry) {
    const LineKey key = keys(static_cast<std::size_t>(lines[entry]));
    hashes[entry] = XXH3_64bits(key.data, key.size);
  }
}

}  // namespace quintrel
