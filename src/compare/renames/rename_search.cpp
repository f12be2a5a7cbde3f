#include "compare/renames/rename_search.h"

#include <algorithm>
#include <queue>

#include "compare/renames/shared_lines.h"
#include "engine/line_matching.h"

namespace quintrel {

namespace {

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

class RenameSearch {
 public:
  RenameSearch(const std::vector<LineProfile>& oldFiles, const std::vector<LineProfile>& newFiles,
               int percent, unsigned jobs)
      : m_oldFiles(oldFiles),
        m_newFiles(newFiles),
        m_percent(percent),
        m_lines(FindSharedLines(oldFiles, newFiles, jobs)),
        m_shared(oldFiles.size(), 0) {
    // Old files whose common lines alone could reach the threshold: they may pair with a
    // new file with which they share no other line.
    for (std::uint32_t file = 0; file < oldFiles.size(); ++file) {
      const std::size_t lines = oldFiles[file].lineCount;
      if (lines != 0 && Reaches(m_lines.commonOld[file], lines, percent))
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
  // bound of the lines they share: the rare lines counted by hash (exact but for hash
  // collisions, which only raise it), the common ones as the smaller of the two files' common
  // line counts.
  void AddCandidates(std::size_t file, CandidateQueue& queue) {
    if (m_newFiles[file].lineCount == 0) return;
    std::vector<std::uint32_t> touched;
    for (const OldShare& share : m_lines.rare[file]) {
      if (m_shared[share.oldFile] == 0) touched.push_back(share.oldFile);
      m_shared[share.oldFile] += share.lines;
    }
    const std::size_t commonNew = m_lines.commonNew[file];
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
    const std::size_t bound = std::min(rareShared + std::min(commonNew, m_lines.commonOld[old]),
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
  const SharedLines m_lines;
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
  return FindRenames(oldFiles, newFiles, percent, pairedLines, stats, 1);
}

std::vector<RenamePair> FindRenames(const std::vector<LineProfile>& oldFiles,
                                    const std::vector<LineProfile>& newFiles, int percent,
                                    const PairedLinesFunction& pairedLines,
                                    RenameSearchStats* stats, unsigned jobs) {
  RenameSearchStats ignored;
  return RenameSearch(oldFiles, newFiles, percent, jobs).Run(pairedLines, stats ? *stats : ignored);
}

}  // namespace quintrel
