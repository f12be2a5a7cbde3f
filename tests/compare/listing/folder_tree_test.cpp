// The tree scan and tree runs: which entries become rows, in which order, under which names,
// and what happens with links, unreadable and unenterable folders, changing, very deep and
// non-UTF-8 folders.
#include "compare/listing/folder_tree.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "compare/run/run_request.h"
#include "engine/file_pair.h"
#include "support/deep_tree.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

namespace fs = std::filesystem;
using testing::ScopedTempDir;
using Names = std::vector<std::string>;

// Two trees "old" and "new" below one temporary folder. A path ending in '/' makes an empty
// folder; any other path a file holding one statement.
struct Trees {
  ScopedTempDir root;
  fs::path oldTop = root.MakeDir("old");
  fs::path newTop = root.MakeDir("new");

  void Add(const std::string& side, const Names& paths) const {
    for (const std::string& path : paths) {
      if (path.back() == '/') {
        root.MakeDir(side + "/" + path);
      } else {
        root.Write(side + "/" + path, "int " + std::to_string(path.size()) + ";\n");
      }
    }
  }
  RunRequest Request(bool recursive = true,
                     const std::vector<std::string>& extensions = DefaultExtensions()) const {
    RunOptions options;
    options.oldVersion = oldTop.string();
    options.newVersion = newTop.string();
    options.scan.recursive = recursive;
    options.scan.extensions = extensions;
    options.jobs = 2;
    return BuildRunRequest(options).request;
  }
};

// Each entry as "name old-name new-name marker", so a whole catalogue compares at once.
Names Shown(const FileCatalogue& catalogue) {
  Names shown;
  for (const CatalogueEntry& e : catalogue) {
    shown.push_back(e.name + " " + e.oldName + " " + e.newName + " " + RowMarker(e.flags));
  }
  return shown;
}

Names RowNames(const RunResult& run) {
  Names names;
  for (const ResultRow& row : run.rows) names.push_back(row.name);
  return names;
}

// True when two of the paths, or folders on their way, differ only in ASCII letter case.
bool HasCaseOnlyTwins(const Names& paths) {
  std::map<std::string, std::string> byFolded;
  for (const std::string& path : paths) {
    for (std::size_t end = path.find('/');; end = path.find('/', end + 1)) {
      const std::string part = path.substr(0, end);
      std::string folded = part;
      for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      const auto [it, added] = byFolded.emplace(folded, part);
      if (!added && it->second != part) return true;
      if (end == std::string::npos) break;
    }
  }
  return false;
}

TEST(ScanTrees, ListsBothTreesInPreOrderWithPairedFolders) {
  struct Case {
    const char* what;
    Names oldPaths;
    Names newPaths;
    std::vector<std::string> excluded;
    std::vector<std::string> extensions;
    Names expected;
  } cases[] = {
      {"own files first, then each subfolder with all beneath it, folders in catalogue order",
       {"b.c", "Z/x.c", "a/z.c", "a/b/y.c", "c.h"},
       {"b.c", "Z/x.c", "a/z.c", "a/b/y.c", "c.h"},
       {},
       {},
       {"b.c b.c b.c ", "c.h c.h c.h ", "a/z.c a/z.c a/z.c ", "a/b/y.c a/b/y.c a/b/y.c ",
        "Z/x.c Z/x.c Z/x.c "}},
      {"folders pair by case under the old name; each side keeps its on-disk names",
       {"Lib/Sub/x.c"},
       {"lib/SUB/X.c"},
       {},
       {},
       {"Lib/Sub/x.c Lib/Sub/x.c lib/SUB/X.c "}},
      {"an exact folder partner wins over a case-only one",
       {"Lib/a.c", "lib/a.c"},
       {"lib/a.c"},
       {},
       {},
       {"Lib/a.c Lib/a.c  -", "lib/a.c lib/a.c lib/a.c "}},
      {"a folder on one side gives all its files, at any depth, to that side",
       {"gone/a.c", "gone/sub/b.h", "keep.c"},
       {"fresh/deep/c.cpp", "keep.c", "empty/"},
       {},
       {},
       {"keep.c keep.c keep.c ", "fresh/deep/c.cpp  fresh/deep/c.cpp +", "gone/a.c gone/a.c  -",
        "gone/sub/b.h gone/sub/b.h  -"}},
      {"version-control folders and excluded names are skipped at any depth, by exact name",
       {".git/x.c", ".hg/x.c", "src/.svn/x.c", "build/x.c", "src/build/y.c", "src/z.c", "Build/w.c",
        ".gitx/v.c", "build.c"},
       {"src/z.c"},
       {"build", "out"},
       {},
       {"build.c build.c  -", ".gitx/v.c .gitx/v.c  -", "Build/w.c Build/w.c  -",
        "src/z.c src/z.c src/z.c "}},
      {"extensions are byte-exact at every level",
       {"a.cc", "b.h", "c.H", "d/e.cc", "d/f.c"},
       {},
       {},
       {"cc", "H"},
       {"a.cc a.cc  -", "c.H c.H  -", "d/e.cc d/e.cc  -"}},
      {"a folder named like a source is entered, never a row; a same-named file is",
       {"lib.h/x.c", "x.c/a.c"},
       {"lib.h/x.c", "x.c"},
       {},
       {},
       {"x.c  x.c +", "lib.h/x.c lib.h/x.c lib.h/x.c ", "x.c/a.c x.c/a.c  -"}},
  };
  for (const Case& c : cases) {
    Trees trees;
    // A file system that folds case cannot hold the case-only twins of some cases.
    if (HasCaseOnlyTwins(c.oldPaths) || HasCaseOnlyTwins(c.newPaths)) {
      if (!testing::NamesDifferingInCaseCoexist(trees.root.path())) continue;
    }
    trees.Add("old", c.oldPaths);
    trees.Add("new", c.newPaths);
    ScanOptions options;
    options.recursive = true;
    options.excludedFolders = c.excluded;
    if (!c.extensions.empty()) options.extensions = c.extensions;
    const TreeScan scan = ScanTrees(trees.oldTop.string(), trees.newTop.string(), options);
    EXPECT_EQ(scan.status, TreeScanStatus::kListed) << c.what;
    EXPECT_EQ(Shown(scan.catalogue), c.expected) << c.what;
  }
}

