// Runs the real quintrel-cli binary on folders built for each test.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "mixed_folders.h"
#include "run_cli.h"
#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

const std::string kOldFolderMessage = "旧ﾌｫﾙﾀﾞを開けません";
const std::string kNewFolderMessage = "新ﾌｫﾙﾀﾞを開けません";

using CliEndToEndTest = MixedFoldersTest;

// Any number of jobs gives the same table; an empty folder text is an empty folder.
TEST_F(CliEndToEndTest, PrintsTheTableAndExitsZero) {
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{Old(), New()}, kMixedTable},
      {{"--jobs=7", Old(), New()}, kMixedTable},
      {{"", New()},
       "       ﾌｧｲﾙ名     追加  削除  LOC\n"
       "+      x.c           3     0    3\n"
       "+      z.cpp         2     0    2\n"
       "Total  2 (+2/-0)     5     0    5\n"},
      {{"", ""}, "       ﾌｧｲﾙ名     追加  削除  LOC\nTotal  0 (+0/-0)     0     0    0\n"},
  };
  for (const auto& c : cases) {
    CliOutcome outcome = RunQuintrelCli(c.args);
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.out, c.out);
    EXPECT_EQ(outcome.err, "");
  }
}

// The old folder is checked first; a missing one fails before the report is touched.
TEST_F(CliEndToEndTest, FolderThatCannotBeOpenedFails) {
  const std::string missing = (m_dir.path() / "absent").string();
  const std::string report = (m_dir.path() / "r.csv").string();
  const std::string file = (m_dir.path() / "new/z.cpp").string();
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {{{"--csv", report, missing, missing + "2"}, kOldFolderMessage + ": " + missing},
               {{Old(), missing}, kNewFolderMessage + ": " + missing},
               {{Old(), file}, kNewFolderMessage + ": " + file}};
  for (const auto& c : cases) {
    CliOutcome outcome = RunQuintrelCli(c.args);
    EXPECT_EQ(outcome.exitStatus, 1) << c.err;
    EXPECT_EQ(outcome.out, "") << c.err;
    EXPECT_EQ(outcome.err, c.err + "\n");
  }
  EXPECT_FALSE(std::filesystem::exists(report));
}

