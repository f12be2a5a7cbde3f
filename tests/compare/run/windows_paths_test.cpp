// Paths as Windows users write them: backslashes, drive letters, long paths, and names that
// code page 932 cannot say. Rows name folders with '/' whatever the separator typed.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "compare/listing/catalogue.h"
#include "compare/listing/folder_listing.h"
#include "compare/reports/csv_report.h"
#include "compare/run/run_request.h"
#include "compare/text/code_page.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

using testing::ScopedTempDir;
using testing::Utf8String;

std::string WithSlashes(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

RunResult RunTrees(const std::string& oldFolder, const std::string& newFolder) {
  RunOptions options;
  options.oldVersion = oldFolder;
  options.newVersion = newFolder;
  options.scan.recursive = true;
  options.jobs = 2;
  return RunMeasurement(BuildRunRequest(options).request);
}

std::vector<std::string> RowNames(const RunResult& run) {
  std::vector<std::string> names;
  for (const ResultRow& row : run.rows) names.push_back(row.name);
  return names;
}

// "C:\...\old" and "C:/.../new" name the same kind of folder; rows keep '/' between folders.
TEST(WindowsPaths, BackslashesAndDriveLettersGiveRowsWithSlashes) {
  ScopedTempDir dir;
  dir.Write("old/sub/deeper/a.c", "int a;\n");
  dir.Write("new/sub/deeper/a.c", "int a;\nint b;\n");
  dir.Write("new/top.h", "int t;\n");
  const std::string oldFolder = Utf8String(dir.path() / "old");
  ASSERT_EQ(oldFolder[1], ':') << oldFolder;
  ASSERT_NE(oldFolder.find('\\'), std::string::npos) << oldFolder;
  const std::string newFolder = WithSlashes(Utf8String(dir.path() / "new")) + "/";

  const RunResult run = RunTrees(oldFolder, newFolder);
  ASSERT_EQ(run.status, RunStatus::kCompleted);
  EXPECT_EQ(RowNames(run), (std::vector<std::string>{"top.h", "sub/deeper/a.c"}));
  EXPECT_EQ(run.rows[1].oldName, "sub/deeper/a.c");
  EXPECT_EQ(run.rows[1].result, (FileResult{1, 0, 2}));
  EXPECT_EQ(run.rows[0].result, (FileResult{1, 0, 1}));
}

TEST(WindowsPaths, ResolvesOnlyTextsThatDependOnTheCurrentFolder) {
  for (const std::string absolute :
       {"C:\\work\\old", "c:/work/old", "\\\\server\\share\\old", "//server/share", "\\old"}) {
    EXPECT_EQ(ResolveFolderText(absolute), absolute);
  }
  const std::string cwd = Utf8String(std::filesystem::current_path());
  const std::string resolved = ResolveFolderText("rel\\old");
  EXPECT_EQ(resolved, cwd + (cwd.back() == '\\' ? "" : "\\") + "rel\\old");
  // "X:name" is relative to drive X's own current folder: the system resolves it.
  const std::string driveRelative = ResolveFolderText(cwd.substr(0, 2) + "rel");
  EXPECT_EQ(driveRelative, cwd + (cwd.back() == '\\' ? "" : "\\") + "rel");
}

// A tree whose files lie deeper than MAX_PATH characters is listed and measured through the
// long form of its paths, from a top folder typed with either separator.
TEST(WindowsPaths, FilesBeyondMaxPathAreListedAndMeasured) {
  ScopedTempDir dir;
  const std::string folder(90, 'f');
  const std::string relative = folder + "/" + folder + "/" + folder + "/deep.c";
  dir.Write("old/" + relative, "int a;\n");
  dir.Write("new/" + relative, "int a;\nint b;\nint c;\n");
  ASSERT_GT(Utf8String(dir.path() / "old").size() + relative.size(), std::size_t{MAX_PATH});

  const RunResult run =
      RunTrees(Utf8String(dir.path() / "old"), WithSlashes(Utf8String(dir.path() / "new")));
  ASSERT_EQ(run.status, RunStatus::kCompleted);
  EXPECT_EQ(RowNames(run), (std::vector<std::string>{relative}));
  EXPECT_EQ(run.rows[0].result, (FileResult{2, 0, 3}));

  std::vector<std::string> names;
  const std::string deepFolder = Utf8String(dir.path() / "new" / folder / folder / folder);
  ASSERT_EQ(ScanFolder(deepFolder, names), ScanStatus::kListed);
  EXPECT_EQ(names, (std::vector<std::string>{"deep.c"}));
}

// Code page 932 has no 'é' and no emoji: the file is still opened by its UTF-16 name and
// measured, and only the report's Shift-JIS form shows '?' for what it cannot say.
TEST(WindowsPaths, NameOutsideCodePage932IsStillMeasured) {
  const std::string name = "caf\xC3\xA9_\xF0\x9F\x98\x80_\xE5\x90\x8D.c";  // café_😀_名.c
  ASSERT_FALSE(Utf8ToCp932(name).has_value());
  ScopedTempDir dir;
  dir.Write("old/" + name, "int a;\nint b;\n");
  dir.Write("new/" + name, "int a;\nint c;\nint d;\n");
  ASSERT_TRUE(std::filesystem::exists(dir.path() / "new" / testing::Utf8Path(name)));

  const RunResult run = RunTrees(Utf8String(dir.path() / "old"), Utf8String(dir.path() / "new"));
  ASSERT_EQ(run.status, RunStatus::kCompleted);
  ASSERT_EQ(RowNames(run), (std::vector<std::string>{name}));
  EXPECT_EQ(run.rows[0].flags, kInOld | kInNew);
  EXPECT_EQ(run.rows[0].result, (FileResult{2, 1, 3}));

  const std::string csv = FormatCsvReport(run, run.summary, std::tm{});
  EXPECT_NE(csv.find(",caf?_?_\x96\xBC.c,2,1,3\r\n"), std::string::npos) << csv;
}

}  // namespace
}  // namespace quintrel