TEST(ScanTrees, OnlyTheTopFoldersGiveFolderErrors) {
  Trees trees;
  trees.Add("new", {"a.c", "sub/b.c"});
  const fs::path missing = trees.root.path() / "missing";
  const fs::path file = trees.root.Write("file", "");
  const ScanOptions options{true, {"c"}, {}};
  EXPECT_EQ(ScanTrees(missing.string(), trees.newTop.string(), options).status,
            TreeScanStatus::kOldCannotOpen);
  EXPECT_EQ(ScanTrees(missing.string(), missing.string(), options).status,
            TreeScanStatus::kOldCannotOpen);
  EXPECT_EQ(ScanTrees(trees.oldTop.string(), file.string(), options).status,
            TreeScanStatus::kNewCannotOpen);
  // An empty folder text is an empty tree.
  const TreeScan scan = ScanTrees("", trees.newTop.string(), options);
  EXPECT_EQ(scan.status, TreeScanStatus::kListed);
  EXPECT_EQ(Shown(scan.catalogue), (Names{"a.c  a.c +", "sub/b.c  sub/b.c +"}));
}

// A flat run with the default options lists exactly what it always did (a folder named like
// a source is a row there); the tree run of the same folders starts with the same rows.
TEST(RunMeasurementOnTrees, FlatRunsStayAsTheyWereAndTreesStartWithThem) {
  Trees trees;
  trees.Add("old", {"b.c", "a.cpp", "sub/x.c", "Lib.h/y.h", "n.txt"});
  trees.Add("new", {"B.c", "a.cpp", "sub/x.c", "c.hpp"});
  RunResult flat = RunMeasurement(trees.Request(false));
  EXPECT_EQ(RowNames(flat), (Names{"a.cpp", "b.c", "Lib.h"}));
  EXPECT_EQ(flat.rows[1].oldName, "b.c");
  EXPECT_EQ(flat.rows[1].newName, "B.c");
  RunResult tree = RunMeasurement(trees.Request(true));
  EXPECT_EQ(RowNames(tree), (Names{"a.cpp", "b.c", "Lib.h/y.h", "sub/x.c"}));
  EXPECT_EQ(flat.summary.fileCountText, "2 (+0/-1)");
  EXPECT_EQ(tree.summary.fileCountText, "3 (+0/-1)");

  EXPECT_EQ(RowNames(RunMeasurement(trees.Request(false, {"hpp", "txt"}))),
            (Names{"c.hpp", "n.txt"}));
}

