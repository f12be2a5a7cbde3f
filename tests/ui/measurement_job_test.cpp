#include "ui/measurement_job.h"

#include <gtest/gtest.h>

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
