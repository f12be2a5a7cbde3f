#include "cli/result_table.h"

#include <algorithm>

#include "cli/display_width.h"

namespace quintrel {
namespace {

constexpr const char* kColumnGap = "  ";

bool IsRightAligned(std::size_t column) {
  return column >= kColumnAdded;
}

std::array<std::size_t, kColumnCount> ColumnWidths(const std::vector<TableRow>& lines) {
  std::array<std::size_t, kColumnCount> widths{};
  for (const TableRow& line : lines) {
    for (std::size_t column = 0; column < kColumnCount; ++column) {
      widths[column] = std::max(widths[column], DisplayWidth(line[column]));
    }
  }
  return widths;
}

std::string FormatLine(const TableRow& line, const std::array<std::size_t, kColumnCount>& widths) {
  std::string text;
  for (std::size_t column = 0; column < kColumnCount; ++column) {
    if (column > 0) text += kColumnGap;
    std::string padding(widths[column] - DisplayWidth(line[column]), ' ');
    if (IsRightAligned(column)) {
      text += padding + line[column];
    } else {
      text += line[column] + padding;
    }
  }
  text.erase(text.find_last_not_of(' ') + 1);
  return text + '\n';
}

}  // namespace

TableRow ResultTableHeading() {
  return {"", "ﾌｧｲﾙ名", "追加", "削除", "LOC"};
}

TableRow FolderTableHeading() {
  return {"ﾌｫﾙﾀﾞ", "", "追加", "削除", "LOC"};
}

TableRow ExtensionTableHeading() {
  return {"拡張子", "", "追加", "削除", "LOC"};
}

std::string FormatResultTable(const std::vector<TableRow>& lines) {
  std::array<std::size_t, kColumnCount> widths = ColumnWidths(lines);
  std::string text;
  for (const TableRow& line : lines) text += FormatLine(line, widths);
  return text;
}

}  // namespace quintrel
