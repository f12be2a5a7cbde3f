#include "compare/renames/line_profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "compare/renames/rename_search.h"
#include "engine/file_pair.h"
#include "engine/statement_counter.h"

namespace quintrel {
namespace {

// Lines that move the counter between its modes, repeat, and carry marks or none; 0xFF ends
// a line's content for pairing and the count where it stands in code.
const std::vector<std::string> kLines = {"int a;",      "  b(c);",       "}",        "",
                                         "{",           "// note; here", "/* open;", "still;",
                                         "close */ x;", "s = \";\";",    "case 1:",  "a::b;",
                                         "#define Q 1", "x = 'y';",      "#",        "a ## b;",
                                         "p \\",        "int a;\xff;",   "q; r; s;", "  "};

std::string RandomText(std::mt19937& random) {
  std::uniform_int_distribution<std::size_t> length(0, 40);
  std::uniform_int_distribution<std::size_t> pick(0, kLines.size() - 1);
  std::string text;
  const std::size_t lines = length(random);
  for (std::size_t i = 0; i < lines; ++i) text += (i ? "\n" : "") + kLines[pick(random)];
  if (random() % 2) text += "\n";
  return text;
}

// The new version: the old one with some lines dropped, changed or added.
std::string Edited(const std::string& old, std::mt19937& random) {
  std::uniform_int_distribution<std::size_t> pick(0, kLines.size() - 1);
  std::string text;
  std::size_t start = 0;
  while (start <= old.size()) {
    std::size_t end = old.find('\n', start);
    if (end == std::string::npos) end = old.size();
    const unsigned roll = random() % 10;
    if (roll == 0) text += kLines[pick(random)] + "\n";
    if (roll != 1) text += old.substr(start, end - start) + (end < old.size() ? "\n" : "");
    start = end + 1;
  }
  return text;
}

std::span<const unsigned char> Bytes(const std::string& text) {
  return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

LineProfile Profiled(const std::string& content) {
  SourceText text;
  text.bytes.assign(content.begin(), content.end());
  BuildLineTable(text.bytes, text.lines);
  return LineProfiler().ProfileLoaded(text);
}

std::size_t PairedByMeasuring(const std::string& oldContent, const std::string& newContent) {
  SourceText oldText;
  SourceText newText;
  for (auto [content, text] : {std::pair{&oldContent, &oldText}, {&newContent, &newText}}) {
    text->bytes.assign(content->begin(), content->end());
    BuildLineTable(text->bytes, text->lines);
    DropFinalLineEnd(*text);
  }
  LineIndexMemory memory;
  return CountPairedNewLines(oldText, newText, memory);
}

// Per-line marks credit exactly what the counter credits to flags, whatever the flags.
TEST(LineProfileTest, MarksPerLineAddUpToTheCountsOfAnyFlags) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const std::string content = RandomText(random);
    SourceText text;
    text.bytes.assign(content.begin(), content.end());
    BuildLineTable(text.bytes, text.lines);
    std::vector<std::int32_t> perLine;
    EXPECT_EQ(CountStatementsPerLine(text, perLine), 0);
    ASSERT_EQ(perLine.size(), text.lines.size());
    StatementCounts expected;
    for (std::size_t line = 0; line < perLine.size(); ++line) {
      text.lines[line] = static_cast<std::int32_t>(random() % 2);
      (text.lines[line] ? expected.matched : expected.unmatched) += perLine[line];
    }
    const StatementCounts counted = CountStatements(text);
    EXPECT_EQ(counted.matched, expected.matched) << content;
    EXPECT_EQ(counted.unmatched, expected.unmatched) << content;
  }
}

// What the search takes from profiles equals measuring the texts: pairs, files of one
// version, versions taken as unchanged, and the paired lines the search compares.
TEST(LineProfileTest, ProfilesMeasureAsMeasuringDoes) {
  std::mt19937 random(11);
  PairWorkspace workspace;
  for (int round = 0; round < 400; ++round) {
    const std::string old = RandomText(random);
    const std::string now = round % 5 == 0 ? RandomText(random) : Edited(old, random);
    const LineProfile oldProfile = Profiled(old);
    const LineProfile newProfile = Profiled(now);
    EXPECT_EQ(MeasureProfiles(oldProfile, newProfile),
              MeasureVersionBytes(Bytes(old), Bytes(now), false, workspace))
        << old << "\n=>\n"
        << now;
    EXPECT_EQ(PairedNewLines(oldProfile, newProfile), PairedByMeasuring(old, now));
    EXPECT_EQ(MeasureNewOnly(newProfile),
              MeasureVersionBytes(std::nullopt, Bytes(now), false, workspace));
    EXPECT_EQ(MeasureOldOnly(oldProfile),
              MeasureVersionBytes(Bytes(old), std::nullopt, false, workspace));
    EXPECT_EQ(MeasureUnchanged(newProfile),
              MeasureVersionBytes(Bytes(old), Bytes(now), true, workspace));
  }
}

// A loaded text is profiled in one pass over its bytes, without its line table (unless it
// holds kEndMarker): the same profile as from the table, with the marks counted per line,
// and the same text left.
TEST(LineProfileTest, ProfileInOnePassIsTheProfileFromTheLineTable) {
  std::mt19937 random(17);
  LineProfiler profiler;
  std::vector<std::int32_t> perLine;
  for (int round = 0; round < 300; ++round) {
    const std::string content = RandomText(random) + RandomText(random) + RandomText(random);
    SourceText withTable;
    withTable.bytes.assign(content.begin(), content.end());
    BuildLineTable(withTable.bytes, withTable.lines);
    CountStatementsPerLine(withTable, perLine);
    DropFinalLineEnd(withTable);
    const LineProfile expected = profiler.Profile(withTable, &perLine);
    SourceText without;
    without.bytes.assign(content.begin(), content.end());
    const LineProfile profile = profiler.ProfileLoaded(without);
    EXPECT_EQ(profile.lineCount, expected.lineCount) << content;
    EXPECT_EQ(profile.marks, expected.marks) << content;
    ASSERT_EQ(profile.lines.size(), expected.lines.size()) << content;
    for (std::size_t i = 0; i < profile.lines.size(); ++i) {
      EXPECT_EQ(profile.lines[i].hash, expected.lines[i].hash);
      EXPECT_EQ(profile.lines[i].count, expected.lines[i].count);
    }
    ASSERT_EQ(profile.marked.size(), expected.marked.size()) << content;
    for (std::size_t i = 0; i < profile.marked.size(); ++i) {
      EXPECT_EQ(profile.marked[i].content, expected.marked[i].content);
      EXPECT_EQ(profile.marked[i].occurrence, expected.marked[i].occurrence);
      EXPECT_EQ(profile.marked[i].marks, expected.marked[i].marks);
    }
    EXPECT_EQ(without.bytes.size(), withTable.bytes.size());
  }
}

// Two different contents behind one hash: the profiles cannot tell the pair, so the search
// pairs those files by reading them.
TEST(LineProfileTest, SharedHashOfDifferentContentsIsNoAnswer) {
  LineProfile old = Profiled("a;\nb;\n");
  LineProfile now = Profiled("a;\nc;\n");
  ASSERT_TRUE(PairedNewLines(old, now).has_value());
  now.lines[0].hash = old.lines[0].hash;  // same hash, and the checks of "a;" and "c;" or "b;"
  now.lines[1].hash = old.lines[1].hash;
  const bool checksDiffer =
      now.lines[0].check != old.lines[0].check || now.lines[1].check != old.lines[1].check;
  ASSERT_TRUE(checksDiffer);
  EXPECT_FALSE(PairedNewLines(old, now).has_value());
  EXPECT_FALSE(MeasureProfiles(old, now).has_value());

  LineProfile colliding = Profiled("a;\nb;\n");
  colliding.hashesCollide = true;
  EXPECT_FALSE(PairedNewLines(colliding, Profiled("a;\nb;\n")).has_value());
  EXPECT_FALSE(MeasureProfiles(Profiled("a;\n"), colliding).has_value());
}

// Occurrences and marks are kept in 16 bits each: a profile with more says so, and its
// measurements are left to reading the files.
TEST(LineProfileTest, OccurrencesOrMarksBeyondSixteenBitsLeaveMeasuringToReading) {
  EXPECT_FALSE(Profiled("a;\na;\n" + std::string(65535, ';') + "\n").marksUntold);
  const LineProfile manyMarks = Profiled("a;\n" + std::string(65536, ';') + "\n");
  EXPECT_TRUE(manyMarks.marksUntold);
  EXPECT_EQ(manyMarks.marks, 65537);
  std::string repeated;
  for (int i = 0; i < 65537; ++i) repeated += "x;\n";
  const LineProfile manyRepeats = Profiled(repeated);
  EXPECT_TRUE(manyRepeats.marksUntold);
  EXPECT_FALSE(MeasureProfiles(manyRepeats, Profiled("x;\n")).has_value());
  EXPECT_FALSE(MeasureProfiles(Profiled("x;\n"), manyMarks).has_value());
  EXPECT_EQ(PairedNewLines(manyRepeats, Profiled("x;\n")), 1u);  // similarity is still told
  EXPECT_EQ(MeasureNewOnly(manyRepeats).added, 65537);
}

}  // namespace
}  // namespace quintrel
