#pragma once

#include <array>
#include <string>

#include "compare/catalogue.h"
#include "engine/file_result.h"

namespace quintrel {

// One measured file: a row of the result table.
struct ResultRow {
  PresenceFlags flags = 0;
  std::string name;
  FileResult result;
};

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
