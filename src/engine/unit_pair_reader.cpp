#include "engine/unit_pair_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>

#include "engine/statement_counter.h"
#include "engine/unit_reader.h"

namespace quintrel {

namespace {

constexpr std::size_t kNone = UnitReader::kNoFreshLine;

// Shared stretches shorter than this are read on both sides: below it, finding a fresh line
// inside costs about what it saves.
constexpr std::size_t kWorthSkipping = 128;
// Where the versions part, the bytes at one side's position are looked for ahead in the
// other, this many at most this far ahead, so that lines added or deleted in between are
// stepped over.
constexpr std::size_t kKeySize = 32;
constexpr std::size_t kSearchWindow = 4 * 1024;
constexpr int kHitsTried = 8;
// How far both sides read on together looking for fresh lines at the same distance.
constexpr std::size_t kConvergeLimit = 1024;
// The most lines both sides step between two searches (see m_searchSpacing).
constexpr std::size_t kMostSearchSpacing = 64;

struct Bytes {
  const unsigned char* data;
  std::size_t size;
};

// The number of bytes that `a` from `atA` and `b` from `atB` have in common at their start,
// compared a word at a time.
std::size_t SharedRun(Bytes a, std::size_t atA, Bytes b, std::size_t atB) {
  const std::size_t most = std::min(a.size - atA, b.size - atB);
  const unsigned char* x = a.data + atA;
  const unsigned char* y = b.data + atB;
  std::size_t size = 0;
  for (; size + 8 <= most; size += 8) {
    std::uint64_t wordX;
    std::uint64_t wordY;
    std::memcpy(&wordX, x + size, 8);
    std::memcpy(&wordY, y + size, 8);
    if (wordX != wordY) break;
  }
  while (size < most && x[size] == y[size]) ++size;
  return size;
}

// The number of bytes both end with.
std::size_t SharedTailSize(Bytes a, Bytes b) {
  const std::size_t most = std::min(a.size, b.size);
  const unsigned char* x = a.data + a.size;
  const unsigned char* y = b.data + b.size;
  std::size_t size = 0;
  for (; size + 8 <= most; size += 8) {
    std::uint64_t wordX;
    std::uint64_t wordY;
    std::memcpy(&wordX, x - size - 8, 8);
    std::memcpy(&wordY, y - size - 8, 8);
    if (wordX != wordY) break;
  }
  while (size < most && *(x - size - 1) == *(y - size - 1)) ++size;
  return size;
}

// One version: its bytes and the reader going through them.
struct Side {
  Side(const SourceText& text, UnitList& list)
      : bytes{text.bytes.data(), text.bytes.size()}, reader(text, list, nullptr) {}

  Bytes bytes;
  UnitReader reader;
  std::size_t at = 0;  // the reader stands at a fresh line here
};

class PairReader {
 public:
  PairReader(const SourceText& oldText, const SourceText& newText, UnitList& oldList,
             UnitList& newList)
      : m_newText(newText),
        m_old(oldText, oldList),
        m_new(newText, newList),
        m_oldList(oldList),
        m_newList(newList),
        m_searchBudget(2 * (oldText.bytes.size() + newText.bytes.size())) {}

  void Read() {
    for (;;) {
      const std::size_t shared = SharedRun(m_old.bytes, m_old.at, m_new.bytes, m_new.at);
      if (m_old.at + shared == m_old.bytes.size && m_new.at + shared == m_new.bytes.size) {
        AddSharedMarks(CountStatementsFrom(m_newText, m_new.at));
        return;
      }
      if (shared >= kWorthSkipping && SkipShared(shared)) continue;
      if (!Realign(shared)) break;
    }
    FinishThroughTail();
  }

 private:
  // Both readers stand at fresh lines with `shared` equal bytes ahead. The new side reads on,
  // counting marks only, to the last fresh line whose reading looked at none of the bytes
  // after them (a step looks at most one byte past where it ends), and goes back there; the
  // old side skips as far. False when no fresh line lies inside.
  bool SkipShared(std::size_t shared) {
    UnitReader& reader = m_new.reader;
    reader.CountOnly(true);
    const std::size_t limit = m_new.at + shared - 2;
    const UnitReader::ListMark start = reader.Mark();
    std::size_t last = m_new.at;
    UnitReader::ListMark lastMark = start;
    for (;;) {
      const std::size_t at = reader.ReadToFreshLine(last + 1, limit);
      if (at == kNone) break;
      last = at;
      lastMark = reader.Mark();
    }
    const std::int64_t marks = lastMark.marks - start.marks;
    reader.RestartAt(last, start);
    reader.CountOnly(false);
    if (last == m_new.at) return false;
    m_old.reader.RestartAt(m_old.at + (last - m_new.at), m_old.reader.Mark());
    m_old.at += last - m_new.at;
    m_new.at = last;
    AddSharedMarks(marks);
    m_searchSpacing = 1;
    m_stepsToSearch = 1;
    return true;
  }

