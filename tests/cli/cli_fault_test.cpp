// The command-line tool on totals beyond 32 bits and on reports that cannot be saved.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "run_cli.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr const char* kEarlier = "an earlier report\r\n";

CliOutcome RunInProcess(const std::vector<std::string>& args, const MeasureFunction& measure = {}) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCli(args, "UTF-8", out, err, measure);
  return {status, out.str(), err.str()};
}

// The words of each line, blanks removed, so column widths do not matter.
std::vector<std::vector<std::string>> Words(const std::string& text) {
  std::vector<std::vector<std::string>> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    lines.emplace_back();
    for (std::string word; words >> word;) lines.back().push_back(word);
  }
  return lines;
}

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
FileResult HugeResult(const std::string&, const std::string&, const CatalogueEntry& entry) {
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

// A read-only report (refused by its mode alone, so for root too) is kept, and a report in a
// missing folder creates no folder; each failure names the path and a reason.
TEST_F(CliFaultTest, ReportThatCannotBeWrittenIsReportedAndNothingChanges) {
  const auto readOnly = m_dir.Write("report.csv", kEarlier);
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  for (const auto& report : {readOnly, m_dir.path() / "no-such-dir" / "r.csv"}) {
    const CliOutcome run = RunInProcess({"--csv", report.string(), Old(), New()});
    EXPECT_EQ(run.exitStatus, kExitFailure);
    EXPECT_EQ(run.out, "");
    const std::string lead = "cannot write the report '" + report.string() + "': ";
    ASSERT_NE(run.err.find(lead), std::string::npos) << run.err;
    EXPECT_GT(run.err.size(), run.err.find(lead) + lead.size() + 1) << "a reason follows";
  }
  EXPECT_EQ(ReadFileBytes(readOnly), kEarlier);
  EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "no-such-dir"));
}

// No room for the report (the file size limit fails the write as a full disk does): the run
// fails, names the report and the reason, and the earlier report keeps every byte.
TEST_F(CliFaultTest, NoRoomLeftKeepsTheEarlierReport) {
  const auto report = m_dir.path() / "report.csv";
  ASSERT_EQ(RunInProcess({"--csv", report.string(), Old(), New()}).exitStatus, kExitSuccess);
  const std::string earlier = ReadFileBytes(report);
  // Enough rows that the report outgrows the earlier one by far.
  for (int i = 0; i < 300; ++i) m_dir.Write("new/added_file_" + std::to_string(i) + ".c", "x;");
  CliOutcome run;
  {
    const ScopedFileSizeLimit limit(earlier.size());
    run = RunInProcess({"--csv", report.string(), Old(), New()});
  }
  EXPECT_EQ(run.exitStatus, kExitFailure);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("cannot write the report '" + report.string() + "': "), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find(std::strerror(EFBIG)), std::string::npos) << run.err;
  EXPECT_EQ(ReadFileBytes(report), earlier);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path()),
                          std::filesystem::directory_iterator()),
            3)
      << "old, new and the report; no temporary file left";
}

}  // namespace
}  // namespace quintrel::testing
