#include "compare/renames/rename_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace quintrel {
namespace {

SourceText TextOf(const std::string& content) {
  SourceText text;
  text.bytes.assign(content.begin(), content.end());
  BuildLineTable(text.bytes, text.lines);
  return text;
}

// Lines joined by '\n' without one after the last, so a file has exactly these lines.
std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
  return text;
}

// Files held in memory, with the exact measure the search calls and a count of its calls.
class Files {
 public:
  Files(std::vector<std::string> oldFiles, std::vector<std::string> newFiles)
      : m_old(std::move(oldFiles)), m_new(std::move(newFiles)) {}

  std::vector<RenamePair> Find(int percent, RenameSearchStats* stats = nullptr) {
    std::vector<LineProfile> oldProfiles;
    std::vector<LineProfile> newProfiles;
    for (const std::string& file : m_old) oldProfiles.push_back(ProfileLines(TextOf(file)));
    for (const std::string& file : m_new) newProfiles.push_back(ProfileLines(TextOf(file)));
    for (std::size_t absent : m_absentOld) oldProfiles[absent] = LineProfile{};
    return FindRenames(
        oldProfiles, newProfiles, percent,
        [this](std::size_t o, std::size_t n) { return Paired(o, n); }, stats);
  }

  // The exact similarity of a pair, in whole percent.
  std::size_t Percent(std::size_t o, std::size_t n) {
    const std::size_t larger =
        std::max(TextOf(m_old[o]).lines.size(), TextOf(m_new[n]).lines.size());
    return Paired(o, n) * 100 / larger;
  }

  void MakeOldAbsent(std::size_t index) { m_absentOld.push_back(index); }

  std::size_t Paired(std::size_t o, std::size_t n) {
    SourceText oldText = TextOf(m_old.at(o));
    SourceText newText = TextOf(m_new.at(n));
    return CountPairedNewLines(oldText, newText, m_memory);
  }

  std::size_t OldCount() const { return m_old.size(); }
  std::size_t NewCount() const { return m_new.size(); }

 private:
  std::vector<std::string> m_old;
  std::vector<std::string> m_new;
  std::vector<std::size_t> m_absentOld;
  LineIndexMemory m_memory;
};

// The rule itself, over every pair: exact percents sorted best first, then taken greedily.
std::vector<RenamePair> ChooseByHand(Files& files, int percent) {
  std::vector<std::tuple<std::size_t, std::size_t, std::size_t>> pairs;  // -percent, old, new
  for (std::size_t o = 0; o < files.OldCount(); ++o) {
    for (std::size_t n = 0; n < files.NewCount(); ++n) {
      const std::size_t similarity = files.Percent(o, n);
      if (similarity >= static_cast<std::size_t>(percent))
        pairs.emplace_back(100 - similarity, o, n);
    }
  }
  std::sort(pairs.begin(), pairs.end());
  std::vector<char> oldTaken(files.OldCount(), 0), newTaken(files.NewCount(), 0);
  std::vector<RenamePair> chosen;
  for (const auto& [inverse, o, n] : pairs) {
    if (oldTaken[o] || newTaken[n]) continue;
    oldTaken[o] = newTaken[n] = 1;
    chosen.push_back({o, n});
  }
  return chosen;
}

TEST(CountPairedNewLines, CountsTheNewLinesThatMeasuringPairs) {
  // "b" twice in the new file but once in the old: only one pairs. "x" pairs nowhere.
  SourceText oldText = TextOf("a\nb\nc");
  SourceText newText = TextOf("b\nb\na\nx");
  LineIndexMemory memory;
  EXPECT_EQ(CountPairedNewLines(oldText, newText, memory), 2u);
  SourceText emptyOld = TextOf("");
  SourceText emptyNew = TextOf("");
  EXPECT_EQ(CountPairedNewLines(emptyOld, emptyNew, memory), 1u);  // one empty line each
}

// The similarity is the new file's paired lines over the larger line count, rounded down,
// and qualifies from the threshold itself upwards.
TEST(FindRenames, ThresholdCountsAgainstTheLargerFile) {
  // 2 of 4 lines shared: 50 percent, whichever side is the larger.
  Files grown({Lines({"a", "b"})}, {Lines({"a", "b", "c", "d"})});
  EXPECT_EQ(grown.Find(50), (std::vector<RenamePair>{{0, 0}}));
  EXPECT_TRUE(grown.Find(51).empty());
  Files shrunk({Lines({"a", "b", "c", "d"})}, {Lines({"a", "b"})});
  EXPECT_EQ(shrunk.Find(50), (std::vector<RenamePair>{{0, 0}}));
  EXPECT_TRUE(shrunk.Find(51).empty());
  // 2 of 3: 66.7 percent reaches 66 but not 67.
  Files third({Lines({"a", "b", "c"})}, {Lines({"a", "b", "x"})});
  EXPECT_EQ(third.Find(66).size(), 1u);
  EXPECT_TRUE(third.Find(67).empty());
  // Identical files reach 100.
  Files same({Lines({"p", "q"})}, {Lines({"p", "q"})});
  EXPECT_EQ(same.Find(100).size(), 1u);
}

