#include "ui/dialog_units.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

namespace quintrel {
namespace {

TEST(DialogUnitsTest, ConvertsEachEdgeWithRounding) {
  const DialogBaseUnits units{6, 13};
  // left 39*6/4 = 58.5 -> 59, top 5*13/8 = 8.125 -> 8, right 180*6/4 = 270, bottom 84*13/8 =
  // 136.5 -> 137.
  EXPECT_EQ(DialogRect(units, 39, 5, 141, 79), QRect(59, 8, 211, 129));
  EXPECT_EQ(DialogSize(units, 262, 227), QSize(393, 369));
  EXPECT_EQ(DialogRect(units, 0, 0, 0, 0), QRect(0, 0, 0, 0));
}

TEST(DialogUnitsTest, BaseUnitsFollowTheFont) {
  const QFont font = DialogFont();
  EXPECT_EQ(font.pointSize(), 9);
  const QFontMetrics metrics(font);
  const DialogBaseUnits units = ComputeBaseUnits(metrics);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  EXPECT_EQ(units.charWidth, (letters / 26 + 1) / 2);
  EXPECT_EQ(units.charHeight, metrics.height());
  EXPECT_GT(units.charWidth, 0);
}

}  // namespace
}  // namespace quintrel
