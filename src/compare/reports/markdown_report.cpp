#include "compare/reports/markdown_report.h"

#include <string_view>
#include <vector>

#include "compare/reports/csv_report.h"
#include "compare/results/extension_sums.h"
#include "compare/results/folder_sums.h"
#include "compare/text/utf8.h"

namespace quintrel {

namespace {

// What table cells and inline markup read: a backslash before each makes it plain text.
// ('$' starts mathematics on GitHub.)
constexpr std::string_view kMarkup = "\\`*_[]<>|~&$";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

using Cells = RowTexts;

std::string TableLine(const Cells& cells) {
  std::string line = "|";
  for (const std::string& cell : cells) line += " " + cell + " |";
  return line + "\n";
}

// The heading and the line that aligns the number columns to the right.
std::string TableHead(const Cells& heading) {
  return TableLine(heading) + "| :-- | :-- | --: | --: | --: |\n";
}

// A line of sums whose first cell is already Markdown text.
std::string SumLine(const std::string& firstCell, const FileCounts& counts, const Totals& totals) {
  return TableLine(SumLineTexts(firstCell, counts, totals));
}

std::string JoinedList(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
  return text;
}

// The options that change which files are measured, or how: as on the command line.
std::vector<std::string> NumberOptions(const RunResult& run) {
  std::vector<std::string> options;
  if (run.scan.recursive) options.push_back("-r");
  if (run.scan.extensions != ScanOptions{}.extensions) {
    options.push_back("--ext " + JoinedList(run.scan.extensions));
  }
  for (const std::string& folder : run.scan.excludedFolders)
    options.push_back("--exclude-dir " + folder);
  for (const std::string& pattern : run.scan.excludePatterns)
    options.push_back("--exclude " + pattern);
  if (run.renamePercent > 0) options.push_back("--renames=" + std::to_string(run.renamePercent));
  if (run.pairing == PairingRule::kStatementUnits) options.push_back("-w");
  return options;
}

std::string VersionsLine(const RunResult& run) {
  std::string line =
      "Quintrel: " + MarkdownCellText(run.oldLabel) + " → " + MarkdownCellText(run.newLabel);
  const std::vector<std::string> options = NumberOptions(run);
  if (!options.empty()) {
    std::string listed;
    for (const std::string& option : options) listed += (listed.empty() ? "" : " ") + option;
    line += " (" + MarkdownCellText(listed) + ")";
  }
  return line + "\n";
}

std::string FileTable(const RunResult& run) {
  std::string text = TableHead({"", "ﾌｧｲﾙ名", "追加", "削除", "LOC"});
  for (const RowTexts& row : ReportRows(run.rows)) {
    text += TableLine({MarkdownCellText(row[0]), MarkdownCellText(row[1]), row[2], row[3], row[4]});
  }
  return text + SumLine("**Total**", run.summary.counts, run.summary.totals);
}

template <typename Sums>
std::string SumTable(std::string_view heading, const Sums& sums) {
  std::string text = TableHead({std::string(heading), "", "追加", "削除", "LOC"});
  for (const auto& sum : sums) {
    text += SumLine(MarkdownCellText(sum.name), sum.counts, sum.totals);
  }
  return text;
}

}  // namespace

std::string MarkdownCellText(const std::string& text) {
  const std::string valid = ValidUtf8(text);
  std::string cell;
  cell.reserve(valid.size());
  for (const char c : valid) {
    if (kMarkup.find(c) != std::string_view::npos) {
      cell += '\\';
      cell += c;
    } else if ((c >= 0 && c < 0x20) || c == 0x7F) {
      cell += kReplacementCharacter;  // a control character would break the line
    } else {
      cell += c;
    }
  }
  return cell;
}

std::string FormatMarkdownReport(const RunResult& run, const MarkdownTables& tables) {
  std::string report = VersionsLine(run) + "\n" + FileTable(run);
  if (tables.folders) report += "\n" + SumTable("ﾌｫﾙﾀﾞ", SumFolders(run.rows));
  if (tables.extensions) report += "\n" + SumTable("拡張子", SumExtensions(run.rows));
  return report;
}

}  // namespace quintrel