  // Where the versions part. Both first read on to their next fresh line, as most changes
  // change lines in place. When that did not bring them together, the bytes at one side's
  // position are looked for ahead in the other (lines added or deleted), and both read on
  // from there. False once either reader has ended, or both stand in the shared tail, which
  // FinishThroughTail reads better.
  bool Realign(std::size_t shared) {
    if (m_old.at >= m_oldTailStart && m_new.at >= m_newTailStart) return false;
    if (m_stepsToSearch > 0 || FirstLineShared(shared)) {
      m_stepsToSearch -= m_stepsToSearch > 0 ? 1 : 0;
      return MoveOn(m_old, m_old.at + 1) && MoveOn(m_new, m_new.at + 1);
    }
    const std::size_t inNew = Find(m_new, m_old);
    const std::size_t inOld = Find(m_old, m_new);
    if (inNew != kNone && (inOld == kNone || inNew - m_new.at <= inOld - m_old.at)) {
      return Converge(m_old.at, inNew, kConvergeLimit);
    }
    if (inOld != kNone) return Converge(inOld, m_new.at, kConvergeLimit);
    m_searchSpacing = std::min(2 * m_searchSpacing, kMostSearchSpacing);
    m_stepsToSearch = m_searchSpacing;
    return Realign(0);
  }

  // Whether the line at the old side's position is whole in the `shared` bytes: then no line
  // was added or deleted here, and a search would find nothing nearer.
  bool FirstLineShared(std::size_t shared) const {
    const void* lineEnd = std::memchr(m_old.bytes.data + m_old.at, '\n', shared);
    return lineEnd != nullptr;
  }

  static bool MoveOn(Side& side, std::size_t to) {
    const std::size_t at = side.reader.ReadToFreshLine(to);
    if (at == kNone) return false;
    side.at = at;
    return true;
  }

  // Both readers go on to fresh lines at the same distance past `oldBase` and `newBase`, each
  // taking the other's position as its next target. Gives up, with both at fresh lines, once
  // that distance passes `limit`. False when either reader has ended.
  bool Converge(std::size_t oldBase, std::size_t newBase, std::size_t limit) {
    std::size_t into = 0;
    for (;;) {
      const std::size_t oldAt = m_old.reader.ReadToFreshLine(oldBase + into);
      if (oldAt == kNone) return false;
      into = oldAt - oldBase;
      const std::size_t newAt = m_new.reader.ReadToFreshLine(newBase + into);
      if (newAt == kNone) return false;
      m_old.at = oldAt;
      m_new.at = newAt;
      if (newAt - newBase == into || newAt - newBase > limit) return true;
      into = newAt - newBase;
    }
  }

  // A line start ahead in `in` where the bytes at `of`'s position start a shared stretch worth
  // skipping, within the window and the search budget; or kNone.
  std::size_t Find(const Side& in, const Side& of) {
    if (m_searchBudget == 0 || of.bytes.size - of.at < kKeySize) return kNone;
    const unsigned char* key = of.bytes.data + of.at;
    const std::boyer_moore_horspool_searcher searcher(key, key + kKeySize);
    const unsigned char* const end =
        in.bytes.data + std::min(in.bytes.size, in.at + 1 + kSearchWindow);
    const unsigned char* from = in.bytes.data + in.at + 1;
    std::size_t result = kNone;
    for (int hit = 0; hit < kHitsTried && from < end; ++hit) {
      const unsigned char* found = searcher(from, end).first;
      if (found == end) {
        from = end;
        break;
      }
      const auto at = static_cast<std::size_t>(found - in.bytes.data);
      from = found + 1;
      if (found[-1] == '\n' && SharedRun(in.bytes, at, of.bytes, of.at) >= kWorthSkipping) {
        result = at;
        break;
      }
    }
    const auto searched = static_cast<std::size_t>(from - (in.bytes.data + in.at + 1));
    m_searchBudget -= std::min(m_searchBudget, searched);
    return result;
  }

  // The readers meet in the shared tail, and what follows is not read; or they read to the
  // end.
  void FinishThroughTail() {
    if (Converge(m_oldTailStart, m_newTailStart, kNone) &&
        m_old.at - m_oldTailStart == m_new.at - m_newTailStart) {
      AddSharedMarks(CountStatementsFrom(m_newText, m_new.at));
      return;
    }
    m_old.reader.Finish();
    m_new.reader.Finish();
  }

  void AddSharedMarks(std::int64_t marks) {
    m_oldList.marks += marks;
    m_newList.marks += marks;
  }

  const SourceText& m_newText;
  Side m_old;
  Side m_new;
  UnitList& m_oldList;
  UnitList& m_newList;
  std::size_t m_searchBudget;  // bytes the searches for where the versions meet again may read
  // Steps of both sides before the next search, and between searches: after each search
  // that finds nothing, twice as many (a long change is mostly lines changed in place).
  std::size_t m_stepsToSearch = 1;
  std::size_t m_searchSpacing = 1;
  const std::size_t m_tailSize = SharedTailSize(m_old.bytes, m_new.bytes);
  const std::size_t m_oldTailStart = m_old.bytes.size - m_tailSize;
  const std::size_t m_newTailStart = m_new.bytes.size - m_tailSize;
};

}  // namespace

void ReadStatementUnitPair(const SourceText& oldText, const SourceText& newText, UnitList& oldList,
                           UnitList& newList) {
  for (UnitList* list : {&oldList, &newList}) {
    list->bytes.clear();
    list->units.clear();
    list->marks = 0;
  }
  PairReader(oldText, newText, oldList, newList).Read();
}

}  // namespace quintrel
