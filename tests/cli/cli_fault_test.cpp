// The command-line tool on totals beyond 32 bits, on reports that cannot be saved and on
// measurements that fail.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "mixed_folders.h"
#include "run_cli.h"
#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr const char* kEarlier = "an earlier report\r\n";

class CliFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir.Write("old/a.c", "int a;\n");
    m_dir.Write("new/a.c", "int a;\nint b;\n");
    m_dir.Write("old/b.c", "int b;\n");
    m_dir.Write("new/c.c", "int c;\n");
    m_dir.Write("new/d.c", "int d;\n");
  }

  std::string Old() const { return (m_dir.path() / "old").string(); }
  std::string New() const { return (m_dir.path() / "new").string(); }

  ScopedTempDir m_dir;
};

// Per-file numbers at the 32-bit limit, as a huge tree would produce them in sum.
FileResult HugeResult(const CatalogueEntry& entry, const std::function<FileResult()>&) {
  if (entry.flags == kInOld) return {0, kMax, 0};
  if (entry.flags == kInNew) return {kMax, 0, kMax};
  return {kMax, 1, kMax};
}

TEST_F(CliFaultTest, TotalsBeyond32BitsAreExactInTheTableAndTheReport) {
  const CliOutcome table = RunInProcess({Old(), New()}, HugeResult);
  ASSERT_EQ(table.exitStatus, kExitSuccess) << table.err;
  const auto lines = Words(table.out);
  ASSERT_EQ(lines.size(), 6u) << table.out;
  EXPECT_EQ(lines[1], (std::vector<std::string>{"a.c", "2147483647", "1", "2147483647"}));
  EXPECT_EQ(lines[5], (std::vector<std::string>{"Total", "3", "(+2/-1)", "6442450941", "2147483648",
                                                "6442450941"}));

  const CliOutcome csv = RunInProcess({"--csv", "-", Old(), New()}, HugeResult);
  ASSERT_EQ(csv.exitStatus, kExitSuccess) << csv.err;
  const std::string tail =
      "-,b.c,0,2147483647,0\r\n+,c.c,2147483647,0,2147483647\r\n"
      "+,d.c,2147483647,0,2147483647\r\n"
      "Total,3 (+2/-1),6442450941,2147483648,6442450941\r\n";
  ASSERT_GE(csv.out.size(), tail.size());
  EXPECT_EQ(csv.out.substr(csv.out.size() - tail.size()), tail);
}

// A read-only report (refused by its mode alone, so for root too), a report in a missing
// folder and a folder named as the report: the run fails naming the path once, then the
// reason; it prints no table, keeps the earlier report and creates no folder.
TEST_F(CliFaultTest, ReportThatCannotBeWrittenIsReportedAndNothingChanges) {
  const auto readOnly = m_dir.Write("report.csv", kEarlier);
  ASSERT_TRUE(testing::SetFileMode(readOnly, 0444));
  const auto folder = m_dir.MakeDir("a-folder");
  for (const char* option : {"--csv", "--json"}) {
    for (const auto& report : {readOnly, m_dir.path() / "no-such-dir" / "r.csv", folder}) {
      SCOPED_TRACE(std::string(option) + " " + report.string());
      const CliOutcome run = RunInProcess({option, report.string(), Old(), New()});
      EXPECT_EQ(run.exitStatus, kExitFailure);
      EXPECT_EQ(run.out, "");
      const std::string lead = "quintrel-cli: cannot write the report '" + report.string() + "': ";
      ASSERT_TRUE(run.err.starts_with(lead)) << run.err;
      EXPECT_GT(run.err.size(), lead.size() + 1) << "a reason follows";
      EXPECT_EQ(run.err.find(report.string(), lead.size()), std::string::npos) << run.err;
      if (report == folder) {
        EXPECT_EQ(run.err, lead + std::strerror(EISDIR) + "\n");
      }
    }
  }
  EXPECT_EQ(ReadFileBytes(readOnly), kEarlier);
  EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "no-such-dir"));
}

// A measurement that fails (memory running out on a huge file, or any other error) ends the
// program with exit status 1 and a message naming the failure and the file, not with an
// abort; no table is printed and an earlier report stays as it was.
TEST_F(CliFaultTest, FailingMeasurementExitsWithOneAndKeepsTheReport) {
  const auto report = m_dir.Write("report.csv", kEarlier);
  struct Case {
    const char* name;
    std::function<void()> fail;
    const char* expected;
  } cases[] = {
      {"memory", [] { throw std::bad_alloc(); }, "memory ran out while measuring 'c.c'"},
      {"other", [] { throw std::runtime_error("disk on fire"); },
       "error while measuring 'c.c': disk on fire"},
      {"unknown", [] { throw 42; }, "unknown error while measuring 'c.c'"},
  };
  for (const Case& c : cases) {
    const MeasureHook failOnC = [&c](const CatalogueEntry& entry, const auto&) {
      if (entry.name == "c.c") c.fail();
      return FileResult{1, 0, 1};
    };
    for (const char* jobs : {"1", "3"}) {
      for (const std::string& csv : {report.string(), std::string("-")}) {
        const CliOutcome run = RunInProcess({"--jobs", jobs, "--csv", csv, Old(), New()}, failOnC);
        EXPECT_EQ(run.exitStatus, kExitFailure) << c.name << " " << jobs << " " << csv;
        EXPECT_EQ(run.out, "") << c.name;
        EXPECT_EQ(run.err, std::string("quintrel-cli: ") + c.expected + "\n") << c.name;
      }
    }
  }
  EXPECT_EQ(ReadFileBytes(report), kEarlier);
}

// A failure outside any one file's measurement (here the table's output stream) still names
// what the program was doing.
TEST_F(CliFaultTest, FailureWhileWritingTheResultsNamesThatStep) {
  std::ostringstream err;
  struct ThrowingBuffer : std::streambuf {
    int overflow(int) override { throw std::bad_alloc(); }
  } buffer;
  std::ostream throwing(&buffer);
  throwing.exceptions(std::ios::badbit);
  const int status = RunCli({Old(), New()}, "UTF-8", throwing, err);
  EXPECT_EQ(status, kExitFailure);
  EXPECT_EQ(err.str(), "quintrel-cli: memory ran out while writing the results\n");
}

}  // namespace
}  // namespace quintrel::testing
