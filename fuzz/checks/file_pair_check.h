#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "check_report.h"
#include "engine/file_pair.h"
#include "engine/greedy_reference.h"
#include "pair_folders.h"
#include "reference_statement_counter.h"
#include "split_input.h"
#include "text_mode_check.h"

namespace quintrel::fuzz {

// One version as the engine loads it, or an absent one.
inline SourceText ReferenceVersion(const std::optional<ByteBuffer>& raw) {
  SourceText text;
  if (raw) {
    text.bytes = ReferenceTextMode(*raw);
    BuildLineTable(text.bytes, text.lines);
  }
  return text;
}

// Marks on lines flagged 0 (or beyond the table), and marks in all.
struct ReferenceMarks {
  std::int64_t unmatched = 0;
  std::int64_t total = 0;
};

inline ReferenceMarks CountReferenceMarks(const SourceText& text) {
  const std::vector<std::int64_t> marks = ReferenceStatementCounter(text.bytes).MarksPerLine();
  ReferenceMarks counted;
  for (std::size_t line = 0; line < marks.size(); ++line) {
    counted.total += marks[line];
    if (line >= text.lines.size() || text.lines[line] == 0) counted.unmatched += marks[line];
  }
  return counted;
}

// The whole measurement of one name, from files on disk, against the plain pieces: the
// byte-by-byte text mode, the greedy pairing and the byte-by-byte statement scan. Bit 2 of
// the first byte gives both files the same modification time, so that equal sizes take the
// shortcut that reads no old file.
inline CheckReport CheckFilePair(const std::uint8_t* data, std::size_t size) {
  PairFolders& folders = SharedPairFolders();
  if (!folders.usable()) return "no temporary folder for the files";
  const TwoVersions versions = SplitTwoVersions(data, size);
  const bool sameTime = size > 0 && (data[0] & 4);
  folders.Place("old", versions.oldBytes, 1'000'000'000);
  folders.Place("new", versions.newBytes, sameTime ? 1'000'000'000 : 1'000'000'100);

  const bool unchanged = versions.oldBytes && versions.newBytes && sameTime &&
                         versions.oldBytes->size() == versions.newBytes->size();
  SourceText oldText = ReferenceVersion(unchanged ? std::nullopt : versions.oldBytes);
  SourceText newText = ReferenceVersion(versions.newBytes);
  testing::GreedyPairLines(oldText, newText);
  const ReferenceMarks oldMarks = CountReferenceMarks(oldText);
  const ReferenceMarks newMarks = CountReferenceMarks(newText);
  const std::int64_t added = unchanged ? 0 : newMarks.unmatched;
  const std::int64_t deleted = unchanged ? 0 : oldMarks.unmatched;

  PairWorkspace workspace;
  const FileResult result = MeasureFilePair(folders.Folder("old"), folders.Folder("new"),
                                            PairFolders::kName, PairFolders::kName, workspace);
  if (result.added != added || result.deleted != deleted || result.loc != newMarks.total) {
    return Describe("measured added ", result.added, ", deleted ", result.deleted, ", loc ",
                    result.loc, "; expected ", added, ", ", deleted, ", ", newMarks.total);
  }
  return {};
}

}  // namespace quintrel::fuzz
