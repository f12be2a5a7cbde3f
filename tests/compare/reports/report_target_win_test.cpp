// Where a report may go on Windows: device names are written as they are, regular files are
// replaced atomically (or not at all), folders and missing folders are refused.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "compare/reports/csv_report.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

using testing::EntryCount;
using testing::ReadFileBytes;
using testing::ScopedTempDir;
using testing::Utf8String;

// Counts through the system's long path form, which the C++ library does not use.
std::size_t LongPathEntryCount(const std::string& folder) {
  const std::wstring pattern = L"\\\\?\\" + testing::Utf8Path(folder).wstring() + L"\\*";
  WIN32_FIND_DATAW entry;
  HANDLE find = ::FindFirstFileW(pattern.c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  std::size_t count = 0;
  do {
    const std::wstring_view name = entry.cFileName;
    if (name != L"." && name != L"..") ++count;
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);
  return count;
}

TEST(WriteReportFileOnWindows, WritesIntoDevicesWithoutReplacingThem) {
  for (const std::string device : {"NUL", "nul", "\\\\.\\NUL"}) {
    const WriteOutcome outcome = WriteReportFile(device, "report\r\n");
    EXPECT_TRUE(outcome.ok()) << device << ": " << outcome.detail;
    const WriteOutcome atomic = WriteFileAtomically(device, "report\r\n");
    EXPECT_EQ(atomic.failure, WriteFailure::kCannotCreate) << device;
    EXPECT_EQ(atomic.detail, "not a regular file");
  }
}

// Either separator; the hidden attribute of the earlier report stays; nothing else is left.
TEST(WriteReportFileOnWindows, ReplacesRegularFilesAtomically) {
  ScopedTempDir dir;
  const auto path = dir.Write("sub/report.csv", "a much longer earlier report\r\n");
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
  for (const std::string& text : {Utf8String(path), Utf8String(dir.path()) + "/sub/report.csv"}) {
    const WriteOutcome outcome = WriteReportFile(text, "new\r\n");
    ASSERT_TRUE(outcome.ok()) << text << ": " << outcome.detail;
    EXPECT_EQ(ReadFileBytes(path), "new\r\n");
    EXPECT_EQ(EntryCount(dir.path() / "sub"), 1u) << "no temporary file left";
    EXPECT_NE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  }
}

// The same reasons as on other systems, without the path.
TEST(WriteReportFileOnWindows, RefusesFoldersAndMissingFolders) {
  ScopedTempDir dir;
  dir.MakeDir("folder.csv");
  const WriteOutcome onFolder = WriteReportFile(Utf8String(dir.path() / "folder.csv"), "x");
  EXPECT_EQ(onFolder.failure, WriteFailure::kCannotCreate);
  EXPECT_EQ(onFolder.detail, std::strerror(EISDIR));
  const WriteOutcome missing = WriteReportFile(Utf8String(dir.path() / "no" / "r.csv"), "x");
  EXPECT_EQ(missing.failure, WriteFailure::kCannotCreate);
  EXPECT_EQ(missing.detail, std::strerror(ENOENT));
  EXPECT_EQ(EntryCount(dir.path()), 1u);
}

// Another program holds the report open and lets no one delete or rename it: the new report
// cannot take its place, so the earlier one keeps every byte and the temporary file goes.
TEST(WriteReportFileOnWindows, ReportHeldOpenKeepsItsEarlierContent) {
  ScopedTempDir dir;
  const auto path = dir.Write("report.csv", "earlier\r\n");
  HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const WriteOutcome outcome = WriteFileAtomically(Utf8String(path), "new report\r\n");
  ::CloseHandle(held);
  EXPECT_EQ(outcome.failure, WriteFailure::kWriteFailed);
  EXPECT_EQ(outcome.detail.rfind("cannot replace the file: ", 0), 0u) << outcome.detail;
  EXPECT_EQ(ReadFileBytes(path), "earlier\r\n");
  EXPECT_EQ(EntryCount(dir.path()), 1u) << "no temporary file left";
}

// A report beyond MAX_PATH characters is written through the long form of its path.
TEST(WriteReportFileOnWindows, WritesReportsBeyondMaxPath) {
  ScopedTempDir dir;
  const std::string folder(100, 'r');
  const auto deep = dir.MakeDir(folder + "/" + folder + "/" + folder).make_preferred();
  const std::string path = Utf8String(deep) + "\\report.csv";
  ASSERT_GT(path.size(), std::size_t{MAX_PATH});
  ASSERT_TRUE(WriteReportFile(path, "first\r\n").ok());
  const WriteOutcome outcome = WriteReportFile(path, "second\r\n");
  ASSERT_TRUE(outcome.ok()) << outcome.detail;
  EXPECT_EQ(ReadFileBytes("\\\\?\\" + path), "second\r\n");
  EXPECT_EQ(LongPathEntryCount(Utf8String(deep)), 1u) << "no temporary file left";
}

}  // namespace
}  // namespace quintrel
