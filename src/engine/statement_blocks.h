#pragma once

// Classifying 64-byte blocks for the statement counter: one mask per byte the counter acts
// on (bit i stands for byte i of the block). Three kernels compute the same masks: a plain
// loop (any target), SSE2 (every x86-64) and AVX2, chosen at run time when the processor
// has it. Each kernel also says how it counts the bits of a mask.

#include <array>
#include <cstdint>

#include "engine/byte_mask.h"
#include "engine/source_text.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QUINTREL_HAVE_AVX2_KERNEL 1
#endif

namespace quintrel {

struct ByteClasses {
  std::uint64_t newline = 0;
  std::uint64_t mark = 0;  // ';' '{'
  std::uint64_t colon = 0;
  std::uint64_t hash = 0;
  std::uint64_t doubleQuote = 0;
  std::uint64_t singleQuote = 0;
  std::uint64_t slash = 0;
  std::uint64_t star = 0;
  std::uint64_t backslash = 0;
  std::uint64_t end = 0;  // kEndMarker
};

// What a block of code needs when it holds no byte that opens a literal or a comment,
// escapes, pairs up or ends the count (no "loud" byte).
struct QuietCode {
  std::uint64_t loud = 0;  // '"' '\'' '/' '\\' ':' '#' kEndMarker
  std::uint64_t marks = 0;
  std::uint64_t newlines = 0;
};

// What a block inside a block comment needs when nothing in it ends the comment.
struct QuietComment {
  std::uint64_t stops = 0;  // "*/" (at the '*') and kEndMarker
  std::uint64_t newlines = 0;
};

// The bytes of ByteClasses in field order; index 0 of a byte's class means "none".
inline constexpr unsigned char kClassBytes[] = {'\n', ';', '{', ':',  '#',       '"',
                                                '\'', '/', '*', '\\', kEndMarker};

struct PlainKernel {
  static ByteClasses Classify(const unsigned char* block) {
    static constexpr std::array<unsigned char, 256> kClassOf = [] {
      // ';' and '{' share the mark mask; every later byte moves one field down.
      constexpr unsigned char kField[] = {1, 2, 2, 3, 4, 5, 6, 7, 8, 9, 10};
      std::array<unsigned char, 256> table{};
      for (std::size_t i = 0; i < std::size(kClassBytes); ++i) table[kClassBytes[i]] = kField[i];
      return table;
    }();
    std::uint64_t masks[11] = {};
    for (std::size_t i = 0; i < kMaskBlock; ++i) masks[kClassOf[block[i]]] |= std::uint64_t{1} << i;
    return ByteClasses{masks[1], masks[2], masks[3], masks[4], masks[5],
                       masks[6], masks[7], masks[8], masks[9], masks[10]};
  }
  static QuietCode ClassifyQuietCode(const unsigned char* block) {
    const ByteClasses c = Classify(block);
    return QuietCode{
        c.doubleQuote | c.singleQuote | c.slash | c.backslash | c.colon | c.hash | c.end, c.mark,
        c.newline};
  }
  // Reads one byte beyond the block.
  static QuietComment ClassifyQuietComment(const unsigned char* block) {
    const ByteClasses c = Classify(block);
    const std::uint64_t nextSlash = (c.slash >> 1) | std::uint64_t{block[kMaskBlock] == '/'} << 63;
    return QuietComment{(c.star & nextSlash) | c.end, c.newline};
  }
  static int Count(std::uint64_t mask) { return CountBits(mask); }
};

#ifdef QUINTREL_HAVE_SSE2

struct Sse2Kernel {
  static ByteClasses Classify(const unsigned char* at) {
    const ByteBlock block(at);
    return ByteClasses{block.EqualAny('\n'),      block.EqualAny(';', '{'), block.EqualAny(':'),
                       block.EqualAny('#'),       block.EqualAny('"'),      block.EqualAny('\''),
                       block.EqualAny('/'),       block.EqualAny('*'),      block.EqualAny('\\'),
                       block.EqualAny(kEndMarker)};
  }
  static QuietCode ClassifyQuietCode(const unsigned char* at) {
    const ByteBlock block(at);
    return QuietCode{block.EqualAny('"', '\'', '/', '\\', ':', '#', kEndMarker),
                     block.EqualAny(';', '{'), block.EqualAny('\n')};
  }
  // Reads one byte beyond the block.
  static QuietComment ClassifyQuietComment(const unsigned char* at) {
    const ByteBlock block(at);
    const ByteBlock next(at + 1);
    return QuietComment{(block.EqualAny('*') & next.EqualAny('/')) | block.EqualAny(kEndMarker),
                        block.EqualAny('\n')};
  }
  static int Count(std::uint64_t mask) { return CountBits(mask); }
};

#endif

#ifdef QUINTREL_HAVE_AVX2_KERNEL

// Callers must check Avx2Kernel::Supported() and call it only from functions compiled for
// the same target (the counter's AVX2 entry point).
struct Avx2Kernel {
  static bool Supported() {
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt") &&
           __builtin_cpu_supports("bmi");
  }

