#include "compare/text/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace quintrel {
namespace {

TEST(Utf8ToCp932, ConvertsAsciiKatakanaAndKanji) {
  EXPECT_EQ(Utf8ToCp932("main.c \\~"), "main.c \\~");
  // Half-width katakana are single bytes; full-width words are double-byte characters.
  EXPECT_EQ(Utf8ToCp932("ﾌｧｲﾙ名"), "\xCC\xA7\xB2\xD9\x96\xBC");
  EXPECT_EQ(Utf8ToCp932("ファイル名"), "\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC");
  EXPECT_EQ(Utf8ToCp932(""), "");
}

TEST(Utf8ToCp932, RefusesInvalidOrUnmappableText) {
  EXPECT_EQ(Utf8ToCp932("a\xFF"
                        "b"),
            std::nullopt);
  EXPECT_EQ(Utf8ToCp932("a\xE3\x81"), std::nullopt);          // truncated sequence
  EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80"), std::nullopt);  // emoji
}

TEST(Utf8ToCp932Lossy, ReplacesWhatHasNoFormWithQuestionMarks) {
  EXPECT_EQ(Utf8ToCp932Lossy("新\xF0\x9F\x98\x80.c"), "\x90\x56?.c");
  EXPECT_EQ(Utf8ToCp932Lossy("a\xFF"
                             "b"),
            "a?b");
  EXPECT_EQ(Utf8ToCp932Lossy("a\xE3\x81"), "a??");
  EXPECT_EQ(Utf8ToCp932Lossy("\xF0\x9F\x98\x80\xF0\x9F\x98\x80"), "??");
  // Long text crosses the converter's buffer size without losing bytes.
  const std::string longName(1000, 'x');
  EXPECT_EQ(Utf8ToCp932Lossy(longName + "名"), longName + "\x96\xBC");
}

TEST(Cp932ToUtf8, RoundTripsAndRefusesBrokenText) {
  EXPECT_EQ(Cp932ToUtf8("\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC"), "ファイル名");
  EXPECT_EQ(Cp932ToUtf8("\xB1x"), "ｱx");
  EXPECT_EQ(Cp932ToUtf8("a\x81"), std::nullopt);  // lead byte without trail
}

TEST(IsCp932LeadByte, CoversBothRanges) {
  EXPECT_FALSE(IsCp932LeadByte(0x80));
  EXPECT_TRUE(IsCp932LeadByte(0x81));
  EXPECT_TRUE(IsCp932LeadByte(0x9F));
  EXPECT_FALSE(IsCp932LeadByte(0xA0));
  EXPECT_FALSE(IsCp932LeadByte(0xDF));  // half-width katakana
  EXPECT_TRUE(IsCp932LeadByte(0xE0));
  EXPECT_TRUE(IsCp932LeadByte(0xFC));
  EXPECT_FALSE(IsCp932LeadByte(0xFD));
}

struct OrderCase {
  const char* a;
  const char* b;
  int expected;
};

class CompareCp932NoCaseTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(CompareCp932NoCaseTest, OrdersLikeTheWindowsRuntime) {
  const OrderCase& c = GetParam();
  EXPECT_EQ(CompareCp932NoCase(c.a, c.b), c.expected) << c.a << " vs " << c.b;
  EXPECT_EQ(CompareCp932NoCase(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareCp932NoCaseTest,
    ::testing::Values(OrderCase{"a_b.c", "aBb.c", -1},  // '_' sorts before every folded letter
                      OrderCase{"alpha.c", "Zeta.c", -1}, OrderCase{"MAIN.C", "main.c", 0},
                      OrderCase{"ab", "abc", -1}, OrderCase{"", "", 0}, OrderCase{"", "a", -1},
                      OrderCase{"z", "\xB1", -1},             // ASCII before half-width katakana
                      OrderCase{"\xDF", "\x81\x40", -1},      // katakana before double-byte
                      OrderCase{"\x82\x60", "\x82\x81", 0},   // Ａ folds to ａ
                      OrderCase{"\x82\x79", "\x82\x9A", 0},   // Ｚ folds to ｚ
                      OrderCase{"\x82\x7A", "\x82\x9B", -1},  // just past Ｚ: no folding
                      OrderCase{"\x82\x60", "b", 1},          // full-width after every single byte
                      OrderCase{"\x88\x9F", "\x88\xA0", -1},  // kanji in code order
                      OrderCase{"\x9F\xFC", "\xE0\x40", -1},
                      OrderCase{"\x83\x41", "\x83\x61", -1},  // a trail byte is never a letter
                      OrderCase{"a\x81", "a\x81\x40", -1},    // a final lead byte stands alone
                      OrderCase{"a\x81", "a\x80", 1}));

}  // namespace
}  // namespace quintrel
