// The command-line tool's outputs beyond the table: folder sums, the JSON report, the
// progress line and reports written into FIFOs and descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "mixed_folders.h"
#include "run_cli.h"
#include "support/fifo_reader.h"
#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

using Json = nlohmann::json;

using CliOutputsTest = MixedFoldersTest;

// Without a rename found, --renames leaves the table as it was; a rename is one row with an
// empty marker, counted once in the Total line.
TEST_F(CliOutputsTest, RenamesJoinOnlyFilesSimilarEnough) {
  // z.cpp takes one of y.c's two lines: 1 of 3 lines pair (33 percent).
  m_dir.Write("new/z.cpp", "namespace z {\nint y(void) { return 1; }\n}\n");
  const std::string plain = RunQuintrelCli({Old(), New()}).out;
  const CliOutcome notSimilar = RunQuintrelCli({"--renames=34", Old(), New()});
  EXPECT_EQ(notSimilar.exitStatus, 0);
  EXPECT_EQ(notSimilar.out, plain);
  EXPECT_EQ(RunQuintrelCli({"--renames", Old(), New()}).out, plain);

  const CliOutcome joined = RunQuintrelCli({"--renames=33", Old(), New()});
  EXPECT_EQ(joined.exitStatus, 0) << joined.err;
  const auto table = Words(joined.out);
  ASSERT_EQ(table.size(), 4u) << joined.out;
  EXPECT_NE(joined.out.find("\n       y.c => z.cpp "), std::string::npos) << joined.out;
  // Measured as one file: the shared line's two marks are neither added nor deleted.
  EXPECT_EQ(table[2], (std::vector<std::string>{"y.c", "=>", "z.cpp", "1", "1", "3"}));
  EXPECT_EQ(table[3], (std::vector<std::string>{"Total", "2", "(+0/-0)", "2", "1", "6"}));
}

// The JSON report on standard output replaces the table; in a file it comes with the table,
// and with the CSV report beside it.
TEST_F(CliOutputsTest, JsonReportToStandardOutputOrFile) {
  const CliOutcome toOut = RunQuintrelCli({"--json", "-", Old(), New()});
  EXPECT_EQ(toOut.exitStatus, 0);
  EXPECT_EQ(toOut.err, "");
  const Json report = Json::parse(toOut.out);
  EXPECT_EQ(report.at("old"), Old());
  EXPECT_EQ(report.at("files").size(), 3u);
  EXPECT_EQ(report.at("files")[1], Json::parse(R"({"marker": "-", "name": "y.c", "added": 0,
      "deleted": 3, "loc": 0})"));
  EXPECT_EQ(report.at("total"), Json::parse(R"({"files": 2, "new_files": 1,
      "deleted_files": 1, "added": 3, "deleted": 3, "loc": 5})"));
  EXPECT_FALSE(report.contains("folders"));

  const auto json = m_dir.path() / "r.json";
  const auto csv = m_dir.path() / "r.csv";
  const CliOutcome toFiles =
      RunQuintrelCli({"--json", json.string(), "--csv", csv.string(), Old(), New()});
  EXPECT_EQ(toFiles.exitStatus, 0);
  EXPECT_EQ(toFiles.out, kMixedTable);
  EXPECT_EQ(Json::parse(ReadFileBytes(json)), report);
  EXPECT_NE(ReadFileBytes(csv).find("Total,2 (+1/-1),3,3,5\r\n"), std::string::npos);
}

// --by-folder adds the folder table after the file table (a flat run has no folder below the
// top) and "folders" to the JSON report; the file table itself does not change.
TEST_F(CliOutputsTest, ByFolderAddsTheFolderTable) {
  const CliOutcome table = RunQuintrelCli({"--by-folder", Old(), New()});
  EXPECT_EQ(table.exitStatus, 0);
  EXPECT_EQ(table.out, std::string(kMixedTable) + "\nﾌｫﾙﾀﾞ    追加  削除  LOC\n");
  const CliOutcome json = RunQuintrelCli({"--by-folder", "--json=-", Old(), New()});
  EXPECT_EQ(Json::parse(json.out).at("folders"), Json::array());
}

// A FIFO read by another thread takes either report; the table still follows.
// /dev/fd/1 writes into standard output even when it is a regular file, before the table.
TEST_F(CliOutputsTest, ReportsGoIntoDevicesFifosAndDescriptors) {
  if (const std::string reason = PosixDevicesSkipReason(); !reason.empty()) GTEST_SKIP() << reason;
  for (const char* option : {"--csv", "--json"}) {
    const auto fifo = m_dir.path() / "report.fifo";
    ASSERT_TRUE(MakeFifo(fifo));
    FifoReader reader(fifo);
    const CliOutcome toFifo = RunQuintrelCli({option, fifo.string(), Old(), New()});
    const std::string received = reader.Finish();
    EXPECT_EQ(toFifo.exitStatus, 0) << toFifo.err;
    EXPECT_EQ(toFifo.out, kMixedTable);
    EXPECT_NE(received.find("z.cpp"), std::string::npos) << received;
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    std::filesystem::remove(fifo);
  }
  const CliOutcome toStdout = RunQuintrelCli({"--json", "/dev/fd/1", Old(), New()});
  EXPECT_EQ(toStdout.exitStatus, 0) << toStdout.err;
  const std::size_t tableStart = toStdout.out.find(kMixedTable);
  ASSERT_NE(tableStart, std::string::npos) << toStdout.out;
  EXPECT_EQ(Json::parse(toStdout.out.substr(0, tableStart)).at("total").at("loc"), 5);
}

// A clock that moves one second at each reading: every progress report comes after the delay.
CliTerminal SlowTerminal(bool isTerminal) {
  auto now = std::make_shared<std::chrono::steady_clock::time_point>();
  return {isTerminal, [now] { return *now += std::chrono::seconds(1); }};
}

// On a terminal a long run shows the progress line with the bytes read and clears it before
// the table; --quiet and a standard error that is no terminal show nothing.
TEST_F(CliOutputsTest, ProgressLineOnlyOnATerminal) {
  const CliOutcome shown = RunInProcess({"--jobs", "1", Old(), New()}, {}, SlowTerminal(true));
  EXPECT_EQ(shown.exitStatus, 0);
  EXPECT_EQ(shown.out, kMixedTable);
  const std::string last = "\rquintrel-cli: 3 of 3 files, ";
  const std::size_t lastAt = shown.err.rfind(last);
  ASSERT_NE(lastAt, std::string::npos) << shown.err;
  // Both versions of x.c (14 + 21 bytes), the old y.c (41) and the new z.cpp (25).
  EXPECT_EQ(shown.err.substr(lastAt + last.size(), 15), "101 bytes read\r") << shown.err;
  const std::string clearing = shown.err.substr(shown.err.rfind("read") + 4);
  EXPECT_EQ(clearing.find_first_not_of(" \r"), std::string::npos) << "ends blanked out";
  EXPECT_EQ(clearing.back(), '\r');

  EXPECT_EQ(RunInProcess({"--quiet", Old(), New()}, {}, SlowTerminal(true)).err, "");
  EXPECT_EQ(RunInProcess({Old(), New()}, {}, SlowTerminal(false)).err, "");
  // The real program's standard error here is a file, not a terminal.
  EXPECT_EQ(RunQuintrelCli({Old(), New()}).err, "");
}

}  // namespace
}  // namespace quintrel::testing
