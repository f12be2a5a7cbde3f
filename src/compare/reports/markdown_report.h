#pragma once

#include <string>

#include "compare/run/measurement_run.h"

namespace quintrel {

// Which tables follow the file table.
struct MarkdownTables {
  bool folders = false;     // SumFolders of the rows
  bool extensions = false;  // SumExtensions of the rows
};

// The run as a GitHub-flavoured Markdown report, UTF-8, ending in a newline: a line naming
// the two versions and the options that change the numbers, the file table (marker, name,
// 追加, 削除, LOC, numbers right-aligned) with the run's total line, then the tables asked for.
// Names are escaped so that no byte of theirs can end a cell or start markup; bytes that
// are not valid UTF-8 show as U+FFFD.
std::string FormatMarkdownReport(const RunResult& run, const MarkdownTables& tables);

// A text as the content of a table cell: valid UTF-8, with every character that Markdown
// or a table reads as markup escaped by a backslash.
std::string MarkdownCellText(const std::string& text);

}  // namespace quintrel
