#include "engine/statement_units.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/statement_counter.h"
#include "engine/unit_reader.h"

namespace quintrel {

namespace {

void ClearList(UnitList& list) {
  list.bytes.clear();
  list.units.clear();
  list.marks = 0;
}

// The number of bytes both texts end with, compared a word at a time.
std::size_t SharedTailSize(const ByteBuffer& a, const ByteBuffer& b) {
  const std::size_t most = std::min(a.size(), b.size());
  const unsigned char* endA = a.data() + a.size();
  const unsigned char* endB = b.data() + b.size();
  std::size_t size = 0;
  while (size + 8 <= most) {
    std::uint64_t wordA;
    std::uint64_t wordB;
    std::memcpy(&wordA, endA - size - 8, 8);
    std::memcpy(&wordB, endB - size - 8, 8);
    if (wordA != wordB) break;
    size += 8;
  }
  while (size < most && endA[-1 - static_cast<std::ptrdiff_t>(size)] ==
                            endB[-1 - static_cast<std::ptrdiff_t>(size)]) {
    ++size;
  }
  return size;
}

// Moves both readers on to a line start at the same distance into the shared tail where
// both are fresh, each reader taking the other's position as its next target. Returns that
// distance, or nothing when either reader ran out first.
std::size_t ReadToSharedFreshLine(UnitReader& oldReader, std::size_t oldTail, UnitReader& newReader,
                                  std::size_t newTail) {
  std::size_t into = 0;
  for (;;) {
    const std::size_t oldAt = oldReader.ReadToFreshLine(oldTail + into);
    if (oldAt == UnitReader::kNoFreshLine) return UnitReader::kNoFreshLine;
    into = oldAt - oldTail;
    const std::size_t newAt = newReader.ReadToFreshLine(newTail + into);
    if (newAt == UnitReader::kNoFreshLine) return UnitReader::kNoFreshLine;
    if (newAt - newTail == into) return into;
    into = newAt - newTail;
  }
}

}  // namespace

void ReadStatementUnits(const SourceText& text, UnitList& list, UnitHash hash) {
  ClearList(list);
  UnitReader(text, list, hash).Finish();
}

void ReadStatementUnitPair(const SourceText& oldText, const SourceText& newText, UnitList& oldList,
                           UnitList& newList) {
  ClearList(oldList);
  ClearList(newList);
  UnitReader oldReader(oldText, oldList, nullptr);
  UnitReader newReader(newText, newList, nullptr);
  const std::size_t tail = SharedTailSize(oldText.bytes, newText.bytes);
  const std::size_t oldTail = oldText.bytes.size() - tail;
  const std::size_t newTail = newText.bytes.size() - tail;
  const std::size_t into = tail == 0
                               ? UnitReader::kNoFreshLine
                               : ReadToSharedFreshLine(oldReader, oldTail, newReader, newTail);
  if (into == UnitReader::kNoFreshLine) {
    oldReader.Finish();
    newReader.Finish();
    return;
  }
  const std::int64_t tailMarks = CountStatementsFrom(newText, newTail + into);
  oldList.marks += tailMarks;
  newList.marks += tailMarks;
}

}  // namespace quintrel
