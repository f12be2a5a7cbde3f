#include "engine/file_pair.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <utility>

#include "engine/line_matching.h"
#include "engine/statement_counter.h"
#include "support/temp_dir.h"
#include "text_builder.h"

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
  // Each pair in a fresh workspace; reuse is tested on its own below.
  static FileResult Measure(const std::string& oldFolder, const std::string& newFolder,
                            const std::string& oldName, const std::string& newName) {
    PairWorkspace workspace;
    return MeasureFilePair(oldFolder, newFolder, oldName, newName, workspace);
  }

  testing::ScopedTempDir m_dir;
};

const std::string kThreeStatements = "#include <a.h>\nint main() {\n  return 0;\n}\n";

// Each case is one file name, written to the folders holding a version of it.
TEST_F(MeasureFilePairTest, MeasuresEachPairByTheRules) {
  struct Case {
    const char* name;
    std::optional<std::string> oldBytes;
    std::optional<std::string> newBytes;
    long long newTime;
    FileResult expected;
  } cases[] = {
      {"unchanged.c", kThreeStatements, kThreeStatements, kTime, {0, 0, 3}},
      {"newer_time.c", kThreeStatements, kThreeStatements, kTime + 60, {0, 0, 3}},
      // Same size and time is taken as unchanged, even if the content differs.
      {"same_stamp.c", "int a;\n", "int b;\n", kTime, {0, 0, 1}},
      {"same_size.c", "int a;\n", "int b;\n", kTime + 1, {1, 1, 1}},
      {"moved.c", "int a;\nint b;\n", "int b;\nint c;\nint a;\n", kTime + 60, {1, 0, 3}},
      {"crlf.c", "int a;\r\nint b;\r\n", "int a;\nint b;\n", kTime + 60, {0, 0, 2}},
      {"new_only.c", std::nullopt, kThreeStatements, kTime + 60, {3, 0, 3}},
      {"old_only.c", kThreeStatements, std::nullopt, kTime + 60, {0, 3, 0}},
      {"nowhere.c", std::nullopt, std::nullopt, kTime + 60, {0, 0, 0}},
      // NUL is an ordinary byte; 0xFF in code ends the count; no final newline is fine.
      {"odd.c", "", std::string("a;\0b;\nc; \xFF d;\ne;", 16), kTime + 60, {3, 0, 3}},
      {"ctrl_z.c", "x;\x1A y;\n", "x;", kTime + 60, {0, 0, 1}},  // Ctrl-Z ends the old data
  };
  for (const Case& c : cases) {
    if (c.oldBytes) WriteOld(c.name, *c.oldBytes);
    if (c.newBytes) WriteNew(c.name, *c.newBytes, c.newTime);
  }
  const auto before = std::filesystem::current_path();
  for (const Case& c : cases) EXPECT_EQ(Measure(c.name), c.expected) << c.name;
  EXPECT_EQ(std::filesystem::current_path(), before);
}

