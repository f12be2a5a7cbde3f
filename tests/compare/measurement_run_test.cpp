#include "compare/measurement_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

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

  void AddOld(const std::string& name) const { root.Write("old/" + name, "int a;\n"); }
  void AddNew(const std::string& name) const { root.Write("new/" + name, "int a;\n"); }
  void AddBoth(const std::string& name) const {
    AddOld(name);
    AddNew(name);
  }
};

RunRequest FakeRequest(const Folders& folders) {
  RunRequest request;
  request.oldFolderText = folders.oldFolder;
  request.newFolderText = folders.newFolder;
  request.jobs = 1;
  request.measure = [](const std::string&, const std::string&, const CatalogueEntry& entry) {
    return FakeResult(entry);
  };
  return request;
}

std::vector<std::string> RowNames(const RunResult& run) {
  std::vector<std::string> names;
  for (const ResultRow& row : run.rows) names.push_back(row.name);
  return names;
}

TEST(RunMeasurement, MeasuresEveryEntryInCatalogueOrder) {
  Folders folders;
  folders.AddBoth("x.c");
  folders.AddOld("y.c");
  folders.AddNew("z.c");
  folders.AddOld("Main.c");
  folders.AddNew("MAIN.c");
  std::vector<CatalogueEntry> seen;
  std::vector<std::string> seenFolders;
  RunRequest request = FakeRequest(folders);
  request.measure = [&](const std::string& oldFolder, const std::string& newFolder,
                        const CatalogueEntry& entry) {
    seen.push_back(entry);
    seenFolders = {oldFolder, newFolder};
    return FakeResult(entry);
  };
  const RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kCompleted);
  EXPECT_EQ(RowNames(run), (std::vector<std::string>{"Main.c", "x.c", "y.c", "z.c"}));
  ASSERT_EQ(run.rows.size(), 4u);
  EXPECT_EQ(run.rows[0].flags, kInOld | kInNew);
  EXPECT_EQ(run.rows[2].flags, kInOld);
  EXPECT_EQ(run.rows[3].flags, kInNew);
  EXPECT_EQ(run.rows[2].result, (FileResult{3, kInOld, 30}));
  EXPECT_EQ(run.summary.fileCountText, "3 (+1/-1)");
  EXPECT_EQ(run.summary.totals, (Totals{6 + 3 * 3, 3 + 3 + 1 + 2, (6 + 3 * 3) * 10}));
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].oldName, "Main.c");
  EXPECT_EQ(seen[0].newName, "MAIN.c");
  EXPECT_EQ(seenFolders, (std::vector<std::string>{folders.oldFolder, folders.newFolder}));
}

TEST(RunMeasurement, StopsAtTheFirstFolderThatCannotBeOpened) {
  Folders folders;
  folders.AddBoth("x.c");
  int calls = 0;
  RunRequest request = FakeRequest(folders);
  request.measure = [&](const std::string&, const std::string&, const CatalogueEntry& entry) {
    ++calls;
    return FakeResult(entry);
  };
  request.oldFolderText = (folders.root.path() / "missing").string();
  request.newFolderText = (folders.root.path() / "missing too").string();
  RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kOldFolderError);
  EXPECT_TRUE(run.rows.empty());

  request.oldFolderText = folders.oldFolder;
  run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kNewFolderError);
  EXPECT_TRUE(run.rows.empty());
  EXPECT_EQ(calls, 0);
}

TEST(RunMeasurement, TreatsEmptyFolderTextsAsEmptyFolders) {
  Folders folders;
  folders.AddNew("a.c");
  folders.AddNew("b.h");
  RunRequest request = FakeRequest(folders);
  request.oldFolderText = "";
  RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kCompleted);
  ASSERT_EQ(run.rows.size(), 2u);
  for (const ResultRow& row : run.rows) EXPECT_EQ(row.flags, kInNew);
  EXPECT_EQ(run.summary.fileCountText, "2 (+2/-0)");

  request.newFolderText = "";
  run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kCompleted);
  EXPECT_TRUE(run.rows.empty());
  EXPECT_EQ(run.summary.fileCountText, "0 (+0/-0)");
  EXPECT_EQ(run.summary.totals, Totals{});
}

