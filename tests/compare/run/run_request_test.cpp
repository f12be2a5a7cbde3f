#include "compare/run/run_request.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/hooked_versions.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

// A pair whose files cannot even be opened for reading: the failure of a worker's set-up.
class UnopenablePair final : public VersionPair {
 public:
  explicit UnopenablePair(std::unique_ptr<VersionPair> folders) : m_folders(std::move(folders)) {}
  VersionSource& Old() override { return m_folders->Old(); }
  VersionSource& New() override { return m_folders->New(); }
  std::unique_ptr<VersionFiles> OpenFiles() const override {
    throw std::runtime_error("no more handles");
  }
  std::string Label(VersionSide side) const override { return m_folders->Label(side); }
  TopFolderError CannotOpen(VersionSide side) const override { return m_folders->CannotOpen(side); }

 private:
  std::unique_ptr<VersionPair> m_folders;
};

// Folders: opened with the options' extensions, named in reports as typed, with the scan,
// the rename percent and the workers carried over; the folder messages name the text typed.
TEST(BuildRunRequest, OpensFoldersAsAskedAndNamesThemAsTyped) {
  testing::ScopedTempDir dir;
  dir.Write("old/a.cc", "x;\n");
  dir.Write("new/a.cc", "x;\ny;\n");
  dir.Write("new/b.c", "z;\n");
  RunOptions options;
  options.oldVersion = (dir.path() / "old").string();
  options.newVersion = (dir.path() / "new").string();
  options.scan.extensions = {"cc"};
  options.renamePercent = 60;
  options.jobs = 3;
  std::vector<std::string> openedWith;
  VersionOpeners openers;
  openers.folders = [&](const std::string& oldText, const std::string& newText,
                        const std::vector<std::string>& extensions) {
    openedWith = extensions;
    return MakeFolderPair(oldText, newText, extensions);
  };
  RunStart start = BuildRunRequest(options, openers);
  ASSERT_TRUE(start.ok());
  EXPECT_EQ(openedWith, std::vector<std::string>{"cc"});
  EXPECT_EQ(start.request.renamePercent, 60);
  EXPECT_EQ(start.request.jobs, 3u);
  EXPECT_EQ(start.request.pairing, PairingRule::kLines);
  options.ignoreFormat = true;
  EXPECT_EQ(BuildRunRequest(options).request.pairing, PairingRule::kStatementUnits);
  options.ignoreFormat = false;
  EXPECT_EQ(start.request.scan.extensions, std::vector<std::string>{"cc"});
  const RunResult run = RunMeasurement(start.request);
  ASSERT_EQ(run.rows.size(), 1u);
  EXPECT_EQ(run.rows[0].result, (FileResult{1, 0, 2}));
  EXPECT_EQ(run.oldLabel, options.oldVersion);

  options.newVersion = "missing/../nowhere";
  const RunResult missing = RunMeasurement(BuildRunRequest(options).request);
  EXPECT_EQ(missing.status, RunStatus::kNewFolderError);
  EXPECT_EQ(missing.folderError.message, "新ﾌｫﾙﾀﾞを開けません: missing/../nowhere");
  EXPECT_FALSE(missing.folderError.fromProgram);
  EXPECT_EQ(missing.newLabel, "missing/../nowhere");
}

// Revisions go to the git opener with the start folder and path; a revision it cannot find
// leaves no request.
TEST(BuildRunRequest, HandsRevisionsToTheGitOpener) {
  RunOptions options;
  options.git = true;
  options.oldVersion = "v1";
  options.newVersion = "HEAD~2";
  options.gitPath = "src";
  options.gitStart = "repo";
  GitRevisions asked;
  VersionOpeners openers;
  openers.folders = nullptr;  // never used for revisions
  openers.git = [&](const GitRevisions& revisions, const std::vector<std::string>&) {
    asked = revisions;
    GitOpening opening;
    opening.status = GitOpenStatus::kUnknownNewRevision;
    return opening;
  };
  const RunStart start = BuildRunRequest(options, openers);
  EXPECT_EQ(start.status, GitOpenStatus::kUnknownNewRevision);
  EXPECT_EQ(start.request.versions, nullptr);
  EXPECT_EQ(asked.startFolder, "repo");
  EXPECT_EQ(asked.oldRevision, "v1");
  EXPECT_EQ(asked.newRevision, "HEAD~2");
  EXPECT_EQ(asked.path, "src");
}

// A failure before any file is measured (a worker cannot open the files) comes back in the
// result without an entry name, and nothing is kept.
TEST(RunMeasurementFailures, WorkerSetUpFailureNamesNoEntry) {
  testing::ScopedTempDir dir;
  dir.Write("new/a.c", "x;\n");
  for (unsigned jobs : {1u, 2u}) {
    RunRequest request;
    request.versions = std::make_unique<UnopenablePair>(
        MakeFolderPair("", (dir.path() / "new").string(), DefaultExtensions()));
    request.jobs = jobs;
    const RunResult run = RunMeasurement(request);
    EXPECT_EQ(run.status, RunStatus::kFailed);
    EXPECT_EQ(run.failure.cause, RunFailure::Cause::kError);
    EXPECT_EQ(run.failure.what, "no more handles");
    EXPECT_EQ(run.failure.entry, "");
    EXPECT_TRUE(run.rows.empty());
  }
}

}  // namespace
}  // namespace quintrel
