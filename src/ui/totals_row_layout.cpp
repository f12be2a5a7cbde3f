#include "ui/totals_row_layout.h"

#include <algorithm>

namespace quintrel {

TotalsRowSpans PlaceTotalsRow(const TotalsRowSpace& space) {
  const std::array<int, 3>& wide = space.numberWidths;
  const int gap = space.boxGap;
  const int firstBoxLeast = space.listLeft + space.labelOffset + space.labelWidth + space.labelGap +
                            space.countWidth + gap;
  std::array<int, 3> x{};
  for (int i = 0; i < 3; ++i) x[i] = std::min(space.columnRights[i], space.listRight) - wide[i];
  // Apart from each other and from the label, then inside the list where the group fits, and
  // apart again where it does not.
  const auto keepApart = [&] {
    x[0] = std::max(x[0], firstBoxLeast);
    for (int i = 1; i < 3; ++i) x[i] = std::max(x[i], x[i - 1] + wide[i - 1] + gap);
  };
  keepApart();
  x[2] = std::min(x[2], space.listRight - wide[2]);
  for (int i = 1; i >= 0; --i) x[i] = std::min(x[i], x[i + 1] - gap - wide[i]);
  keepApart();
  const int countX = x[0] - gap - space.countWidth;
  return {Span{countX - space.labelGap - space.labelWidth, space.labelWidth},
          Span{countX, space.countWidth}, Span{x[0], wide[0]}, Span{x[1], wide[1]},
          Span{x[2], wide[2]}};
}

}  // namespace quintrel
