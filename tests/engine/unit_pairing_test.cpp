#include "engine/unit_pairing.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/text_builder.h"
#include "engine/unit_pairing_reference.h"

namespace quintrel {
namespace {

// Hashes under which many different units collide, so that grouping by hash alone would
// pair them.
std::uint64_t HashBySize(const unsigned char*, std::size_t size) {
  return size % 3;
}
std::uint64_t OneHash(const unsigned char*, std::size_t) {
  return 42;
}

UnitList ReadUnits(const std::string& bytes, UnitHash hash = nullptr) {
  UnitList list;
  ReadStatementUnits(testing::MakeText(bytes), list, hash);
  return list;
}

void ExpectSameAsReference(const std::string& oldBytes, const std::string& newBytes) {
  StatementUnitMemory memory;
  const UnitCounts expected =
      testing::ReferencePairUnits(testing::ReferenceUnitsOf(ReadUnits(oldBytes)),
                                  testing::ReferenceUnitsOf(ReadUnits(newBytes)));
  for (UnitHash hash : {UnitHash{nullptr}, UnitHash{HashBySize}, UnitHash{OneHash}}) {
    const UnitCounts counts =
        PairUnits(ReadUnits(oldBytes, hash), ReadUnits(newBytes, hash), memory);
    EXPECT_EQ(counts.added, expected.added) << oldBytes << "\n---\n" << newBytes;
    EXPECT_EQ(counts.deleted, expected.deleted) << oldBytes << "\n---\n" << newBytes;
  }
}

TEST(PairUnitsTest, RepeatedAndMovedUnits) {
  ExpectSameAsReference("a; b; a; a; c;", "a; c; a; d; b;");
  ExpectSameAsReference("", "x; y {");
  ExpectSameAsReference("x; y {", "");
  ExpectSameAsReference("break; break; break;", "break;");
}

// Texts that share most units, in other orders and numbers, under the real hash and
// under hashes that make unequal units collide.
TEST(PairUnitsTest, AgreesWithThePlainPairing) {
  std::mt19937 random(5);
  for (int round = 0; round < 400; ++round) {
    const std::vector<std::string> pool = testing::RandomCodeTokens(random, 40);
    auto draw = [&] {
      std::vector<std::string> tokens;
      for (unsigned n = random() % 80; n > 0; --n) tokens.push_back(pool[random() % pool.size()]);
      return testing::RenderCode(tokens, random);
    };
    ExpectSameAsReference(draw(), draw());
    if (::testing::Test::HasFailure()) return;
  }
}

}  // namespace
}  // namespace quintrel
