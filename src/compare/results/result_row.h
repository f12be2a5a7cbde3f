#pragma once

#include <array>
#include <string>
#include <string_view>

#include "compare/listing/catalogue.h"
#include "engine/file_result.h"

namespace quintrel {

// One measured file: a row of the result table. `oldName` and `newName` are the file's
// names on disk below each folder (empty on a side that lacks it); in a tree they may differ
// from `name` in the letter case of any folder or file name.
struct ResultRow {
  PresenceFlags flags = 0;
  std::string name;
  FileResult result;
  std::string oldName;
  std::string newName;
  std::string renamedFrom = {};  // as CatalogueEntry::renamedFrom
};

// The name of the row's file in the new version as the row shows it: for a rename the part
// after kRenameArrow, otherwise the whole name.
inline std::string_view ShownNewName(const ResultRow& row) {
  if (row.renamedFrom.empty()) return row.name;
  return std::string_view(row.name).substr(row.renamedFrom.size() + kRenameArrow.size());
}

// The columns of the result table, in the order the list, the table and the report show them.
enum ResultColumn {
  kColumnMarker = 0,
  kColumnName,
  kColumnAdded,
  kColumnDeleted,
  kColumnLoc,
  kColumnCount
};

// The texts of one line of the table, column by column.
using RowTexts = std::array<std::string, kColumnCount>;

}  // namespace quintrel
