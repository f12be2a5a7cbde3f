// A whole run over folders of ten thousand files, measured by the engine.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "compare/run/measurement_run.h"
#include "compare/sources/folder_pair.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

constexpr long long kOldTime = 1'700'000'000;
constexpr long long kNewTime = kOldTime + 60;
constexpr int kEntries = 12'500;  // 10,000 in each folder

std::string Name(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "f%05d.c", index);
  return name;
}

// Five kinds of entry, by index modulo 5, each with its numbers worked out by hand; a
// missing version has no bytes. The last kind swaps the lines (moved) and its times differ.
struct Kind {
  const char* oldBytes;
  const char* newBytes;
  long long newTime;
  PresenceFlags flags;
  FileResult result;
};
const Kind kKinds[] = {
    {"int x;\nint y;\n", "int x;\nint y;\n", kOldTime, kInOld | kInNew, {0, 0, 2}},
    {"int x;\n", "int x;\nint y;\n", kNewTime, kInOld | kInNew, {1, 0, 2}},
    {"#include <a.h>\nint x;\n", nullptr, kNewTime, kInOld, {0, 2, 0}},
    {nullptr, "int f() {\n  return 0;\n}\n", kNewTime, kInNew, {2, 0, 2}},
    {"int x;\nint y;\n", "int y;\nint x;\n", kNewTime, kInOld | kInNew, {0, 0, 2}},
};

void WriteEntry(const testing::ScopedTempDir& root, int index) {
  const Kind& kind = kKinds[index % 5];
  if (kind.oldBytes) {
    testing::SetModificationTime(root.Write("old/" + Name(index), kind.oldBytes), kOldTime);
  }
  if (kind.newBytes) {
    testing::SetModificationTime(root.Write("new/" + Name(index), kind.newBytes), kind.newTime);
  }
}

TEST(LargeFolders, TenThousandFilesInEachFolder) {
  testing::ScopedTempDir root;
  for (int index = 0; index < kEntries; ++index) WriteEntry(root, index);
  RunRequest request;
  request.versions = MakeFolderPair((root.path() / "old").string(), (root.path() / "new").string(),
                                    DefaultExtensions());
  const RunResult run = RunMeasurement(request);

  EXPECT_EQ(run.status, RunStatus::kCompleted);
  ASSERT_EQ(run.rows.size(), static_cast<std::size_t>(kEntries));
  int wrong = 0;
  for (int index = 0; index < kEntries && wrong < 10; ++index) {
    const ResultRow& row = run.rows[index];
    const Kind& kind = kKinds[index % 5];
    const bool ok = row.name == Name(index) && row.flags == kind.flags && row.result == kind.result;
    EXPECT_TRUE(ok) << "row " << index << ": " << row.name;
    wrong += ok ? 0 : 1;
  }
  // 2,500 entries of each kind; rows in the new folder: 12,500 - 2,500 old-only.
  EXPECT_EQ(run.summary.fileCountText, "10000 (+2500/-2500)");
  EXPECT_EQ(run.summary.totals, (Totals{2500 * 3, 2500 * 2, 2500 * 8}));
}

}  // namespace
}  // namespace quintrel
