#include "compare/renames/rename_search.h"

#include <algorithm>
#include <bit>
#include <queue>

#include "engine/line_matching.h"

namespace quintrel {

namespace {

// A line that occurs in more old files than this is common (a blank line, "}", a popular
// #include): its postings are not walked for every new file, which would make the search
// quadratic. It enters each bound as a count instead.
constexpr std::size_t kCommonPostings = 32;

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

struct Posting {
  std::uint32_t file;
  std::uint32_t count;
};

// The old files' line hashes, each with the files that hold it (postings, in file order).
// An open-addressing table: the hashes are already well mixed, and the lookups, one per
// distinct line of every new file, are what the search spends its time on. Most hashes
// belong to one file: their posting stands in the slot itself, which saves a cache miss.
class OldLineIndex {
 public:
  explicit OldLineIndex(const std::vector<LineProfile>& files) {
    std::size_t entries = 0;
    for (const LineProfile& file : files) entries += file.lines.size();
    m_slots.resize(std::bit_ceil(entries + entries / 4 + 2));
    // First the postings of each hash are counted, then those of shared hashes are laid out
    // in file order; no sort, and no list of all entries.
    std::vector<std::uint32_t> sizes(m_slots.size(), 0);
    for (std::uint32_t file = 0; file < files.size(); ++file) {
      for (const LineCount& line : files[file].lines) {
        const std::size_t at = SlotOf(line.hash, sizes);
        if (sizes[at]++ == 0) m_slots[at] = {line.hash, file, line.count | kSingle};
      }
    }
    std::size_t shared = 0;
    for (std::size_t at = 0; at < m_slots.size(); ++at) {
      if (sizes[at] < 2) continue;
      m_slots[at].begin = m_slots[at].end = static_cast<std::uint32_t>(shared);
      shared += sizes[at];
    }
    m_postings.resize(shared);
    for (std::uint32_t file = 0; file < files.size(); ++file) {
      for (const LineCount& line : files[file].lines) {
        const std::size_t at = SlotOf(line.hash, sizes);
        if (sizes[at] >= 2) m_postings[m_slots[at].end++] = {file, line.count};
      }
    }
    CountCommonLines(files.size());
  }

  // The postings of a hash: empty when no old file holds it. `single` holds the posting
  // of a hash of one file.
  std::pair<const Posting*, const Posting*> Find(std::uint64_t hash, Posting& single) const {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const Slot& slot = m_slots[at];
      if (slot.end == 0) return {nullptr, nullptr};
      if (slot.hash != hash) continue;
      if (slot.end & kSingle) {
        single = {slot.begin, slot.end & ~kSingle};
        return {&single, &single + 1};
      }
      return {m_postings.data() + slot.begin, m_postings.data() + slot.end};
    }
  }

  static bool IsCommon(std::pair<const Posting*, const Posting*> postings) {
    return static_cast<std::size_t>(postings.second - postings.first) > kCommonPostings;
  }

  // How many of the old file's lines are common ones.
  std::size_t CommonLines(std::size_t file) const { return m_commonLines[file]; }

 private:
  // A slot of one posting holds its file in `begin` and its count, with kSingle, in `end`.
  static constexpr std::uint32_t kSingle = std::uint32_t{1} << 31;

  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t begin = 0;
    std::uint32_t end = 0;  // 0: a free slot (a used one holds kSingle or two postings)
  };

  // The slot of a hash while the table is built: its own, or the free one it gets.
  std::size_t SlotOf(std::uint64_t hash, const std::vector<std::uint32_t>& sizes) const {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t at = hash & mask;
    while (sizes[at] != 0 && m_slots[at].hash != hash) at = (at + 1) & mask;
    return at;
  }

  void CountCommonLines(std::size_t files) {
    m_commonLines.assign(files, 0);
    for (const Slot& slot : m_slots) {
      if ((slot.end & kSingle) != 0 || slot.end - slot.begin <= kCommonPostings) continue;
      for (std::size_t at = slot.begin; at < slot.end; ++at) {
        m_commonLines[m_postings[at].file] += m_postings[at].count;
      }
    }
  }

  std::vector<Posting> m_postings;  // of the hashes of two files or more
  std::vector<Slot> m_slots;
  std::vector<std::size_t> m_commonLines;
};

