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

  // Bytes equal to `value`.
  std::uint64_t Equal(unsigned char value) const {
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
      const auto bits =
          static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(m_parts[i], wanted)));
      mask |= std::uint64_t{bits} << (16 * i);
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

  std::uint64_t Equal(unsigned char value) const {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < kMaskBlock; ++i) {
      mask |= std::uint64_t{m_bytes[i] == value} << i;
    }
    return mask;
  }

 private:
  unsigned char m_bytes[kMaskBlock];
};

#endif

// Index of the lowest set bit of a non-zero mask.
inline std::size_t LowestBit(std::uint64_t mask) {
  return static_cast<std::size_t>(std::countr_zero(mask));
}

}  // namespace quintrel
