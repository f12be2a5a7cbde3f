#include "ui/window_info.h"

#include <gtest/gtest.h>

namespace quintrel {
namespace {

const WindowInfo kDefaults{QSize(400, 380), kDefaultColumnWidths};
const WindowLimits kLimits{QSize(393, 369), QSize(1280, 800), 1280};

TEST(WindowInfoTest, FormatsSevenNumbersAndReadsThemBack) {
  const WindowInfo info{QSize(700, 500), {20, 200, 60, 60, 70}};
  EXPECT_EQ(FormatWindowInfo(info), QStringLiteral("700 500 20 200 60 60 70"));
  EXPECT_EQ(ParseWindowInfo(FormatWindowInfo(info), kDefaults, kLimits), info);
  EXPECT_EQ(
      ParseWindowInfo(QStringLiteral("  700\t500 20 200\n60 60 70 99 junk"), kDefaults, kLimits),
      info);
}

TEST(WindowInfoTest, IncompleteOrMalformedTextGivesDefaults) {
  for (const char* text : {"", "700 500", "700 500 20 200 60 60", "abc", "700 500 20 x 60 60 70",
                           "700.5 500 20 200 60 60 70"}) {
    EXPECT_EQ(ParseWindowInfo(QString::fromLatin1(text), kDefaults, kLimits), kDefaults) << text;
  }
}

TEST(WindowInfoTest, ClampsSizesAndRepairsColumnWidths) {
  const auto parse = [](const char* text) {
    return ParseWindowInfo(QString::fromLatin1(text), kDefaults, kLimits);
  };
  EXPECT_EQ(parse("10 -5 15 140 60 60 60").outerSize, QSize(393, 369));
  EXPECT_EQ(parse("99999 99999 15 140 60 60 60").outerSize, QSize(1280, 800));
  EXPECT_EQ(parse("700 500 -3 0 99999 1 60").columnWidths,
            (std::array<int, kColumnCount>{15, 140, 1280, 1, 60}));
}

}  // namespace
}  // namespace quintrel
