// The outputs for pull requests and CI: the Markdown report, sums per extension, exclusion
// patterns and the gate on the statements changed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string_view>

#include "compare/reports/markdown_report.h"
#include "mixed_folders.h"
#include "run_cli.h"
#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

using CliCiOutputsTest = MixedFoldersTest;

TEST_F(CliCiOutputsTest, MarkdownReportToAFileOrInsteadOfTheTable) {
  // Folder names as Markdown text (a Windows path's backslashes escaped).
  const std::string markdown = "Quintrel: " + MarkdownCellText(Old()) + " → " +
                               MarkdownCellText(New()) +
                               "\n\n"
                               "|  | ﾌｧｲﾙ名 | 追加 | 削除 | LOC |\n"
                               "| :-- | :-- | --: | --: | --: |\n"
                               "|  | x.c | 1 | 0 | 3 |\n"
                               "| - | y.c | 0 | 3 | 0 |\n"
                               "| + | z.cpp | 2 | 0 | 2 |\n"
                               "| **Total** | 2 (+1/-1) | 3 | 3 | 5 |\n";
  const CliOutcome toOut = RunQuintrelCli({"--markdown", "-", Old(), New()});
  EXPECT_EQ(toOut.exitStatus, 0) << toOut.err;
  EXPECT_EQ(toOut.out, markdown);
  const std::string file = (m_dir.path() / "report.md").string();
  const CliOutcome toFile = RunQuintrelCli({"--markdown", file, "--json", "-", Old(), New()});
  EXPECT_EQ(toFile.exitStatus, 0) << toFile.err;
  EXPECT_EQ(ReadFileBytes(file), markdown);
  EXPECT_EQ(nlohmann::json::parse(toFile.out).at("total").at("added"), 3);
  // One report on standard output at most.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--markdown", "-", "--csv", "-", Old(), New()},
        std::vector<std::string>{"--json", "-", "--markdown=-", Old(), New()},
        std::vector<std::string>{"--markdown", "a", "--markdown", "b", Old(), New()}}) {
    const CliOutcome refused = RunQuintrelCli(args);
    EXPECT_EQ(refused.exitStatus, 2) << args[0];
    EXPECT_EQ(refused.out, "");
  }
}

TEST_F(CliCiOutputsTest, SumsPerExtensionInTheTableJsonAndMarkdown) {
  m_dir.Write("old/UP.C", "int u;\n");
  m_dir.Write("new/UP.C", "int u;\nint v;\n");
  const CliOutcome table = RunQuintrelCli({"--ext", "c,C,cpp", "--by-ext", Old(), New()});
  EXPECT_EQ(table.exitStatus, 0) << table.err;
  const std::string tail = table.out.substr(table.out.find("\n\n") + 2);
  EXPECT_EQ(Words(tail),
            (std::vector<std::vector<std::string>>{{"拡張子", "追加", "削除", "LOC"},
                                                   {".c", "2", "(+0/-1)", "2", "3", "5"},
                                                   {".cpp", "1", "(+1/-0)", "2", "0", "2"}}));
  const auto json = nlohmann::json::parse(
      RunQuintrelCli({"--ext", "c,C,cpp", "--by-ext", "--json", "-", Old(), New()}).out);
  ASSERT_EQ(json.at("extensions").size(), 2u);
  EXPECT_EQ(json.at("extensions")[0].at("name"), ".c");
  EXPECT_EQ(json.at("extensions")[0].at("deleted_files"), 1);
  EXPECT_FALSE(json.contains("folders"));
  // Without the option the report is as before: no such key.
  EXPECT_FALSE(nlohmann::json::parse(RunQuintrelCli({"--json", "-", Old(), New()}).out)
                   .contains("extensions"));
  const CliOutcome markdown = RunQuintrelCli({"--by-ext", "--markdown", "-", Old(), New()});
  EXPECT_NE(markdown.out.find("\n\n| 拡張子 |  | 追加 | 削除 | LOC |\n"), std::string::npos)
      << markdown.out;
}

