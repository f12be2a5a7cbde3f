#include "compare/reports/csv_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace quintrel {
namespace {

using testing::EntryCount;
using testing::ReadFileBytes;
using testing::ScopedTempDir;

std::tm MakeTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

const std::string kHeading =
    "\r\n,\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC,\x92\xC7\x89\xC1,\x8D\xED\x8F\x9C,LOC\r\n";
const std::string kOldWord = "\x8B\x8C\x83\x74\x83\x48\x83\x8B\x83\x5F";
const std::string kNewWord = "\x90\x56\x83\x74\x83\x48\x83\x8B\x83\x5F";

RunResult TwoFileReport() {
  RunResult run;
  run.oldLabel = "C:\\src\\old";
  run.newLabel = "C:\\src\\new";
  run.rows = {{kInOld | kInNew, "main.c", {3, 1, 120}, {}, {}},
              {kInOld | kInNew, "util.h", {0, 0, 10}, {}, {}}};
  run.summary = SummarizeRows(run.rows);
  return run;
}

TEST(FormatCsvReport, MatchesTheDocumentedExampleByteForByte) {
  const std::string expected = "03/15/01 09:05:42\r\n" + kOldWord + ",C:\\src\\old\r\n" + kNewWord +
                               ",C:\\src\\new\r\n" + kHeading +
                               ",main.c,3,1,120\r\n"
                               ",util.h,0,0,10\r\n"
                               "Total,2 (+0/-0),3,1,130\r\n";
  const RunResult run = TwoFileReport();
  EXPECT_EQ(FormatCsvReport(run, run.summary, MakeTime(2001, 3, 15, 9, 5, 42)), expected);
}

TEST(FormatCsvReport, WritesFixedLinesAndTotalForAnEmptyList) {
  const RunResult content;
  const Summary none = SummarizeRows(content.rows);
  const std::string expected = "01/01/00 00:00:00\r\n" + kOldWord + ",\r\n" + kNewWord + ",\r\n" +
                               kHeading + "Total,0 (+0/-0),0,0,0\r\n";
  EXPECT_EQ(FormatCsvReport(content, none, MakeTime(2000, 1, 1, 0, 0, 0)), expected);
  EXPECT_EQ(FormatCsvReport(content, none, MakeTime(1999, 12, 31, 23, 59, 59)).substr(0, 19),
            "12/31/99 23:59:59\r\n");
}

// Rows with markers by presence ("?" for none) and decimal numbers; the total line shows the
// totals given (a selection's, say), not the sums of the rows.
TEST(FormatCsvReport, WritesFieldsAsTheyStandInCodePage932) {
  RunResult content;
  content.oldLabel = "/home/ユーザ/old";
  content.rows = {{kInOld, "a,b.c", {0, 12, 0}, {}, {}},
                  {kInNew, "新\xF0\x9F\x98\x80.c", {1, 0, 1}, {}, {}},
                  {0, "q.c", {-1, 0, 7}, {}, {}}};
  Summary totals;
  totals.fileCountText = "1 (+1/-1)";
  totals.totals = {1, 12, 5000000000LL};
  const std::string report = FormatCsvReport(content, totals, MakeTime(2026, 12, 7, 8, 0, 0));
  EXPECT_NE(report.find(kOldWord + ",/home/\x83\x86\x81\x5B\x83\x55/old\r\n"), std::string::npos);
  EXPECT_NE(report.find("\r\n-,a,b.c,0,12,0\r\n"), std::string::npos);  // no quoting
  EXPECT_NE(report.find("\r\n+,\x90\x56?.c,1,0,1\r\n?,q.c,-1,0,7\r\n"), std::string::npos);
  EXPECT_NE(report.find("\r\nTotal,1 (+1/-1),1,12,5000000000\r\n"), std::string::npos);
}

// A new file gets the default mode; an existing one is replaced from its first byte and
// keeps its mode, also when others may read it. No temporary file is left.
TEST(WriteFileAtomically, CreatesOrReplacesTheFile) {
  for (unsigned earlierMode : {0u, 0640u, 0604u}) {
    ScopedTempDir dir;
    const auto path = dir.path() / "report.csv";
    if (earlierMode != 0) {
      dir.Write("report.csv", "a much longer earlier report\r\n");
      ASSERT_TRUE(testing::SetFileMode(path, earlierMode));
    }
    const WriteOutcome outcome = WriteFileAtomically(path.string(), "a\r\nb\r\n");
    ASSERT_TRUE(outcome.ok()) << outcome.detail;
    EXPECT_EQ(ReadFileBytes(path), "a\r\nb\r\n");
    EXPECT_EQ(EntryCount(dir.path()), 1u);
    // Windows files have no permission bits to keep.
    if (const std::optional<unsigned> mode = testing::PermissionBits(path)) {
      EXPECT_EQ(*mode, earlierMode != 0 ? earlierMode : 0666 & ~testing::ProcessUmask());
    }
  }
}

TEST(WriteFileAtomically, FailsCleanlyWhereNothingCanBeCreated) {
  ScopedTempDir dir;
  const WriteOutcome missing =
      WriteFileAtomically((dir.path() / "missing" / "r.csv").string(), "x");
  EXPECT_EQ(missing.failure, WriteFailure::kCannotCreate);
  EXPECT_FALSE(missing.detail.empty());

  dir.MakeDir("folder.csv");
  const WriteOutcome onFolder = WriteFileAtomically((dir.path() / "folder.csv").string(), "x");
  EXPECT_EQ(onFolder.failure, WriteFailure::kCannotCreate);
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder.csv"));
  EXPECT_EQ(EntryCount(dir.path()), 1u);
}

TEST(WriteFileAtomically, LeavesProtectedTargetsAlone) {
  if (testing::IgnoresFilePermissions()) GTEST_SKIP() << testing::FilePermissionsSkipReason();
  ScopedTempDir dir;
  const auto locked = dir.MakeDir("locked");
  ASSERT_TRUE(testing::SetFileMode(locked, 0555));
  const WriteOutcome inLocked = WriteFileAtomically((locked / "r.csv").string(), "x");
  EXPECT_EQ(inLocked.failure, WriteFailure::kCannotCreate);
  EXPECT_FALSE(std::filesystem::exists(locked / "r.csv"));
  EXPECT_EQ(EntryCount(dir.path()), 1u);
}

TEST(SaveCsvReport, StampsTheReportWithTheCurrentTime) {
  ScopedTempDir dir;
  const auto path = dir.path() / "r.csv";
  const RunResult run = TwoFileReport();
  ASSERT_TRUE(SaveCsvReport(path.string(), run, run.summary).ok());
  const std::string written = ReadFileBytes(path);
  const std::string formatted = FormatCsvReport(run, run.summary, std::tm{});
  ASSERT_GE(written.size(), 19u);
  EXPECT_EQ(written.substr(19), formatted.substr(19));
  const std::string stamp = written.substr(0, 17);
  for (std::size_t i : {2u, 5u}) EXPECT_EQ(stamp[i], '/');
  for (std::size_t i : {11u, 14u}) EXPECT_EQ(stamp[i], ':');
  EXPECT_EQ(stamp[8], ' ');
}

}  // namespace
}  // namespace quintrel
