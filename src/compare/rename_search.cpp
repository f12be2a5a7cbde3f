#include "compare/rename_search.h"

#include <algorithm>
#include <cstdint>
#include <queue>
#include <unordered_map>

#include "engine/line_keys.h"
#include "engine/line_matching.h"

namespace quintrel {

namespace {

// A line that occurs in more old files than this is common (a blank line, "}", a popular
// #include): its postings are not walked for every new file, which would make the search
// quadratic. It enters each bound as a count instead.
constexpr std::size_t kCommonPostings = 32;

struct LineCount {
  std::uint64_t hash;
  std::uint32_t count;
};

// The distinct line hashes of a text with how often each occurs, in hash order.
std::vector<LineCount> CountLines(const SourceText& text) {
  const LineKeys keys(text);
  std::vector<std::uint64_t> hashes(text.lines.size());
  for (std::size_t line = 0; line < hashes.size(); ++line) hashes[line] = HashKey(keys(line));
  std::sort(hashes.begin(), hashes.end());
  std::vector<LineCount> counts;
  for (std::size_t at = 0; at < hashes.size();) {
    std::size_t end = at + 1;
    while (end < hashes.size() && hashes[end] == hashes[at]) ++end;
    counts.push_back({hashes[at], static_cast<std::uint32_t>(end - at)});
    at = end;
  }
  return counts;
}

bool Reaches(std::size_t shared, std::size_t larger, int percent) {
  return shared * 100 >= static_cast<std::size_t>(percent) * larger;
}

// A pair to look at, ordered for choosing: the higher percent first, then the lower old
// index, then the lower new index. `exact` tells a measured percent from an upper bound.
struct Candidate {
  std::uint32_t percent;
  std::uint32_t oldIndex;
  std::uint32_t newIndex;
  bool exact;
};

// std::priority_queue puts the greatest first: "less" means chosen later.
struct ChosenLater {
  bool operator()(const Candidate& a, const Candidate& b) const {
    if (a.percent != b.percent) return a.percent < b.percent;
    if (a.oldIndex != b.oldIndex) return a.oldIndex > b.oldIndex;
    return a.newIndex > b.newIndex;
  }
};

using CandidateQueue = std::priority_queue<Candidate, std::vector<Candidate>, ChosenLater>;

// The old files' line hashes, each with the files that hold it (postings, in file order).
class OldLineIndex {
 public:
  struct Posting {
    std::uint32_t file;
    std::uint32_t count;
  };

  OldLineIndex(const std::vector<std::vector<LineCount>>& files, int percent,
               const std::vector<std::size_t>& lineCounts) {
    struct Entry {
      std::uint64_t hash;
      Posting posting;
    };
    std::vector<Entry> entries;
    for (std::uint32_t file = 0; file < files.size(); ++file) {
      for (const LineCount& line : files[file]) entries.push_back({line.hash, {file, line.count}});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.hash < b.hash; });
    m_postings.reserve(entries.size());
    for (const Entry& entry : entries) m_postings.push_back(entry.posting);
    for (std::size_t at = 0; at < entries.size();) {
      std::size_t end = at + 1;
      while (end < entries.size() && entries[end].hash == entries[at].hash) ++end;
      m_ranges.emplace(entries[at].hash, Range{at, end});
      at = end;
    }
    CountCommonLines(files, percent, lineCounts);
  }

  // The postings of a hash: empty when no old file holds it.
  std::pair<const Posting*, const Posting*> Find(std::uint64_t hash) const {
    const auto found = m_ranges.find(hash);
    if (found == m_ranges.end()) return {nullptr, nullptr};
    return {m_postings.data() + found->second.begin, m_postings.data() + found->second.end};
  }

  static bool IsCommon(std::pair<const Posting*, const Posting*> postings) {
    return static_cast<std::size_t>(postings.second - postings.first) > kCommonPostings;
  }

  // How many of the old file's lines are common ones.
  std::size_t CommonLines(std::size_t file) const { return m_commonLines[file]; }

  // The old files whose common lines alone could reach the threshold: they may pair with a
  // new file with which they share no other line.
  const std::vector<std::uint32_t>& MostlyCommon() const { return m_mostlyCommon; }

 private:
  struct Range {
    std::size_t begin;
    std::size_t end;
  };

  void CountCommonLines(const std::vector<std::vector<LineCount>>& files, int percent,
                        const std::vector<std::size_t>& lineCounts) {
    m_commonLines.assign(files.size(), 0);
    for (const auto& [hash, range] : m_ranges) {
      if (range.end - range.begin <= kCommonPostings) continue;
      for (std::size_t at = range.begin; at < range.end; ++at) {
        m_commonLines[m_postings[at].file] += m_postings[at].count;
      }
    }
    for (std::uint32_t file = 0; file < files.size(); ++file) {
      if (!files[file].empty() && Reaches(m_commonLines[file], lineCounts[file], percent)) {
        m_mostlyCommon.push_back(file);
      }
    }
  }

  std::vector<Posting> m_postings;
  std::unordered_map<std::uint64_t, Range> m_ranges;
  std::vector<std::size_t> m_commonLines;
  std::vector<std::uint32_t> m_mostlyCommon;
};

class RenameSearch {
 public:
  RenameSearch(std::vector<SourceText>& oldFiles, std::vector<SourceText>& newFiles, int percent)
      : m_oldFiles(oldFiles),
        m_newFiles(newFiles),
        m_percent(percent),
        m_oldLines(Profile(oldFiles, m_oldCounts)),
        m_newLines(Profile(newFiles, m_newCounts)),
        m_index(m_oldLines, percent, m_oldCounts),
        m_shared(oldFiles.size(), 0) {}