class RenameSearch {
 public:
  RenameSearch(const std::vector<LineProfile>& oldFiles, const std::vector<LineProfile>& newFiles,
               int percent)
      : m_oldFiles(oldFiles),
        m_newFiles(newFiles),
        m_percent(percent),
        m_index(oldFiles),
        m_shared(oldFiles.size(), 0) {
    // Old files whose common lines alone could reach the threshold: they may pair with a
    // new file with which they share no other line.
    for (std::uint32_t file = 0; file < oldFiles.size(); ++file) {
      const std::size_t lines = oldFiles[file].lineCount;
      if (lines != 0 && Reaches(m_index.CommonLines(file), lines, percent))
        m_mostlyCommon.push_back(file);
    }
  }

  std::vector<RenamePair> Run(const PairedLinesFunction& pairedLines, RenameSearchStats& stats) {
    CandidateQueue queue;
    for (std::size_t file = 0; file < m_newFiles.size(); ++file) AddCandidates(file, queue);
    stats.candidatePairs = queue.size();
    return Choose(queue, pairedLines, stats);
  }

 private:
  // Queues each old file that may reach the threshold with new file `file`, with an upper
  // bound of the lines they share: the rare lines counted through the index (exact but for
  // hash collisions, which only raise it), the common ones as the smaller of the two files'
  // common line counts.
  void AddCandidates(std::size_t file, CandidateQueue& queue) {
    if (m_newFiles[file].lineCount == 0) return;
    std::vector<std::uint32_t> touched;
    std::size_t commonNew = 0;
    for (const LineCount& line : m_newFiles[file].lines) {
      Posting single;
      const auto postings = m_index.Find(line.hash, single);
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
    if (Reaches(commonNew, m_newFiles[file].lineCount, m_percent)) {
      for (std::uint32_t old : m_mostlyCommon) {
        if (m_shared[old] == 0) Consider(old, file, 0, commonNew, queue);
      }
    }
    for (std::uint32_t old : touched) m_shared[old] = 0;
  }

  void Consider(std::uint32_t old, std::size_t file, std::size_t rareShared, std::size_t commonNew,
                CandidateQueue& queue) const {
    const std::size_t oldLines = m_oldFiles[old].lineCount;
    const std::size_t newLines = m_newFiles[file].lineCount;
    if (oldLines == 0) return;
    const std::size_t larger = std::max(oldLines, newLines);
    const std::size_t bound = std::min(rareShared + std::min(commonNew, m_index.CommonLines(old)),
                                       std::min(oldLines, newLines));
    if (!Reaches(bound, larger, m_percent)) return;
    queue.push({static_cast<std::uint32_t>(bound * 100 / larger), old,
                static_cast<std::uint32_t>(file), false});
  }

  // Takes the candidates best first. A bound is replaced by the exact percent when it comes
  // up; since no exact percent exceeds its bound, a measured pair on top is the best left.
  std::vector<RenamePair> Choose(CandidateQueue& queue, const PairedLinesFunction& pairedLines,
                                 RenameSearchStats& stats) {
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
      const std::size_t larger = std::max(m_oldFiles[candidate.oldIndex].lineCount,
                                          m_newFiles[candidate.newIndex].lineCount);
      const std::size_t shared = pairedLines(candidate.oldIndex, candidate.newIndex);
      if (!Reaches(shared, larger, m_percent)) continue;
      candidate.percent = static_cast<std::uint32_t>(shared * 100 / larger);
      candidate.exact = true;
      queue.push(candidate);
    }
    return chosen;
  }

  const std::vector<LineProfile>& m_oldFiles;
  const std::vector<LineProfile>& m_newFiles;
  const int m_percent;
  OldLineIndex m_index;
  std::vector<std::size_t> m_shared;  // per old file, while one new file is looked at
  std::vector<std::uint32_t> m_mostlyCommon;
};

}  // namespace

std::size_t CountPairedNewLines(SourceText& oldText, SourceText& newText, LineIndexMemory& memory) {
  PairLines(oldText, newText, memory, FlagsWanted::kEveryLine);
  return static_cast<std::size_t>(std::count(newText.lines.begin(), newText.lines.end(), 1));
}

std::vector<RenamePair> FindRenames(const std::vector<LineProfile>& oldFiles,
                                    const std::vector<LineProfile>& newFiles, int percent,
                                    const PairedLinesFunction& pairedLines,
                                    RenameSearchStats* stats) {
  RenameSearchStats ignored;
  return RenameSearch(oldFiles, newFiles, percent).Run(pairedLines, stats ? *stats : ignored);
}

}  // namespace quintrel