// Two versions with the same bytes (and different times) skip the line pairing; the result
// must be what pairing and counting both versions give.
TEST_F(MeasureFilePairTest, IdenticalTextsGiveWhatLinePairingGives) {
  const std::string texts[] = {
      kThreeStatements,
      "",
      "\n",
      "x;\nx;\ny;\nx;\n",
      "a; /* b;\nc; */ d;\n\"e;\n",
      std::string("a;\0b;\nc; \xFF d;\ne;", 16),
      "int f() { return g::h ? 1 : 2; }\n## #x\n",
      "no final newline;",
  };
  int index = 0;
  for (const std::string& text : texts) {
    const std::string name = "same" + std::to_string(index++) + ".c";
    WriteOld(name, text);
    WriteNew(name, text);
    SourceText oldText = testing::MakeText(text);
    SourceText newText = testing::MakeText(text);
    LineIndexMemory memory;
    PairLines(oldText, newText, memory);
    const StatementCounts newCounts = CountStatements(newText);
    const FileResult expected{newCounts.unmatched, CountStatements(oldText).unmatched,
                              newCounts.matched + newCounts.unmatched};
    EXPECT_EQ(Measure(name), expected) << ::testing::PrintToString(text);
  }
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

// `lines` statements "int vK;", every tenth one renamed in the new version when `edited`.
std::string NumberedLines(int lines, bool edited) {
  std::string text;
  for (int k = 0; k < lines; ++k) {
    text += (edited && k % 10 == 0 ? "int w" : "int v") + std::to_string(k) + ";\n";
  }
  return text;
}

// One workspace measures pairs of every kind in turn; nothing of a pair may leak into the
// next (a larger buffer, an old side, line flags).
TEST_F(MeasureFilePairTest, WorkspaceCarriesNothingFromPairToPair) {
  constexpr int kBigLines = 150'000;  // over 1 MiB per side: buffers from large blocks
  WriteOld("big.c", NumberedLines(kBigLines, false));
  WriteNew("big.c", NumberedLines(kBigLines, true));
  WriteOld("small.c", "int a;\nint b;\n");
  WriteNew("small.c", "int b;\nint c;\n");
  WriteOld("old_only.c", kThreeStatements);
  WriteOld("same.c", kThreeStatements);
  WriteNew("same.c", kThreeStatements, kTime);
  WriteNew("new_only.c", "x;\n");

  PairWorkspace workspace;
  const FileResult big{kBigLines / 10, kBigLines / 10, kBigLines};
  const std::pair<const char*, FileResult> sequence[] = {
      {"big.c", big},        {"small.c", {1, 1, 2}},    {"old_only.c", {0, 3, 0}}, {"big.c", big},
      {"same.c", {0, 0, 3}}, {"new_only.c", {1, 0, 1}}, {"small.c", {1, 1, 2}},
  };
  for (const auto& [name, expected] : sequence) {
    EXPECT_EQ(MeasureFilePair(OldFolder(), NewFolder(), name, name, workspace), expected) << name;
  }
}

VersionBytes BytesOf(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  return std::span(reinterpret_cast<const unsigned char*>(text->data()), text->size());
}

// Versions handed over in memory measure as the same versions on disk, one workspace
// measuring them all in turn; a known-identical pair reads only the new version.
TEST_F(MeasureFilePairTest, VersionsInMemoryMeasureAsFilesDo) {
  const struct {
    const char* name;
    std::optional<std::string> oldBytes;
    std::optional<std::string> newBytes;
  } cases[] = {
      {"big.c", NumberedLines(150'000, false), NumberedLines(150'000, true)},
      {"moved.c", "int a;\nint b;\n", "int b;\nint c;\nint a;\n"},
      {"crlf.c", "int a;\r\nint b;\r\n", "int a;\nint b;\nint c;\n"},
      {"same.c", kThreeStatements, kThreeStatements},
      {"new_only.c", std::nullopt, kThreeStatements},
      {"old_only.c", kThreeStatements, std::nullopt},
      {"nowhere.c", std::nullopt, std::nullopt},
      {"odd.c", "", std::string("a;\0b;\nc; \xFF d;\ne;", 16)},
      {"ctrl_z.c", "x;\x1A y;\n", "x;"},
  };
  PairWorkspace workspace;
  for (const auto& c : cases) {
    if (c.oldBytes) WriteOld(c.name, *c.oldBytes);
    if (c.newBytes) WriteNew(c.name, *c.newBytes);
    const FileResult fromFiles = Measure(c.name);
    EXPECT_EQ(MeasureVersionBytes(BytesOf(c.oldBytes), BytesOf(c.newBytes), false, workspace),
              fromFiles)
        << c.name;
  }
  const std::string oldText = "int a;\nint b;\n";
  const std::string newText = "int b;\nint c;\n";
  EXPECT_EQ(MeasureVersionBytes(BytesOf(oldText), BytesOf(newText), true, workspace),
            (FileResult{0, 0, 2}));
  EXPECT_EQ(workspace.loadedBytes, newText.size());
}

}  // namespace
}  // namespace quintrel
