#include "engine/line_digest.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quintrel {
namespace {

std::pair<std::uint64_t, std::uint32_t> Parts(const KeyDigest& digest) {
  return {digest.hash, digest.check};
}

// The digest of `content` read where it ends its buffer, so that nothing past it may be read.
KeyDigest AtEnd(const std::string& content) {
  const auto* data = reinterpret_cast<const unsigned char*>(content.data());
  return DigestKey(LineKey{data, content.size()}, data + content.size());
}

std::string RandomContent(std::mt19937& random, std::size_t size) {
  static constexpr char kBytes[] = {'a', 'b', ' ', ';', '\0', '\xFF', '\x80', '1'};
  std::string content;
  for (std::size_t i = 0; i < size; ++i) content += kBytes[random() % std::size(kBytes)];
  return content;
}

// A line reads the same whether its words are read in place, with whatever follows it in
// the text, or from a copy at the end of the text; lengths cover one chunk, two and more.
TEST(LineDigestTest, BytesPastTheLineDoNotCount) {
  std::mt19937 random(3);
  for (std::size_t size = 0; size <= 200; ++size) {
    const std::string content = RandomContent(random, size);
    const KeyDigest alone = AtEnd(content);
    for (int trailer = 0; trailer < 4; ++trailer) {
      const std::string text = content + RandomContent(random, 80);
      const auto* data = reinterpret_cast<const unsigned char*>(text.data());
      EXPECT_EQ(Parts(DigestKey(LineKey{data, size}, data + text.size())), Parts(alone))
          << "size " << size;
    }
  }
}

// Each change of one byte, and each added zero byte, changes the hash and the check alike:
// a line differs from its neighbour in a file by as little as that.
TEST(LineDigestTest, OneByteChangesBothParts) {
  std::mt19937 random(5);
  for (std::size_t size = 0; size <= 140; ++size) {
    const std::string content = RandomContent(random, size);
    const KeyDigest original = AtEnd(content);
    for (std::size_t at = 0; at < size; ++at) {
      std::string changed = content;
      changed[at] = static_cast<char>(changed[at] ^ (1 << (random() % 8)));
      const KeyDigest digest = AtEnd(changed);
      EXPECT_NE(digest.hash, original.hash) << "size " << size << ", byte " << at;
      EXPECT_NE(digest.check, original.check) << "size " << size << ", byte " << at;
    }
    const KeyDigest longer = AtEnd(content + '\0');
    EXPECT_NE(longer.hash, original.hash) << "size " << size;
    EXPECT_NE(longer.check, original.check) << "size " << size;
  }
}

// Many distinct lines of source-like text share no hash (their checks may meet: 32-bit values
// among so many do).
TEST(LineDigestTest, DistinctLinesKeepDistinctHashes) {
  std::mt19937 random(7);
  std::set<std::string> contents;
  for (int i = 0; i < 100000; ++i) {
    std::string line = "    x" + std::to_string(i) + " = f(" + std::to_string(random() % 1000) +
                       ");" + std::string(random() % 60, ' ');
    contents.insert(std::move(line));
  }
  std::set<std::uint64_t> hashes;
  for (const std::string& content : contents) hashes.insert(AtEnd(content).hash);
  EXPECT_EQ(hashes.size(), contents.size());
}

// The profile table is placed by a hash's top bits, the join's windows by its top bits and
// its slots by its low ones: lines alike but for a counter must spread over all of them.
TEST(LineDigestTest, TopAndLowBitsSpreadSimilarLines) {
  constexpr std::size_t kLines = 1 << 16;
  std::array<std::size_t, 16> top{};
  std::array<std::size_t, 16> low{};
  for (std::size_t i = 0; i < kLines; ++i) {
    const std::uint64_t hash = AtEnd("case " + std::to_string(i) + ":").hash;
    ++top[hash >> 60];
    ++low[hash & 15];
  }
  for (std::size_t bucket = 0; bucket < 16; ++bucket) {
    EXPECT_GT(top[bucket], kLines / 32) << "top bits " << bucket;
    EXPECT_LT(top[bucket], kLines / 8) << "top bits " << bucket;
    EXPECT_GT(low[bucket], kLines / 32) << "low bits " << bucket;
    EXPECT_LT(low[bucket], kLines / 8) << "low bits " << bucket;
  }
}

}  // namespace
}  // namespace quintrel
