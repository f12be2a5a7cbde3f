#pragma once

#include <string>
#include <vector>

#include "compare/results/result_row.h"

namespace quintrel {

using TableRow = RowTexts;  // a result row, the heading or the total line

// The heading of the result table: an empty marker heading, then "ﾌｧｲﾙ名", "追加", "削除"
// and "LOC".
TableRow ResultTableHeading();

// The heading of the table of folder sums that --by-folder adds: "ﾌｫﾙﾀﾞ" over the folder
// names, nothing over the file count texts, then "追加", "削除" and "LOC".
TableRow FolderTableHeading();

// The heading of the table of sums per extension.
TableRow ExtensionTableHeading();

// Lays out the heading, the rows and the total line as text lines ending in '\n'. Column
// widths come from the content in terminal cells; the marker and name columns are
// left-aligned, the number columns right-aligned, columns are two blanks apart, and no
// line ends in blanks. Cells must already be fit for the terminal (see TerminalEncoder).
std::string FormatResultTable(const std::vector<TableRow>& lines);

}  // namespace quintrel
