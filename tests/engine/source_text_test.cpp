#include "engine/source_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "../../fuzz/checks/text_mode_check.h"
#include "engine/text_builder.h"

namespace quintrel {
namespace {

ByteBuffer Bytes(const std::string& text) {
  return ByteBuffer(text.begin(), text.end());
}

TEST(TranslateTextModeTest, FollowsTheTextModeRules) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\r\nb\r\n", "a\nb\n"}, {"a\rb", "a\rb"},
      {"a\r\r\nb", "a\r\nb"},   {"ab\x1A;d\r\n", "ab"},
      {"a\r\x1A\nb", "a\r"},    {std::string("a\0\xFF\r\n", 5), std::string("a\0\xFF\n", 4)},
  };
  for (const auto& [raw, expected] : cases) {
    ByteBuffer bytes = Bytes(raw);
    TranslateTextMode(bytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected) << raw;
  }
}

// Random texts through the byte-at-a-time translation and the line-start check, which also
// covers the line table of the raw bytes.
TEST(TranslateTextModeTest, AgreesWithByteAtATimeRuleOnRandomTexts) {
  std::mt19937 random(12345);
  const char alphabet[] = {'a', '\r', '\n', '\xFF'};
  for (int round = 0; round < 3000; ++round) {
    std::string raw;
    std::size_t length = random() % 40;
    for (std::size_t i = 0; i < length; ++i) {
      // Ctrl-Z is rare, so that most texts have bytes after it or none at all.
      std::size_t pick = random() % 40;
      raw += pick == 0 ? '\x1A' : alphabet[pick % 4];
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(raw.data());
    ASSERT_EQ(fuzz::CheckTextMode(data, raw.size()), "") << ::testing::PrintToString(raw);
  }
}

// Lines of every length around the 64-byte blocks the listing works in, marks at a line's
// first and last byte and on lines that span several blocks, and a list reused from a
// longer text.
TEST(BuildLineTableTest, ListsTheLinesHoldingMarks) {
  std::mt19937 random(17);
  const char alphabet[] = {'a', '\n', ';', '{', ':', '#', ' ', '}'};
  LargeVector<std::int32_t> marked(500, 3);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    const std::size_t size = random() % 400;
    // Long runs without line ends in some texts, many short lines in others.
    const unsigned endChance = round % 3 == 0 ? 200 : 8;
    for (std::size_t at = 0; at < size; ++at) {
      const unsigned pick = random() % endChance;
      bytes += pick == 0 ? '\n' : alphabet[random() % 8 == 0 ? 2 + random() % 4 : 0];
    }
    LineTable lines = {5};
    BuildLineTableListingMarks(Bytes(bytes), lines, marked);
    LineTable expectedLines;
    BuildLineTable(Bytes(bytes), expectedLines);
    ASSERT_EQ(lines, expectedLines) << bytes;
    LargeVector<std::int32_t> expectedMarked;
    const std::vector<bool> withMarks = testing::LinesWithMarks(bytes);
    for (std::size_t line = 0; line < withMarks.size(); ++line) {
      if (withMarks[line]) expectedMarked.push_back(static_cast<std::int32_t>(line));
    }
    ASSERT_EQ(marked, expectedMarked) << bytes;
  }
}

}  // namespace
}  // namespace quintrel
