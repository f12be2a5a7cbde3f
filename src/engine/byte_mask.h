#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUINTREL_HAVE_SSE2 1
#endif

namespace quintrel {

// Scanning 64 bytes at a time: bit i of a mask stands for byte i of the block. The vector
// version is used where the compiler offers SSE2 (every x86-64); the plain loop elsewhere.
constexpr std::size_t kMaskBlock = 64;

#ifdef QUINTREL_HAVE_SSE2

class ByteBlock {
 public:
  explicit ByteBlock(const unsigned char* at) {
    for (int i = 0; i < 4; ++i) {
      m_parts[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * i));
    }
  }

  // Bytes equal to any of `values`.
  template <typename... Values>
  std::uint64_t EqualAny(Values... values) const {
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
      __m128i hits = _mm_setzero_si128();
      ((hits = _mm_or_si128(hits,
                            _mm_cmpeq_epi8(m_parts[i], _mm_set1_epi8(static_cast<char>(values))))),
       ...);
      mask |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(hits))} << (16 * i);
    }
    return mask;
  }

 private:
  __m128i m_parts[4];
};

#else

class ByteBlock {
 public:
  explicit ByteBlock(const unsigned char* at) { std::memcpy(m_bytes, at, kMaskBlock); }

  template <typename... Values>
  std::uint64_t EqualAny(Values... values) const {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < kMaskBlock; ++i) {
      const unsigned char byte = m_bytes[i];
      mask |= std::uint64_t{((byte == static_cast<unsigned char>(values)) || ...)} << i;
    }
    return mask;
  }

 private:
  unsigned char m_bytes[kMaskBlock];
};

#endif

// Number of set bits. Written out because without a popcount instruction in the target
// (baseline x86-64 has none) std::popcount becomes a library call, and that costs more.
inline int CountBits(std::uint64_t mask) {
  mask -= (mask >> 1) & 0x5555555555555555ull;
  mask = (mask & 0x3333333333333333ull) + ((mask >> 2) & 0x3333333333333333ull);
  mask = (mask + (mask >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return static_cast<int>((mask * 0x0101010101010101ull) >> 56);
}

// Index of the lowest set bit of a non-zero mask.
inline std::size_t LowestBit(std::uint64_t mask) {
  return static_cast<std::size_t>(std::countr_zero(mask));
}

}  // namespace quintrel
