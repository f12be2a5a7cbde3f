// Files and folders that change between the scan and the measurement: the run finishes and
// measures each version as it is at that moment, absent when it is gone.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <new>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "compare/run/measurement_run.h"
#include "engine/file_pair.h"
#include "support/hooked_versions.h"
#include "support/temp_dir.h"

namespace quintrel {

void PrintTo(const FileResult& r, std::ostream* out) {
  *out << "{added " << r.added << ", deleted " << r.deleted << ", loc " << r.loc << "}";
}

namespace {

namespace fs = std::filesystem;
using testing::ScopedTempDir;

constexpr long long kOldTime = 1'700'000'000;
constexpr long long kNewTime = kOldTime + 3600;

struct Tree {
  ScopedTempDir root;
  fs::path oldFolder = root.MakeDir("old");
  fs::path newFolder = root.MakeDir("new");

  void Old(const std::string& name, const std::string& bytes) const {
    testing::SetModificationTime(root.Write("old/" + name, bytes), kOldTime);
  }
  void New(const std::string& name, const std::string& bytes) const {
    testing::SetModificationTime(root.Write("new/" + name, bytes), kNewTime);
  }
  RunRequest Request(unsigned jobs, testing::MeasureHook hook = nullptr) const {
    RunRequest request;
    if (hook) {
      request.versions =
          testing::MakeHookedFolderPair(oldFolder.string(), newFolder.string(), std::move(hook));
    } else {
      request.versions =
          MakeFolderPair(oldFolder.string(), newFolder.string(), DefaultExtensions());
    }
    request.jobs = jobs;
    return request;
  }
};

// A run whose every file is first handed to `change` and then measured by the engine.
RunResult RunChanging(const Tree& tree, unsigned jobs,
                      const std::function<void(const CatalogueEntry&)>& change) {
  const RunRequest request =
      tree.Request(jobs, [&change](const CatalogueEntry& entry, const auto& measureForReal) {
        change(entry);
        return measureForReal();
      });
  return RunMeasurement(request);
}

std::map<std::string, FileResult> ResultsByName(const RunResult& run) {
  std::map<std::string, FileResult> results;
  for (const ResultRow& row : run.rows) results[row.name] = row.result;
  return results;
}

void ReplaceByFolder(const fs::path& path) {
  fs::remove(path);
  fs::create_directory(path);
}

// Where the file system has no FIFOs (Windows), the file is simply gone, which gives the
// same result.
void ReplaceByFifo(const fs::path& path) {
  fs::remove(path);
  testing::MakeFifo(path);
}

TEST(RunMeasurementFaults, FilesChangedAfterTheScanAreMeasuredAsTheyAreNow) {
  using Change = std::function<void(const fs::path& oldFile, const fs::path& newFile)>;
  const std::string one = "int a;\n", two = "int a;\nint b;\n";
  const struct {
    std::string name, oldBytes, newBytes;
    FileResult expected;
    Change change;
  } cases[] = {
      // Gone: that version is absent.
      {"new_gone.c", two, one, {0, 2, 0}, [](auto&, auto& n) { fs::remove(n); }},
      {"old_gone.c", one, two, {2, 0, 2}, [](auto& o, auto&) { fs::remove(o); }},
      {"both_gone.c", two, two, {0, 0, 0}, [](auto& o, auto& n) { fs::remove(o), fs::remove(n); }},
      // Shrunk to the old content: every line pairs.
      {"shrunk.c", one, two + "int c;\n", {0, 0, 1}, [](auto&, auto& n) { fs::resize_file(n, 7); }},
      // Emptied: the old statement is deleted, and the two empty last lines pair.
      {"emptied.c", one, two, {0, 1, 0}, [](auto&, auto& n) { fs::resize_file(n, 0); }},
      {"grown.c",
       one,
       one,
       {2, 0, 3},
       [](auto&, auto& n) { std::ofstream(n, std::ios::app) << "b;c;\n"; }},
      // Replaced by entries that are no source file: absent, and a FIFO must not block.
      {"now_folder.c", two, two, {0, 2, 0}, [](auto&, auto& n) { ReplaceByFolder(n); }},
      {"now_fifo.c", two, two, {0, 2, 0}, [](auto&, auto& n) { ReplaceByFifo(n); }},
  };
  Tree tree;
  std::map<std::string, Change> changes;
  std::map<std::string, FileResult> expected;
  for (const auto& c : cases) {
    tree.Old(c.name, c.oldBytes);
    tree.New(c.name, c.newBytes);
    changes[c.name] = c.change;
    expected[c.name] = c.expected;
  }
  std::mutex mutex;  // the changes run on the workers
  const RunResult run = RunChanging(tree, 4, [&](const CatalogueEntry& entry) {
    const std::lock_guard<std::mutex> lock(mutex);
    changes.at(entry.name)(tree.oldFolder / entry.name, tree.newFolder / entry.name);
  });
  EXPECT_EQ(run.status, RunStatus::kCompleted);
  EXPECT_EQ(ResultsByName(run), expected);
  EXPECT_EQ(run.summary.fileCountText, "8 (+0/-0)");
  EXPECT_EQ(run.summary.totals, (Totals{4, 7, 6}));
}

TEST(RunMeasurementFaults, FileThatBecomesUnreadableIsAbsent) {
  if (testing::IgnoresFilePermissions()) GTEST_SKIP() << testing::FilePermissionsSkipReason();
  Tree tree;
  tree.Old("locked_new.c", "int a;\nint b;\n");
  tree.New("locked_new.c", "int a;\n");
  tree.Old("locked_old.c", "int a;\n");
  tree.New("locked_old.c", "int a;\nint b;\n");
  const RunResult run = RunChanging(tree, 1, [&](const CatalogueEntry& entry) {
    const fs::path folder = entry.name == "locked_new.c" ? tree.newFolder : tree.oldFolder;
    fs::permissions(folder / entry.name, fs::perms::none);
  });
  EXPECT_EQ(run.status, RunStatus::kCompleted);
  EXPECT_EQ(ResultsByName(run), (std::map<std::string, FileResult>{{"locked_new.c", {0, 2, 0}},
                                                                   {"locked_old.c", {2, 0, 2}}}));
}

// The folder goes away before the fourth of eight files: the first three are measured in
// full, the rest without the versions of that folder.
TEST(RunMeasurementFaults, FolderRemovedDuringTheRun) {
  for (bool oldSide : {true, false}) {
    for (bool replacedByFile : {false, true}) {
      SCOPED_TRACE(::testing::Message()
                   << (oldSide ? "old" : "new") << (replacedByFile ? ", replaced by a file" : ""));
      Tree tree;
      for (int i = 0; i < 8; ++i) {
        tree.Old("f" + std::to_string(i) + ".c", "int a;\nint b;\n");
        tree.New("f" + std::to_string(i) + ".c", "int a;\nint c;\n");
      }
      const fs::path gone = oldSide ? tree.oldFolder : tree.newFolder;
      const RunResult run = RunChanging(tree, 1, [&](const CatalogueEntry& entry) {
        if (entry.name != "f3.c") return;
        fs::remove_all(gone);
        if (replacedByFile) tree.root.Write(gone.filename().string(), "not a folder");
      });
      EXPECT_EQ(run.status, RunStatus::kCompleted);
      ASSERT_EQ(run.rows.size(), 8u);
      const FileResult remaining = oldSide ? FileResult{2, 0, 2} : FileResult{0, 2, 0};
      for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(run.rows[i].name, "f" + std::to_string(i) + ".c");
        EXPECT_EQ(run.rows[i].result, (i < 3 ? FileResult{1, 1, 2} : remaining)) << i;
      }
    }
  }
}

// The same with many workers and the folder removed from the progress report: each file
// is measured either with its new version or without it, never anything in between.
TEST(RunMeasurementFaults, FolderRemovedWhileWorkersMeasure) {
  Tree tree;
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) {
    names.push_back("f" + std::to_string(100 + i) + ".c");
    tree.Old(names.back(), "int a;\nint b;\n");
    tree.New(names.back(), "int a;\nint c;\nint d;\n");
  }
  RunRequest request = tree.Request(4);
  request.progress = [&](std::size_t, std::size_t) {
    std::error_code ignored;
    fs::remove_all(tree.newFolder, ignored);
  };
  const RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kCompleted);
  ASSERT_EQ(run.rows.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(run.rows[i].name, names[i]);
    const FileResult& result = run.rows[i].result;
    EXPECT_TRUE(result == (FileResult{2, 1, 3}) || result == (FileResult{0, 2, 0}))
        << names[i] << ": " << ::testing::PrintToString(result);
  }
  EXPECT_FALSE(fs::exists(tree.newFolder));
}

