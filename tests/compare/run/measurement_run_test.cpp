#include "compare/run/measurement_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/hooked_versions.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

using testing::ScopedTempDir;

// A measurement that derives its numbers from the entry, so rows can be checked for the
// entry they belong to whatever thread measured them.
FileResult FakeResult(const CatalogueEntry& entry) {
  const auto size = static_cast<std::int32_t>(entry.name.size());
  return {size, entry.flags, size * 10};
}

struct Folders {
  ScopedTempDir root;
  std::string oldFolder = root.MakeDir("old").string();
  std::string newFolder = root.MakeDir("new").string();
};

// One worker measuring with FakeResult, after handing each entry to `seen`.
RunRequest FakeRequest(const Folders& folders,
                       std::function<void(const CatalogueEntry&)> seen = nullptr) {
  RunRequest request;
  request.versions = testing::MakeHookedFolderPair(
      folders.oldFolder, folders.newFolder, [seen](const CatalogueEntry& entry, const auto&) {
        if (seen) seen(entry);
        return FakeResult(entry);
      });
  request.jobs = 1;
  return request;
}

std::vector<std::string> RowNames(const RunResult& run) {
  std::vector<std::string> names;
  for (const ResultRow& row : run.rows) names.push_back(row.name);
  return names;
}

struct ExpectedRow {
  std::string name;
  PresenceFlags flags;
  FileResult result;
};

void ExpectRows(const RunResult& run, const std::vector<ExpectedRow>& expected) {
  ASSERT_EQ(run.rows.size(), expected.size()) << ::testing::PrintToString(RowNames(run));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(run.rows[i].name, expected[i].name) << i;
    EXPECT_EQ(run.rows[i].flags, expected[i].flags) << expected[i].name;
    EXPECT_EQ(run.rows[i].result, expected[i].result) << expected[i].name;
  }
}

std::string NumberedName(std::size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "f%03zu.c", index);
  return name;
}

// Later files are larger, so that entries handed out by size would not come in catalogue
// order.
std::vector<std::string> AddManyFiles(const Folders& folders, std::size_t count) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count; ++i) {
    std::string text;
    for (std::size_t line = 0; line <= i; ++line) text += "int a;\n";
    folders.root.Write("old/" + names.emplace_back(NumberedName(i)), text);
    folders.root.Write("new/" + names.back(), text);
  }
  return names;
}

// Entries are handed out in catalogue order, so the files measured before a cancel are the
// first ones. k = 0: cancelled before the first file.
TEST(RunMeasurement, CancelAfterKFilesOnOneWorkerKeepsExactlyK) {
  Folders folders;
  const std::vector<std::string> names = AddManyFiles(folders, 10);
  for (int k : {0, 1, 4, 9}) {
    std::atomic<bool> cancel{k == 0};
    int calls = 0;
    RunRequest request = FakeRequest(folders, [&](const CatalogueEntry&) {
      if (++calls == k) cancel = true;
    });
    request.cancel = &cancel;
    const RunResult run = RunMeasurement(request);
    EXPECT_EQ(run.status, RunStatus::kCancelled);
    ASSERT_EQ(RowNames(run), std::vector<std::string>(names.begin(), names.begin() + k));
    EXPECT_EQ(run.summary.fileCountText, FileCountText(k, 0, 0));
    EXPECT_EQ(run.summary.totals.loc, 60LL * k);
  }
}

TEST(RunMeasurement, CancelOnSeveralWorkersKeepsAPrefixInOrder) {
  Folders folders;
  const std::vector<std::string> names = AddManyFiles(folders, 200);
  constexpr unsigned kJobs = 4;
  constexpr int kStopAfter = 20;
  std::atomic<bool> cancel{false};
  std::atomic<int> calls{0};
  RunRequest request = FakeRequest(folders, [&](const CatalogueEntry& entry) {
    std::this_thread::sleep_for(std::chrono::microseconds(50 * (entry.name[3] % 3)));
    if (++calls == kStopAfter) cancel = true;
  });
  request.jobs = kJobs;
  request.cancel = &cancel;
  const RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kCancelled);
  EXPECT_GE(run.rows.size(), static_cast<std::size_t>(kStopAfter));
  EXPECT_LE(run.rows.size(), static_cast<std::size_t>(kStopAfter + kJobs - 1));
  EXPECT_EQ(RowNames(run),
            std::vector<std::string>(names.begin(), names.begin() + run.rows.size()));
  EXPECT_EQ(run.summary.totals.loc, 60LL * run.rows.size());
}

TEST(RunMeasurement, KeepsCatalogueOrderAndReportsProgressOnTheCallingThread) {
  Folders folders;
  const std::vector<std::string> names = AddManyFiles(folders, 64);
  std::vector<std::size_t> done;
  const std::thread::id caller = std::this_thread::get_id();
  bool otherThread = false;
  RunRequest request = FakeRequest(folders, [](const CatalogueEntry& entry) {
    std::this_thread::sleep_for(std::chrono::microseconds(100 * (entry.name[3] % 4)));
  });
  request.jobs = 0;  // one per core
  request.progress = [&](std::size_t count, std::size_t total) {
    otherThread |= std::this_thread::get_id() != caller;
    EXPECT_EQ(total, 64u);
    done.push_back(count);
  };
  const RunResult run = RunMeasurement(request);
  EXPECT_EQ(RowNames(run), names);
  EXPECT_EQ(run.summary.fileCountText, "64 (+0/-0)");
  EXPECT_FALSE(otherThread);
  ASSERT_FALSE(done.empty());
  EXPECT_EQ(done.back(), 64u);
  // Strictly rising, so never more reports than files.
  EXPECT_TRUE(std::adjacent_find(done.begin(), done.end(), std::greater_equal<>()) == done.end());
}

