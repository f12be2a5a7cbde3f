#include "compare/renames/line_profile.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "engine/statement_counter.h"

namespace quintrel {

namespace {

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
// (it grows at its end instead), so its slots hold the contents almost in hash order.
std::uint32_t LineProfiler::ContentOf(const WideKeyHash& hash, LineProfile& profile) {
  for (std::size_t at = hash.low >> m_shift;; ++at) {
    if (at == m_slots.size()) m_slots.push_back(0);
    const std::uint32_t slot = m_slots[at];
    if (slot == 0) {
      m_contents.push_back({hash.low, hash.high, 0});
      m_slots[at] = static_cast<std::uint32_t>(m_contents.size());
      return static_cast<std::uint32_t>(m_contents.size() - 1);
    }
    const Content& content = m_contents[slot - 1];
    if (content.low != hash.low) continue;
    // Counted as one content; pairs with this file are then paired by reading them.
    if (content.high != hash.high) profile.hashesCollide = true;
    return slot - 1;
  }
}

// Sorts the contents by hash from the table's slots: an insertion sort, since only
// neighbours in a run of probed slots can be out of order.
void LineProfiler::OrderContents() {
  m_order.clear();
  for (const std::uint32_t slot : m_slots) {
    if (slot == 0) continue;
    const HashOrder entry{m_contents[slot - 1].low, slot - 1};
    std::size_t at = m_order.size();
    m_order.push_back(entry);
    for (; at > 0 && entry.hash < m_order[at - 1].hash; --at) m_order[at] = m_order[at - 1];
    m_order[at] = entry;
  }
}

LineProfile LineProfiler::Profile(const SourceText& text,
                                  const std::vector<std::int32_t>* marksPerLine) {
  LineProfile profile;
  profile.lines = ArenaVector<LineCount>(ArenaAllocator<LineCount>(m_arena));
  profile.marked = ArenaVector<MarkedLine>(ArenaAllocator<MarkedLine>(m_arena));
  const std::size_t lines = text.lines.size();
  profile.lineCount = lines;
  m_hashes.resize(lines);
  HashKeysWide(LineKeys(text), lines, m_hashes.data());

  const std::size_t slots = std::bit_ceil(std::max<std::size_t>(16, lines * 2));
  m_shift = 64 - std::countr_zero(slots);
  m_slots.assign(slots, 0);
  m_contents.clear();
  // A line with marks is listed as it is met, with its content's place in first-occurrence
  // order for now: its place in hash order is known once all lines are in.
  m_marked.clear();
  const std::size_t withMarks = marksPerLine ? std::min(lines, marksPerLine->size()) : 0;
  for (std::size_t line = 0; line < lines; ++line) {
    const std::uint32_t content = ContentOf(m_hashes[line], profile);
    const std::uint32_t occurrence = m_contents[content].count++;
    if (line < withMarks && (*marksPerLine)[line] != 0)
      m_marked.push_back({content, occurrence, (*marksPerLine)[line]});
  }

  OrderContents();
  m_rank.resize(m_contents.size());
  profile.lines.reserve(m_contents.size());
  for (std::uint32_t place = 0; place < m_order.size(); ++place) {
    const Content& content = m_contents[m_order[place].content];
    m_rank[m_order[place].content] = place;
    profile.lines.push_back({content.low, content.count, static_cast<std::uint32_t>(content.high)});
  }
  if (marksPerLine == nullptr) return profile;

  profile.measured = true;
  // Sized exactly: the search keeps every profile until it has chosen.
  profile.marked.reserve(m_marked.size());
  for (MarkedLine line : m_marked) {
    line.content = m_rank[line.content];
    profile.marked.push_back(line);
    profile.marks += line.marks;
  }
  return profile;
}

LineProfile LineProfiler::ProfileLoaded(SourceText& text) {
  // Counted over the text as measuring sees it, final empty line and all.
  CountStatementsPerLine(text, m_marks);
  DropFinalLineEnd(text);
  return Profile(text, &m_marks);
}

void DropFinalLineEnd(SourceText& text) {
  if (text.bytes.empty()) {
    text.lines.clear();  // no lines at all
  } else if (text.bytes.back() == '\n') {
    text.bytes.pop_back();
    text.lines.pop_back();
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
