// Where a report may go: regular files are replaced atomically, devices and FIFOs are
// written as they are, descriptors named by path are written through, folders are refused.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "compare/reports/csv_report.h"
#include "support/fifo_reader.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

using testing::EntryCount;
using testing::ReadFileBytes;
using testing::ScopedTempDir;

ino_t Inode(const std::filesystem::path& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
  return status.st_ino;
}

// Reads everything from `fd` until the writer closes its end.
std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  return bytes;
}

// A report larger than a pipe's buffer, so the writer must wait for the reader.
std::string LargeReport() {
  std::string report;
  for (int i = 0; i < 20000; ++i) report += "+,file" + std::to_string(i) + ".c,1,0,1\r\n";
  return report;
}

// A FIFO that a reader on another thread empties and /dev/null, each directly and through a
// link, take every byte; they and the links stay what they were, with no temporary file
// beside them.
TEST(WriteReportFile, WritesIntoFifosAndDevices) {
  ScopedTempDir dir;
  const auto fifo = dir.path() / "report.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto link = dir.path() / "link.csv";
  std::filesystem::create_symlink(fifo, link);
  const std::string report = LargeReport();
  for (const auto& path : {fifo, link}) {
    testing::FifoReader reader(fifo);
    const WriteOutcome outcome = WriteReportFile(path.string(), report);
    const std::string received = reader.Finish();
    EXPECT_TRUE(outcome.ok()) << outcome.detail;
    EXPECT_EQ(received.size(), report.size()) << path;
    EXPECT_TRUE(received == report) << path;
  }
  const auto toNull = dir.path() / "null.csv";
  std::filesystem::create_symlink("/dev/null", toNull);
  for (const std::string& path : {std::string("/dev/null"), toNull.string()}) {
    const WriteOutcome outcome = WriteReportFile(path, "a report\r\n");
    EXPECT_TRUE(outcome.ok()) << path << ": " << outcome.detail;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(fifo)));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  for (const auto& path : {link, toNull}) {
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(path)));
  }
  EXPECT_EQ(EntryCount(dir.path()), 3u);
}

// A regular file is still replaced by a rename: a new inode, and a second name (a hard link)
// of the earlier file keeps the earlier report.
TEST(WriteReportFile, ReplacesRegularFilesAtomically) {
  ScopedTempDir dir;
  const auto path = dir.Write("report.csv", "the earlier report\r\n");
  const auto second = dir.path() / "second-name.csv";
  std::filesystem::create_hard_link(path, second);
  const ino_t before = Inode(path);
  const WriteOutcome outcome = WriteReportFile(path.string(), "new\r\n");
  ASSERT_TRUE(outcome.ok()) << outcome.detail;
  EXPECT_EQ(ReadFileBytes(path), "new\r\n");
  EXPECT_NE(Inode(path), before);
  EXPECT_EQ(ReadFileBytes(second), "the earlier report\r\n");
  ASSERT_TRUE(WriteReportFile((dir.path() / "fresh.csv").string(), "x").ok());
  EXPECT_EQ(ReadFileBytes(dir.path() / "fresh.csv"), "x");
  EXPECT_EQ(EntryCount(dir.path()), 3u);
}

TEST(WriteReportFile, RefusesFoldersAndMissingFolders) {
  ScopedTempDir dir;
  const auto folder = dir.MakeDir("folder.csv");
  const WriteOutcome onFolder = WriteReportFile(folder.string(), "x");
  EXPECT_EQ(onFolder.failure, WriteFailure::kCannotCreate);
  EXPECT_EQ(onFolder.detail, strerror(EISDIR));
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  const WriteOutcome missing = WriteReportFile((dir.path() / "no" / "r.csv").string(), "x");
  EXPECT_EQ(missing.failure, WriteFailure::kCannotCreate);
  EXPECT_EQ(missing.detail, strerror(ENOENT));
  EXPECT_EQ(EntryCount(dir.path()), 1u);
}

// /dev/fd/N and /proc/self/fd/N write through descriptor N at its offset, also when it is
// open on a regular file (as standard output redirected to a file is): what was written
// before stays, and the file is the same file afterwards.
TEST(WriteReportFile, WritesThroughADescriptorNamedByPath) {
  ScopedTempDir dir;
  const auto path = dir.path() / "out.txt";
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "table\n", 6), 6);
  const ino_t before = Inode(path);
  const std::string number = std::to_string(fd);
  EXPECT_TRUE(WriteReportFile("/dev/fd/" + number, "one\n").ok());
  EXPECT_TRUE(WriteReportFile("/proc/self/fd/" + number, "two\n").ok());
  close(fd);
  EXPECT_EQ(ReadFileBytes(path), "table\none\ntwo\n");
  EXPECT_EQ(Inode(path), before);
  EXPECT_EQ(EntryCount(dir.path()), 1u);

  int pipeFds[2];
  ASSERT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
  EXPECT_TRUE(WriteReportFile("/dev/fd/" + std::to_string(pipeFds[1]), "piped\n").ok());
  close(pipeFds[1]);
  EXPECT_EQ(ReadAll(pipeFds[0]), "piped\n");
  close(pipeFds[0]);
}

}  // namespace
}  // namespace quintrel
