#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <vector>

#include "check_report.h"
#include "engine/source_text.h"
#include "engine/statement_counter.h"
#include "engine/statement_counter_kernels.h"
#include "reference_statement_counter.h"

namespace quintrel::fuzz {

// A flag table cut from the first three input bytes: its length (none, one per line, fewer or
// more entries than lines) and a pattern of entries, 0 or any other value (all count as
// "matched" when not 0).
inline LineTable MakeFlags(std::uint8_t shape, std::uint16_t seed, std::size_t lineCount) {
  std::size_t length = lineCount;
  switch (shape & 3) {
    case 0:
      length = 0;
      break;
    case 2:
      length = lineCount - std::min<std::size_t>(lineCount, shape >> 2);
      break;
    case 3:
      length = lineCount + (shape >> 2);
      break;
  }
  static constexpr std::int32_t kValues[] = {0, 1, 0, -1, 0, 2, 0, 0x7FFFFFFF};
  LineTable flags(length);
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::int32_t& flag : flags) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    flag = kValues[state & 7];
  }
  return flags;
}

inline CheckReport CompareCounts(const char* what, StatementCounts counts,
                                 std::int64_t expectedMatched, std::int64_t expectedUnmatched) {
  if (counts.matched == expectedMatched && counts.unmatched == expectedUnmatched) return {};
  return Describe(what, ": counted ", counts.matched, " matched and ", counts.unmatched,
                  " unmatched, expected ", expectedMatched, " and ", expectedUnmatched);
}

// CountStatements credits exactly the marks that the byte-by-byte scan finds, each to the
// counter its line's flag selects (a line beyond the table counts as unmatched), so the two
// counters always add up to the same total, whatever the flags.
inline CheckReport CheckStatementCounter(const std::uint8_t* data, std::size_t size) {
  const std::size_t skip = std::min<std::size_t>(size, 3);
  SourceText text;
  text.bytes.assign(data + skip, data + size);
  const std::size_t lineCount =
      static_cast<std::size_t>(std::count(text.bytes.begin(), text.bytes.end(), '\n')) + 1;
  const std::uint8_t shape = skip > 0 ? data[0] : 1;
  const auto seed = static_cast<std::uint16_t>(skip == 3 ? data[1] | data[2] << 8 : 0);
  text.lines = MakeFlags(shape, seed, lineCount);

  const std::vector<std::int64_t> marks = ReferenceStatementCounter(text.bytes).MarksPerLine();
  if (marks.size() > lineCount) return "the byte-by-byte scan passed the last line";
  const std::int64_t total = std::accumulate(marks.begin(), marks.end(), std::int64_t{0});
  std::int64_t matched = 0;
  for (std::size_t line = 0; line < marks.size(); ++line) {
    if (line < text.lines.size() && text.lines[line] != 0) matched += marks[line];
  }
  if (CheckReport report =
          CompareCounts("given flags", CountStatements(text), matched, total - matched);
      !report.empty()) {
    return report;
  }
  // Each way of classifying bytes the processor offers, not only the one chosen.
  for (CounterKernel kernel : AvailableCounterKernels()) {
    if (CheckReport report = CompareCounts(
            "given flags, one kernel", CountStatementsWith(text, kernel), matched, total - matched);
        !report.empty()) {
      return report;
    }
  }

  text.lines.assign(lineCount, 1);
  if (CheckReport report = CompareCounts("all lines matched", CountStatements(text), total, 0);
      !report.empty()) {
    return report;
  }
  text.lines.clear();
  return CompareCounts("no line table", CountStatements(text), 0, total);
}

}  // namespace quintrel::fuzz
