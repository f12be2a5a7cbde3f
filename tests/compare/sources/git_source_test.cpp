#include "compare/sources/git_source.h"
#include "compare/listing/path_pattern.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compare/run/run_request.h"
#include "support/git_repository.h"
#include "support/temp_dir.h"

namespace quintrel {

// Printed by gtest when rows differ.
void PrintTo(const ResultRow& row, std::ostream* out) {
  *out << RowMarker(row.flags) << " " << row.name << " " << row.result.added << "/"
       << row.result.deleted << "/" << row.result.loc;
}

bool operator==(const ResultRow& a, const ResultRow& b) {
  return a.flags == b.flags && a.name == b.name && a.result == b.result && a.oldName == b.oldName &&
         a.newName == b.newName;
}

namespace {

using testing::kExecutableMode;
using testing::kLinkMode;
using testing::kSubmoduleMode;
using testing::ScopedTempDir;
using testing::TestRepository;
using testing::TreeItems;

// Two revisions with a file edited, deleted, added, unchanged, made executable, with CR LF
// ends, with a name that is no UTF-8, folders renamed in letter case, nested and excluded
// folders, a folder named like a source file, links, submodules and enough files to keep
// several workers busy.
TreeItems OldTree() {
  TreeItems items = {
      {"main.c", "int a;\nint b;\n"},
      {"gone.c", "#include <x.h>\nint x;\n"},
      {"same.h", "struct s { int a; };\n"},
      {"tool.c", "int t;\nint u;\n"},
      {"crlf.c", "int a;\r\nint b;\r\n"},
      {"caf\xe9.c", "int e;\n"},
      {"sub/deep/inner.cpp", "namespace n {\nint f();\n}\n"},
      {"sub/top.h", "#define A 1\n"},
      {"Src/Case.c", "int c;\n"},
      {"lib.h/readme.c", "int r;\n"},
      {"build/gen.c", "int g;\n"},
      {"notes.txt", "not; measured;\n"},
      {"link.c", "main.c", kLinkMode},
      {"dir_link.h", "sub", kLinkMode},
      {"module.c", "", kSubmoduleMode},
  };
  for (int i = 0; i < 40; ++i) {
    items.push_back({"many/f" + std::to_string(i) + ".c", "int v" + std::to_string(i) + ";\n"});
  }
  return items;
}

TreeItems NewTree() {
  TreeItems items = {
      {"main.c", "int b;\nint c;\nint a;\n"},
      {"same.h", "struct s { int a; };\n"},
      {"tool.c", "int t;\nint u;\n", kExecutableMode},
      {"crlf.c", "int a;\nint b;\nint c;\n"},
      {"caf\xe9.c", "int e;\nint f;\n"},
      {"added.cpp", "namespace z {\nint f();\n}\n"},
      {"sub/deep/inner.cpp", "namespace n {\nint g();\n}\n"},
      {"sub/top.h", "#define A 1\n"},
      {"sub/fresh/new.c", "int n; int m;\n"},
      {"src/case.c", "int c;\nint d;\n"},
      {"lib.h/readme.c", "int r;\n"},
      {"build/gen.c", "int h;\n"},
      {"link.c", "added.cpp", kLinkMode},
      {"module.c", "", kSubmoduleMode},
      {"vendor", "", kSubmoduleMode},
  };
  for (int i = 0; i < 40; ++i) {
    items.push_back({"many/f" + std::to_string(i) + ".c",
                     "int v" + std::to_string(i) + ";\nint w" + std::to_string(i % 3) + ";\n"});
  }
  return items;
}

class GitRevisionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir.MakeDir("repo");
    TestRepository repository(m_dir.path() / "repo");
    repository.Tag("v1", repository.Commit(OldTree()));
    repository.Commit(NewTree());
    // The two checkouts' files differ in time, so the folder run compares every pair.
    testing::WriteCheckout(OldTree(), m_dir.path() / "old", 1000000000);
    testing::WriteCheckout(NewTree(), m_dir.path() / "new", 1100000000);
  }

  GitRevisions Revisions(const std::string& path = ".") const {
    return {(m_dir.path() / "repo").string(), "v1", "HEAD", path};
  }

  RunResult RunGit(const GitRevisions& revisions, const ScanOptions& scan,
                   ByteProgressCallback byteProgress = {}) const {
    GitOpening opening = OpenGitRevisions(revisions, scan.extensions);
    EXPECT_EQ(opening.status, GitOpenStatus::kOpened);
    if (!opening.versions) return {};
    RunRequest request;
    request.versions = std::move(opening.versions);
    request.byteProgress = std::move(byteProgress);
    request.scan = scan;
    request.jobs = 3;
    return RunMeasurement(request);
  }

