#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "check_report.h"
#include "engine/file_pair.h"
#include "engine/greedy_reference.h"
#include "reference_statement_counter.h"
#include "split_input.h"
#include "text_mode_check.h"

namespace quintrel::fuzz {

// A folder with "old" and "new" subfolders for the files of one input, made once per
// process and removed at its end.
class PairFolders {
 public:
  PairFolders() {
    // create_directory reports whether it made the folder, so a taken name is never shared.
    std::random_device random;
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    for (int attempt = 0; attempt < 100 && m_root.empty() && !error; ++attempt) {
      const auto candidate = temp / ("quintrel-fuzz-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, error)) m_root = candidate;
    }
    if (m_root.empty()) return;
    std::filesystem::create_directory(m_root / "old");
    std::filesystem::create_directory(m_root / "new");
  }
  ~PairFolders() {
    std::error_code ignored;
    if (!m_root.empty()) std::filesystem::remove_all(m_root, ignored);
  }
  PairFolders(const PairFolders&) = delete;
  PairFolders& operator=(const PairFolders&) = delete;

  bool usable() const { return !m_root.empty(); }
  std::string Folder(const char* side) const { return (m_root / side).string(); }

  // Writes (or removes, for an absent version) the file `name` in `side`, with the given
  // modification time in whole seconds.
  void Place(const char* side, const std::optional<ByteBuffer>& bytes, long long mtime) const {
    const std::filesystem::path path = m_root / side / kName;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    if (!bytes) return;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes->data()),
               static_cast<std::streamsize>(bytes->size()));
    const std::chrono::sys_seconds time{std::chrono::seconds{mtime}};
    std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(time), ignored);
  }

  static constexpr const char* kName = "x.c";

 private:
  std::filesystem::path m_root;
};

inline PairFolders& SharedPairFolders() {
  static PairFolders folders;
  return folders;
}

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
