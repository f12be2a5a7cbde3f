#include "compare/renames/shared_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>
#include <vector>

namespace quintrel {
namespace {

// A profile of the given hashes (each file holds a hash once), with a count for each.
LineProfile ProfileOf(std::map<std::uint64_t, std::uint32_t> counts) {
  LineProfile profile;
  for (const auto& [hash, count] : counts) {
    profile.lines.push_back({hash, count, 0});
    profile.lineCount += count;
  }
  return profile;
}

// The same, found one pair of files and one hash at a time.
SharedLines SharedByHand(const std::vector<LineProfile>& oldFiles,
                         const std::vector<LineProfile>& newFiles) {
  std::map<std::uint64_t, std::vector<std::pair<std::uint32_t, std::uint32_t>>> holders;
  for (std::uint32_t file = 0; file < oldFiles.size(); ++file) {
    for (const LineCount& line : oldFiles[file].lines)
      holders[line.hash].push_back({file, line.count});
  }
  SharedLines shared;
  shared.rare.resize(newFiles.size());
  shared.commonNew.assign(newFiles.size(), 0);
  shared.commonOld.assign(oldFiles.size(), 0);
  for (const auto& [hash, files] : holders) {
    if (files.size() <= kCommonPostings) continue;
    for (const auto& [file, count] : files) shared.commonOld[file] += count;
  }
  for (std::uint32_t file = 0; file < newFiles.size(); ++file) {
    if (newFiles[file].lineCount == 0) continue;
    std::map<std::uint32_t, std::uint32_t> perOld;
    for (const LineCount& line : newFiles[file].lines) {
      const auto found = holders.find(line.hash);
      if (found == holders.end()) continue;
      if (found->second.size() > kCommonPostings) {
        shared.commonNew[file] += line.count;
        continue;
      }
      for (const auto& [old, count] : found->second) perOld[old] += std::min(count, line.count);
    }
    for (const auto& [old, lines] : perOld) shared.rare[file].push_back({old, lines});
  }
  return shared;
}

// Shares of one old file added up, in old file order.
std::vector<std::pair<std::uint32_t, std::uint32_t>> Summed(const std::vector<OldShare>& shares) {
  std::map<std::uint32_t, std::uint32_t> perOld;
  for (const OldShare& share : shares) perOld[share.oldFile] += share.lines;
  return {perOld.begin(), perOld.end()};
}

void ExpectSame(const SharedLines& found, const SharedLines& expected) {
  EXPECT_EQ(found.commonNew, expected.commonNew);
  EXPECT_EQ(found.commonOld, expected.commonOld);
  ASSERT_EQ(found.rare.size(), expected.rare.size());
  for (std::size_t file = 0; file < found.rare.size(); ++file) {
    SCOPED_TRACE(file);
    EXPECT_EQ(Summed(found.rare[file]), Summed(expected.rare[file]));
  }
}

// Enough distinct hashes for many windows (split between threads or not), drawn so that some are in
// more old files than kCommonPostings, most in one or a few, with the extreme hash values at the
// windows' ends.
TEST(FindSharedLines, AgreesWithEveryHashFollowedByHand) {
  std::mt19937_64 random(2024);
  std::vector<std::uint64_t> popular = {0, std::numeric_limits<std::uint64_t>::max()};
  for (int i = 0; i < 40; ++i) popular.push_back(random());
  auto makeFile = [&](std::size_t lines) {
    std::map<std::uint64_t, std::uint32_t> counts;
    for (std::size_t i = 0; i < lines; ++i) {
      const unsigned pick = random() % 10;
      const std::uint64_t hash = pick < 3   ? popular[random() % popular.size()]
                                 : pick < 6 ? random() % 2000 * 0x9E3779B97F4A7C15ull
                                            : random();
      counts[hash] += 1 + static_cast<std::uint32_t>(random() % 3);
    }
    return ProfileOf(counts);
  };
  std::vector<LineProfile> oldFiles, newFiles;
  for (int i = 0; i < 90; ++i) oldFiles.push_back(makeFile(random() % 400));
  for (int i = 0; i < 70; ++i) newFiles.push_back(makeFile(random() % 400));
  newFiles[3] = LineProfile{};  // absent
  oldFiles[5] = LineProfile{};
  const SharedLines expected = SharedByHand(oldFiles, newFiles);
  for (unsigned jobs : {1u, 2u, 3u, 0u}) {  // the windows split between threads
    SCOPED_TRACE(jobs);
    ExpectSame(FindSharedLines(oldFiles, newFiles, jobs), expected);
  }
}

TEST(FindSharedLines, FilesWithoutLinesShareNothing) {
  const std::vector<LineProfile> oldFiles = {ProfileOf({{1, 2}, {5, 1}}), LineProfile{}};
  LineProfile emptied = ProfileOf({{1, 1}});
  emptied.lineCount = 0;  // as a new file the search leaves out
  const SharedLines shared = FindSharedLines(oldFiles, {emptied, ProfileOf({{5, 3}, {9, 1}})});
  EXPECT_TRUE(shared.rare[0].empty());
  EXPECT_EQ(Summed(shared.rare[1]), (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 1}}));
  EXPECT_EQ(shared.commonNew, (std::vector<std::size_t>{0, 0}));
  EXPECT_TRUE(FindSharedLines({}, {ProfileOf({{1, 1}})}).rare[0].empty());
}

}  // namespace
}  // namespace quintrel
