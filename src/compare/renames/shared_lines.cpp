#include "compare/renames/shared_lines.h"

#include <algorithm>
#include <bit>
#include <exception>

#include "compare/run/parallel_work.h"

namespace quintrel {

namespace {

// The hashes are joined a window of their top bits at a time. Every profile holds its lines
// in hash order, so each file gives a window the run of lines at its cursor, and the index of
// one window's old lines stays in the cache while all new files look theirs up in it. One
// index of all old lines cost a cache miss or two per line, to build it and to look up.
// A window holds about this many old lines, or one per file if that is more: every window
// looks at every file's cursor.
constexpr std::size_t kWindowLines = 4096;

class Windows {
 public:
  Windows(std::size_t oldLines, std::size_t files) {
    const std::size_t perWindow = std::max(kWindowLines, files);
    m_count = std::bit_floor(std::max<std::size_t>(2, oldLines / perWindow));
    m_shift = 64 - std::countr_zero(m_count);
  }

  std::uint64_t Count() const { return m_count; }
  std::uint64_t Of(std::uint64_t hash) const { return hash >> m_shift; }

 private:
  std::uint64_t m_count;
  int m_shift;  // at most 63: there are two windows at least
};

struct Entry {
  std::uint64_t hash;
  std::uint32_t file;
  std::uint32_t count;
};

struct Posting {
  std::uint32_t file;
  std::uint32_t count;
  std::uint32_t next;  // the hash's next posting + 1; 0 after the last
};

struct Slot {
  std::uint64_t hash = 0;
  std::uint32_t first = 0;     // the hash's first posting + 1
  std::uint32_t postings = 0;  // 0: a free slot
};

// The old lines of one window by hash, each hash with its postings (an old file and its count).
class WindowIndex {
 public:
  void Build(const std::vector<Entry>& entries) {
    m_slots.assign(std::bit_ceil(std::max<std::size_t>(16, entries.size() * 2)), Slot{});
    m_postings.clear();
    m_common.clear();
    for (const Entry& entry : entries) {
      const std::size_t at = SlotOf(entry.hash);
      Slot& slot = m_slots[at];
      slot.hash = entry.hash;
      m_postings.push_back({entry.file, entry.count, slot.first});
      slot.first = static_cast<std::uint32_t>(m_postings.size());
      if (++slot.postings == kCommonPostings + 1)
        m_common.push_back(static_cast<std::uint32_t>(at));
    }
  }

  // The slot of a hash: postings 0 when no old file holds it.
  const Slot& Find(std::uint64_t hash) const { return m_slots[SlotOf(hash)]; }

  template <typename Visit>
  void ForPostings(const Slot& slot, Visit visit) const {
    for (std::uint32_t at = slot.first; at != 0; at = m_postings[at - 1].next) {
      visit(m_postings[at - 1]);
    }
  }

  void AddCommonLines(std::vector<std::size_t>& commonOld) const {
    for (const std::uint32_t at : m_common) {
      ForPostings(m_slots[at],
                  [&](const Posting& posting) { commonOld[posting.file] += posting.count; });
    }
  }

 private:
  // The hashes of a window share their top bits; the low ones place them.
  std::size_t SlotOf(std::uint64_t hash) const {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t at = hash & mask;
    while (m_slots[at].postings != 0 && m_slots[at].hash != hash) at = (at + 1) & mask;
    return at;
  }

