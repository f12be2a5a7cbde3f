#include "ui/totals_row_layout.h"

#include <gtest/gtest.h>

namespace quintrel {
namespace {

// A list from x 10 to 610 whose number columns end at 300, 360 and 420; label 30 wide at
// least 14 right of the list's edge.
TotalsRowSpace Space() {
  TotalsRowSpace space;
  space.listLeft = 10;
  space.listRight = 610;
  space.columnRights = {300, 360, 420};
  space.labelOffset = 14;
  space.labelWidth = 30;
  space.labelGap = 6;
  space.boxGap = 4;
  space.countWidth = 150;
  space.numberWidths = {56, 56, 56};
  return space;
}

void ExpectApartAndInOrder(const TotalsRowSpans& spans, const TotalsRowSpace& space) {
  EXPECT_GE(spans[0].x, space.listLeft + space.labelOffset);
  EXPECT_EQ(spans[0].x + spans[0].width + space.labelGap, spans[1].x);
  for (int i = 2; i < 5; ++i) {
    EXPECT_EQ(spans[i].width, space.numberWidths[i - 2]);
    EXPECT_LE(spans[i - 1].x + spans[i - 1].width + space.boxGap, spans[i].x) << i;
  }
  EXPECT_EQ(spans[1].x + spans[1].width + space.boxGap, spans[2].x);
}

TEST(TotalsRowLayoutTest, NumberBoxesEndWhereTheirColumnsEnd) {
  TotalsRowSpace space = Space();
  TotalsRowSpans spans = PlaceTotalsRow(space);
  ExpectApartAndInOrder(spans, space);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(spans[2 + i].x + spans[2 + i].width, space.columnRights[i]);
  // A column made wider takes its box and those after it along.
  space.columnRights = {300, 460, 520};
  spans = PlaceTotalsRow(space);
  EXPECT_EQ(spans[3].x + spans[3].width, 460);
  EXPECT_EQ(spans[4].x + spans[4].width, 520);
  EXPECT_EQ(spans[2].x + spans[2].width, 300);
}

TEST(TotalsRowLayoutTest, BoxesMoveRightWhereColumnsAreTooNarrowOrTooFarLeft) {
  TotalsRowSpace space = Space();
  // Narrow columns: each box keeps its width and its gap.
  space.columnRights = {300, 320, 340};
  TotalsRowSpans spans = PlaceTotalsRow(space);
  ExpectApartAndInOrder(spans, space);
  EXPECT_EQ(spans[2].x + spans[2].width, 300);
  EXPECT_EQ(spans[3].x, 304);
  EXPECT_EQ(spans[4].x, 364);
  // Each box as wide as its own text needs.
  space.numberWidths = {56, 90, 40};
  spans = PlaceTotalsRow(space);
  ExpectApartAndInOrder(spans, space);
  EXPECT_EQ(spans[3].x, 304);
  EXPECT_EQ(spans[4].x, 398);
  // A name column too narrow for the label and the count: they keep their place, the numbers
  // go right of them; columns scrolled out of view the same.
  for (const std::array<int, 3> rights : {std::array{100, 160, 220}, std::array{-50, -10, 5}}) {
    space.columnRights = rights;
    spans = PlaceTotalsRow(space);
    ExpectApartAndInOrder(spans, space);
    EXPECT_EQ(spans[0].x, space.listLeft + space.labelOffset);
  }
}

TEST(TotalsRowLayoutTest, TheGroupStaysInsideTheListWhereItFits) {
  TotalsRowSpace space = Space();
  space.columnRights = {900, 1000, 1100};  // beyond the list's right edge
  TotalsRowSpans spans = PlaceTotalsRow(space);
  ExpectApartAndInOrder(spans, space);
  EXPECT_EQ(spans[4].x + spans[4].width, space.listRight);
  EXPECT_EQ(spans[3].x + spans[3].width + space.boxGap, spans[4].x);
  // A list too narrow for the group: the label keeps its place and the group runs over.
  space.listRight = 300;
  spans = PlaceTotalsRow(space);
  ExpectApartAndInOrder(spans, space);
  EXPECT_EQ(spans[0].x, space.listLeft + space.labelOffset);
  EXPECT_GT(spans[4].x + spans[4].width, space.listRight);
}

}  // namespace
}  // namespace quintrel
