#include "engine/line_matching.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/greedy_reference.h"
#include "engine/text_builder.h"

namespace quintrel {
namespace {

using testing::MakeText;

SourceText TextOf(const std::optional<std::string>& bytes) {
  return bytes ? MakeText(*bytes) : SourceText{};
}

// Hand-worked cases, which also pin down the greedy pairing the random texts are checked by.
TEST(PairLinesTest, PairsEachContentsFirstOccurrences) {
  struct Case {
    const char* name;
    std::optional<std::string> oldBytes;
    std::optional<std::string> newBytes;
    LineTable oldFlags;
    LineTable newFlags;
  } cases[] = {
      {"moved lines pair", "A\nB", "B\nA", {1, 1}, {1, 1}},
      {"surplus copy stays unpaired", "}\n}\n}", "}\n}", {1, 1, 0}, {1, 1}},
      {"earliest free new line is taken", "x", "y\nx\nx", {1}, {0, 1, 0}},
      {"old only", "a\nb", std::nullopt, {0, 0}, {}},
      {"empty file pairs an empty line", "", "a\n\nb", {1}, {0, 1, 0}},
      // An empty file has no buffer at all; the 0xFF search must not be handed that.
      {"empty file against an end marker", "", "\xFF\n", {1}, {1, 0}},
      {"end marker cuts the line", "ab\xFF;d\nz", "ab\nzz", {1, 0}, {1, 0}},
      {"bytes after the end marker do not count",
       "ab\xFF"
       "cd",
       "abc\nab\xFFxy",
       {1},
       {0, 1}},
      {"blank, CR and case differ", "a \na\r\nA", "a\na\na", {0, 0, 0}, {0, 0, 0}},
      {"old line paired after a prefix", "a\nb\nc", "a\nc\nb\nb", {1, 1, 1}, {1, 1, 1, 0}},
  };
  LineIndexMemory memory;  // reused from case to case, as a run reuses it from file to file
  for (const Case& c : cases) {
    SourceText oldText = TextOf(c.oldBytes);
    SourceText newText = TextOf(c.newBytes);
    PairLines(oldText, newText, memory);
    EXPECT_EQ(oldText.lines, c.oldFlags) << c.name;
    EXPECT_EQ(newText.lines, c.newFlags) << c.name;
  }
}

// Random text over a small alphabet, so that lines repeat often; with or without 0xFF (texts
// holding one are always paired in full).
std::string RandomText(std::mt19937& random, std::size_t maxLength, bool endMarker) {
  static const char kAlphabet[] = {'a', 'a', 'b', '\n', '\n', '\n',  '\r',
                                   ' ', ';', ':', '{',  '#',  '\xFF'};
  const std::size_t letters = sizeof kAlphabet - (endMarker ? 0 : 1);
  std::string text;
  std::size_t length = random() % (maxLength + 1);
  for (std::size_t i = 0; i < length; ++i) text += kAlphabet[random() % letters];
  return text;
}

// A copy of `base` with a few lines replaced, dropped, duplicated or moved.
std::string Edited(std::mt19937& random, const std::string& base) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t lf; (lf = base.find('\n', start)) != std::string::npos; start = lf + 1) {
    lines.push_back(base.substr(start, lf + 1 - start));
  }
  lines.push_back(base.substr(start));
  for (int edits = random() % 4; edits > 0 && !lines.empty(); --edits) {
    std::size_t at = random() % lines.size();
    const unsigned edit = random() % 4;
    if (edit == 0) lines[at] = "edit\n";
    if (edit == 1) lines.erase(lines.begin() + at);
    if (edit == 2) lines.insert(lines.begin() + at, lines[at]);
    if (edit == 3) std::swap(lines[at], lines[random() % lines.size()]);
  }
  std::string text;
  for (const std::string& line : lines) text += line;
  return text;
}

// Hashes that make different lines collide. Pairing groups lines by hash first and must then
// either find the collision or give the same flags anyway (as when the colliding lines pair
// with copies of themselves); both happen often with these.
std::uint64_t SameForAll(const LineKey&) {
  return 7;
}
std::uint64_t LengthOnly(const LineKey& key) {
  return key.size;
}

