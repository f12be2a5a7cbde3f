#include "compare/renames/line_profile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "engine/line_scan.h"
#include "engine/statement_counter.h"

namespace quintrel {

namespace {

constexpr std::size_t kBatchLines = 32;

// As the statement counter reports a count: at most the largest 32-bit number.
std::int32_t Clamped(std::int64_t marks) {
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(marks, std::numeric_limits<std::int32_t>::max()));
}

// Walks the two profiles' contents in hash order and calls `both(oldIndex, newIndex)` for
// each content they share. False when a shared hash stands for different contents.
template <typename Both>
bool ForSharedContents(const LineProfile& oldFile, const LineProfile& newFile, Both both) {
  if (oldFile.hashesCollide || newFile.hashesCollide) return false;
  const ArenaVector<LineCount>& old = oldFile.lines;
  const ArenaVector<LineCount>& now = newFile.lines;
  std::size_t o = 0;
  std::size_t n = 0;
  while (o < old.size() && n < now.size()) {
    if (old[o].hash < now[n].hash) {
      ++o;
    } else if (now[n].hash < old[o].hash) {
      ++n;
    } else {
      if (old[o].check != now[n].check) return false;
      both(o++, n++);
    }
  }
  return true;
}

// The marks of a file's lines that pair with none: occurrences of a content from the
// number paired on.
std::int64_t UnpairedMarks(const LineProfile& file, const std::vector<std::uint32_t>& paired) {
  std::int64_t marks = 0;
  for (const MarkedLine& line : file.marked) {
    if (line.occurrence >= paired[line.content]) marks += line.marks;
  }
  return marks;
}

}  // namespace

// The table is ordered by the hash's top bits and probed forward without wrapping around
// (it grows at its end instead), so its slots hold the contents almost in hash order. The
// contents live in the slots: a line looks at one place in memory, and the contents are
// read in order afterwards. A free slot and a content's slot are written alike, without a
// branch that could not be foreseen: a check that differs makes the file's counts
// untrusted, whichever check the slot keeps.
inline std::uint32_t LineProfiler::SlotOf(const KeyDigest& digest, LineProfile& profile) {
  std::size_t at = digest.hash >> m_shift;
  for (;; ++at) {
    if (at == m_slots.size()) m_slots.push_back(Slot{});
    if (m_slots[at].count == 0 || m_slots[at].hash == digest.hash) break;
  }
  Slot& slot = m_slots[at];
  // Counted as one content; pairs with this file are then paired by reading them.
  profile.hashesCollide |= slot.count != 0 && slot.check != digest.check;
  slot.hash = digest.hash;
  slot.check = digest.check;
  return static_cast<std::uint32_t>(at);
}

// Sorts the contents by hash from the table's slots: gathered in slot order without a branch
// on which slots are taken, then an insertion sort, since only neighbours in a run of probed
// slots can be out of order.
void LineProfiler::OrderContents() {
  m_order.resize(m_slots.size() + 1);
  std::size_t taken = 0;
  for (std::uint32_t at = 0; at < m_slots.size(); ++at) {
    m_order[taken] = HashOrder{m_slots[at].hash, at};
    taken += m_slots[at].count != 0;
  }
  m_order.resize(taken);
  for (std::size_t next = 1; next < taken; ++next) {
    if (m_order[next].hash >= m_order[next - 1].hash) continue;
    const HashOrder entry = m_order[next];
    std::size_t place = next;
    for (; place > 0 && entry.hash < m_order[place - 1].hash; --place)
      m_order[place] = m_order[place - 1];
    m_order[place] = entry;
  }
}

// The lines of a text by its line table, as LineScan gives them.
class TableLines {
 public:
  explicit TableLines(const SourceText& text) : m_keys(text), m_count(text.lines.size()) {}

  std::size_t Next(LineKey* keys, std::size_t most) {
    const std::size_t given = std::min(most, m_count - m_next);
    for (std::size_t i = 0; i < given; ++i) keys[i] = m_keys(m_next + i);
    m_next += given;
    return given;
  }

