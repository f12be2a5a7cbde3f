// The command-line tool on a source file of one line of 1 GiB, old and new version: exact
// counts, and memory within a small multiple of the pair.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "run_cli.h"
#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

constexpr std::int64_t kGiB = std::int64_t{1} << 30;

// A sparse file of `size` bytes: NUL bytes except for the pieces written at their offsets.
void WriteSparse(const std::string& path, std::int64_t size,
                 std::initializer_list<std::pair<std::int64_t, std::string_view>> pieces,
                 long long time) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(ftruncate(fd, size), 0);
  for (const auto& [offset, bytes] : pieces) {
    ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), offset), static_cast<ssize_t>(bytes.size()));
  }
  ASSERT_EQ(close(fd), 0);
  SetModificationTime(path, time);
}

// One line of 1 GiB in each version, no '\n' at all. Old and new agree except for their
// last six bytes, so the one line of each has no partner. Each version holds three marks:
// the '{' of "int f() {" at the start, the ';' of "x = 1;" in the middle and the ';' of its
// last six bytes; the NUL bytes between count nothing. So added 3, deleted 3, LOC 3.
TEST(CliLargeInput, OneLineOfOneGibibyte) {
  ScopedTempDir dir;
  const std::string oldFile = (dir.MakeDir("old") / "big.c").string();
  const std::string newFile = (dir.MakeDir("new") / "big.c").string();
  WriteSparse(oldFile, kGiB, {{0, "int f() {"}, {kGiB / 2, "x = 1;"}, {kGiB - 6, "int a;"}},
              1'700'000'000);
  WriteSparse(newFile, kGiB, {{0, "int f() {"}, {kGiB / 2, "x = 1;"}, {kGiB - 6, "int b;"}},
              1'700'000'060);

  const CliOutcome outcome =
      RunQuintrelCli({"--csv", "-", (dir.path() / "old").string(), (dir.path() / "new").string()});
  ASSERT_EQ(outcome.exitStatus, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("\r\n,big.c,3,3,3\r\nTotal,1 (+0/-0),3,3,3\r\n"), std::string::npos)
      << outcome.out;

  // The largest child so far is the program, which must hold little beyond the two texts.
  struct rusage usage {};
  ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
  const std::int64_t peakBytes = static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
  RecordProperty("peak_rss_mib", static_cast<int>(peakBytes >> 20));
  EXPECT_LT(peakBytes, 3 * kGiB) << "peak resident memory for a 2 GiB pair";
}

}  // namespace
}  // namespace quintrel::testing