TEST_F(CliCiOutputsTest, ExcludePatternsInFlatAndTreeRunsAndTheReports) {
  m_dir.Write("old/moc_x.cpp", "int m;\n");
  m_dir.Write("new/moc_x.cpp", "int n;\n");
  m_dir.Write("new/third_party/lib/a.c", "int a;\n");
  m_dir.Write("new/src/third_party/b.c", "int b;\n");
  const CliOutcome flat = RunQuintrelCli({"--exclude", "moc_*.cpp", "--exclude=y.*", Old(), New()});
  EXPECT_EQ(flat.exitStatus, 0) << flat.err;
  EXPECT_EQ(Words(flat.out),
            (std::vector<std::vector<std::string>>{{"ﾌｧｲﾙ名", "追加", "削除", "LOC"},
                                                   {"x.c", "1", "0", "3"},
                                                   {"+", "z.cpp", "2", "0", "2"},
                                                   {"Total", "2", "(+1/-0)", "3", "0", "5"}}));
  const CliOutcome tree =
      RunQuintrelCli({"-r", "--exclude", "third_party/**", "--json", "-", Old(), New()});
  EXPECT_EQ(tree.exitStatus, 0) << tree.err;
  const auto json = nlohmann::json::parse(tree.out);
  std::vector<std::string> names;
  for (const auto& file : json.at("files")) names.push_back(file.at("name"));
  EXPECT_EQ(names,
            (std::vector<std::string>{"moc_x.cpp", "x.c", "y.c", "z.cpp", "src/third_party/b.c"}));
  EXPECT_EQ(json.at("options").at("exclude"), nlohmann::json::array({"third_party/**"}));
  EXPECT_EQ(RunQuintrelCli({"--exclude", "", Old(), New()}).exitStatus, 2);
}

// The gate: exit status 3 once added + deleted passes the limit, after the table and the
// reports are written; a limit that holds, or none, leaves the status 0.
TEST_F(CliCiOutputsTest, FailOverGatesOnTheStatementsChanged) {
  const std::string report = (m_dir.path() / "r.json").string();
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{"--fail-over", "6"}, 0}, {{"--fail-over=5"}, 3}, {{"--fail-over", "0"}, 3}, {{}, 0}};
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    for (const std::string& more : {std::string("--json"), report, Old(), New()})
      args.push_back(more);
    std::filesystem::remove(report);
    const CliOutcome outcome = RunQuintrelCli(args);
    EXPECT_EQ(outcome.exitStatus, c.status) << outcome.err;
    EXPECT_EQ(outcome.out, kMixedTable);
    EXPECT_TRUE(std::filesystem::exists(report));
    if (c.status == 3) {
      EXPECT_EQ(outcome.err, "quintrel-cli: 6 statements changed, more than the limit of " +
                                 c.args.back().substr(c.args.back().find_first_of("0123456789")) +
                                 "\n");
    } else {
      EXPECT_EQ(outcome.err, "");
    }
  }
  // A report on standard output is still written in full before the gate.
  const CliOutcome markdown = RunQuintrelCli({"--fail-over", "1", "--markdown", "-", Old(), New()});
  EXPECT_EQ(markdown.exitStatus, 3);
  EXPECT_NE(markdown.out.find("| **Total** |"), std::string::npos);
  // A failure to write a report is status 1, not the gate's.
  const CliOutcome unwritable = RunQuintrelCli(
      {"--fail-over", "1", "--json", (m_dir.path() / "no/such/r.json").string(), Old(), New()});
  EXPECT_EQ(unwritable.exitStatus, 1);
  for (const char* bad : {"-1", "x", "", "99999999999999999999"}) {
    EXPECT_EQ(RunQuintrelCli({"--fail-over", bad, Old(), New()}).exitStatus, 2) << bad;
  }
}

// Whether `text` names `option` as a word of its own ("[-r]", "-h, --help"), not as the start
// of a longer option.
bool HasOptionWord(const std::string& text, std::string_view option) {
  constexpr std::string_view kBefore = "[ |,\n";
  constexpr std::string_view kAfter = "] =[,\n";
  for (std::size_t at = text.find(option); at != std::string::npos;
       at = text.find(option, at + 1)) {
    const std::size_t end = at + option.size();
    const bool startsWord = at == 0 || kBefore.find(text[at - 1]) != std::string_view::npos;
    const bool endsWord = end == text.size() || kAfter.find(text[end]) != std::string_view::npos;
    if (startsWord && endsWord) return true;
  }
  return false;
}

// A usage error shows the usage, which names every option --help explains.
TEST_F(CliCiOutputsTest, TheUsageLineNamesEveryOption) {
  const CliOutcome usage = RunQuintrelCli({"--nope"});
  const CliOutcome help = RunQuintrelCli({"--help"});
  for (const char* option : {"-r", "-w", "--ext", "--exclude-dir", "--exclude", "--renames",
                             "--csv", "--json", "--markdown", "--by-folder", "--by-ext",
                             "--fail-over", "--jobs", "-q", "--git", "-C", "--help", "--version"}) {
    EXPECT_TRUE(HasOptionWord(usage.err, option)) << option;
    EXPECT_TRUE(HasOptionWord(help.out, option)) << option;
  }
}

}  // namespace
}  // namespace quintrel::testing
