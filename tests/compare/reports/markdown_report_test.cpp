#include "compare/reports/markdown_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quintrel {
namespace {

constexpr PresenceFlags kBoth = kInOld | kInNew;

RunResult RunOf(std::vector<ResultRow> rows) {
  RunResult run;
  run.oldLabel = "/src/old";
  run.newLabel = "/src/new";
  run.rows = std::move(rows);
  run.summary = SummarizeRows(run.rows);
  return run;
}

TEST(FormatMarkdownReport, WritesTheVersionsTheFileTableAndTheTotal) {
  const RunResult run = RunOf({{kBoth, "main.c", {3, 1, 120}, {}, {}},
                               {kInOld, "gone.h", {0, 4, 0}, {}, {}},
                               {kInNew, "new.cpp", {2, 0, 2}, {}, {}}});
  EXPECT_EQ(FormatMarkdownReport(run, {}),
            "Quintrel: /src/old → /src/new\n"
            "\n"
            "|  | ﾌｧｲﾙ名 | 追加 | 削除 | LOC |\n"
            "| :-- | :-- | --: | --: | --: |\n"
            "|  | main.c | 3 | 1 | 120 |\n"
            "| - | gone.h | 0 | 4 | 0 |\n"
            "| + | new.cpp | 2 | 0 | 2 |\n"
            "| **Total** | 2 (+1/-1) | 5 | 5 | 122 |\n");
}

TEST(FormatMarkdownReport, NamesTheOptionsThatChangeTheNumbersAndAddsTheTablesAskedFor) {
  RunResult run =
      RunOf({{kBoth, "net/a.c", {1, 0, 1}, {}, {}}, {kInNew, "net/B.H", {2, 0, 2}, {}, {}}});
  run.oldLabel = "v1:src";
  run.newLabel = "v2:src";
  run.scan.recursive = true;
  run.scan.extensions = {"c", "h"};
  run.scan.excludedFolders = {"build"};
  run.renamePercent = 60;
  run.pairing = PairingRule::kStatementUnits;
  const std::string report = FormatMarkdownReport(run, {true, true});
  EXPECT_EQ(report.substr(0, report.find('\n')),
            "Quintrel: v1:src → v2:src (-r --ext c,h --exclude-dir build --renames=60 -w)");
  EXPECT_NE(report.find("\n\n| ﾌｫﾙﾀﾞ |  | 追加 | 削除 | LOC |\n| :-- | :-- | --: | --: | --: |\n"
                        "| net | 2 (+1/-0) | 3 | 0 | 3 |\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("\n\n| 拡張子 |  | 追加 | 削除 | LOC |\n| :-- | :-- | --: | --: | --: |\n"
                        "| .c | 1 (+0/-0) | 1 | 0 | 1 |\n| .h | 1 (+1/-0) | 2 | 0 | 2 |\n"),
            std::string::npos)
      << report;
}

TEST(MarkdownCellText, EscapesMarkupAndReplacesWhatIsNoText) {
  EXPECT_EQ(MarkdownCellText("a|b*c_d`e[f]<g>~h&i$j\\k"),
            "a\\|b\\*c\\_d\\`e\\[f\\]\\<g\\>\\~h\\&i\\$j\\\\k");
  EXPECT_EQ(MarkdownCellText("kernel/fork.c"), "kernel/fork.c");
  EXPECT_EQ(MarkdownCellText("日本語.c"), "日本語.c");
  EXPECT_EQ(MarkdownCellText("bad\xFF.c"), "bad\xEF\xBF\xBD.c");
  EXPECT_EQ(MarkdownCellText("line\nbreak\t.c"),
            "line\xEF\xBF\xBD"
            "break\xEF\xBF\xBD.c");
}

}  // namespace
}  // namespace quintrel
