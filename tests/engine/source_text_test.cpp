#include "engine/source_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace quintrel {
namespace {

ByteBuffer Bytes(const std::string& text) {
  return ByteBuffer(text.begin(), text.end());
}

std::string Translated(const std::string& raw) {
  ByteBuffer bytes = Bytes(raw);
  TranslateTextMode(bytes);
  return std::string(bytes.begin(), bytes.end());
}

// Byte-at-a-time statement of the rule, to check the in-place compaction against.
std::string TranslatedSlowly(const std::string& raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size() && raw[i] != '\x1A'; ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    out += raw[i];
  }
  return out;
}

TEST(TranslateTextModeTest, FollowsTheTextModeRules) {
  struct Case {
    std::string raw;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"a\r\nb\r\n", "a\nb\n"},
      {"a\rb", "a\rb"},
      {"\r", "\r"},
      {"a\r", "a\r"},
      {"\r\n\r\n", "\n\n"},
      {"a\r\r\nb", "a\r\nb"},
      {"\n\r", "\n\r"},
      {"ab\x1A;d\r\n", "ab"},
      {"\x1A", ""},
      {"a\r\x1A\nb", "a\r"},
  };
  for (const Case& c : cases) EXPECT_EQ(Translated(c.raw), c.expected) << c.raw;
  EXPECT_EQ(Translated(std::string("a\0\xFF\r\n", 5)), std::string("a\0\xFF\n", 4));
}

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
    ASSERT_EQ(Translated(raw), TranslatedSlowly(raw)) << testing::PrintToString(raw);
  }
}

TEST(BuildLineTableTest, RecordsEveryLineStart) {
  struct Case {
    std::string bytes;
    LineTable expected;
  } cases[] = {
      {"", {0}},           {"a\nb", {0, 2}}, {"a\nb\n", {0, 2, 4}},
      {"\n\n", {0, 1, 2}}, {"a\rb", {0}},    {"ab\xFF;d\nx", {0, 6}},
  };
  for (const Case& c : cases) {
    LineTable lines = {7, 8, 9};  // replaced, not appended to
    BuildLineTable(Bytes(c.bytes), lines);
    EXPECT_EQ(lines, c.expected) << c.bytes;
  }
}

// The lines holding a mark byte, found line by line.
LargeVector<std::int32_t> LinesWithMarksSlowly(const std::string& bytes) {
  LargeVector<std::int32_t> marked;
  std::size_t start = 0;
  for (std::int32_t line = 0;; ++line) {
    const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
    if (bytes.substr(start, end - start).find_first_of(";{:#") != std::string::npos) {
      marked.push_back(line);
    }
    if (end == bytes.size()) return marked;
    start = end + 1;
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
    ASSERT_EQ(marked, LinesWithMarksSlowly(bytes)) << bytes;
  }
}

}  // namespace
}  // namespace quintrel