TEST(RunMeasurement, ResolvesRelativeFolderTextsOnce) {
  Folders folders;
  folders.AddBoth("a.c");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folders.root.path());
  RunRequest request = FakeRequest(folders);
  request.oldFolderText = "old";
  request.newFolderText = "new";
  const RunResult run = RunMeasurement(request);
  std::filesystem::current_path(before);
  EXPECT_EQ(run.status, RunStatus::kCompleted);
  EXPECT_EQ(run.rows.size(), 1u);
  EXPECT_EQ(std::filesystem::path(run.oldFolder), folders.root.path() / "old");
  EXPECT_EQ(std::filesystem::path(run.newFolder), folders.root.path() / "new");
}

std::string NumberedName(std::size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "f%03zu.c", index);
  return name;
}

void AddManyFiles(const Folders& folders, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) folders.AddBoth(NumberedName(i));
}

TEST(RunMeasurement, CancelledBeforeTheFirstFileMeasuresNothing) {
  Folders folders;
  AddManyFiles(folders, 3);
  std::atomic<bool> cancel{true};
  RunRequest request = FakeRequest(folders);
  request.cancel = &cancel;
  const RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kCancelled);
  EXPECT_TRUE(run.rows.empty());
  EXPECT_EQ(run.summary.fileCountText, "0 (+0/-0)");
}

TEST(RunMeasurement, CancelAfterKFilesOnOneWorkerKeepsExactlyK) {
  Folders folders;
  AddManyFiles(folders, 10);
  for (int k : {1, 4, 9}) {
    std::atomic<bool> cancel{false};
    int calls = 0;
    RunRequest request = FakeRequest(folders);
    request.cancel = &cancel;
    request.measure = [&](const std::string&, const std::string&, const CatalogueEntry& entry) {
      if (++calls == k) cancel = true;
      return FakeResult(entry);
    };
    const RunResult run = RunMeasurement(request);
    EXPECT_EQ(run.status, RunStatus::kCancelled);
    ASSERT_EQ(run.rows.size(), static_cast<std::size_t>(k));
    EXPECT_EQ(run.rows.back().name, RowNames(run).back());
    EXPECT_EQ(run.summary.fileCountText, FileCountText(k, 0, 0));
    EXPECT_EQ(run.summary.totals.loc, 60LL * k);
  }
}

TEST(RunMeasurement, CancelOnSeveralWorkersKeepsAPrefixInOrder) {
  Folders folders;
  AddManyFiles(folders, 200);
  constexpr unsigned kJobs = 4;
  constexpr int kStopAfter = 20;
  std::atomic<bool> cancel{false};
  std::atomic<int> calls{0};
  RunRequest request = FakeRequest(folders);
  request.jobs = kJobs;
  request.cancel = &cancel;
  request.measure = [&](const std::string&, const std::string&, const CatalogueEntry& entry) {
    std::this_thread::sleep_for(std::chrono::microseconds(50 * (entry.name[3] % 3)));
    if (++calls == kStopAfter) cancel = true;
    return FakeResult(entry);
  };
  const RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kCancelled);
  EXPECT_GE(run.rows.size(), static_cast<std::size_t>(kStopAfter));
  EXPECT_LE(run.rows.size(), static_cast<std::size_t>(kStopAfter + kJobs - 1));
  for (std::size_t i = 0; i < run.rows.size(); ++i) {
    EXPECT_EQ(run.rows[i].name, NumberedName(i));
    EXPECT_EQ(run.rows[i].result.loc, 60);
  }
}

TEST(RunMeasurement, ReportsProgressOnTheCallingThread) {
  Folders folders;
  AddManyFiles(folders, 30);
  std::vector<std::size_t> done;
  const std::thread::id caller = std::this_thread::get_id();
  bool otherThread = false;
  RunRequest request = FakeRequest(folders);
  request.jobs = 3;
  request.progress = [&](std::size_t count, std::size_t total) {
    otherThread |= std::this_thread::get_id() != caller;
    EXPECT_EQ(total, 30u);
    done.push_back(count);
  };
  const RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.rows.size(), 30u);
  EXPECT_FALSE(otherThread);
  ASSERT_FALSE(done.empty());
  EXPECT_LE(done.size(), 30u);
  EXPECT_EQ(done.back(), 30u);
  EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
  EXPECT_EQ(std::adjacent_find(done.begin(), done.end()), done.end());
}