 private:
  const LineKeys m_keys;
  const std::size_t m_count;
  std::size_t m_next = 0;
};

LineProfile LineProfiler::NewProfile(std::size_t lines) {
  LineProfile profile;
  profile.lines = ArenaVector<LineCount>(ArenaAllocator<LineCount>(m_arena));
  profile.marked = ArenaVector<MarkedLine>(ArenaAllocator<MarkedLine>(m_arena));
  profile.lineCount = lines;
  // Most files have fewer distinct contents than two thirds of their lines: the table is
  // seldom more than half full.
  const std::size_t slots = std::bit_ceil(std::max<std::size_t>(16, lines + lines / 2));
  m_shift = 64 - std::countr_zero(slots);
  m_slots.assign(slots, Slot{});
  m_lineSlots.resize(lines);
  return profile;
}

// The lines are digested a batch ahead of counting, their first slots fetched meanwhile: the
// table of a large file is beyond the cache, and each line would wait for its slot.
template <typename Lines>
void LineProfiler::CountContents(Lines lines, const unsigned char* readable, LineProfile& profile) {
  LineKey keys[kBatchLines];
  KeyDigest digests[kBatchLines];
  std::size_t line = 0;
  const std::size_t total = profile.lineCount;
  while (const std::size_t count = lines.Next(keys, std::min(kBatchLines, total - line))) {
    for (std::size_t i = 0; i < count; ++i) {
      digests[i] = DigestKey(keys[i], readable);
      __builtin_prefetch(&m_slots[digests[i].hash >> m_shift]);
    }
    for (std::size_t i = 0; i < count; ++i, ++line) {
      const std::uint32_t slot = SlotOf(digests[i], profile);
      m_lineSlots[line] = LineSlot{slot, m_slots[slot].count++};
    }
  }
}

// The contents in hash order into the profile, and with `marksPerLine` (at least one entry
// per line) the lines with marks.
void LineProfiler::Finish(const std::int32_t* marksPerLine, LineProfile& profile) {
  OrderContents();
  m_rank.resize(m_slots.size());
  profile.lines.reserve(m_order.size());
  for (std::uint32_t place = 0; place < m_order.size(); ++place) {
    m_rank[m_order[place].slot] = place;
    profile.lines.push_back(m_slots[m_order[place].slot]);
  }
  if (marksPerLine == nullptr) return;

  profile.measured = true;
  // Every line is written and only those with marks kept, without a branch on which do;
  // then copied, sized exactly: the search keeps every profile until it has chosen.
  m_marked.resize(profile.lineCount);
  std::size_t marked = 0;
  std::uint32_t widest = 0;  // of the occurrences and marks, all bits together
  for (std::size_t line = 0; line < profile.lineCount; ++line) {
    const LineSlot& at = m_lineSlots[line];
    const auto marks = static_cast<std::uint32_t>(marksPerLine[line]);
    m_marked[marked] = MarkedLine{m_rank[at.slot], static_cast<std::uint16_t>(at.occurrence),
                                  static_cast<std::uint16_t>(marks)};
    widest |= at.occurrence | marks;
    profile.marks += marksPerLine[line];
    marked += marks != 0;
  }
  profile.marksUntold = widest > 0xFFFF;
  profile.marked.assign(m_marked.begin(), m_marked.begin() + static_cast<std::ptrdiff_t>(marked));
}

LineProfile LineProfiler::Profile(const SourceText& text,
                                  const std::vector<std::int32_t>* marksPerLine) {
  LineProfile profile = NewProfile(text.lines.size());
  CountContents(TableLines(text), text.bytes.data() + text.bytes.size(), profile);
  if (marksPerLine == nullptr) {
    Finish(nullptr, profile);
    return profile;
  }
  // Lines past the given marks have none.
  m_marks.assign(marksPerLine->begin(),
                 marksPerLine->begin() + static_cast<std::ptrdiff_t>(
                                             std::min(marksPerLine->size(), profile.lineCount)));
  m_marks.resize(profile.lineCount, 0);
  Finish(m_marks.data(), profile);
  return profile;
}

