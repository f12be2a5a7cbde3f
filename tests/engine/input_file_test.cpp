#include "engine/input_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quintrel {
namespace {

std::string AsString(const std::vector<unsigned char>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

class InputFileTest : public ::testing::Test {
 protected:
  testing::ScopedTempDir m_dir;
};

TEST_F(InputFileTest, ReadsEveryByteValue) {
  std::string content;
  for (int i = 0; i < 256; ++i) content += static_cast<char>(i);
  std::optional<InputFile> file = InputFile::Open(m_dir.Write("all.c", content).string());
  ASSERT_TRUE(file);
  std::vector<unsigned char> bytes = {1, 2, 3};
  ASSERT_TRUE(file->ReadAll(bytes));
  EXPECT_EQ(AsString(bytes), content);
}

TEST_F(InputFileTest, EmptyFileReadsAsNoBytes) {
  std::optional<InputFile> file = InputFile::Open(m_dir.Write("empty.c", "").string());
  ASSERT_TRUE(file);
  std::vector<unsigned char> bytes = {1};
  EXPECT_TRUE(file->ReadAll(bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(InputFileTest, OpensOnlyRegularFiles) {
  EXPECT_FALSE(InputFile::Open((m_dir.path() / "missing.c").string()));
  EXPECT_FALSE(InputFile::Open(m_dir.MakeDir("lib.h").string()));
  // A FIFO must be refused at once rather than waiting for a writer.
  std::string fifo = (m_dir.path() / "pipe.c").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(InputFile::Open(fifo));
}

TEST_F(InputFileTest, StatusGivesSizeAndWholeSecondModificationTime) {
  auto path = m_dir.Write("a.c", "12345");
  testing::SetModificationTime(path, 1'600'000'000);
  std::optional<InputFile> file = InputFile::Open(path.string());
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Status(), (FileStatus{5, 1'600'000'000}));
  EXPECT_EQ(QueryStatus(path.string()), (FileStatus{5, 1'600'000'000}));
}

TEST_F(InputFileTest, QueryStatusHasNoSizeForMissingFilesAndFolders) {
  EXPECT_EQ(QueryStatus((m_dir.path() / "missing.c").string()).size, -1);
  EXPECT_EQ(QueryStatus(m_dir.MakeDir("lib.h").string()).size, -1);
}

TEST_F(InputFileTest, QueryStatusWorksOnAFileThatCannotBeOpened) {
  if (testing::IgnoresFilePermissions()) GTEST_SKIP() << "permissions are not enforced for root";
  auto path = m_dir.Write("secret.c", "abc");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  EXPECT_FALSE(InputFile::Open(path.string()));
  EXPECT_EQ(QueryStatus(path.string()).size, 3);
}

// /proc files report size 0 but have content: reading must go on past the reported size.
TEST_F(InputFileTest, ReadsPastAWrongReportedSize) {
  std::optional<InputFile> file = InputFile::Open("/proc/self/status");
  if (!file || file->Status().size != 0) GTEST_SKIP() << "no /proc file with size 0";
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(file->ReadAll(bytes));
  EXPECT_NE(AsString(bytes).find("Name:"), std::string::npos);
}

TEST_F(InputFileTest, RefusesMoreThanTheLimit) {
  std::string path = m_dir.Write("ten.c", "0123456789").string();
  std::vector<unsigned char> bytes;
  EXPECT_FALSE(InputFile::Open(path)->ReadAll(bytes, 9));
  EXPECT_TRUE(bytes.empty());
  EXPECT_TRUE(InputFile::Open(path)->ReadAll(bytes, 10));
  EXPECT_EQ(AsString(bytes), "0123456789");

  // A file longer than its reported size is cut off while it is read.
  std::optional<InputFile> proc = InputFile::Open("/proc/self/status");
  if (!proc || proc->Status().size != 0) GTEST_SKIP() << "no /proc file with size 0";
  EXPECT_FALSE(proc->ReadAll(bytes, 16));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(InputFileTest, MovedFileStaysUsable) {
  std::optional<InputFile> opened = InputFile::Open(m_dir.Write("a.c", "x;").string());
  ASSERT_TRUE(opened);
  InputFile moved = std::move(*opened);
  opened.reset();  // destroying the moved-from object must not close the handle
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(moved.ReadAll(bytes));
  EXPECT_EQ(AsString(bytes), "x;");
}

TEST(JoinPathTest, AddsOneSeparator) {
  EXPECT_EQ(JoinPath("a", "b.c"), "a/b.c");
  EXPECT_EQ(JoinPath("a/", "b.c"), "a/b.c");
  EXPECT_EQ(JoinPath("/", "b.c"), "/b.c");
  EXPECT_EQ(JoinPath("", "b.c"), "b.c");
}

}  // namespace
}  // namespace quintrel
