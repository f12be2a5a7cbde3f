#include "engine/unit_pair_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/statement_units.h"
#include "engine/text_builder.h"
#include "engine/unit_pairing_reference.h"

namespace quintrel {
namespace {

struct PairRead {
  std::vector<testing::ReferenceUnit> wholeOld;
  std::vector<testing::ReferenceUnit> wholeNew;
  std::vector<testing::ReferenceUnit> readOld;
  std::vector<testing::ReferenceUnit> readNew;
  std::int64_t wholeMarks[2] = {0, 0};
  std::int64_t readMarks[2] = {0, 0};
};

PairRead ReadBothWays(const std::string& oldBytes, const std::string& newBytes) {
  const SourceText oldText = testing::MakeText(oldBytes);
  const SourceText newText = testing::MakeText(newBytes);
  UnitList lists[4];
  ReadStatementUnits(oldText, lists[0]);
  ReadStatementUnits(newText, lists[1]);
  ReadStatementUnitPair(oldText, newText, lists[2], lists[3]);
  PairRead read;
  read.wholeOld = testing::ReferenceUnitsOf(lists[0]);
  read.wholeNew = testing::ReferenceUnitsOf(lists[1]);
  read.readOld = testing::ReferenceUnitsOf(lists[2]);
  read.readNew = testing::ReferenceUnitsOf(lists[3]);
  read.wholeMarks[0] = lists[0].marks;
  read.wholeMarks[1] = lists[1].marks;
  read.readMarks[0] = lists[2].marks;
  read.readMarks[1] = lists[3].marks;
  return read;
}

// What reading together must keep: the marks of each whole text, and only units both sides
// hold left out, so that pairing gives what pairing the whole lists gives.
void ExpectLikeReadWhole(const std::string& oldBytes, const std::string& newBytes) {
  const PairRead read = ReadBothWays(oldBytes, newBytes);
  EXPECT_EQ(read.readMarks[0], read.wholeMarks[0]);
  EXPECT_EQ(read.readMarks[1], read.wholeMarks[1]);
  EXPECT_TRUE(testing::LeftOutAlike(read.wholeOld, read.readOld, read.wholeNew, read.readNew));
  const UnitCounts whole = testing::ReferencePairUnits(read.wholeOld, read.wholeNew);
  const UnitCounts together = testing::ReferencePairUnits(read.readOld, read.readNew);
  EXPECT_EQ(together.added, whole.added);
  EXPECT_EQ(together.deleted, whole.deleted);
}

// Code of many short statements, with comments, literals and directives among them.
std::string RandomSource(std::mt19937& random, std::size_t statements) {
  static const char* const kPieces[] = {"  x = y + 1;\n",
                                        "  if (a) {\n",
                                        "  }\n",
                                        "  f(a,\n    b);\n",
                                        "/* a comment\n  */\n",
                                        "  s = \"a; {\";\n",
                                        "#define M(a) \\\n  a\n",
                                        "  c = ':';\n",
                                        "  // note\n",
                                        "int g(void)\n{\n",
                                        "  a::b = 2;\n",
                                        "\n",
                                        "#if X\n",
                                        "#endif\n",
                                        "  t = L\"w\" \"z\";\n"};
  std::string text;
  for (std::size_t i = 0; i < statements; ++i) text += kPieces[random() % std::size(kPieces)];
  return text;
}

// A few edits of bytes anywhere, some of them opening what the reader must follow past the
// edit (a comment, a literal, a splice, a directive), some of them lines added or deleted.
std::string Edited(std::string text, std::mt19937& random) {
  static const char* const kInserts[] = {"/*", "\"", "'",  "\\\n", "\n#",        "x",
                                         ";",  "\n", "*/", "}",    "  y = 3;\n", "\xFF"};
  for (unsigned edits = 1 + random() % 4; edits > 0 && !text.empty(); --edits) {
    const std::size_t at = random() % text.size();
    switch (random() % 3) {
      case 0:
        text.insert(at, kInserts[random() % std::size(kInserts)]);
        break;
      case 1:
        text.erase(at, 1 + random() % 40);
        break;
      default:
        text.insert(at, RandomSource(random, 1 + random() % 30));
    }
  }
  return text;
}

TEST(ReadStatementUnitPairTest, LikeReadingEachWholeAroundEdits) {
  std::mt19937 random(17);
  for (int round = 0; round < 1500; ++round) {
    const std::string oldText = RandomSource(random, 20 + random() % 200);
    const std::string newText = Edited(oldText, random);
    ExpectLikeReadWhole(oldText, newText);
    ExpectLikeReadWhole(newText, oldText);
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << ::testing::PrintToString(oldText) << "\n---\n"
                    << ::testing::PrintToString(newText);
      return;
    }
  }
}

// Where the shared bytes start or end is not where a statement, a comment or a literal
// does: an edit inside a literal or a comment that spans the shared bytes, a tail that
// starts inside a statement, a version that is the tail of the other.
TEST(ReadStatementUnitPairTest, SharedBytesThatStartOrEndMidway) {
  std::mt19937 random(5);
  const std::string body = RandomSource(random, 150);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a = 1;\n/* x\n" + body + "*/\n" + body, "a = 2;\n/* x\n" + body + "*/\n" + body},
      {"s = \"x\\\n" + body, "s = \"y\\\n" + body},
      {"f(a,\n" + body, "f(b,\n" + body},
      {body, "g();\n" + body},
      {body + body, body},
      {"#define A \\\n" + body, "#define B \\\n" + body},
      {body + "x = 1;\n" + body, body + "x = 2;\n" + body},
      {body + "/*" + body, body + body},
  };
  for (const auto& [oldText, newText] : cases) {
    ExpectLikeReadWhole(oldText, newText);
    ExpectLikeReadWhole(newText, oldText);
  }
}

// Not a speed test: that the shared stretches are in fact left out, one changed statement
// in the middle of a long text leaving few units read.
TEST(ReadStatementUnitPairTest, LeavesOutWhatBothShare) {
  std::mt19937 random(23);
  const std::string head = RandomSource(random, 400);
  const std::string tail = RandomSource(random, 400);
  const std::string oldText = head + "  value = 1;\n" + tail;
  const std::string newText = head + "  value = 2;\n  added();\n" + tail;
  const PairRead read = ReadBothWays(oldText, newText);
  EXPECT_LT(read.readOld.size() + read.readNew.size(),
            (read.wholeOld.size() + read.wholeNew.size()) / 4);
  const UnitCounts counts = testing::ReferencePairUnits(read.readOld, read.readNew);
  EXPECT_EQ(counts.added, 2);
  EXPECT_EQ(counts.deleted, 1);
  EXPECT_EQ(read.readMarks[1], read.wholeMarks[1]);
}

}  // namespace
}  // namespace quintrel