LineProfile LineProfiler::ProfileLoaded(SourceText& text) {
  const ByteBuffer& bytes = text.bytes;
  // A content ends at kEndMarker too: a text that holds one is taken line by line from its
  // table. Most texts hold none, and are read in one pass without a table.
  if (!bytes.empty() && std::memchr(bytes.data(), kEndMarker, bytes.size()) != nullptr) {
    if (text.lines.empty()) BuildLineTable(bytes, text.lines);
    // Counted over the text as measuring sees it, final empty line and all.
    CountStatementsPerLine(text, m_marks);
    DropFinalLineEnd(text);
    LineProfile profile = NewProfile(text.lines.size());
    CountContents(TableLines(text), bytes.data() + bytes.size(), profile);
    Finish(m_marks.data(), profile);
    return profile;
  }
  const std::size_t ends = CountLineEnds(bytes.data(), bytes.size());
  CountStatementsPerLine(bytes, ends + 1, m_marks);
  const bool finalEnd = !bytes.empty() && bytes.back() == '\n';
  // The bytes past the last line stay readable for the digest.
  const unsigned char* const readable = bytes.data() + bytes.size();
  LineProfile profile = NewProfile(bytes.empty() ? 0 : ends + 1 - finalEnd);
  if (profile.lineCount != 0)
    CountContents(LineScan(bytes.data(), bytes.size() - finalEnd), readable, profile);
  Finish(m_marks.data(), profile);
  DropFinalLineEnd(text);
  return profile;
}

void DropFinalLineEnd(SourceText& text) {
  if (text.bytes.empty()) {
    text.lines.clear();  // no lines at all
  } else if (text.bytes.back() == '\n') {
    text.bytes.pop_back();
    if (!text.lines.empty()) text.lines.pop_back();
  }
}

LineProfile ProfileLines(const SourceText& text) {
  return LineProfiler().Profile(text);
}

std::optional<std::size_t> PairedNewLines(const LineProfile& oldFile, const LineProfile& newFile) {
  std::size_t paired = 0;
  const bool told = ForSharedContents(oldFile, newFile, [&](std::size_t o, std::size_t n) {
    paired += std::min(oldFile.lines[o].count, newFile.lines[n].count);
  });
  if (!told) return std::nullopt;
  return paired;
}

std::optional<FileResult> MeasureProfiles(const LineProfile& oldFile, const LineProfile& newFile) {
  if (oldFile.marksUntold || newFile.marksUntold) return std::nullopt;
  // Each content's first min(old count, new count) occurrences pair on both sides.
  std::vector<std::uint32_t> oldPaired(oldFile.lines.size(), 0);
  std::vector<std::uint32_t> newPaired(newFile.lines.size(), 0);
  const bool told = ForSharedContents(oldFile, newFile, [&](std::size_t o, std::size_t n) {
    oldPaired[o] = newPaired[n] = std::min(oldFile.lines[o].count, newFile.lines[n].count);
  });
  if (!told) return std::nullopt;
  const std::int64_t added = UnpairedMarks(newFile, newPaired);
  FileResult result;
  result.added = Clamped(added);
  result.loc = Clamped(newFile.marks - added) + result.added;
  result.deleted = Clamped(UnpairedMarks(oldFile, oldPaired));
  return result;
}

FileResult MeasureNewOnly(const LineProfile& newFile) {
  FileResult result;
  result.added = result.loc = Clamped(newFile.marks);
  return result;
}

FileResult MeasureOldOnly(const LineProfile& oldFile) {
  FileResult result;
  result.deleted = Clamped(oldFile.marks);
  return result;
}

FileResult MeasureUnchanged(const LineProfile& newFile) {
  FileResult result;
  result.loc = Clamped(newFile.marks);
  return result;
}

}  // namespace quintrel
