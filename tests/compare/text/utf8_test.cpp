#include "compare/text/utf8.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quintrel {
namespace {

TEST(DecodeUtf8Char, DecodesOnlyValidSequences) {
  struct Case {
    std::string_view text;
    std::size_t pos;
    Utf8Char expected;
  } cases[] = {
      {"a", 0, {'a', 1, true}},
      {"x\xE8\xBF\xBD", 1, {U'追', 3, true}},
      {"\xF0\x9F\x98\x80", 0, {0x1F600, 4, true}},
      {"\xF4\x8F\xBF\xBF", 0, {0x10FFFF, 4, true}},
      // Every failure reads one byte, so that a reader always moves on.
      {"\x80", 0, {0, 1, false}},              // a continuation byte without a lead
      {"\xE0\x80\x80", 0, {0, 1, false}},      // overlong
      {"\xC0\xAF", 0, {0, 1, false}},          // overlong '/'
      {"\xC3(", 0, {0, 1, false}},             // a lead without its continuation
      {"\xE8\xBF", 0, {0, 1, false}},          // cut off at the end
      {"\xED\xA0\x80", 0, {0, 1, false}},      // surrogate
      {"\xF4\x90\x80\x80", 0, {0, 1, false}},  // beyond U+10FFFF
      {"\xF8\x88\x80\x80\x80", 0, {0, 1, false}},
      {"\xFF", 0, {0, 1, false}},
  };
  for (const Case& c : cases) {
    const Utf8Char got = DecodeUtf8Char(c.text, c.pos);
    EXPECT_EQ(got.valid, c.expected.valid) << ::testing::PrintToString(c.text);
    EXPECT_EQ(got.length, c.expected.length) << ::testing::PrintToString(c.text);
    if (c.expected.valid) {
      EXPECT_EQ(got.codePoint, c.expected.codePoint) << ::testing::PrintToString(c.text);
    }
  }
}

}  // namespace
}  // namespace quintrel
