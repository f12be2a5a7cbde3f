// Large and odd inputs measured end to end by MeasureFilePair. Every expected count is
// worked out from the rules by hand, in the comment above it.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>

#include "engine/file_pair.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

constexpr long long kOldTime = 1'700'000'000;
constexpr long long kNewTime = kOldTime + 60;
constexpr std::size_t kFiveMillion = 5'000'000;

class LargeInputTest : public ::testing::Test {
 protected:
  // Writes both versions with different times, so that they are always compared.
  FileResult Measure(const std::string& oldBytes, const std::string& newBytes) {
    Put("old/f.c", oldBytes, kOldTime);
    Put("new/f.c", newBytes, kNewTime);
    return MeasureFilePair(Folder("old"), Folder("new"), "f.c", "f.c", m_workspace);
  }
  FileResult MeasureNewOnly(const std::string& newBytes) {
    Put("new/g.c", newBytes, kNewTime);
    return MeasureFilePair(Folder("old"), Folder("new"), "g.c", "g.c", m_workspace);
  }

 private:
  void Put(const std::string& relative, const std::string& bytes, long long time) {
    testing::SetModificationTime(m_dir.Write(relative, bytes), time);
  }
  std::string Folder(const std::string& name) const { return (m_dir.path() / name).string(); }

  testing::ScopedTempDir m_dir;
  PairWorkspace m_workspace;  // reused from pair to pair, as by a run's worker
};

TEST_F(LargeInputTest, FiveMillionEmptyLines) {
  const std::string empties(kFiveMillion, '\n');
  // Old: "int a;", then 5,000,001 empty lines (the last after the final '\n'). New: the
  // same lines with "int a;" moved to the end. Every line pairs; the one ';' is in the new
  // version.
  EXPECT_EQ(Measure("int a;\n" + empties, empties + "int a;\n"), (FileResult{0, 0, 1}));

  // CR LF and LF line ends give the same lines, so nothing is added or deleted.
  std::string crlf;
  crlf.reserve(2 * kFiveMillion + 4);
  for (std::size_t i = 0; i < kFiveMillion; ++i) crlf += "\r\n";
  EXPECT_EQ(Measure(crlf + "x;\r\n", empties + "x;\n"), (FileResult{0, 0, 1}));

  // Only in the new folder: the one ';' at the end is added.
  EXPECT_EQ(MeasureNewOnly(empties + ";"), (FileResult{1, 0, 1}));
}

TEST_F(LargeInputTest, LinesOfByteFFOnly) {
  const std::size_t kLines = 100'000;
  std::string ffLines;
  std::string emptyLines(kLines, '\n');
  for (std::size_t i = 0; i < kLines; ++i) ffLines += std::string(1 + i % 7, '\xFF') + "\n";
  // A line compares only up to its first 0xFF, so each 0xFF line equals an empty line:
  // the 100,000 of them and the final empty line pair with the old version's 100,001 empty
  // lines, and "int b;" pairs. "int a;" (old) and "int c;" (new) have no partner. In the new
  // version the count stops at the first 0xFF, after the ';' of "int c;".
  EXPECT_EQ(Measure("int a;\n" + emptyLines + "int b;\n", "int c;\n" + ffLines + "int b;\n"),
            (FileResult{1, 1, 1}));

  // One long line of 0xFF bytes equals an empty line, but not "x;": the old ';' is
  // deleted, and the new version counts nothing.
  EXPECT_EQ(Measure("x;", std::string(8 << 20, '\xFF')), (FileResult{0, 1, 0}));
  EXPECT_EQ(Measure("", std::string(8 << 20, '\xFF') + "\n;"), (FileResult{0, 0, 0}));
}

}  // namespace
}  // namespace quintrel