// Ties are decided on whole percents: 199 of 300 lines (66.3) and 200 of 300 (66.7) tie at
// 66, so the earlier old file wins although the later one matches a line more.
TEST(FindRenames, TiesOnWholePercentsGoToTheEarlierOld) {
  auto numbered = [](int from, int to, const std::string& prefix) {
    std::vector<std::string> lines;
    for (int i = from; i < to; ++i) lines.push_back(prefix + std::to_string(i));
    return lines;
  };
  std::vector<std::string> newLines = numbered(0, 300, "n");
  std::vector<std::string> fewer = numbered(0, 199, "n"), more = numbered(0, 200, "n");
  for (const std::string& line : numbered(199, 300, "a")) fewer.push_back(line);
  for (const std::string& line : numbered(200, 300, "b")) more.push_back(line);
  Files whole({Lines(fewer), Lines(more)}, {Lines(newLines)});
  EXPECT_EQ(whole.Percent(0, 0), 66u);
  EXPECT_EQ(whole.Percent(1, 0), 66u);
  EXPECT_EQ(whole.Find(60), (std::vector<RenamePair>{{0, 0}}));
}

// A file that could not be read takes no part, even against an empty file.
TEST(FindRenames, AbsentFilesTakeNoPart) {
  Files files({"", ""}, {""});
  files.MakeOldAbsent(0);
  EXPECT_EQ(files.Find(100), (std::vector<RenamePair>{{1, 0}}));
}

// Lines found in many files are counted, not looked up, yet two files made only of them
// still pair, and a file of them alone does not pair with one that merely holds them too.
TEST(FindRenames, FilesOfCommonLinesOnlyStillPair) {
  std::vector<std::string> oldFiles;
  for (int i = 0; i < 40; ++i)
    oldFiles.push_back(Lines({"{", "", "}", "int x" + std::to_string(i) + ";"}));
  oldFiles.push_back(Lines({"{", "", "}", "}"}));
  Files files(oldFiles, {Lines({"}", "{", "}", ""}), Lines({"{", "", "}", "int y;", "int z;"})});
  EXPECT_EQ(files.Find(100), (std::vector<RenamePair>{{40, 0}}));
  // At 60 percent the second new file (3 of 5) pairs with the first old file that has room.
  EXPECT_EQ(files.Find(60), (std::vector<RenamePair>{{40, 0}, {0, 1}}));
}

// Files built mostly from lines found in many files (blank lines, braces, a shared include)
// are where bounds are loosest: the choice must still equal the rule applied to every pair.
TEST(FindRenames, AgreesWithEveryPairMeasured) {
  std::mt19937 random(12345);
  const std::vector<std::string> common = {"", "}", "{", "#include \"config.h\"", "return 0;"};
  auto makeFile = [&](int seed, int length) {
    std::vector<std::string> lines;
    for (int i = 0; i < length; ++i) {
      const unsigned pick = random() % 10;
      if (pick < 5)
        lines.push_back(common[random() % common.size()]);
      else
        lines.push_back("int v" + std::to_string(seed) + "_" + std::to_string(random() % 12) + ";");
    }
    return Lines(lines);
  };
  std::vector<std::string> oldFiles, newFiles;
  for (int i = 0; i < 60; ++i) oldFiles.push_back(makeFile(i % 20, 1 + random() % 12));
  for (int i = 0; i < 60; ++i) newFiles.push_back(makeFile((i * 7) % 20, 1 + random() % 12));
  Files files(oldFiles, newFiles);
  for (int percent : {1, 30, 50, 75, 100}) {
    SCOPED_TRACE(percent);
    const std::vector<RenamePair> expected = ChooseByHand(files, percent);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(files.Find(percent), expected);
  }
}

// Thousands against thousands: every rename found, with work in proportion to the files,
// not to their pairs.
TEST(FindRenames, ManyCandidatesStayNearLinear) {
  constexpr int kFiles = 2000;
  std::mt19937 random(7);
  std::vector<std::string> oldFiles, newFiles(kFiles);
  std::vector<int> order(kFiles);
  for (int i = 0; i < kFiles; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), random);
  for (int i = 0; i < kFiles; ++i) {
    std::vector<std::string> lines = {"#include <stdio.h>", "", "{"};
    for (int k = 0; k < 20; ++k)
      lines.push_back("  total += f" + std::to_string(i) + "_" + std::to_string(k) + "();");
    lines.insert(lines.end(), {"}", ""});
    oldFiles.push_back(Lines(lines));
    // The new copy has a fifth of its own lines edited and sits elsewhere in the list.
    for (int k = 0; k < 4; ++k) lines[3 + random() % 20] = "  edited();";
    newFiles[order[i]] = Lines(lines);
  }
  Files files(oldFiles, newFiles);
  RenameSearchStats stats;
  std::vector<RenamePair> renames = files.Find(50, &stats);
  ASSERT_EQ(renames.size(), static_cast<std::size_t>(kFiles));
  std::sort(renames.begin(), renames.end(),
            [](const RenamePair& a, const RenamePair& b) { return a.oldIndex < b.oldIndex; });
  for (int i = 0; i < kFiles; ++i)
    EXPECT_EQ(renames[i], (RenamePair{std::size_t(i), std::size_t(order[i])}));
  EXPECT_EQ(stats.exactComparisons, static_cast<std::size_t>(kFiles));
  EXPECT_LE(stats.candidatePairs, static_cast<std::size_t>(2 * kFiles));
}

}  // namespace
}  // namespace quintrel