// Bad usage exits 2 with the usage on standard error; help and version go to standard output.
TEST_F(CliEndToEndTest, UsageHelpAndVersion) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{}, {"--nope", Old(), New()}}) {
    CliOutcome outcome = RunQuintrelCli(args);
    EXPECT_EQ(outcome.exitStatus, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("Usage: quintrel-cli"), std::string::npos) << outcome.err;
  }
  // A rejected argument is quoted with its control characters replaced, as names are.
  CliOutcome escaped = RunQuintrelCli({"--x\x1B[2J\x7F", Old(), New()});
  EXPECT_EQ(escaped.exitStatus, 2);
  EXPECT_EQ(escaped.err.substr(0, escaped.err.find('\n')),
            "quintrel-cli: unknown option '--x?[2J?'");
  CliOutcome help = RunQuintrelCli({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.out.find("Usage: quintrel-cli"), std::string::npos);
  for (const char* option : {"--csv FILE", "-r, --recursive", "--ext LIST", "--exclude-dir NAME"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  CliOutcome version = RunQuintrelCli({"--version"});
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(version.out, std::string("quintrel-cli ") + QUINTREL_VERSION + "\n");
}

// Everything after the time stamp, in code page 932 with CR LF line ends. The stamp's
// shape is checked where the report is saved.
void ExpectReport(const std::string& bytes, const std::string& oldText,
                  const std::string& newText) {
  const std::size_t stampEnd = bytes.find("\r\n");
  ASSERT_EQ(stampEnd, 17u) << bytes;
  EXPECT_EQ(bytes.substr(stampEnd + 2),
            "\x8B\x8C\x83\x74\x83\x48\x83\x8B\x83\x5F," + oldText + "\r\n" +
                "\x90\x56\x83\x74\x83\x48\x83\x8B\x83\x5F," + newText + "\r\n" +
                "\r\n,\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC,\x92\xC7\x89\xC1,\x8D\xED\x8F\x9C,"
                "LOC\r\n,x.c,1,0,3\r\n-,y.c,0,3,0\r\n+,z.cpp,2,0,2\r\nTotal,2 (+1/-1),3,3,5\r\n");
}

// "-" sends the raw report alone to standard output; a file report replaces an earlier, longer
// one and the table is still printed. Folder texts appear exactly as typed, even relative
// ones with a trailing separator.
TEST_F(CliEndToEndTest, CsvReportToStandardOutputOrFile) {
  m_dir.Write("report.csv", "an older report that is longer than the new one ...............");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(m_dir.path());
  const CliOutcome toOut = RunQuintrelCli({"--csv", "-", "old/", "./new"});
  const CliOutcome toFile = RunQuintrelCli({"--csv", "report.csv", Old(), New()});
  std::filesystem::current_path(previous);
  EXPECT_EQ(toOut.exitStatus, 0);
  EXPECT_EQ(toOut.err, "");
  ExpectReport(toOut.out, "old/", "./new");
  EXPECT_EQ(toFile.exitStatus, 0);
  EXPECT_EQ(toFile.out, kMixedTable);
  ExpectReport(ReadFileBytes(m_dir.path() / "report.csv"), Old(), New());
}

TEST_F(CliEndToEndTest, FailedWriteToStandardOutputIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  CliOutcome outcome = RunQuintrelCli({Old(), New()}, "C.UTF-8", "/dev/full");
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_NE(outcome.err.find("standard output"), std::string::npos) << outcome.err;
}

TEST_F(CliEndToEndTest, AsciiTerminalGetsQuestionMarksAndKeepsColumnsAligned) {
  if (const std::string reason = LocaleSkipReason("C"); !reason.empty()) GTEST_SKIP() << reason;
  m_dir.Write("new/設定.h", "int s;\n");
  CliOutcome outcome = RunQuintrelCli({Old(), New()}, "C");
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_EQ(outcome.out,
            "       ?????      ??  ??  LOC\n"
            "       x.c         1   0    3\n"
            "-      y.c         0   3    0\n"
            "+      z.cpp       2   0    2\n"
            "+      ??.h        1   0    1\n"
            "Total  3 (+2/-1)   4   3    6\n");
  std::string missing = (m_dir.path() / "absent").string();
  CliOutcome failed = RunQuintrelCli({missing, New()}, "C");
  EXPECT_EQ(failed.err, "????????????: " + missing + "\n");
}

TEST_F(CliEndToEndTest, ControlCharactersInNamesNeverReachTheTerminal) {
  if (const std::string reason = ControlCharacterNamesSkipReason(); !reason.empty()) {
    GTEST_SKIP() << reason;
  }
  m_dir.Write("new/evil\x1B]0;title\x07.c", "int e;\n");
  CliOutcome outcome = RunQuintrelCli({Old(), New()});
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_EQ(outcome.out.find('\x1B'), std::string::npos);
  EXPECT_NE(outcome.out.find("evil?]0;title?.c"), std::string::npos) << outcome.out;
}

// The bundled examples show every kind of change; their numbers were worked out by hand
// from the counting rules (see README.md). Tree mode lists the flat rows first, then the
// subfolders' files, which the flat run leaves out.
TEST(CliExamplesTest, BundledExamplesGiveTheDocumentedTables) {
  const std::string examples = QUINTREL_EXAMPLES_DIR;
  const std::string heading = "       ﾌｧｲﾙ名           追加  削除  LOC\n";
  const std::string flatRows =
      "       buffer.cpp          3     2   19\n"
      "       Config.h            1     0    6\n"
      "+      json_writer.cpp     5     0    5\n"
      "-      legacy_io.c         0     5    0\n"
      "       main.c              2     2   15\n"
      "       parser.c            0     0   22\n"
      "       util.h              2     1    9\n";
  CliOutcome flat = RunQuintrelCli({examples + "/old", examples + "/new"});
  EXPECT_EQ(flat.exitStatus, 0);
  EXPECT_EQ(flat.out, heading + flatRows + "Total  6 (+1/-1)          13    10   76\n");
  CliOutcome tree = RunQuintrelCli({"-r", examples + "/old", examples + "/new"});
  EXPECT_EQ(tree.exitStatus, 0);
  EXPECT_EQ(tree.out, heading + flatRows +
                          "-      legacy/serial.h     0     1    0\n"
                          "       net/socket.c        2     2    4\n"
                          "+      net/tls/tls.c       1     0    1\n"
                          "Total  8 (+2/-2)          16    13   81\n");
}

// The options reach the run: only the chosen extensions, excluded folders skipped, and the
// paths of the rows in the table and in the CSV report.
TEST(CliTreeTest, RecursiveRunWithExtensionsAndExclusions) {
  ScopedTempDir dir;
  dir.Write("old/src/a.cc", "int a;\n");
  dir.Write("new/src/a.cc", "int a;\nint b;\n");
  dir.Write("new/src/gen/skip.cc", "int s;\n");
  dir.Write("new/gen/skip.cc", "int s;\n");
  dir.Write("new/top.c", "int t;\n");
  const std::string oldDir = (dir.path() / "old").string();
  const std::string newDir = (dir.path() / "new").string();
  CliOutcome outcome =
      RunQuintrelCli({"-r", "--ext", "cc", "--exclude-dir", "gen", oldDir, newDir});
  EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
  EXPECT_EQ(outcome.out,
            "       ﾌｧｲﾙ名     追加  削除  LOC\n"
            "       src/a.cc      1     0    2\n"
            "Total  1 (+0/-0)     1     0    2\n");
  CliOutcome csv = RunQuintrelCli({"-r", "--csv", "-", oldDir, newDir});
  EXPECT_EQ(csv.exitStatus, 0) << csv.err;
  EXPECT_NE(csv.out.find("\r\n+,top.c,1,0,1\r\n"), std::string::npos) << csv.out;
  EXPECT_EQ(csv.out.find("a.cc"), std::string::npos) << csv.out;
}

// Runs also unprivileged: root enters every folder. A folder that can be listed but not
// entered gives the same row whether it is the top folder of a flat or a tree run, or lies
// two folders down: its file cannot be read and counts as absent there.
TEST(CliTreeTest, FolderThatCanBeListedButNotEnteredGivesTheSameRowsAtAnyDepth) {
  if (IgnoresFilePermissions()) GTEST_SKIP() << FilePermissionsSkipReason();
  ScopedTempDir dir;
  for (const char* side : {"old", "new"}) {
    dir.Write(std::string("top/") + side + "/t.c", "int a;\nint b;\n");
    dir.Write(std::string("deep/") + side + "/d/e/t.c", "int a;\nint b;\n");
  }
  ASSERT_TRUE(SetFileMode(dir.path() / "top/old", 0444));
  ASSERT_TRUE(SetFileMode(dir.path() / "deep/old/d/e", 0444));
  const struct {
    std::vector<std::string> args;
    const char* row;
  } runs[] = {
      {{"top/old", "top/new"}, "\r\n,t.c,2,0,2\r\n"},
      {{"-r", "top/old", "top/new"}, "\r\n,t.c,2,0,2\r\n"},
      {{"-r", "deep/old", "deep/new"}, "\r\n,d/e/t.c,2,0,2\r\n"},
  };
  for (const auto& run : runs) {
    std::vector<std::string> args{"--csv", "-"};
    for (const std::string& arg : run.args) {
      args.push_back(arg.starts_with("-") ? arg : (dir.path() / arg).string());
    }
    const CliOutcome csv = RunQuintrelCli(args);
    EXPECT_EQ(csv.exitStatus, 0) << csv.err;
    EXPECT_NE(csv.out.find(run.row), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("\r\nTotal,1 (+0/-0),2,0,2\r\n"), std::string::npos) << csv.out;
  }
}

}  // namespace
}  // namespace quintrel::testing
