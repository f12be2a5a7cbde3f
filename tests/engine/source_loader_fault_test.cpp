// A file that changes after it was opened is loaded as it is when it is read, and its line
// table always describes the bytes actually loaded.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

#include "engine/source_loader.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

namespace fs = std::filesystem;

struct ChangeCase {
  const char* what;
  std::function<void(const fs::path&)> change;
  std::string bytes;  // loaded after the change
  LineTable lines;
};

TEST(LoadSourceTextFaults, FileChangedBetweenOpenAndRead) {
  const std::string longTail(100'000, 'x');  // several read chunks past the first size
  const ChangeCase cases[] = {
      {"shrunk", [](const fs::path& p) { fs::resize_file(p, 8); }, "int a;\n", {0, 7}},
      {"cut between CR and LF", [](const fs::path& p) { fs::resize_file(p, 7); }, "int a;\r", {0}},
      {"emptied", [](const fs::path& p) { fs::resize_file(p, 0); }, "", {0}},
      {"grown",
       [&](const fs::path& p) {
         std::ofstream(p, std::ios::app | std::ios::binary) << longTail << "\r\n;";
       },
       "int a;\nint b;\n" + longTail + "\n;",
       {0, 7, 14, 100'015}},
      {"removed", [](const fs::path& p) { fs::remove(p); }, "int a;\nint b;\n", {0, 7, 14}},
      {"replaced",
       [](const fs::path& p) {
         const fs::path other = p.parent_path() / "other.c";
         std::ofstream(other) << "other;\n";
         // Windows refuses to replace a file that is open; the reader then sees the file
         // unchanged, which is what it must see after a replacement too.
         std::error_code refused;
         fs::rename(other, p, refused);
       },
       "int a;\nint b;\n",
       {0, 7, 14}},
  };
  for (const ChangeCase& c : cases) {
    testing::ScopedTempDir dir;
    const fs::path path = dir.Write("f.c", "int a;\r\nint b;\r\n");
    std::optional<InputFile> file = InputFile::Open(path.string());
    ASSERT_TRUE(file) << c.what;
    c.change(path);
    SourceText text;
    LoadSourceText(*file, text);
    ASSERT_FALSE(text.lines.empty()) << c.what << ": the version is present";
    EXPECT_EQ(std::string(text.bytes.begin(), text.bytes.end()), c.bytes) << c.what;
    EXPECT_EQ(text.lines, c.lines) << c.what;
  }
}

}  // namespace
}  // namespace quintrel
