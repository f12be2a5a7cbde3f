#include "engine/source_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace quintrel {
namespace {

class LoadSourceTextTest : public ::testing::Test {
 protected:
  // Loads a file holding `raw`; false when the version came out absent (no line entries).
  bool Load(const std::string& raw, SourceText& text) {
    std::optional<InputFile> file = InputFile::Open(m_dir.Write("f.c", raw).string());
    if (!file) return false;
    LoadSourceText(*file, text);
    return !text.lines.empty();
  }
  testing::ScopedTempDir m_dir;
};

TEST_F(LoadSourceTextTest, ReadsInTextModeAndRecordsLineStarts) {
  struct Case {
    std::string raw;
    std::string bytes;
    LineTable lines;
  } cases[] = {
      {"", "", {0}},
      {"a\r\nb\r\n", "a\nb\n", {0, 2, 4}},
      {"a\nb\x1A\nc\nd", "a\nb", {0, 2}},
      {std::string("\0;\n", 3), std::string("\0;\n", 3), {0, 3}},
  };
  for (const Case& c : cases) {
    SourceText text;
    text.bytes.assign(10, 'x');  // replaced by the file's bytes
    ASSERT_TRUE(Load(c.raw, text)) << c.raw;
    EXPECT_EQ(std::string(text.bytes.begin(), text.bytes.end()), c.bytes) << c.raw;
    EXPECT_EQ(text.lines, c.lines) << c.raw;
  }
}

// A sparse file just over the limit: refused by its size, without reading 2 GiB.
TEST_F(LoadSourceTextTest, FileTooLargeForOffsetsIsAbsent) {
  auto path = m_dir.Write("huge.c", "int a;\n");
  std::error_code error;
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(kMaxSourceBytes) + 1, error);
  if (error) GTEST_SKIP() << "cannot create a sparse file: " << error.message();
  std::optional<InputFile> file = InputFile::Open(path.string());
  ASSERT_TRUE(file);
  SourceText text;
  text.bytes.assign(3, 'x');
  text.lines = {0};
  LoadSourceText(*file, text);
  EXPECT_TRUE(text.bytes.empty());
  EXPECT_TRUE(text.lines.empty());
}

}  // namespace
}  // namespace quintrel
