#include "engine/file_pair.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <utility>

#include "support/temp_dir.h"

namespace quintrel {

void PrintTo(const FileResult& r, std::ostream* out) {
  *out << "{added " << r.added << ", deleted " << r.deleted << ", loc " << r.loc << "}";
}

namespace {

constexpr long long kTime = 1'700'000'000;

class MeasureFilePairTest : public ::testing::Test {
 protected:
  MeasureFilePairTest() {
    m_dir.MakeDir("old");
    m_dir.MakeDir("new");
  }

  std::filesystem::path WriteOld(const std::string& name, const std::string& bytes,
                                 long long time = kTime) {
    return Stamped(m_dir.Write("old/" + name, bytes), time);
  }
  std::filesystem::path WriteNew(const std::string& name, const std::string& bytes,
                                 long long time = kTime + 60) {
    return Stamped(m_dir.Write("new/" + name, bytes), time);
  }
  static std::filesystem::path Stamped(std::filesystem::path path, long long time) {
    testing::SetModificationTime(path, time);
    return path;
  }

  std::string OldFolder() const { return (m_dir.path() / "old").string(); }
  std::string NewFolder() const { return (m_dir.path() / "new").string(); }
  FileResult Measure(const std::string& name) {
    return Measure(OldFolder(), NewFolder(), name, name);
  }
  static FileResult Measure(const std::string& oldFolder, const std::string& newFolder,
                            const std::string& oldName, const std::string& newName) {
    PairWorkspace workspace;
    return MeasureFilePair(oldFolder, newFolder, oldName, newName, workspace);
  }