// With kLinesWithMarks, lines without a mark keep whatever flag they got.
LineTable OnlyMarked(LineTable flags, const std::vector<bool>& marked) {
  for (std::size_t line = 0; line < flags.size(); ++line) {
    if (!marked[line]) flags[line] = 0;
  }
  return flags;
}

void ExpectAgreesWithGreedy(const std::optional<std::string>& oldBytes,
                            const std::optional<std::string>& newBytes) {
  SourceText oldReference = TextOf(oldBytes);
  SourceText newReference = TextOf(newBytes);
  testing::GreedyPairLines(oldReference, newReference);
  const std::vector<bool> oldMarked =
      oldBytes ? testing::LinesWithMarks(*oldBytes) : std::vector<bool>();
  const std::vector<bool> newMarked =
      newBytes ? testing::LinesWithMarks(*newBytes) : std::vector<bool>();
  LineIndexMemory memory;
  for (FlagsWanted wanted : {FlagsWanted::kEveryLine, FlagsWanted::kLinesWithMarks}) {
    const bool all = wanted == FlagsWanted::kEveryLine;
    for (LineHash hash : {LineHash{nullptr}, &SameForAll, &LengthOnly}) {
      SourceText oldText = TextOf(oldBytes);
      SourceText newText = TextOf(newBytes);
      // An absent version has no line table to rebuild.
      if (!all && oldBytes) {
        BuildLineTableListingMarks(oldText.bytes, oldText.lines, memory.oldList.lines);
      }
      if (!all && newBytes) {
        BuildLineTableListingMarks(newText.bytes, newText.lines, memory.newList.lines);
      }
      PairLines(oldText, newText, memory, wanted, hash);
      const auto show = [&] {
        return ::testing::PrintToString(oldBytes) + " / " + ::testing::PrintToString(newBytes) +
               (all ? "" : " (lines with marks)");
      };
      ASSERT_EQ(all ? oldText.lines : OnlyMarked(oldText.lines, oldMarked),
                all ? oldReference.lines : OnlyMarked(oldReference.lines, oldMarked))
          << show();
      ASSERT_EQ(all ? newText.lines : OnlyMarked(newText.lines, newMarked),
                all ? newReference.lines : OnlyMarked(newReference.lines, newMarked))
          << show();
    }
  }
}

// Random texts, edited copies of each other, one side absent or empty, and long texts of
// few distinct lines (long chains in the index and a crowded table), each with the real hash
// and with colliding ones.
TEST(PairLinesTest, AgreesWithGreedyPass) {
  std::mt19937 random(2024);
  for (int round = 0; round < 4000; ++round) {
    const bool endMarker = round % 3 == 0;
    const std::string bytes = RandomText(random, round % 2 ? 30 : 160, endMarker);
    ExpectAgreesWithGreedy(bytes, RandomText(random, 30, endMarker));
    ExpectAgreesWithGreedy(bytes, Edited(random, bytes));
    ExpectAgreesWithGreedy(Edited(random, bytes), bytes);
    if (round % 20 == 0) {
      ExpectAgreesWithGreedy(bytes, std::nullopt);
      ExpectAgreesWithGreedy(std::nullopt, bytes);
      ExpectAgreesWithGreedy(bytes, std::string());
      ExpectAgreesWithGreedy(std::string(), bytes);
    }
  }
  ExpectAgreesWithGreedy(std::nullopt, std::nullopt);
  for (int round = 0; round < 20; ++round) {
    std::string oldBytes;
    std::string newBytes;
    for (int line = 0; line < 800; ++line) {
      oldBytes += "line" + std::to_string(random() % 50) + (line % 3 ? ";\n" : "\n");
      newBytes += "line" + std::to_string(random() % 60) + (line % 2 ? ";\n" : "\n");
    }
    ExpectAgreesWithGreedy(oldBytes, newBytes);
  }
}

}  // namespace
}  // namespace quintrel
