#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/line_keys.h"

namespace quintrel {

// A line's content digested into 96 bits: `hash` places and orders it, `check` tells apart
// most contents whose hashes collide. Both come from the products of the content's words with
// secrets, folded two different ways; a mix-up of two contents needs both to agree.
struct KeyDigest {
  std::uint64_t hash;
  std::uint32_t check;
};

namespace line_digest_detail {

constexpr std::uint64_t kSecret[4] = {0xBE4BA423396CFEB8ull, 0x1CAD21F72C81017Cull,
                                      0xDB979083E96DD4DEull, 0x1F67B3B7A4A44072ull};
constexpr std::uint64_t kSpread[4] = {0x9E3779B185EBCA87ull, 0xC2B2AE3D27D4EB4Full,
                                      0x165667B19E3779F9ull, 0x27D4EB2F165667C5ull};
constexpr std::uint64_t kStep = 0x9FB21C651E98DF25ull;

inline std::uint64_t Load(const unsigned char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// The two halves of the product of two words, each taken with its secret.
struct Product {
  std::uint64_t low;
  std::uint64_t high;
};

inline Product Multiply(std::uint64_t a, std::uint64_t b, int pair) {
  const unsigned __int128 product =
      static_cast<unsigned __int128>(a ^ kSecret[2 * pair]) * (b ^ kSecret[2 * pair + 1]);
  return Product{static_cast<std::uint64_t>(product), static_cast<std::uint64_t>(product >> 64)};
}

// The running state over 32-byte chunks of the content. The hash folds each product's halves
// one way, the check another: equal hashes of different contents come from different products,
// whose other fold agrees only by chance.
struct State {
  std::uint64_t hash;
  std::uint64_t check;

  void Add(const std::uint64_t (&words)[4]) {
    const Product first = Multiply(words[0], words[1], 0);
    const Product second = Multiply(words[2], words[3], 1);
    hash = (hash + (first.low ^ first.high) + (second.low ^ second.high)) * kStep;
    check = ((check ^ (first.low + second.high)) * kSpread[1]) + (second.low + first.high);
  }

  KeyDigest Finish(std::size_t size) const {
    std::uint64_t h = hash ^ size;
    h ^= h >> 37;
    h *= 0x165667919E3779F9ull;
    h ^= h >> 32;
    const std::uint64_t c = (check ^ size) * kSpread[3];
    return KeyDigest{h, static_cast<std::uint32_t>(c >> 32)};
  }
};

// 64 bytes kept, then 64 dropped: the masks of a line's words are read from it, sliding.
inline constexpr struct ByteMasks {
  unsigned char bytes[128];
  constexpr ByteMasks() : bytes() {
    for (int i = 0; i < 64; ++i) bytes[i] = 0xFF;
  }
} kByteMasks;

// Words `first` to `first` + 3 of the line's first `size` bytes (at most 64) from `data`,
// the bytes past `size` zero.
inline void LoadMasked(const unsigned char* data, std::size_t size, std::size_t first,
                       std::uint64_t (&words)[4]) {
  const unsigned char* const masks = kByteMasks.bytes + 64 - size;
  for (std::size_t i = first; i < first + 4; ++i)
    words[i - first] = Load(data + 8 * i) & Load(masks + 8 * i);
}

// Lines longer than two chunks: whole chunks, then the last 32 bytes (overlapping the chunk
// before), which with the length determine the content.
inline KeyDigest DigestLong(const unsigned char* data, std::size_t size) {
  State state{size * kSpread[0], size};
  std::uint64_t words[4];
  for (std::size_t at = 0; at + 32 < size; at += 32) {
    for (std::size_t i = 0; i < 4; ++i) words[i] = Load(data + at + 8 * i);
    state.Add(words);
  }
  for (std::size_t i = 0; i < 4; ++i) words[i] = Load(data + size - 32 + 8 * i);
  state.Add(words);
  return state.Finish(size);
}

// Up to two chunks from `data`, all 64 bytes of which may be read: the second is all zero
// for a line of one chunk at most, which the length tells apart from zero bytes.
inline KeyDigest DigestShort(const unsigned char* data, std::size_t size) {
  State state{size * kSpread[0], size};
  std::uint64_t words[4];
  LoadMasked(data, size, 0, words);
  state.Add(words);
  LoadMasked(data, size, 4, words);
  state.Add(words);
  return state.Finish(size);
}

}  // namespace line_digest_detail

// The digest of `key`, whose bytes may be read up to `readable` (the end of its text): most
// lines are at most 64 bytes, read as eight words and masked, without a branch on their
// length.
inline KeyDigest DigestKey(const LineKey& key, const unsigned char* readable) {
  using namespace line_digest_detail;
  if (key.size > 64) return DigestLong(key.data, key.size);
  if (readable - key.data >= 64) return DigestShort(key.data, key.size);
  unsigned char copy[64] = {};
  if (key.size != 0) std::memcpy(copy, key.data, key.size);
  return DigestShort(copy, key.size);
}

}  // namespace quintrel
