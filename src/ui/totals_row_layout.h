#pragma once

#include <array>

namespace quintrel {

// Where the totals row's controls go along the window's x axis: the "Total" label, the file
// count box, and a box for added, deleted and LOC under the list's columns of the same name.
// Every value is in window pixels.
struct TotalsRowSpace {
  int listLeft = 0;                   // the list's visible rows
  int listRight = 0;                  // one past them
  std::array<int, 3> columnRights{};  // one past each number column as it shows now
  int labelOffset = 0;                // from the list's left to the label, at the least
  int labelWidth = 0;
  int labelGap = 0;  // between the label and the file count box
  int boxGap = 0;    // between two boxes
  int countWidth = 0;
  std::array<int, 3> numberWidths{};
};

struct Span {
  int x = 0;
  int width = 0;
  friend bool operator==(const Span&, const Span&) = default;
};

// Label, file count, added, deleted, LOC.
using TotalsRowSpans = std::array<Span, 5>;

// Each number box ends where its column ends, so that its digits stand under the column's;
// the file count box and the label stand just left of the first one. Boxes never overlap
// and keep their widths; the group stays right of the label's place and, where it fits,
// inside the list. When it cannot keep to its column a box moves right.
TotalsRowSpans PlaceTotalsRow(const TotalsRowSpace& space);

}  // namespace quintrel
