#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "check_report.h"
#include "engine/greedy_reference.h"
#include "engine/line_matching.h"
#include "split_input.h"

namespace quintrel::fuzz {

inline SourceText MakeVersion(const std::optional<ByteBuffer>& bytes) {
  SourceText text;
  if (bytes) {
    text.bytes = *bytes;
    BuildLineTable(text.bytes, text.lines);
  }
  return text;
}

// The line at `start`: its bytes up to the first '\n', 0xFF or the end of the text.
inline std::string_view LineContent(const SourceText& text, std::int64_t start) {
  if (start < 0 || start >= static_cast<std::int64_t>(text.bytes.size())) return {};
  const auto* begin = reinterpret_cast<const char*>(text.bytes.data()) + start;
  std::string_view rest(begin, text.bytes.size() - static_cast<std::size_t>(start));
  return rest.substr(0, rest.find_first_of(std::string_view("\n\xFF", 2)));
}

inline CheckReport CheckLinesEqual(const SourceText& a, const SourceText& b, std::int64_t startA,
                                   std::int64_t startB) {
  const bool expected = LineContent(a, startA) == LineContent(b, startB);
  if (testing::LinesEqual(a, b, startA, startB) != expected ||
      testing::LinesEqual(b, a, startB, startA) != expected) {
    return Describe("LinesEqual at ", startA, " and ", startB, " should be ", expected);
  }
  return {};
}

inline CheckReport CompareFlags(const char* side, const LineTable& fast,
                                const LineTable& reference) {
  if (fast == reference) return {};
  const auto differ = std::mismatch(fast.begin(), fast.end(), reference.begin(), reference.end());
  return Describe(side, " flags differ from the greedy pairing at line ",
                  differ.first - fast.begin(), ": ", fast.size(), " flags ", Join(fast),
                  ", expected ", reference.size(), " flags ", Join(reference));
}

inline std::uint64_t LengthAsHash(const LineKey& key) {
  return key.size;
}

// PairLines gives exactly the flags of the plain greedy pairing, one 0 or 1 per line, and
// the greedy pairing's LinesEqual compares line contents, also at offsets past the end of a
// text.
inline CheckReport CheckLineMatching(const std::uint8_t* data, std::size_t size) {
  const TwoVersions versions = SplitTwoVersions(data, size);
  SourceText oldFast = MakeVersion(versions.oldBytes);
  SourceText newFast = MakeVersion(versions.newBytes);
  const LineTable oldStarts = oldFast.lines;
  const LineTable newStarts = newFast.lines;

  const std::size_t diagonal = std::min(oldStarts.size(), newStarts.size());
  for (std::size_t line = 0; line < diagonal; ++line) {
    if (CheckReport report = CheckLinesEqual(oldFast, newFast, oldStarts[line], newStarts[line]);
        !report.empty()) {
      return report;
    }
  }
  const auto pastOld = static_cast<std::int64_t>(oldFast.bytes.size());
  for (std::int64_t newStart : newStarts) {
    if (CheckReport report = CheckLinesEqual(oldFast, newFast, pastOld + 1, newStart);
        !report.empty()) {
      return report;
    }
  }

  SourceText oldReference = oldFast;
  SourceText newReference = newFast;
  testing::GreedyPairLines(oldReference, newReference);
  // The real hash, and one that makes every two lines of one length collide.
  LineIndexMemory memory;
  for (LineHash hash : {LineHash{nullptr}, &LengthAsHash}) {
    SourceText oldPaired = MakeVersion(versions.oldBytes);
    SourceText newPaired = MakeVersion(versions.newBytes);
    PairLines(oldPaired, newPaired, memory, FlagsWanted::kEveryLine, hash);
    if (oldPaired.bytes != oldReference.bytes || newPaired.bytes != newReference.bytes) {
      return "pairing changed the bytes of a text";
    }
    if (CheckReport report = CompareFlags("old", oldPaired.lines, oldReference.lines);
        !report.empty()) {
      return report;
    }
    if (CheckReport report = CompareFlags("new", newPaired.lines, newReference.lines);
        !report.empty()) {
      return report;
    }
  }
  return {};
}

}  // namespace quintrel::fuzz
