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

}  // namespace quintrel