// Links to folders are never entered (so a loop ends), nor rows even when named like a
// source; links to files are measured as the file, and a dangling link is an absent file.
TEST(RunMeasurementOnTrees, FollowsLinksToFilesButNeverToFolders) {
  Trees trees;
  trees.Add("new", {"real/a.c", "sub/b.c"});
  if (!testing::MakeSymlink(".", trees.newTop / "loop")) {
    GTEST_SKIP() << "symbolic links cannot be created on this system (Wine only pretends to)";
  }
  ASSERT_TRUE(testing::MakeSymlink("..", trees.newTop / "sub/up"));
  ASSERT_TRUE(testing::MakeSymlink("../real", trees.newTop / "sub/dir.c"));
  ASSERT_TRUE(testing::MakeSymlink("real/a.c", trees.newTop / "alias.c"));
  ASSERT_TRUE(testing::MakeSymlink("nowhere.c", trees.newTop / "dangling.c"));
  RunResult run = RunMeasurement(trees.Request());
  ASSERT_EQ(run.status, RunStatus::kCompleted);
  EXPECT_EQ(RowNames(run), (Names{"alias.c", "dangling.c", "real/a.c", "sub/b.c"}));
  EXPECT_EQ(run.rows[0].result, (FileResult{1, 0, 1}));  // the linked file's statement
  EXPECT_EQ(run.rows[1].result, (FileResult{0, 0, 0}));
}

// Runs also unprivileged: root reads every folder.
TEST(RunMeasurementOnTrees, FolderThatCannotBeReadDeepInsideCountsAsEmpty) {
  Trees trees;
  for (const char* side : {"old", "new"}) {
    trees.Add(side, {"a.c", "x/y/locked/hidden.c", "x/y/locked/more/deeper.c", "x/y/z.c", "x/w.c"});
  }
  const fs::path locked = trees.newTop / "x/y/locked";
  if (testing::IgnoresFilePermissions()) GTEST_SKIP() << testing::FilePermissionsSkipReason();
  ASSERT_TRUE(testing::SetFileMode(locked, 0));
  RunResult run = RunMeasurement(trees.Request());
  ASSERT_EQ(run.status, RunStatus::kCompleted);
  EXPECT_EQ(RowNames(run),
            (Names{"a.c", "x/w.c", "x/y/z.c", "x/y/locked/hidden.c", "x/y/locked/more/deeper.c"}));
  // The old side still has its files; the unreadable new side has none of them.
  EXPECT_EQ(run.rows[3].flags, kInOld);
  EXPECT_EQ(run.rows[4].flags, kInOld);
  EXPECT_EQ(run.summary.fileCountText, "3 (+0/-2)");
}

// Runs also unprivileged: root enters every folder. A folder that can be listed but not
// entered gives its names at any depth as a top folder does: each file named like a source
// is a row whose version there cannot be read, and a subfolder, which cannot be listed in
// turn, holds nothing.
TEST(RunMeasurementOnTrees, FolderThatCanBeListedButNotEnteredGivesItsNamesAtAnyDepth) {
  if (testing::IgnoresFilePermissions()) GTEST_SKIP() << testing::FilePermissionsSkipReason();
  for (const std::string within : {"", "x/y/"}) {
    SCOPED_TRACE("locked folder: old/" + within);
    Trees trees;
    for (const char* side : {"old", "new"}) {
      trees.Add(side, {within + "t.c", within + "n.txt", within + "sub/u.c"});
    }
    ASSERT_TRUE(testing::SetFileMode(trees.oldTop / within, 0444));
    const RunResult run = RunMeasurement(trees.Request());
    ASSERT_EQ(run.status, RunStatus::kCompleted);
    ASSERT_EQ(RowNames(run), (Names{within + "t.c", within + "sub/u.c"}));
    EXPECT_EQ(run.rows[0].flags, kInOld | kInNew);
    EXPECT_EQ(run.rows[0].result, (FileResult{1, 0, 1}));
    EXPECT_EQ(run.rows[1].flags, kInNew);
    EXPECT_EQ(run.summary.fileCountText, "2 (+1/-0)");
    if (within.empty()) {
      // The flat run of the same folder: the same row for its own file.
      const RunResult flat = RunMeasurement(trees.Request(false));
      ASSERT_EQ(RowNames(flat), (Names{"t.c"}));
      EXPECT_EQ(flat.rows[0].flags, run.rows[0].flags);
      EXPECT_EQ(flat.rows[0].result, run.rows[0].result);
    }
  }
}

