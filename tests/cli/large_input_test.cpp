// The command-line tool on a source file of one line of 1 GiB, old and new version: exact
// counts, and memory within a small multiple of the pair.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "run_cli.h"
#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

constexpr std::int64_t kGiB = std::int64_t{1} << 30;

// A sparse file of `size` bytes: NUL bytes except for the pieces written at their offsets.
void WriteSparse(const std::filesystem::path& path, std::int64_t size,
                 std::initializer_list<std::pair<std::int64_t, std::string_view>> pieces,
                 long long time) {
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(file) << path;
  }
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  for (const auto& [offset, bytes] : pieces) {
    file.seekp(offset);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  file.close();
  ASSERT_TRUE(file) << path;
  SetModificationTime(path, time);
}

// One line of 1 GiB in each version, no '\n' at all. Old and new agree except for their
// last six bytes, so the one line of each has no partner. Each version holds three marks:
// the '{' of "int f() {" at the start, the ';' of "x = 1;" in the middle and the ';' of its
// last six bytes; the NUL bytes between count nothing. So added 3, deleted 3, LOC 3.
TEST(CliLargeInput, OneLineOfOneGibibyte) {
  ScopedTempDir dir;
  const std::filesystem::path oldFile = dir.MakeDir("old") / "big.c";
  const std::filesystem::path newFile = dir.MakeDir("new") / "big.c";
  WriteSparse(oldFile, kGiB, {{0, "int f() {"}, {kGiB / 2, "x = 1;"}, {kGiB - 6, "int a;"}},
              1'700'000'000);
  WriteSparse(newFile, kGiB, {{0, "int f() {"}, {kGiB / 2, "x = 1;"}, {kGiB - 6, "int b;"}},
              1'700'000'060);

  const CliOutcome outcome =
      RunQuintrelCli({"--csv", "-", (dir.path() / "old").string(), (dir.path() / "new").string()});
  ASSERT_EQ(outcome.exitStatus, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("\r\n,big.c,3,3,3\r\nTotal,1 (+0/-0),3,3,3\r\n"), std::string::npos)
      << outcome.out;

  // The program must hold little beyond the two texts.
  const std::int64_t peakBytes = outcome.peakBytes;
  ASSERT_GT(peakBytes, 0) << "the system reported no peak memory";
  RecordProperty("peak_rss_mib", static_cast<int>(peakBytes >> 20));
  EXPECT_LT(peakBytes, 3 * kGiB) << "peak resident memory for a 2 GiB pair";
}

}  // namespace
}  // namespace quintrel::testing
