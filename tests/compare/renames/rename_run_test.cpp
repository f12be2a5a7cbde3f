#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "compare/reports/json_report.h"
#include "compare/results/folder_sums.h"
#include "compare/run/run_request.h"
#include "rename_run_files.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

using testing::kTool;
using testing::kUnrelatedNew;
using testing::kUnrelatedOld;
using testing::kUtil;
using testing::kUtilEdited;
using testing::Names;
using testing::RunFolders;
using testing::ScopedTempDir;

// What measuring the two versions under one name gives.
FileResult MeasuredUnderOneName(const std::string& oldContent, const std::string& newContent) {
  ScopedTempDir dir;
  dir.Write("old/same.c", oldContent);
  dir.Write("new/same.c", newContent);
  const RunResult run =
      RunFolders((dir.path() / "old").string(), (dir.path() / "new").string(), false, 0);
  EXPECT_EQ(run.rows.size(), 1u);
  return run.rows.empty() ? FileResult{} : run.rows[0].result;
}

class RenameRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir.Write("old/main.c", kTool);
    m_dir.Write("new/main.c", kTool);
    m_dir.Write("old/gone.c", kUnrelatedOld);
    m_dir.Write("new/fresh.c", kUnrelatedNew);
    m_dir.Write("old/lib/util.c", kUtil);
    m_dir.Write("new/src/helpers.cpp", kUtilEdited);
  }

  std::string Old() const { return (m_dir.path() / "old").string(); }
  std::string New() const { return (m_dir.path() / "new").string(); }

  ScopedTempDir m_dir;
};

// A file moved to another folder, renamed to another extension and edited: one row where the
// new file's row stood, measured as if it had kept its name, counted once in the file count.
TEST_F(RenameRunTest, MovedAndEditedFileIsOneRowInATree) {
  const RunResult plain = RunFolders(Old(), New(), true, 0);
  EXPECT_EQ(Names(plain), (std::vector<std::string>{"+|fresh.c", "-|gone.c", "|main.c",
                                                    "-|lib/util.c", "+|src/helpers.cpp"}));
  EXPECT_EQ(plain.summary.fileCountText, "3 (+2/-2)");

  const RunResult renamed = RunFolders(Old(), New(), true, 50);
  ASSERT_EQ(Names(renamed), (std::vector<std::string>{"+|fresh.c", "-|gone.c", "|main.c",
                                                      "|lib/util.c => src/helpers.cpp"}));
  const ResultRow& row = renamed.rows[3];
  EXPECT_EQ(row.oldName, "lib/util.c");
  EXPECT_EQ(row.newName, "src/helpers.cpp");
  EXPECT_EQ(row.renamedFrom, "lib/util.c");
  EXPECT_EQ(ShownNewName(row), "src/helpers.cpp");
  const FileResult oneName = MeasuredUnderOneName(kUtil, kUtilEdited);
  EXPECT_EQ(row.result, oneName);
  EXPECT_GT(oneName.added, 0);
  EXPECT_GT(oneName.deleted, 0);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(renamed.rows[i].result, plain.rows[i].result);
  EXPECT_EQ(renamed.summary.fileCountText, "3 (+1/-1)");
  EXPECT_EQ(renamed.summary.totals.loc, plain.summary.totals.loc);
}

// The threshold decides: 9 of the 11 lines of the edited copy pair (81 percent); the empty
// line after the last line end does not count. Without that, any two one-line files would
// share half their lines and join at the default threshold.
TEST_F(RenameRunTest, ThresholdDecidesWhetherFilesJoin) {
  EXPECT_EQ(RunFolders(Old(), New(), true, 81).rows.size(), 4u);
  EXPECT_EQ(RunFolders(Old(), New(), true, 82).rows.size(), 5u);

  ScopedTempDir oneLiners;
  oneLiners.Write("old/a.c", "int a;\n");
  oneLiners.Write("new/b.c", "int b;\n");
  const RunResult run = RunFolders((oneLiners.path() / "old").string(),
                                   (oneLiners.path() / "new").string(), false, 50);
  EXPECT_EQ(run.rows.size(), 2u);
}