  std::vector<RenamePair> Run(RenameSearchStats& stats) {
    CandidateQueue queue;
    for (std::size_t file = 0; file < m_newFiles.size(); ++file) AddCandidates(file, queue);
    stats.candidatePairs = queue.size();
    return Choose(queue, stats);
  }

 private:
  static std::vector<std::vector<LineCount>> Profile(const std::vector<SourceText>& files,
                                                     std::vector<std::size_t>& lineCounts) {
    std::vector<std::vector<LineCount>> profiles;
    profiles.reserve(files.size());
    for (const SourceText& text : files) {
      profiles.push_back(CountLines(text));
      lineCounts.push_back(text.lines.size());
    }
    return profiles;
  }

  // Queues each old file that may reach the threshold with new file `file`, with an upper
  // bound of the lines they share: the rare lines counted exactly through the index, the
  // common ones as the smaller of the two files' common line counts.
  void AddCandidates(std::size_t file, CandidateQueue& queue) {
    if (m_newLines[file].empty()) return;
    std::vector<std::uint32_t> touched;
    std::size_t commonNew = 0;
    for (const LineCount& line : m_newLines[file]) {
      const auto postings = m_index.Find(line.hash);
      if (OldLineIndex::IsCommon(postings)) {
        commonNew += line.count;
        continue;
      }
      for (auto posting = postings.first; posting != postings.second; ++posting) {
        if (m_shared[posting->file] == 0) touched.push_back(posting->file);
        m_shared[posting->file] += std::min(posting->count, line.count);
      }
    }
    for (std::uint32_t old : touched) Consider(old, file, m_shared[old], commonNew, queue);
    if (Reaches(commonNew, m_newCounts[file], m_percent)) {
      for (std::uint32_t old : m_index.MostlyCommon()) {
        if (m_shared[old] == 0) Consider(old, file, 0, commonNew, queue);
      }
    }
    for (std::uint32_t old : touched) m_shared[old] = 0;
  }

  void Consider(std::uint32_t old, std::size_t file, std::size_t rareShared, std::size_t commonNew,
                CandidateQueue& queue) const {
    const std::size_t oldLines = m_oldCounts[old];
    const std::size_t newLines = m_newCounts[file];
    const std::size_t larger = std::max(oldLines, newLines);
    const std::size_t bound = std::min(rareShared + std::min(commonNew, m_index.CommonLines(old)),
                                       std::min(oldLines, newLines));
    if (!Reaches(bound, larger, m_percent)) return;
    queue.push({static_cast<std::uint32_t>(bound * 100 / larger), old,
                static_cast<std::uint32_t>(file), false});
  }

  // Takes the candidates best first. A bound is replaced by the exact percent when it comes
  // up; since no exact percent exceeds its bound, a measured pair on top is the best left.
  std::vector<RenamePair> Choose(CandidateQueue& queue, RenameSearchStats& stats) {
    std::vector<char> oldTaken(m_oldFiles.size(), 0);
    std::vector<char> newTaken(m_newFiles.size(), 0);
    std::vector<RenamePair> chosen;
    while (!queue.empty()) {
      Candidate candidate = queue.top();
      queue.pop();
      if (oldTaken[candidate.oldIndex] || newTaken[candidate.newIndex]) continue;
      if (candidate.exact) {
        oldTaken[candidate.oldIndex] = newTaken[candidate.newIndex] = 1;
        chosen.push_back({candidate.oldIndex, candidate.newIndex});
        continue;
      }
      ++stats.exactComparisons;
      const std::size_t larger =
          std::max(m_oldCounts[candidate.oldIndex], m_newCounts[candidate.newIndex]);
      const std::size_t shared = PairedNewLines(candidate.oldIndex, candidate.newIndex);
      if (!Reaches(shared, larger, m_percent)) continue;
      candidate.percent = static_cast<std::uint32_t>(shared * 100 / larger);
      candidate.exact = true;
      queue.push(candidate);
    }
    return chosen;
  }

  // The new file's lines that pair with lines of the old file, as measuring pairs them.
  std::size_t PairedNewLines(std::size_t old, std::size_t file) {
    SourceText& oldText = m_oldFiles[old];
    SourceText& newText = m_newFiles[file];
    PairLines(oldText, newText, m_memory, FlagsWanted::kEveryLine);
    const auto paired =
        static_cast<std::size_t>(std::count(newText.lines.begin(), newText.lines.end(), 1));
    // Pairing overwrote the offsets with flags; later comparisons need them again.
    BuildLineTable(oldText.bytes, oldText.lines);
    BuildLineTable(newText.bytes, newText.lines);
    return paired;
  }

  std::vector<SourceText>& m_oldFiles;
  std::vector<SourceText>& m_newFiles;
  const int m_percent;
  std::vector<std::size_t> m_oldCounts;
  std::vector<std::size_t> m_newCounts;
  std::vector<std::vector<LineCount>> m_oldLines;
  std::vector<std::vector<LineCount>> m_newLines;
  OldLineIndex m_index;
  std::vector<std::size_t> m_shared;  // per old file, while one new file is looked at
  LineIndexMemory m_memory;
};

}  // namespace

std::vector<RenamePair> FindRenames(std::vector<SourceText>& oldFiles,
                                    std::vector<SourceText>& newFiles, int percent,
                                    RenameSearchStats* stats) {
  RenameSearchStats ignored;
  return RenameSearch(oldFiles, newFiles, percent).Run(stats ? *stats : ignored);
}

}  // namespace quintrel