// Far deeper than PATH_MAX allows for one path, and than a recursive walk would like: the
// file at the bottom is found and measured on both sides.
TEST(RunMeasurementOnTrees, MeasuresAFileTenThousandFoldersDown) {
  constexpr int kDepth = 10'000;
  if (const std::string reason = testing::DeepPathSkipReason(2 * kDepth); !reason.empty()) {
    GTEST_SKIP() << reason;
  }
  Trees trees;
  trees.Add("old", {"top.c"});
  const std::string oldPath =
      testing::MakeDeepFolders(trees.oldTop, "d", kDepth, "deep.c", "int a;\nint b;\n");
  const std::string newPath = testing::MakeDeepFolders(trees.newTop, "d", kDepth, "deep.c",
                                                       "int a;\nint c; int e;\nint f;\n");
  ASSERT_GT(oldPath.size(), static_cast<std::size_t>(PATH_MAX));
  RunResult run = RunMeasurement(trees.Request());
  testing::RemoveDeepFolders(trees.oldTop, "d", "deep.c");
  testing::RemoveDeepFolders(trees.newTop, "d", "deep.c");
  ASSERT_EQ(run.status, RunStatus::kCompleted);
  ASSERT_EQ(run.rows.size(), 2u);
  EXPECT_EQ(run.rows[0].name, "top.c");
  EXPECT_EQ(run.rows[1].name, oldPath);
  EXPECT_EQ(run.rows[1].newName, newPath);
  EXPECT_EQ(run.rows[1].flags, kInOld | kInNew);
  EXPECT_EQ(run.rows[1].result, (FileResult{3, 1, 4}));
}

// Names are bytes: folders and files whose names are not UTF-8 pair, order and measure like
// any other, at every level.
TEST(RunMeasurementOnTrees, KeepsNamesThatAreNotUtf8AtAnyLevel) {
  if (const std::string reason = testing::NonUtf8NamesSkipReason(); !reason.empty()) {
    GTEST_SKIP() << reason;
  }
  Trees trees;
  const std::string bad = "\xFF\xFE";
  const std::string half = "\xC3(";
  trees.Add("old", {bad + "/" + half + "/x\x80.c", bad + "/a.c", "b/\xE9t\xE9.h"});
  trees.Add("new", {bad + "/" + half + "/x\x80.c", "b/\xE9t\xE9.h", "b/\xC9T\xC9.h"});
  trees.root.Write("new/" + bad + "/" + half + "/x\x80.c", "int a; int b;\n");
  RunResult run = RunMeasurement(trees.Request());
  ASSERT_EQ(run.status, RunStatus::kCompleted);
  EXPECT_EQ(RowNames(run),
            (Names{"b/\xC9T\xC9.h", "b/\xE9t\xE9.h", bad + "/a.c", bad + "/" + half + "/x\x80.c"}));
  EXPECT_EQ(run.rows[3].result, (FileResult{2, 1, 2}));
  EXPECT_EQ(run.summary.fileCountText, "3 (+1/-1)");
}

// Exclusion patterns skip files and whole folders on each side by that side's own path on
// disk, or by name; a folder excluded on one side only still gives the other side's files.
TEST(ScanTrees, ExcludePatternsSkipFilesAndFoldersByPathOrName) {
  Trees trees;
  trees.Add("old", {"main.c", "moc_view.cpp", "ui/moc_dlg.cpp", "ui/dlg.cpp", "third_party/z/z.c",
                    "src/third_party/keep.c", "proto/a.pb.h", "Gen/b.c"});
  trees.Add("new", {"main.c", "moc_view.cpp", "ui/dlg.cpp", "third_party/z/z.c", "GEN/b.c"});
  ScanOptions options;
  options.recursive = true;
  options.excludePatterns = {"moc_*.cpp", "third_party/**", "*.pb.*", "Gen"};
  const TreeScan scan = ScanTrees(trees.oldTop.string(), trees.newTop.string(), options);
  ASSERT_EQ(scan.status, TreeScanStatus::kListed);
  EXPECT_EQ(Shown(scan.catalogue), (Names{"main.c main.c main.c ", "GEN/b.c  GEN/b.c +",
                                          "src/third_party/keep.c "
                                          "src/third_party/keep.c  -",
                                          "ui/dlg.cpp ui/dlg.cpp ui/dlg.cpp "}));

  // A flat run the same way, through a whole run.
  options.recursive = false;
  RunRequest request = trees.Request(false, {"c", "cpp"});
  request.scan.excludePatterns = {"moc_*"};
  const RunResult run = RunMeasurement(request);
  ASSERT_EQ(run.rows.size(), 1u);
  EXPECT_EQ(run.rows[0].name, "main.c");
}

}  // namespace
}  // namespace quintrel
