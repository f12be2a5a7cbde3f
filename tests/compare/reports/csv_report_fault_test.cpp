// Saving the report where it cannot be saved: the caller hears of it, and an earlier report
// keeps every byte.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "compare/reports/csv_report.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

using testing::EntryCount;
using testing::ReadFileBytes;
using testing::ScopedFileSizeLimit;
using testing::ScopedTempDir;

constexpr const char* kEarlier = "03/15/01 09:05:42\r\nTotal,0 (+0/-0),0,0,0\r\n";

// Enforced by the mode alone, so it holds for root as well, who could write the file.
TEST(WriteFileAtomicallyFaults, ReadOnlyReportIsNeverReplaced) {
  ScopedTempDir dir;
  for (mode_t mode : {0444, 0}) {
    const auto path = dir.Write("report.csv", kEarlier);
    ASSERT_TRUE(testing::SetFileMode(path, mode));
    const WriteOutcome outcome = WriteFileAtomically(path.string(), "new report\r\n");
    EXPECT_EQ(outcome.failure, WriteFailure::kCannotCreate) << std::oct << mode;
    EXPECT_FALSE(outcome.detail.empty());
    ASSERT_TRUE(testing::SetFileMode(path, 0600));  // so that a user other than root can check it
    EXPECT_EQ(ReadFileBytes(path), kEarlier) << std::oct << mode;
    EXPECT_EQ(EntryCount(dir.path()), 1u) << "no temporary file left";
    std::filesystem::remove(path);
  }
}

// A device or FIFO named as the report, directly or through a link, is never replaced by a
// plain file (which, for root, would break /dev/null); WriteReportFile writes into them
// instead. The reason does not repeat the path, which the caller shows beside it.
TEST(WriteFileAtomicallyFaults, DevicesAndFifosAreNotReplaced) {
  if (const std::string reason = testing::PosixDevicesSkipReason(); !reason.empty()) {
    GTEST_SKIP() << reason;
  }
  ScopedTempDir dir;
  const auto fifo = dir.path() / "fifo.csv";
  ASSERT_TRUE(testing::MakeFifo(fifo));
  const auto toNull = dir.path() / "null.csv";
  std::filesystem::create_symlink("/dev/null", toNull);
  for (const auto& path : {fifo, toNull}) {
    const WriteOutcome outcome = WriteFileAtomically(path.string(), "report\r\n");
    EXPECT_EQ(outcome.failure, WriteFailure::kCannotCreate) << path;
    EXPECT_EQ(outcome.detail, "not a regular file");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(fifo)));
  EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(toNull)));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  EXPECT_EQ(EntryCount(dir.path()), 2u) << "no temporary file left";
}

// A report larger than the room left, then no room at all: the earlier report keeps every
// byte, and no partial or temporary file stays behind. The room is the file size limit, which
// fails a write as a full disk does, for root and for any other user.
TEST(WriteFileAtomicallyFaults, NoRoomLeftKeepsTheEarlierReport) {
  if (const std::string reason = ScopedFileSizeLimit::SkipReason(); !reason.empty()) {
    GTEST_SKIP() << reason;
  }
  ScopedTempDir dir;
  const auto path = dir.path() / "report.csv";
  ASSERT_TRUE(WriteFileAtomically(path.string(), kEarlier).ok());
  {
    const ScopedFileSizeLimit limit{64 * 1024};
    const WriteOutcome large = WriteFileAtomically(path.string(), std::string(1024 * 1024, ';'));
    EXPECT_EQ(large.failure, WriteFailure::kWriteFailed);
    EXPECT_NE(large.detail.find(strerror(EFBIG)), std::string::npos) << large.detail;
  }
  EXPECT_EQ(ReadFileBytes(path), kEarlier);
  EXPECT_EQ(EntryCount(dir.path()), 1u);

  RunResult content;
  content.rows.assign(2000, {kInNew, "a_rather_long_file_name.cpp", {1, 0, 1}, {}, {}});
  content.summary = SummarizeRows(content.rows);
  const auto other = dir.path() / "other.csv";
  {
    const ScopedFileSizeLimit none{0};
    EXPECT_EQ(SaveCsvReport(path.string(), content, content.summary).failure,
              WriteFailure::kWriteFailed);
    const WriteOutcome nothing = WriteFileAtomically(other.string(), kEarlier);
    EXPECT_FALSE(nothing.ok());
    EXPECT_FALSE(nothing.detail.empty());
  }
  EXPECT_EQ(ReadFileBytes(path), kEarlier);
  EXPECT_FALSE(std::filesystem::exists(other));
  EXPECT_EQ(EntryCount(dir.path()), 1u);
}

}  // namespace
}  // namespace quintrel
