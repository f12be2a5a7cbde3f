#include "cli/display_width.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/c_library_width.h"

namespace quintrel {
namespace {

// The width of each script is checked against the C library below; here, whole texts.
TEST(DisplayWidthTest, CountsCellsOfMixedText) {
  EXPECT_EQ(DisplayWidth(""), 0u);
  EXPECT_EQ(DisplayWidth("ﾌｧｲﾙ名"), 6u);  // half-width katakana take one cell
  EXPECT_EQ(DisplayWidth("設定_v2.h"), 9u);
  EXPECT_EQ(DisplayWidth("e\u0301"), 1u);           // combining accent
  EXPECT_EQ(DisplayWidth("\xF0\xA0\x80\x8B"), 2u);  // CJK extension B
}

TEST(DisplayWidthTest, InvalidBytesTakeOneCellEach) {
  EXPECT_EQ(DisplayWidth("a\xFF"
                         "b"),
            3u);
  EXPECT_EQ(DisplayWidth("\xE8\xBF"), 2u);          // truncated three-byte sequence
  EXPECT_EQ(DisplayWidth("\xC0\xAF"), 2u);          // overlong '/'
  EXPECT_EQ(DisplayWidth("\xED\xA0\x80"), 3u);      // surrogate
  EXPECT_EQ(DisplayWidth("\xF4\x90\x80\x80"), 4u);  // beyond U+10FFFF
}

// The C library knows the East Asian widths of its UTF-8 locale; the scripts a file name
// is written in must agree with it cell for cell.
TEST(DisplayWidthTest, AgreesWithTheCLibraryOnEastAsianScripts) {
  if (!testing::CLibraryWidths(U'a', U'a')) GTEST_SKIP() << "no wcwidth in a UTF-8 locale here";
  const std::pair<char32_t, char32_t> blocks[] = {
      {0x20, 0x7E},     {0xA0, 0x2FF},    {0x1100, 0x11FF},   {0x2E80, 0x2FDF}, {0x3000, 0x30FF},
      {0x3100, 0x33FF}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},   {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
      {0xFE30, 0xFE4F}, {0xFF00, 0xFFEF}, {0x20000, 0x2A6DF},
  };
  int mismatches = 0;
  for (auto [first, last] : blocks) {
    const std::vector<int> widths = testing::CLibraryWidths(first, last).value();
    for (char32_t cp = first; cp <= last; ++cp) {
      const int expected = widths[cp - first];
      if (expected < 0) continue;  // unassigned in the library's tables
      if (CodePointWidth(cp) != expected && ++mismatches <= 10) {
        ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(cp) << ": " << std::dec
                      << CodePointWidth(cp) << " cells, the C library says " << expected;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(DisplayWidthTest, ReplacesControlCharactersAndInvalidBytes) {
  EXPECT_EQ(ReplaceControlCharacters("plain 名前.c"), "plain 名前.c");
  EXPECT_EQ(ReplaceControlCharacters("a\nb\tc"), "a?b?c");
  EXPECT_EQ(ReplaceControlCharacters("\x1B[31mred.c"), "?[31mred.c");
  EXPECT_EQ(ReplaceControlCharacters("\x7F\xC2\x9B"), "??");  // DEL and C1 CSI
  EXPECT_EQ(ReplaceControlCharacters("x\xFFy"), "x?y");
}

}  // namespace
}  // namespace quintrel