// A flat run looks for renames among the folder's own files only; a tree run across it.
TEST_F(RenameRunTest, FlatRunsSearchTheFolderOnly) {
  m_dir.Write("new/tool.cpp", kTool + "int extra;\n");
  m_dir.Write("old/tool.c", kTool);
  m_dir.Write("new/util.cc", kUtil);  // the subfolder's file, moved up
  RunResult flat = RunFolders(Old(), New(), false, 50);
  EXPECT_EQ(Names(flat),
            (std::vector<std::string>{"+|fresh.c", "-|gone.c", "|main.c", "|tool.c => tool.cpp"}));
  // Only accepted extensions are listed: .cc joins once it is accepted.
  RunOptions options;
  options.oldVersion = Old();
  options.newVersion = New();
  options.scan.recursive = true;
  options.scan.extensions = {"c", "cpp", "cc"};
  options.renamePercent = 100;
  const RunResult tree = RunMeasurement(BuildRunRequest(options).request);
  EXPECT_EQ(Names(tree),
            (std::vector<std::string>{"+|fresh.c", "-|gone.c", "|main.c", "-|tool.c", "+|tool.cpp",
                                      "|lib/util.c => util.cc", "+|src/helpers.cpp"}));
  EXPECT_EQ(tree.rows[5].result, (FileResult{0, 0, tree.rows[5].result.loc}));
}

// Folder sums count a rename in the folders of its new name; the JSON report names both.
TEST_F(RenameRunTest, ReportsKnowBothNames) {
  const RunResult renamed = RunFolders(Old(), New(), true, 50);
  const std::vector<FolderSum> folders = SumFolders(renamed.rows);
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0].name, "src");
  EXPECT_EQ(folders[0].counts, (FileCounts{1, 0, 0}));

  const auto report = nlohmann::json::parse(FormatJsonReport(renamed, true));
  const auto& files = report["files"];
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[3]["marker"], "");
  EXPECT_EQ(files[3]["name"], "lib/util.c => src/helpers.cpp");
  EXPECT_EQ(files[3]["old_name"], "lib/util.c");
  EXPECT_EQ(files[3]["new_name"], "src/helpers.cpp");
  EXPECT_FALSE(files[2].contains("old_name"));
  EXPECT_EQ(report["total"]["new_files"], 1);
  EXPECT_EQ(report["total"]["deleted_files"], 1);
}

// The rows the search measured itself (renames, files of one version) equal a plain run's
// measurement; and a rename whose files share size and modification time is taken as
// unchanged, as measuring two such files under one name takes them.
TEST_F(RenameRunTest, ResultsFromTheSearchEqualMeasuring) {
  const RunResult plain = RunFolders(Old(), New(), true, 0);
  const RunResult renamed = RunFolders(Old(), New(), true, 50);
  ASSERT_EQ(renamed.rows.size(), 4u);
  EXPECT_EQ(renamed.rows[0].result, plain.rows[0].result);  // fresh.c
  EXPECT_EQ(renamed.rows[1].result, plain.rows[1].result);  // gone.c
  EXPECT_EQ(renamed.rows[3].result, MeasuredUnderOneName(kUtil, kUtilEdited));

  const std::string edited = "int a;\nint b;\nint c;\nint d;\n";
  const std::string other = "int a;\nint b;\nint c;\nint e;\n";
  const auto oldPath = m_dir.Write("old/lib/same.c", edited);
  const auto newPath = m_dir.Write("new/src/same.cpp", other);
  std::filesystem::last_write_time(newPath, std::filesystem::last_write_time(oldPath));
  const RunResult taken = RunFolders(Old(), New(), true, 50);
  const auto row = std::find_if(taken.rows.begin(), taken.rows.end(),
                                [](const ResultRow& r) { return r.renamedFrom == "lib/same.c"; });
  ASSERT_NE(row, taken.rows.end());
  EXPECT_EQ(row->result, (FileResult{0, 0, 4}));
}

