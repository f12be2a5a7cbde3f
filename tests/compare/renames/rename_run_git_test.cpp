#include <gtest/gtest.h>

#include <string>

#include "compare/run/measurement_run.h"
#include "compare/sources/git_source.h"
#include "rename_run_files.h"
#include "support/git_repository.h"
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
using testing::TestRepository;
using testing::TreeItems;

// Revisions of a repository give what their checkouts give.
TEST(RenameRunGit, RevisionsGiveWhatTheirCheckoutsGive) {
  ScopedTempDir dir;
  const TreeItems oldItems = {{"main.c", kTool}, {"lib/util.c", kUtil}, {"gone.c", kUnrelatedOld}};
  const TreeItems newItems = {
      {"main.c", kTool}, {"src/helpers.cpp", kUtilEdited}, {"fresh.c", kUnrelatedNew}};
  TestRepository repository(dir.path() / "repo");
  repository.Tag("v1", repository.Commit(oldItems));
  repository.Commit(newItems);
  testing::WriteCheckout(oldItems, dir.path() / "old", 1000);
  testing::WriteCheckout(newItems, dir.path() / "new", 2000);

  GitOpening opening = OpenGitRevisions({(dir.path() / "repo").string(), "v1", "HEAD", "."},
                                        ScanOptions{}.extensions);
  ASSERT_EQ(opening.status, GitOpenStatus::kOpened);
  RunRequest request;
  request.versions = std::move(opening.versions);
  request.scan.recursive = true;
  request.renamePercent = 50;
  const RunResult git = RunMeasurement(request);
  const RunResult folders =
      RunFolders((dir.path() / "old").string(), (dir.path() / "new").string(), true, 50);
  ASSERT_EQ(Names(git), Names(folders));
  EXPECT_EQ(Names(git).back(), "|lib/util.c => src/helpers.cpp");
  for (std::size_t i = 0; i < git.rows.size(); ++i) {
    EXPECT_EQ(git.rows[i].result, folders.rows[i].result) << git.rows[i].name;
  }
}

}  // namespace
}  // namespace quintrel