  __attribute__((target("avx2,popcnt,bmi"))) static ByteClasses Classify(const unsigned char* at) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32));
    return ByteClasses{Equal(low, high, '\n'), Join(Hits(low, ';', '{'), Hits(high, ';', '{')),
                       Equal(low, high, ':'),  Equal(low, high, '#'),
                       Equal(low, high, '"'),  Equal(low, high, '\''),
                       Equal(low, high, '/'),  Equal(low, high, '*'),
                       Equal(low, high, '\\'), Equal(low, high, static_cast<char>(kEndMarker))};
  }

  __attribute__((target("avx2,popcnt,bmi"))) static QuietCode ClassifyQuietCode(
      const unsigned char* at) {
    const __m256i low = Load(at);
    const __m256i high = Load(at + 32);
    auto loud = [](__m256i bytes) __attribute__((target("avx2"))) {
      __m256i hits = Equal(bytes, kEndMarker);
      for (char value : {'"', '\'', '/', '\\', ':', '#'})
        hits = _mm256_or_si256(hits, Equal(bytes, value));
      return Bits(hits);
    };
    return QuietCode{Join(loud(low), loud(high)), Join(Hits(low, ';', '{'), Hits(high, ';', '{')),
                     Join(Hits(low, '\n'), Hits(high, '\n'))};
  }

  // Reads one byte beyond the block.
  __attribute__((target("avx2,popcnt,bmi"))) static QuietComment ClassifyQuietComment(
      const unsigned char* at) {
    auto stops = [](const unsigned char* half) __attribute__((target("avx2"))) {
      const __m256i bytes = Load(half);
      const __m256i starSlash = _mm256_and_si256(Equal(bytes, '*'), Equal(Load(half + 1), '/'));
      return Bits(_mm256_or_si256(starSlash, Equal(bytes, kEndMarker)));
    };
    return QuietComment{Join(stops(at), stops(at + 32)),
                        Join(Hits(Load(at), '\n'), Hits(Load(at + 32), '\n'))};
  }

  __attribute__((target("popcnt"))) static int Count(std::uint64_t mask) {
    return __builtin_popcountll(mask);
  }

 private:
  __attribute__((target("avx2"))) static __m256i Load(const unsigned char* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  }
  __attribute__((target("avx2"))) static __m256i Equal(__m256i bytes, unsigned char value) {
    return _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(static_cast<char>(value)));
  }
  __attribute__((target("avx2"))) static std::uint32_t Bits(__m256i hits) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(hits));
  }
  __attribute__((target("avx2"))) static std::uint32_t Hits(__m256i bytes, char value) {
    return static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(value))));
  }
  __attribute__((target("avx2"))) static std::uint32_t Hits(__m256i bytes, char a, char b) {
    return static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(a)),
                                             _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(b)))));
  }
  static std::uint64_t Join(std::uint32_t low, std::uint32_t high) {
    return std::uint64_t{low} | std::uint64_t{high} << 32;
  }
  __attribute__((target("avx2"))) static std::uint64_t Equal(__m256i low, __m256i high,
                                                             char value) {
    return Join(Hits(low, value), Hits(high, value));
  }
};

#endif

}  // namespace quintrel
