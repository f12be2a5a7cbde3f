// A whole run over folders of ten thousand files, measured by the engine.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "compare/measurement_run.h"
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

// Five kinds of entry, by index modulo 5, each with its numbers worked out by hand:
//   0: in both, same bytes, size and time: unchanged             0 added 0 deleted 2 loc
//   1: in both, "int y;" added to "int x;"                       1       0         2
//   2: only old: "#include <a.h>" and "int x;"                   0       2         0
//   3: only new: "int f() {", "return 0;", "}"                   2       0         2
//   4: in both, the two lines swapped, times differ (moved lines) 0       0         2
FileResult Expected(int kind) {
  const FileResult results[] = {{0, 0, 2}, {1, 0, 2}, {0, 2, 0}, {2, 0, 2}, {0, 0, 2}};
  return results[kind];
}

void WriteEntry(const testing::ScopedTempDir& root, int index) {
  const std::string name = Name(index);
  auto put = [&](const std::string& folder, const std::string& bytes, long long time) {
    testing::SetModificationTime(root.Write(folder + "/" + name, bytes), time);
  };
  switch (index % 5) {
    case 0:
      put("old", "int x;\nint y;\n", kOldTime);
      put("new", "int x;\nint y;\n", kOldTime);
      break;
    case 1:
      put("old", "int x;\n", kOldTime);
      put("new", "int x;\nint y;\n", kNewTime);
      break;
    case 2:
      put("old", "#include <a.h>\nint x;\n", kOldTime);
      break;
    case 3:
      put("new", "int f() {\n  return 0;\n}\n", kNewTime);
      break;
    case 4:
      put("old", "int x;\nint y;\n", kOldTime);
      put("new", "int y;\nint x;\n", kNewTime);
      break;
  }
}

TEST(LargeFolders, TenThousandFilesInEachFolder) {
  testing::ScopedTempDir root;
  for (int index = 0; index < kEntries; ++index) WriteEntry(root, index);
  RunRequest request;
  request.oldFolderText = (root.path() / "old").string();
  request.newFolderText = (root.path() / "new").string();
  const RunResult run = RunMeasurement(request);

  EXPECT_EQ(run.status, RunStatus::kCompleted);
  ASSERT_EQ(run.rows.size(), static_cast<std::size_t>(kEntries));
  int wrong = 0;
  for (int index = 0; index < kEntries && wrong < 10; ++index) {
    const ResultRow& row = run.rows[index];
    const int kind = index % 5;
    const PresenceFlags flags = kind == 2 ? kInOld : kind == 3 ? kInNew : kInOld | kInNew;
    const bool ok = row.name == Name(index) && row.flags == flags && row.result == Expected(kind);
    EXPECT_TRUE(ok) << "row " << index << ": " << row.name;
    wrong += ok ? 0 : 1;
  }
  // 2,500 entries of each kind; rows in the new folder: 12,500 - 2,500 old-only.
  EXPECT_EQ(run.summary.fileCountText, "10000 (+2500/-2500)");
  EXPECT_EQ(run.summary.totals, (Totals{2500 * 3, 2500 * 2, 2500 * 8}));
}

}  // namespace
}  // namespace quintrel
