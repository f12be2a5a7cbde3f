// The Markdown report as GitHub renders it: through cmark-gfm, the reference implementation
// of GitHub-flavoured Markdown (Debian cmark-gfm), into HTML whose cells are read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "compare/reports/markdown_report.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

constexpr PresenceFlags kBoth = kInOld | kInNew;

std::string RenderToHtml(const std::string& markdown) {
  testing::ScopedTempDir dir;
  dir.Write("report.md", markdown);
  const std::string command =
      "cmark-gfm --extension table --to html '" + (dir.path() / "report.md").string() + "'";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string html;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    html.append(buffer, got);
  EXPECT_EQ(pclose(pipe), 0) << "cmark-gfm failed (Debian package cmark-gfm)";
  return html;
}

// The text of HTML with its entities read, in one pass (so "&amp;lt;" stays "&lt;").
std::string Unescaped(const std::string& html) {
  std::string text;
  for (std::size_t pos = 0; pos < html.size();) {
    bool replaced = false;
    for (const auto& [entity, character] : {std::pair("&lt;", '<'), std::pair("&gt;", '>'),
                                            std::pair("&quot;", '"'), std::pair("&amp;", '&')}) {
      const std::string_view name(entity);
      if (html.compare(pos, name.size(), name) == 0) {
        text += character;
        pos += name.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) text += html[pos++];
  }
  return text;
}

// The cells of every table row, as text.
std::vector<std::vector<std::string>> TableRows(const std::string& html) {
  std::vector<std::vector<std::string>> rows;
  for (std::size_t row = html.find("<tr>"); row != std::string::npos;
       row = html.find("<tr>", row + 1)) {
    const std::size_t rowEnd = html.find("</tr>", row);
    std::vector<std::string> cells;
    for (std::size_t cell = html.find("<t", row + 4); cell < rowEnd;
         cell = html.find("<t", cell + 1)) {
      const std::size_t start = html.find('>', cell) + 1;
      const std::size_t end = html.find("</t", start);
      cells.push_back(Unescaped(html.substr(start, end - start)));
      cell = end;
    }
    rows.push_back(cells);
  }
  return rows;
}

// Names full of what Markdown reads as markup render as themselves, each in its own cell.
TEST(MarkdownRender, EveryNameAndNumberLandsInItsOwnCellAsWritten) {
  const std::vector<std::string> names = {
      "plain.c",      "a|b.c",       "*bold*.c", "_under_.h",    "`tick`.cpp",    "$x$.c",
      "<b>tag</b>.c", "[link](x).c", "&amp;.h",  "~~strike~~.c", "back\\slash.c", "dir/**/x.c"};
  RunResult run;
  run.oldLabel = "/old|dir";
  run.newLabel = "/new_*dir*";
  for (std::size_t i = 0; i < names.size(); ++i) {
    run.rows.push_back({kBoth, names[i], {int(i), 1, int(10 + i)}, {}, {}});
  }
  run.summary = SummarizeRows(run.rows);
  const std::string html = RenderToHtml(FormatMarkdownReport(run, {true, true}));
  EXPECT_NE(html.find("<p>Quintrel: /old|dir → /new_*dir*</p>"), std::string::npos) << html;
  const std::vector<std::vector<std::string>> rows = TableRows(html);
  // The file table: heading, the rows, the total; then the (empty) folder table's heading and
  // the extension table.
  ASSERT_GE(rows.size(), names.size() + 2);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"", "ﾌｧｲﾙ名", "追加", "削除", "LOC"}));
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(rows[i + 1], (std::vector<std::string>{"", names[i], std::to_string(i), "1",
                                                     std::to_string(10 + i)}))
        << names[i];
  }
  EXPECT_EQ(rows[names.size() + 1],
            (std::vector<std::string>{"<strong>Total</strong>", "12 (+0/-0)", "66", "12", "186"}));
  EXPECT_NE(html.find("<td align=\"right\">"), std::string::npos);
}

}  // namespace
}  // namespace quintrel
