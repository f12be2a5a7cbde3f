#include "engine/line_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/text_builder.h"

namespace quintrel {
namespace {

std::vector<std::string> Scanned(const std::string& bytes, std::size_t batch) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  LineScan scan(data, bytes.size());
  std::vector<std::string> lines;
  std::vector<LineKey> keys(batch);
  while (const std::size_t given = scan.Next(keys.data(), batch)) {
    for (std::size_t i = 0; i < given; ++i)
      lines.emplace_back(reinterpret_cast<const char*>(keys[i].data), keys[i].size);
  }
  EXPECT_EQ(scan.Next(keys.data(), batch), 0u) << "more lines after the last";
  return lines;
}

std::vector<std::string> FromTable(const std::string& bytes) {
  const SourceText text = testing::MakeText(bytes);
  const LineKeys keys(text);
  std::vector<std::string> lines;
  for (std::size_t line = 0; line < text.lines.size(); ++line) {
    const LineKey key = keys(line);
    lines.emplace_back(reinterpret_cast<const char*>(key.data), key.size);
  }
  return lines;
}

// The scan gives the lines of the line table, whatever the batch: line ends on, before and
// after block boundaries, runs of empty lines, texts ending with a line end or not.
TEST(LineScanTest, GivesTheLinesOfTheLineTable) {
  std::mt19937 random(13);
  const std::string alphabet = "ab;\n\n ";
  std::vector<std::string> texts = {"", "\n", "\n\n", "a", "a\n", "a\nb"};
  for (const std::size_t size : {63, 64, 65, 127, 128, 129}) {
    texts.push_back(std::string(size - 1, 'x') + "\n");
    texts.push_back(std::string(size, '\n'));
    texts.push_back(std::string(size, 'x'));
  }
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (std::size_t n = random() % 400; n > 0; --n) text += alphabet[random() % alphabet.size()];
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    const std::vector<std::string> expected = FromTable(text);
    for (const std::size_t batch : {1, 3, 32}) {
      EXPECT_EQ(Scanned(text, batch), expected) << ::testing::PrintToString(text);
    }
    EXPECT_EQ(CountLineEnds(reinterpret_cast<const unsigned char*>(text.data()), text.size()),
              expected.size() - 1);
  }
}

}  // namespace
}  // namespace quintrel
