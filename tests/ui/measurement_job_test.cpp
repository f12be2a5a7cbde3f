#include "ui/measurement_job.h"

#include <gtest/gtest.h>

#include <string>

#include <QEventLoop>
#include <QTimer>

#include "support/hooked_versions.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

TEST(MeasurementJobTest, ProgressIsTheShareAlreadyMeasured) {
  const int cases[][3] = {{0, 3, 0}, {1, 3, 33}, {2, 3, 66}, {3, 3, 100}, {0, 0, 0}, {7, 5, 100}};
  for (const auto& [done, total, position] : cases) {
    EXPECT_EQ(ProgressPosition(done, total), position) << done << "/" << total;
  }
}

// Runs a job to its end on this thread's event loop, collecting the progress it reports.
RunResult RunToEnd(MeasurementJob& job, std::vector<int>& positions) {
  QObject receiver;
  QEventLoop loop;
  QObject::connect(&job, &MeasurementJob::Progress, &receiver,
                   [&](int position) { positions.push_back(position); });
  QObject::connect(&job, &MeasurementJob::Finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  job.Start();
  loop.exec();
  return job.TakeResult();
}

TEST(MeasurementJobTest, DeliversProgressAndResultToTheOwningThread) {
  testing::ScopedTempDir dir;
  dir.Write("old/a.c", "x;\n");
  dir.Write("new/a.c", "x;\ny;\n");
  dir.Write("new/b.c", "z;\n");
  dir.Write("new/c.h", "#define C\n");
  RunRequest request;
  request.versions = MakeFolderPair((dir.path() / "old").string(), (dir.path() / "new").string(),
                                    DefaultExtensions());
  request.jobs = 1;
  MeasurementJob job(std::move(request));
  std::vector<int> positions;
  const RunResult result = RunToEnd(job, positions);
  EXPECT_EQ(result.status, RunStatus::kCompleted);
  ASSERT_EQ(result.rows.size(), 3u);
  EXPECT_EQ(result.rows[0].result, (FileResult{1, 0, 2}));
  ASSERT_FALSE(positions.empty());
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_EQ(positions.back(), 100);
  EXPECT_TRUE(job.Failure().empty());
}

// The rename search moves the progress window too: here its 40 reads are the first half of
// the scale, then the 40 entries listed, of which the 20 old files of the renames count as
// done once the search has joined them (the run goes on from 75 %).
TEST(MeasurementJobTest, RenameSearchMovesTheProgress) {
  testing::ScopedTempDir dir;
  for (int i = 0; i < 20; ++i) {
    const std::string body =
        "int f" + std::to_string(i) + "(void) {\n  return " + std::to_string(i) + ";\n}\n";
    dir.Write("old/f" + std::to_string(i) + ".c", body);
    dir.Write("new/f" + std::to_string(i) + ".cpp", body + "int g;\n");
  }
  RunRequest request;
  request.versions =
      MakeFolderPair((dir.path() / "old").string(), (dir.path() / "new").string(), {"c", "cpp"});
  request.renamePercent = 50;
  request.jobs = 1;
  MeasurementJob job(std::move(request));
  std::vector<int> positions;
  const RunResult result = RunToEnd(job, positions);
  EXPECT_EQ(result.status, RunStatus::kCompleted);
  EXPECT_EQ(result.rows.size(), 20u);
  ASSERT_FALSE(positions.empty());
  EXPECT_LE(positions.front(), 50);
  for (const int position : positions) {
    EXPECT_TRUE(position <= 50 || position >= 75) << position;
  }
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_EQ(positions.back(), 100);
}

TEST(MeasurementJobTest, AFailingMeasurementIsReportedNotFatal) {
  testing::ScopedTempDir dir;
  dir.Write("new/a.c", "x;\n");
  RunRequest request;
  request.versions = testing::MakeHookedFolderPair(
      "", (dir.path() / "new").string(), [](const CatalogueEntry&, const auto&) -> FileResult {
        throw std::runtime_error("measure failed");
      });
  MeasurementJob job(std::move(request));
  std::vector<int> positions;
  RunToEnd(job, positions);
  EXPECT_EQ(job.Failure(), "measure failed");
}

}  // namespace
}  // namespace quintrel
