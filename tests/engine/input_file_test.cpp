#include "engine/input_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

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
  std::string fifo = (m_dir.path() / "pipe.c").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {missing, folder, fifo})
    EXPECT_FALSE(InputFile::Open(path)) << path;
  EXPECT_EQ(QueryStatus(missing).size, -1);
  EXPECT_EQ(QueryStatus(folder).size, -1);
}

TEST_F(InputFileTest, QueryStatusWorksOnAFileThatCannotBeOpened) {
  if (testing::IgnoresFilePermissions()) GTEST_SKIP() << "permissions are not enforced for root";
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

}  // namespace
}  // namespace quintrel