// The run below measures real files with the engine.

// Relative folder texts are resolved without changing the current directory; a folder named
// like a header, a name that is not UTF-8 and a file that cannot be read still give rows.
TEST(RunMeasurementOnFiles, MeasuresEachFileUnderItsOwnNames) {
  if (const std::string reason = testing::NonUtf8NamesSkipReason(); !reason.empty()) {
    GTEST_SKIP() << reason;  // and case-only twins such as xt_DSCP.c and xt_dscp.c
  }
  ScopedTempDir root;
  root.Write("old/main.c", "int a;\nint b;\n");
  root.Write("new/main.c", "int b;\nint c;\nint a;\n");
  root.Write("old/y.c", "int y;\n");
  root.Write("new/z.c", "int z; int w;\n");
  root.Write("old/Main.h", "x;\n");
  root.Write("new/MAIN.h", "x;\ny;\n");
  // Two files of one folder whose names differ only in case stay two rows.
  root.Write("old/xt_DSCP.c", "a;\n");
  root.Write("new/xt_DSCP.c", "a;\nb;\n");
  root.Write("old/xt_dscp.c", "c;\n");
  root.Write("new/xt_dscp.c", "c;\nd;\ne;\n");
  root.MakeDir("new/lib.h");
  root.Write("new/\xFF\xFE.c", "int a;\n");
  root.Write("old/locked.c", "int a;\n");
  const auto locked = root.Write("new/locked.c", "int a;\nint b;\n");
  const bool permissionsHold = !testing::IgnoresFilePermissions();
  if (permissionsHold) std::filesystem::permissions(locked, std::filesystem::perms::none);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(root.path());
  RunRequest request;
  request.versions = MakeFolderPair("old", "./new", DefaultExtensions());
  request.jobs = 3;
  const RunResult run = RunMeasurement(request);
  const std::filesystem::path after = std::filesystem::current_path();
  std::filesystem::current_path(before);
  EXPECT_EQ(after, root.path());
  EXPECT_EQ(run.status, RunStatus::kCompleted);
  // The reports name the folders as given.
  EXPECT_EQ(run.oldLabel, "old");
  EXPECT_EQ(run.newLabel, "./new");
  // A new version that cannot be read counts as absent: its old statements are deleted.
  const FileResult lockedResult = permissionsHold ? FileResult{0, 1, 0} : FileResult{1, 0, 2};
  ExpectRows(run, {{"lib.h", kInNew, {0, 0, 0}},
                   {"locked.c", kInOld | kInNew, lockedResult},
                   {"main.c", kInOld | kInNew, {1, 0, 3}},
                   {"Main.h", kInOld | kInNew, {1, 0, 2}},
                   {"xt_DSCP.c", kInOld | kInNew, {1, 0, 2}},
                   {"xt_dscp.c", kInOld | kInNew, {2, 0, 3}},
                   {"y.c", kInOld, {0, 1, 0}},
                   {"z.c", kInNew, {2, 0, 2}},
                   {"\xFF\xFE.c", kInNew, {1, 0, 1}}});
  EXPECT_EQ(run.summary.fileCountText, "8 (+3/-1)");
  EXPECT_EQ(run.summary.totals,
            (Totals{8 + lockedResult.added, 1 + lockedResult.deleted, 13 + lockedResult.loc}));
}

}  // namespace
}  // namespace quintrel

namespace quintrel {
namespace {

// The byte-counting report comes with the same counts as the plain one, and its bytes are
// those of the versions read: a file taken as unchanged by size and time costs only its new
// copy; a measurement seam reads nothing.
TEST(RunMeasurementOnFiles, ReportsTheBytesRead) {
  ScopedTempDir root;
  root.Write("old/a.c", "int a;\n");               // 7
  root.Write("new/a.c", "int a;\nint b;\n");       // 14
  root.Write("old/gone.c", "int g;\r\nint h;\n");  // 15, 14 after text-mode reading
  const auto same = "int s; int t;\n";             // 14, old copy not read
  testing::SetModificationTime(root.Write("old/same.c", same), 1000000);
  testing::SetModificationTime(root.Write("new/same.c", same), 1000000);
  for (unsigned jobs : {1u, 3u}) {
    const std::string oldFolder = (root.path() / "old").string();
    const std::string newFolder = (root.path() / "new").string();
    RunRequest request;
    request.versions = MakeFolderPair(oldFolder, newFolder, DefaultExtensions());
    request.jobs = jobs;
    std::vector<std::size_t> plain;
    std::vector<std::size_t> counted;
    std::uint64_t lastBytes = 0;
    request.progress = [&](std::size_t done, std::size_t) { plain.push_back(done); };
    request.byteProgress = [&](std::size_t done, std::size_t total, std::uint64_t bytes) {
      EXPECT_EQ(total, 3u);
      EXPECT_GE(bytes, lastBytes);
      counted.push_back(done);
      lastBytes = bytes;
    };
    const RunResult run = RunMeasurement(request);
    ASSERT_EQ(run.rows.size(), 3u);
    EXPECT_EQ(counted, plain);
    ASSERT_FALSE(counted.empty());
    EXPECT_EQ(counted.back(), 3u);
    EXPECT_EQ(lastBytes, 7u + 14u + 14u + 14u) << jobs << " jobs";

    request.progress = nullptr;
    request.versions = testing::MakeHookedFolderPair(
        oldFolder, newFolder, [](const CatalogueEntry&, const auto&) { return FileResult{}; });
    lastBytes = 0;
    counted.clear();
    RunMeasurement(request);
    EXPECT_EQ(counted.back(), 3u);
    EXPECT_EQ(lastBytes, 0u);
  }
}

}  // namespace
}  // namespace quintrel
