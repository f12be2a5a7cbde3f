#include "engine/input_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/deep_tree.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

std::string AsString(const ByteBuffer& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

class InputFileTest : public ::testing::Test {
 protected:
  testing::ScopedTempDir m_dir;
};

// Read through a moved-to object: destroying the moved-from one must not close the handle.
TEST_F(InputFileTest, ReadsEveryByteValueInPlaceOfOldContent) {
  std::string content;
  for (int i = 0; i < 256; ++i) content += static_cast<char>(i);
  for (const std::string& bytes : {content, std::string()}) {
    const auto path = m_dir.Write("all.c", bytes);
    testing::SetModificationTime(path, 1'600'000'000);
    std::optional<InputFile> opened = InputFile::Open(path.string());
    ASSERT_TRUE(opened);
    InputFile file = std::move(*opened);
    opened.reset();
    const FileStatus status{static_cast<std::int64_t>(bytes.size()), 1'600'000'000};
    EXPECT_EQ(file.Status(), status);
    EXPECT_EQ(QueryStatus(path.string()), status);
    ByteBuffer read = {1, 2, 3};
    ASSERT_TRUE(file.ReadAll(read));
    EXPECT_EQ(AsString(read), bytes);
  }
}

// Folders and missing files have no size; a FIFO must be refused at once rather than
// waiting for a writer.
TEST_F(InputFileTest, OpensOnlyRegularFiles) {
  const std::string missing = (m_dir.path() / "missing.c").string();
  const std::string folder = m_dir.MakeDir("lib.h").string();
  for (const std::string& path : {missing, folder}) EXPECT_FALSE(InputFile::Open(path)) << path;
  EXPECT_EQ(QueryStatus(missing).size, -1);
  EXPECT_EQ(QueryStatus(folder).size, -1);
  const std::filesystem::path fifo = m_dir.path() / "pipe.c";
  if (!testing::MakeFifo(fifo)) GTEST_SKIP() << "no FIFOs on this system";
  EXPECT_FALSE(InputFile::Open(fifo.string()));
}

TEST_F(InputFileTest, QueryStatusWorksOnAFileThatCannotBeOpened) {
  const std::string cannotRun = testing::FilePermissionsSkipReason();
  if (!cannotRun.empty()) GTEST_SKIP() << cannotRun;
  auto path = m_dir.Write("secret.c", "abc");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  EXPECT_FALSE(InputFile::Open(path.string()));
  EXPECT_EQ(QueryStatus(path.string()).size, 3);
}

// /proc files report size 0 but have content: reading goes on past the reported size, and
// a file longer than that is cut off at the limit while it is read.
TEST_F(InputFileTest, RefusesMoreThanTheLimit) {
  std::string path = m_dir.Write("ten.c", "0123456789").string();
  ByteBuffer bytes;
  EXPECT_FALSE(InputFile::Open(path)->ReadAll(bytes, 9));
  EXPECT_TRUE(bytes.empty());
  EXPECT_TRUE(InputFile::Open(path)->ReadAll(bytes, 10));
  EXPECT_EQ(AsString(bytes), "0123456789");

  std::optional<InputFile> proc = InputFile::Open("/proc/self/status");
  if (!proc || proc->Status().size != 0) GTEST_SKIP() << "no /proc file with size 0";
  EXPECT_FALSE(proc->ReadAll(bytes, 16));
  EXPECT_TRUE(bytes.empty());
  ASSERT_TRUE(InputFile::Open("/proc/self/status")->ReadAll(bytes));
  EXPECT_NE(AsString(bytes).find("Name:"), std::string::npos);
}

TEST(JoinPathTest, AddsOneSeparator) {
  EXPECT_EQ(JoinPath("a", "b.c"), "a/b.c");
  EXPECT_EQ(JoinPath("a/", "b.c"), "a/b.c");
  EXPECT_EQ(JoinPath("/", "b.c"), "/b.c");
  EXPECT_EQ(JoinPath("", "b.c"), "b.c");
}

// Paths longer than PATH_MAX, as deep trees give them: opened and queried through their
// folders, each part shorter than the limit; what is missing stays missing. The path is about
// three times the system's limit (60 folders for Linux's 4096, 3 for Windows' 260), so that
// it also fits the host system when Windows is emulated.
TEST_F(InputFileTest, OpensPathsLongerThanPathMax) {
  const std::string kFolder(200, 'd');
  constexpr int kDepth = PATH_MAX * 3 / 204;
  const std::string relative =
      testing::MakeDeepFolders(m_dir.path(), kFolder, kDepth, "deep.c", "int deep;\n");
  const std::string path = (m_dir.path() / relative).string();
  ASSERT_GT(path.size(), 2u * PATH_MAX);
  std::optional<InputFile> file = InputFile::Open(path);
  const FileStatus status = QueryStatus(path);
  const bool missingOpens = InputFile::Open(path + "x").has_value();
  const FileStatus missingStatus = QueryStatus(path + "x");
  // A folder on the way that is a file: the path leads nowhere.
  const std::string throughFile = path + "/below.c";
  const bool throughFileOpens = InputFile::Open(throughFile).has_value();
  testing::RemoveDeepFolders(m_dir.path(), kFolder, "deep.c");

  ASSERT_TRUE(file);
  ByteBuffer bytes;
  ASSERT_TRUE(file->ReadAll(bytes));
  EXPECT_EQ(AsString(bytes), "int deep;\n");
  EXPECT_EQ(status.size, 10);
  EXPECT_EQ(status, file->Status());
  EXPECT_FALSE(missingOpens);
  EXPECT_EQ(missingStatus.size, -1);
  EXPECT_FALSE(throughFileOpens);
}

}  // namespace
}  // namespace quintrel
