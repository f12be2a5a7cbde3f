#include "engine/line_keys.h"

namespace quintrel {

LineKeys::LineKeys(const SourceText& text)
    : m_text(text),
      // Most texts hold no 0xFF at all; then no line needs to be searched for one. An empty
      // text may have no buffer at all, which memchr must not be given.
      m_hasEndMarker(!text.bytes.empty() &&
                     std::memchr(text.bytes.data(), kEndMarker, text.bytes.size()) != nullptr) {}

namespace {

std::uint64_t Load64(const unsigned char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, 8);
  return word;
}

std::uint64_t Load32(const unsigned char* at) {
  std::uint32_t word;
  std::memcpy(&word, at, 4);
  return word;
}

// The last 1 to 8 bytes of a key of `size` bytes ending at `end`, without a byte loop:
// loads may overlap bytes already hashed, which is fine as the size is hashed too.
std::uint64_t LoadTail(const unsigned char* end, std::size_t left, std::size_t size) {
  if (size >= 8) return Load64(end - 8);
  if (left >= 4) return Load32(end - left) << 32 | Load32(end - 4);
  if (left == 0) return 0;
  return std::uint64_t{end[-static_cast<std::ptrdiff_t>(left)]} << 16 |
         std::uint64_t{end[-static_cast<std::ptrdiff_t>((left + 1) / 2)]} << 8 | end[-1];
}

}  // namespace

std::uint32_t HashKey(const LineKey& key) {
  std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ key.size;
  const unsigned char* at = key.data;
  std::size_t left = key.size;
  for (; left > 8; at += 8, left -= 8) {
    hash = (hash ^ Load64(at)) * 0xBF58476D1CE4E5B9ull;
    hash ^= hash >> 31;
  }
  hash = (hash ^ LoadTail(at + left, left, key.size)) * 0x94D049BB133111EBull;
  hash ^= hash >> 29;
  hash *= 0xD6E8FEB86659FD93ull;
  return static_cast<std::uint32_t>(hash >> 32);
}

}  // namespace quintrel