  RunResult RunFolders(const std::string& path, const ScanOptions& scan) const {
    RunOptions options;
    options.oldVersion = (m_dir.path() / "old" / path).string();
    options.newVersion = (m_dir.path() / "new" / path).string();
    options.scan = scan;
    options.jobs = 3;
    return RunMeasurement(BuildRunRequest(options).request);
  }

  ScopedTempDir m_dir;
};

bool HasRow(const RunResult& run, const std::string& name) {
  for (const ResultRow& row : run.rows) {
    if (row.name == name) return true;
  }
  return false;
}

TEST_F(GitRevisionsTest, GivesTheFolderResultWithEveryScanOption) {
  ScanOptions flat;
  ScanOptions tree;
  tree.recursive = true;
  ScanOptions moreExtensions = tree;
  moreExtensions.extensions = {"c", "h", "cpp", "txt"};
  ScanOptions excluding = tree;
  excluding.excludedFolders = {"build", "many"};
  ScanOptions patterns = tree;
  patterns.excludePatterns = {"many/f1*.c", "sub/**/inner.*", "*.h"};
  ScanOptions flatPatterns = flat;
  flatPatterns.excludePatterns = {"ma*.c", "[cs]*"};
  const struct {
    const char* label;
    ScanOptions scan;
    std::string path;
  } cases[] = {{"flat", flat, "."},          {"tree", tree, "."},
               {"ext", moreExtensions, "."}, {"exclude", excluding, "."},
               {"subfolder", tree, "sub"},   {"flat subfolder", flat, "sub/deep"},
               {"patterns", patterns, "."},  {"flat patterns", flatPatterns, "."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const RunResult git = RunGit(Revisions(c.path), c.scan);
    const RunResult folders = RunFolders(c.path, c.scan);
    ASSERT_EQ(git.status, RunStatus::kCompleted);
    ASSERT_EQ(folders.status, RunStatus::kCompleted);
    EXPECT_FALSE(git.rows.empty());
    EXPECT_EQ(git.rows, folders.rows);
    EXPECT_EQ(git.summary.fileCountText, folders.summary.fileCountText);
    EXPECT_EQ(git.summary.totals, folders.summary.totals);
    for (const ResultRow& row : git.rows) {
      EXPECT_FALSE(IsExcludedByPatterns(c.scan.excludePatterns, row.name)) << row.name;
    }
  }
}

TEST_F(GitRevisionsTest, EditsCaseRenamesAndOddEntriesMeasureAsOnDisk) {
  ScanOptions tree;
  tree.recursive = true;
  const RunResult git = RunGit(Revisions(), tree);
  ASSERT_EQ(git.status, RunStatus::kCompleted);
  auto row = [&](const std::string& name) {
    for (const ResultRow& r : git.rows) {
      if (r.name == name) return r;
    }
    ADD_FAILURE() << "no row " << name;
    return ResultRow{};
  };
  EXPECT_EQ(row("main.c").result, (FileResult{1, 0, 3}));
  EXPECT_EQ(row("crlf.c").result, (FileResult{1, 0, 3}));  // CR LF reads as LF
  EXPECT_EQ(row("tool.c").result, (FileResult{0, 0, 2}));  // only the mode changed
  EXPECT_EQ(row("gone.c").flags, kInOld);
  EXPECT_EQ(row("Src/Case.c").newName, "src/case.c");
  EXPECT_EQ(row("Src/Case.c").result, (FileResult{1, 0, 2}));
  EXPECT_EQ(row("sub/fresh/new.c").flags, kInNew);
  // Links and submodules are no files: neither rows nor folders.
  for (const char* skipped : {"link.c", "dir_link.h", "module.c", "dir_link.h/top.h"}) {
    EXPECT_FALSE(HasRow(git, skipped)) << skipped;
  }
  // Flat, a folder named like a source file is an entry that reads as absent.
  const RunResult flat = RunGit(Revisions(), ScanOptions{});
  ASSERT_TRUE(HasRow(flat, "lib.h"));
  EXPECT_EQ(flat.rows[0].name, "added.cpp");
}

// The same blob on both sides counts as unchanged without reading the old one: only the new
// bytes are reported as read. A changed file reads both sides.
TEST_F(GitRevisionsTest, SameBlobReadsOnlyTheNewVersion) {
  std::uint64_t bytesRead = 0;
  const auto progress = [&](std::size_t, std::size_t, std::uint64_t bytes) { bytesRead = bytes; };
  const RunResult git = RunGit(Revisions("sub"), ScanOptions{}, progress);
  ASSERT_EQ(git.rows.size(), 1u);
  EXPECT_EQ(git.rows[0].result, (FileResult{0, 0, 1}));
  EXPECT_EQ(bytesRead, std::string("#define A 1\n").size());

  const RunResult edited = RunGit(Revisions("sub/deep"), ScanOptions{}, progress);
  ASSERT_EQ(edited.rows.size(), 1u);
  EXPECT_EQ(bytesRead, 2 * std::string("namespace n {\nint f();\n}\n").size());
}

TEST_F(GitRevisionsTest, NamesWhatCannotBeOpened) {
  const std::vector<std::string> noExtensions;
  GitRevisions notRepository = Revisions();
  notRepository.startFolder = m_dir.MakeDir("plain").string();
  EXPECT_EQ(OpenGitRevisions(notRepository, noExtensions).status, GitOpenStatus::kNotARepository);
  notRepository.startFolder = (m_dir.path() / "missing").string();
  EXPECT_EQ(OpenGitRevisions(notRepository, noExtensions).status, GitOpenStatus::kNotARepository);

  GitRevisions revisions = Revisions();
  revisions.oldRevision = "v9";
  revisions.newRevision = "nope";
  EXPECT_EQ(OpenGitRevisions(revisions, noExtensions).status, GitOpenStatus::kUnknownOldRevision);
  revisions.oldRevision = "HEAD~1";
  EXPECT_EQ(OpenGitRevisions(revisions, noExtensions).status, GitOpenStatus::kUnknownNewRevision);
  revisions.newRevision = "HEAD:main.c";  // a blob, no commit
  EXPECT_EQ(OpenGitRevisions(revisions, noExtensions).status, GitOpenStatus::kUnknownNewRevision);
  revisions.newRevision = "HEAD~2";  // before the first commit
  EXPECT_EQ(OpenGitRevisions(revisions, noExtensions).status, GitOpenStatus::kUnknownNewRevision);

  const struct {
    std::string path;
    RunStatus status;
  } paths[] = {{"gone.c", RunStatus::kOldFolderError},    {"Src", RunStatus::kNewFolderError},
               {"sub/fresh", RunStatus::kOldFolderError}, {"..", RunStatus::kOldFolderError},
               {"link.c", RunStatus::kOldFolderError},    {"vendor", RunStatus::kOldFolderError}};
  for (const auto& c : paths) {
    SCOPED_TRACE(c.path);
    GitOpening opening = OpenGitRevisions(Revisions(c.path), noExtensions);
    ASSERT_EQ(opening.status, GitOpenStatus::kOpened);
    RunRequest request;
    request.versions = std::move(opening.versions);
    const RunResult run = RunMeasurement(request);
    EXPECT_EQ(run.status, c.status);
    EXPECT_TRUE(run.rows.empty());
    // Messages name the path and the revision in which it is no folder.
    const bool old = c.status == RunStatus::kOldFolderError;
    EXPECT_EQ(run.folderError.message, "'" + c.path + "' is no folder in the " +
                                           (old ? "old revision 'v1'" : "new revision 'HEAD'"));
    EXPECT_TRUE(run.folderError.fromProgram);
    EXPECT_EQ(run.oldLabel, "v1:" + c.path);
  }
}

// A relative path starts from the start folder, as git's paths do; the revisions are found
// from any folder of the working tree.
TEST_F(GitRevisionsTest, PathIsRelativeToTheStartFolder) {
  ScanOptions tree;
  tree.recursive = true;
  const RunResult expected = RunGit(Revisions("sub/deep"), tree);
  ASSERT_EQ(expected.rows.size(), 1u);
  const std::string inside = m_dir.MakeDir("repo/sub").string();
  const std::string absolute = (m_dir.path() / "repo" / "sub" / "deep").string();
  for (const std::string& path : {std::string("./deep/"), std::string("../sub/deep"), absolute}) {
    SCOPED_TRACE(path);
    const RunResult run = RunGit({inside, "v1", "HEAD", path}, tree);
    EXPECT_EQ(run.rows, expected.rows);
  }
  const RunResult top = RunGit({inside, "v1", "HEAD", ".."}, tree);
  EXPECT_EQ(top.rows, RunGit(Revisions("."), tree).rows);
}

}  // namespace
}  // namespace quintrel