  testing::ScopedTempDir m_dir;
};

const std::string kThreeStatements = "#include <a.h>\nint main() {\n  return 0;\n}\n";
const std::string kOdd("a;\0b;\nc; \xFF d;\ne;", 16);
// 6 statements: a; d; { : ; #
const std::string kModes = "a; /* b;\nc; */ d;\n\"e;\nint f() { return g::h ? 1 : 2; }\n## #x";

// `lines` statements "int vK;", every tenth one renamed in the new version when `edited`.
std::string NumberedLines(int lines, bool edited) {
  std::string text;
  for (int k = 0; k < lines; ++k) {
    text += (edited && k % 10 == 0 ? "int w" : "int v") + std::to_string(k) + ";\n";
  }
  return text;
}

VersionBytes BytesOf(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  return std::span(reinterpret_cast<const unsigned char*>(text->data()), text->size());
}

// Each case is one file name, written to the folders holding a version of it, and measured
// from disk and from memory. One workspace per way measures all pairs in turn: nothing of a
// pair may leak into the next (a larger buffer from large blocks, an old side, line flags).
TEST_F(MeasureFilePairTest, MeasuresEachPairByTheRulesFromDiskAndFromMemory) {
  constexpr int kBigLines = 150'000;  // over 1 MiB per side
  const FileResult big{kBigLines / 10, kBigLines / 10, kBigLines};
  struct Case {
    const char* name;
    std::optional<std::string> oldBytes;
    std::optional<std::string> newBytes;
    long long newTime;
    FileResult expected;
  } cases[] = {
      {"big.c", NumberedLines(kBigLines, false), NumberedLines(kBigLines, true), kTime + 60, big},
      {"moved.c", "int a;\nint b;\n", "int b;\nint c;\nint a;\n", kTime + 60, {1, 0, 3}},
      {"old_only.c", kThreeStatements, std::nullopt, kTime + 60, {0, 3, 0}},
      {"unchanged.c", kThreeStatements, kThreeStatements, kTime, {0, 0, 3}},
      {"big.c", NumberedLines(kBigLines, false), NumberedLines(kBigLines, true), kTime + 60, big},
      // The same bytes at another time skip the line pairing and count every statement.
      {"newer_time.c", kThreeStatements, kThreeStatements, kTime + 60, {0, 0, 3}},
      {"same_odd.c", kOdd, kOdd, kTime + 60, {0, 0, 3}},
      {"same_modes.c", kModes, kModes, kTime + 60, {0, 0, 6}},
      // Same size and time is taken as unchanged, even if the content differs (disk only).
      {"same_stamp.c", "int a;\n", "int b;\n", kTime, {0, 0, 1}},
      {"same_size.c", "int a;\n", "int b;\n", kTime + 1, {1, 1, 1}},
      {"crlf.c", "int a;\r\nint b;\r\n", "int a;\nint b;\n", kTime + 60, {0, 0, 2}},
      {"new_only.c", std::nullopt, kThreeStatements, kTime + 60, {3, 0, 3}},
      {"nowhere.c", std::nullopt, std::nullopt, kTime + 60, {0, 0, 0}},
      // NUL is an ordinary byte; 0xFF in code ends the count; no final newline is fine.
      {"odd.c", "", kOdd, kTime + 60, {3, 0, 3}},
      {"ctrl_z.c", "x;\x1A y;\n", "x;", kTime + 60, {0, 0, 1}},  // Ctrl-Z ends the old data
  };
  const auto before = std::filesystem::current_path();
  PairWorkspace fromDisk;
  PairWorkspace inMemory;
  for (const Case& c : cases) {
    if (c.oldBytes) WriteOld(c.name, *c.oldBytes);
    if (c.newBytes) WriteNew(c.name, *c.newBytes, c.newTime);
    EXPECT_EQ(MeasureFilePair(OldFolder(), NewFolder(), c.name, c.name, fromDisk), c.expected)
        << c.name;
    if (c.newTime == kTime) continue;
    EXPECT_EQ(MeasureVersionBytes(BytesOf(c.oldBytes), BytesOf(c.newBytes), false, inMemory),
              c.expected)
        << c.name << " in memory";
  }
  EXPECT_EQ(std::filesystem::current_path(), before);
  // A pair known to be identical reads only the new version.
  const std::string oldText = "int a;\nint b;\n";
  const std::string newText = "int b;\nint c;\n";
  EXPECT_EQ(MeasureVersionBytes(BytesOf(oldText), BytesOf(newText), true, inMemory),
            (FileResult{0, 0, 2}));
  EXPECT_EQ(inMemory.loadedBytes, newText.size());
}

TEST_F(MeasureFilePairTest, EmptyFolderOrNameMakesThatSideAbsent) {
  WriteOld("a.c", kThreeStatements, kTime);
  WriteNew("a.c", kThreeStatements, kTime);
  EXPECT_EQ(Measure("", NewFolder(), "a.c", "a.c"), (FileResult{3, 0, 3}));
  EXPECT_EQ(Measure(OldFolder(), "", "a.c", "a.c"), (FileResult{0, 3, 0}));
  EXPECT_EQ(Measure("", "", "a.c", "a.c"), (FileResult{0, 0, 0}));
  EXPECT_EQ(Measure(OldFolder(), NewFolder(), "", "a.c"), (FileResult{3, 0, 3}));
  // Names may differ between the folders.
  WriteOld("A.C", "int a;\nint b;\n");
  WriteNew("b.c", "int a;\nint c;\n");
  EXPECT_EQ(Measure(OldFolder(), NewFolder() + "/", "A.C", "b.c"), (FileResult{1, 1, 2}));
}

TEST_F(MeasureFilePairTest, FoldersAndFifosAreAbsentAndDoNotBlock) {
  m_dir.MakeDir("old/lib.h");
  WriteNew("lib.h", "int a;\n");
  EXPECT_EQ(Measure("lib.h"), (FileResult{1, 0, 1}));
  m_dir.MakeDir("new/both.h");
  m_dir.MakeDir("old/both.h");
  EXPECT_EQ(Measure("both.h"), (FileResult{0, 0, 0}));
  if (!testing::MakeFifo(m_dir.path() / "old/pipe.c")) GTEST_SKIP() << "no FIFOs on this system";
  WriteNew("pipe.c", "a;\n");
  EXPECT_EQ(Measure("pipe.c"), (FileResult{1, 0, 1}));
}

TEST_F(MeasureFilePairTest, UnreadableOldFileStillTakesPartInTheIdentityTest) {
  const std::string cannotRun = testing::FilePermissionsSkipReason();
  if (!cannotRun.empty()) GTEST_SKIP() << cannotRun;
  auto old = WriteOld("a.c", "int a;\n", kTime);
  std::filesystem::permissions(old, std::filesystem::perms::none);
  WriteNew("a.c", "int b;\n", kTime);
  EXPECT_EQ(Measure("a.c"), (FileResult{0, 0, 1}));  // same size and time: unchanged
  WriteNew("a.c", "int b;\n", kTime + 1);
  EXPECT_EQ(Measure("a.c"), (FileResult{1, 0, 1}));  // compared with an absent old version
}

TEST_F(MeasureFilePairTest, UnreadableNewFileIsAbsent) {
  const std::string cannotRun = testing::FilePermissionsSkipReason();
  if (!cannotRun.empty()) GTEST_SKIP() << cannotRun;
  WriteOld("a.c", "int a;\n");
  auto newer = WriteNew("a.c", "int a;\nint b;\n");
  std::filesystem::permissions(newer, std::filesystem::perms::none);
  EXPECT_EQ(Measure("a.c"), (FileResult{0, 1, 0}));
}

}  // namespace
}  // namespace quintrel