// A measurement that fails (out of memory, say) or a caller's progress report that fails (a
// full event queue): the run stops its workers and passes the failure on instead of ending
// the process, naming the entry whose measurement failed.
TEST(RunMeasurementFaults, FailureInAWorkerOrTheProgressReportStopsTheRun) {
  Tree tree;
  for (int i = 0; i < 30; ++i) tree.New("f" + std::to_string(10 + i) + ".c", "int a;\n");
  for (bool inProgress : {false, true}) {
    for (unsigned jobs : {1u, 4u}) {
      std::atomic<int> measured{0};
      RunRequest request = tree.Request(jobs, [&](const CatalogueEntry& entry, const auto&) {
        if (!inProgress && entry.name == "f17.c") throw std::bad_alloc();
        ++measured;
        return FileResult{1, 0, 1};
      });
      request.progress = [&](std::size_t, std::size_t) {
        if (inProgress) throw std::runtime_error("queue full");
      };
      const RunResult run = RunMeasurement(request);
      EXPECT_EQ(run.status, RunStatus::kFailed) << jobs << " jobs";
      EXPECT_TRUE(run.rows.empty());
      EXPECT_EQ(run.summary.fileCountText, "0 (+0/-0)");
      EXPECT_GE(measured.load(), 1);
      const RunFailure& failure = run.failure;
      EXPECT_EQ(failure.cause,
                inProgress ? RunFailure::Cause::kError : RunFailure::Cause::kOutOfMemory);
      EXPECT_EQ(failure.what, inProgress ? "queue full" : std::bad_alloc().what());
      EXPECT_EQ(failure.entry, inProgress ? "" : "f17.c") << "the entry that threw, if one did";
    }
  }
}

}  // namespace
}  // namespace quintrel