TEST(RunMeasurement, KeepsCatalogueOrderWithManyWorkers) {
  Folders folders;
  AddManyFiles(folders, 64);
  RunRequest request = FakeRequest(folders);
  request.jobs = 0;  // one per core
  request.measure = [](const std::string&, const std::string&, const CatalogueEntry& entry) {
    std::this_thread::sleep_for(std::chrono::microseconds(100 * (entry.name[3] % 4)));
    return FakeResult(entry);
  };
  const RunResult run = RunMeasurement(request);
  ASSERT_EQ(run.rows.size(), 64u);
  for (std::size_t i = 0; i < run.rows.size(); ++i) {
    EXPECT_EQ(run.rows[i].name, NumberedName(i));
  }
  EXPECT_EQ(run.summary.fileCountText, "64 (+0/-0)");
}

TEST(RunMeasurement, PassesOnAFailedMeasurementAfterStoppingTheWorkers) {
  Folders folders;
  AddManyFiles(folders, 20);
  RunRequest request = FakeRequest(folders);
  request.jobs = 4;
  request.measure = [](const std::string&, const std::string&, const CatalogueEntry& entry) {
    if (entry.name == "f007.c") throw std::runtime_error("out of memory");
    return FakeResult(entry);
  };
  EXPECT_THROW(RunMeasurement(request), std::runtime_error);
}

// The runs below measure real files with the engine.

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

TEST(RunMeasurementOnFiles, MeasuresEachFileUnderItsOwnNames) {
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
  RunRequest request;
  request.oldFolderText = (root.path() / "old").string();
  request.newFolderText = (root.path() / "new").string();
  request.jobs = 3;
  const RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kCompleted);
  ExpectRows(run, {{"main.c", kInOld | kInNew, {1, 0, 3}},
                   {"Main.h", kInOld | kInNew, {1, 0, 2}},
                   {"xt_DSCP.c", kInOld | kInNew, {1, 0, 2}},
                   {"xt_dscp.c", kInOld | kInNew, {2, 0, 3}},
                   {"y.c", kInOld, {0, 1, 0}},
                   {"z.c", kInNew, {2, 0, 2}}});
  EXPECT_EQ(run.summary.fileCountText, "5 (+1/-1)");
  EXPECT_EQ(run.summary.totals, (Totals{7, 1, 12}));
}

TEST(RunMeasurementOnFiles, ResolvesRelativeFoldersWithoutChangingDirectory) {
  ScopedTempDir root;
  root.Write("old/a.c", "int a;\n");
  root.Write("new/a.c", "int a;\nint b;\n");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(root.path());
  RunRequest request;
  request.oldFolderText = "old";
  request.newFolderText = "./new";
  request.jobs = 2;
  const RunResult run = RunMeasurement(request);
  const std::filesystem::path after = std::filesystem::current_path();
  std::filesystem::current_path(before);
  EXPECT_EQ(after, root.path());
  ExpectRows(run, {{"a.c", kInOld | kInNew, {1, 0, 2}}});
}

TEST(RunMeasurementOnFiles, SurvivesOddEntries) {
  ScopedTempDir root;
  root.MakeDir("old");
  root.MakeDir("new/lib.h");  // a folder named like a header
  root.Write("new/\xFF\xFE.c", "int a;\n");
  root.Write("old/locked.c", "int a;\n");
  const auto locked = root.Write("new/locked.c", "int a;\nint b;\n");
  const bool permissionsHold = !testing::IgnoresFilePermissions();
  if (permissionsHold) std::filesystem::permissions(locked, std::filesystem::perms::none);
  RunRequest request;
  request.oldFolderText = (root.path() / "old").string();
  request.newFolderText = (root.path() / "new").string();
  const RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kCompleted);
  // A new version that cannot be read counts as absent: its old statements are deleted.
  const FileResult lockedResult = permissionsHold ? FileResult{0, 1, 0} : FileResult{1, 0, 2};
  ExpectRows(run, {{"lib.h", kInNew, {0, 0, 0}},
                   {"locked.c", kInOld | kInNew, lockedResult},
                   {"\xFF\xFE.c", kInNew, {1, 0, 1}}});
}

}  // namespace
}  // namespace quintrel