// A content repeated more than 65,535 times, or a line of more marks, is more than a
// profile keeps: such a rename is still found, and measured by reading both files.
TEST_F(RenameRunTest, RenameBeyondWhatAProfileKeepsIsMeasuredByReading) {
  std::string repeated;
  for (int i = 0; i < 70000; ++i) repeated += "x;\n";
  // Occurrences 66,000 to 69,999 of the old "x;" pair with none: 16 bits would wrap them.
  const std::string fewer = repeated.substr(0, 3 * 66000) + "y;\n";
  std::string shared;
  for (int i = 0; i < 10; ++i) shared += "int v" + std::to_string(i) + ";\n";
  // The long lines differ, so their marks count, beyond 16 bits.
  const std::string longLine = shared + std::string(70000, ';') + "\n";
  const std::string editedLongLine = shared + std::string(70001, ';') + "\nint c;\n";
  m_dir.Write("old/lib/table.c", repeated);
  m_dir.Write("new/src/table.cpp", fewer);
  m_dir.Write("old/lib/packed.c", longLine);
  m_dir.Write("new/src/packed.cpp", editedLongLine);
  const RunResult run = RunFolders(Old(), New(), true, 50);
  const auto rowOf = [&](const std::string& from) {
    const auto row = std::find_if(run.rows.begin(), run.rows.end(),
                                  [&](const ResultRow& r) { return r.renamedFrom == from; });
    return row == run.rows.end() ? std::optional<FileResult>{} : row->result;
  };
  EXPECT_EQ(rowOf("lib/table.c"), MeasuredUnderOneName(repeated, fewer));
  EXPECT_EQ(rowOf("lib/packed.c"), MeasuredUnderOneName(longLine, editedLongLine));
  EXPECT_EQ(MeasuredUnderOneName(repeated, fewer), (FileResult{1, 4000, 66001}));
  EXPECT_EQ(MeasuredUnderOneName(longLine, editedLongLine), (FileResult{70002, 70000, 70012}));
}

}  // namespace
}  // namespace quintrel

namespace quintrel {
namespace {

RunResult RunRenames(const testing::ScopedTempDir& dir, bool ignoreFormat) {
  RunOptions options;
  options.oldVersion = (dir.path() / "old").string();
  options.newVersion = (dir.path() / "new").string();
  options.renamePercent = 80;
  options.ignoreFormat = ignoreFormat;
  options.jobs = 2;
  return RunMeasurement(BuildRunRequest(options).request);
}

// With -w a file that was moved and reformatted is still found: similarity counts statement
// units, which a reformat leaves as they were, and the pair measures 0/0. Without -w its
// lines are too different.
TEST(RenameRunIgnoringFormat, FindsAMovedAndReformattedFile) {
  testing::ScopedTempDir dir;
  dir.Write("old/list.c",
            "int f(int a, int b) { return a + b; }\n"
            "int g(void) { return f(1, 2); } /* two */\n"
            "const char* s = \"x\\\\n\";\n");
  dir.Write("new/lists.c",
            "int f(int a,\n      int b)\n{\n  return a+b;\n}\n"
            "int g(void)\n{\n  return f(1,\n           2);\n}\n"
            "const char* s =\n  \"x\\\\\" \"n\";\n");
  dir.Write("old/other.c", "int h;\nint k;\n");
  dir.Write("new/others.c", "int h;\nint \"\\n\";\n");
  const RunResult lines = RunRenames(dir, false);
  EXPECT_EQ(testing::Names(lines),
            (std::vector<std::string>{"-|list.c", "+|lists.c", "-|other.c", "+|others.c"}));
  const RunResult units = RunRenames(dir, true);
  ASSERT_EQ(testing::Names(units),
            (std::vector<std::string>{"|list.c => lists.c", "-|other.c", "+|others.c"}));
  EXPECT_EQ(units.rows[0].result, (FileResult{0, 0, 5}));
}

}  // namespace
}  // namespace quintrel
