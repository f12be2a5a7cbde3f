#include "engine/file_pair.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <string>

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
    return Write("old/" + name, bytes, time);
  }
  std::filesystem::path WriteNew(const std::string& name, const std::string& bytes,
                                 long long time = kTime + 60) {
    return Write("new/" + name, bytes, time);
  }
  std::filesystem::path Write(const std::string& relative, const std::string& bytes,
                              long long time) {
    auto path = m_dir.Write(relative, bytes);
    testing::SetModificationTime(path, time);
    return path;
  }

  std::string OldFolder() const { return (m_dir.path() / "old").string(); }
  std::string NewFolder() const { return (m_dir.path() / "new").string(); }
  FileResult Measure(const std::string& name) {
    return MeasureFilePair(OldFolder(), NewFolder(), name);
  }

  testing::ScopedTempDir m_dir;
};

const std::string kThreeStatements = "#include <a.h>\nint main() {\n  return 0;\n}\n";

TEST_F(MeasureFilePairTest, UnchangedCopyWithTimeKept) {
  WriteOld("a.c", kThreeStatements, kTime);
  WriteNew("a.c", kThreeStatements, kTime);
  EXPECT_EQ(Measure("a.c"), (FileResult{0, 0, 3}));
}

TEST_F(MeasureFilePairTest, SameContentNewerTimeComparesEqual) {
  WriteOld("a.c", kThreeStatements);
  WriteNew("a.c", kThreeStatements);
  EXPECT_EQ(Measure("a.c"), (FileResult{0, 0, 3}));
}

TEST_F(MeasureFilePairTest, SameSizeAndTimeIsTakenAsUnchangedEvenIfContentDiffers) {
  WriteOld("a.c", "int a;\n", kTime);
  WriteNew("a.c", "int b;\n", kTime);
  EXPECT_EQ(Measure("a.c"), (FileResult{0, 0, 1}));
}

TEST_F(MeasureFilePairTest, SameSizeDifferentTimeIsCompared) {
  WriteOld("a.c", "int a;\n", kTime);
  WriteNew("a.c", "int b;\n", kTime + 1);
  EXPECT_EQ(Measure("a.c"), (FileResult{1, 1, 1}));
}

TEST_F(MeasureFilePairTest, MovedAndAddedLines) {
  WriteOld("a.c", "int a;\nint b;\n");
  WriteNew("a.c", "int b;\nint c;\nint a;\n");
  EXPECT_EQ(Measure("a.c"), (FileResult{1, 0, 3}));
}

TEST_F(MeasureFilePairTest, CrLfAndLfVersionsPairEveryLine) {
  WriteOld("a.c", "int a;\r\nint b;\r\n");
  WriteNew("a.c", "int a;\nint b;\n");
  EXPECT_EQ(Measure("a.c"), (FileResult{0, 0, 2}));
}

TEST_F(MeasureFilePairTest, OneSidedFiles) {
  WriteNew("new_only.c", kThreeStatements);
  WriteOld("old_only.c", kThreeStatements);
  EXPECT_EQ(Measure("new_only.c"), (FileResult{3, 0, 3}));
  EXPECT_EQ(Measure("old_only.c"), (FileResult{0, 3, 0}));
  EXPECT_EQ(Measure("nowhere.c"), (FileResult{0, 0, 0}));
}

TEST_F(MeasureFilePairTest, EmptyFolderOrNameMakesThatSideAbsent) {
  WriteOld("a.c", kThreeStatements, kTime);
  WriteNew("a.c", kThreeStatements, kTime);
  EXPECT_EQ(MeasureFilePair("", NewFolder(), "a.c"), (FileResult{3, 0, 3}));
  EXPECT_EQ(MeasureFilePair(OldFolder(), "", "a.c"), (FileResult{0, 3, 0}));
  EXPECT_EQ(MeasureFilePair("", "", "a.c"), (FileResult{0, 0, 0}));
  EXPECT_EQ(MeasureFilePair(OldFolder(), NewFolder(), "", "a.c"), (FileResult{3, 0, 3}));
}

TEST_F(MeasureFilePairTest, NamesMayDifferBetweenFolders) {
  WriteOld("A.C", "int a;\nint b;\n");
  WriteNew("a.c", "int a;\nint c;\n");
  EXPECT_EQ(MeasureFilePair(OldFolder(), NewFolder() + "/", "A.C", "a.c"), (FileResult{1, 1, 2}));
}

TEST_F(MeasureFilePairTest, FolderNamedLikeASourceFileIsAbsent) {
  m_dir.MakeDir("old/lib.h");
  WriteNew("lib.h", "int a;\n");
  EXPECT_EQ(Measure("lib.h"), (FileResult{1, 0, 1}));
  m_dir.MakeDir("new/both.h");
  m_dir.MakeDir("old/both.h");
  EXPECT_EQ(Measure("both.h"), (FileResult{0, 0, 0}));
}

TEST_F(MeasureFilePairTest, FifoIsAbsentAndDoesNotBlock) {
  ASSERT_EQ(mkfifo((m_dir.path() / "old/pipe.c").c_str(), 0600), 0);
  WriteNew("pipe.c", "a;\n");
  EXPECT_EQ(Measure("pipe.c"), (FileResult{1, 0, 1}));
}

TEST_F(MeasureFilePairTest, UnreadableOldFileStillTakesPartInTheIdentityTest) {
  if (testing::IgnoresFilePermissions()) GTEST_SKIP() << "permissions are not enforced for root";
  auto old = WriteOld("a.c", "int a;\n", kTime);
  std::filesystem::permissions(old, std::filesystem::perms::none);
  WriteNew("a.c", "int b;\n", kTime);
  EXPECT_EQ(Measure("a.c"), (FileResult{0, 0, 1}));  // same size and time: unchanged
  WriteNew("a.c", "int b;\n", kTime + 1);
  EXPECT_EQ(Measure("a.c"), (FileResult{1, 0, 1}));  // compared with an absent old version
}

TEST_F(MeasureFilePairTest, UnreadableNewFileIsAbsent) {
  if (testing::IgnoresFilePermissions()) GTEST_SKIP() << "permissions are not enforced for root";
  WriteOld("a.c", "int a;\n");
  auto newer = WriteNew("a.c", "int a;\nint b;\n");
  std::filesystem::permissions(newer, std::filesystem::perms::none);
  EXPECT_EQ(Measure("a.c"), (FileResult{0, 1, 0}));
}

TEST_F(MeasureFilePairTest, OddBytesAreMeasuredByTheRules) {
  WriteOld("a.c", "");
  WriteNew("a.c", std::string("a;\0b;\nc; \xFF d;\ne;", 16));
  // NUL is an ordinary byte; 0xFF in code ends the count; no final newline is fine.
  EXPECT_EQ(Measure("a.c"), (FileResult{3, 0, 3}));
  WriteOld("z.c", "x;\x1A y;\n");
  WriteNew("z.c", "x;");
  EXPECT_EQ(Measure("z.c"), (FileResult{0, 0, 1}));  // Ctrl-Z ends the old data
}

TEST_F(MeasureFilePairTest, LeavesTheCurrentDirectoryAlone) {
  WriteOld("a.c", "int a;\n");
  WriteNew("a.c", "int b;\n");
  auto before = std::filesystem::current_path();
  Measure("a.c");
  EXPECT_EQ(std::filesystem::current_path(), before);
}

}  // namespace
}  // namespace quintrel