  std::vector<Slot> m_slots;
  std::vector<Posting> m_postings;
  std::vector<std::uint32_t> m_common;  // the slots of the common hashes
};

// A file's run of lines in one window is a few cache lines, too short for the processor to
// see a stream in; the next window's run is fetched while the other files are joined.
void PrefetchNextRun(const ArenaVector<LineCount>& lines, std::size_t at, std::uint64_t windows) {
  constexpr std::size_t kPerCacheLine = 64 / sizeof(LineCount);
  const std::size_t end = std::min(lines.size(), at + lines.size() / windows + kPerCacheLine);
  for (; at < end; at += kPerCacheLine) __builtin_prefetch(&lines[at]);
}

// Calls `take(file, line)` for the lines of window `window` at each file's cursor, and moves
// the cursors past them.
template <typename Take>
void TakeWindow(const std::vector<LineProfile>& files, std::vector<std::size_t>& cursors,
                const Windows& windows, std::uint64_t window, Take take) {
  for (std::uint32_t file = 0; file < files.size(); ++file) {
    const ArenaVector<LineCount>& lines = files[file].lines;
    std::size_t& at = cursors[file];
    for (; at < lines.size() && windows.Of(lines[at].hash) == window; ++at) take(file, lines[at]);
    PrefetchNextRun(lines, at, windows.Count());
  }
}

void ShareLine(const WindowIndex& index, std::uint32_t file, const LineCount& line,
               SharedLines& shared) {
  const Slot& slot = index.Find(line.hash);
  if (slot.postings == 0) return;
  if (slot.postings > kCommonPostings) {
    shared.commonNew[file] += line.count;
    return;
  }
  std::vector<OldShare>& shares = shared.rare[file];
  index.ForPostings(slot, [&](const Posting& posting) {
    const std::uint32_t lines = std::min(posting.count, line.count);
    // A renamed file shares run after run of lines with one old file: one share for the run.
    if (!shares.empty() && shares.back().oldFile == posting.file) {
      shares.back().lines += lines;
    } else {
      shares.push_back({posting.file, lines});
    }
  });
}

// The files' cursors at the first line of window `window` or after.
std::vector<std::size_t> CursorsAt(const std::vector<LineProfile>& files, const Windows& windows,
                                   std::uint64_t window) {
  std::vector<std::size_t> cursors;
  cursors.reserve(files.size());
  for (const LineProfile& file : files) {
    const auto first =
        std::partition_point(file.lines.begin(), file.lines.end(),
                             [&](const LineCount& line) { return windows.Of(line.hash) < window; });
    cursors.push_back(static_cast<std::size_t>(first - file.lines.begin()));
  }
  return cursors;
}

SharedLines EmptyShares(std::size_t oldFiles, std::size_t newFiles) {
  SharedLines shared;
  shared.rare.resize(newFiles);
  shared.commonNew.assign(newFiles, 0);
  shared.commonOld.assign(oldFiles, 0);
  return shared;
}

// What the files share through the hashes of windows `first` to `end` - 1.
SharedLines JoinWindows(const std::vector<LineProfile>& oldFiles,
                        const std::vector<LineProfile>& newFiles, const Windows& windows,
                        std::uint64_t first, std::uint64_t end) {
  SharedLines shared = EmptyShares(oldFiles.size(), newFiles.size());
  std::vector<std::size_t> oldCursors = CursorsAt(oldFiles, windows, first);
  std::vector<std::size_t> newCursors = CursorsAt(newFiles, windows, first);
  std::vector<Entry> entries;
  WindowIndex index;
  for (std::uint64_t window = first; window < end; ++window) {
    entries.clear();
    TakeWindow(oldFiles, oldCursors, windows, window,
               [&](std::uint32_t file, const LineCount& line) {
                 entries.push_back({line.hash, file, line.count});
               });
    index.Build(entries);
    index.AddCommonLines(shared.commonOld);
    TakeWindow(newFiles, newCursors, windows, window,
               [&](std::uint32_t file, const LineCount& line) {
                 if (newFiles[file].lineCount != 0) ShareLine(index, file, line, shared);
               });
  }
  return shared;
}

void AddShares(SharedLines& total, const SharedLines& part) {
  for (std::size_t file = 0; file < total.rare.size(); ++file) {
    total.rare[file].insert(total.rare[file].end(), part.rare[file].begin(), part.rare[file].end());
    total.commonNew[file] += part.commonNew[file];
  }
  for (std::size_t file = 0; file < total.commonOld.size(); ++file)
    total.commonOld[file] += part.commonOld[file];
}

}  // namespace

SharedLines FindSharedLines(const std::vector<LineProfile>& oldFiles,
                            const std::vector<LineProfile>& newFiles, unsigned jobs) {
  std::size_t oldLines = 0;
  for (const LineProfile& file : oldFiles) oldLines += file.lines.size();
  const Windows windows(oldLines, oldFiles.size() + newFiles.size());
  // The windows are split into as many parts as there are workers, each joined on its own.
  const std::size_t parts = WorkerCount(jobs, windows.Count());
  std::vector<SharedLines> joined(parts);
  ParallelWork work;
  work.items = parts;
  work.jobs = jobs;
  work.newWorker = [&]() -> ItemWork {
    return [&](std::size_t part) {
      joined[part] = JoinWindows(oldFiles, newFiles, windows, windows.Count() * part / parts,
                                 windows.Count() * (part + 1) / parts);
    };
  };
  const WorkOutcome outcome = RunParallel(work);
  if (outcome.failure) std::rethrow_exception(outcome.failure);
  SharedLines shared = std::move(joined[0]);
  for (std::size_t part = 1; part < parts; ++part) AddShares(shared, joined[part]);
  return shared;
}

}  // namespace quintrel
