#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "compare/run/measurement_run.h"
#include "rename_run_files.h"
#include "support/hooked_versions.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

using testing::kTool;
using testing::kUnrelatedNew;
using testing::kUnrelatedOld;
using testing::kUtil;
using testing::kUtilEdited;
using testing::Names;
using testing::ScopedTempDir;

// The versions of another pair, with `onRead` called before each file is read (on the worker
// that reads it).
class ReadHookedPair final : public VersionPair {
 public:
  ReadHookedPair(std::unique_ptr<VersionPair> versions, std::function<void()> onRead)
      : m_versions(std::move(versions)), m_onRead(std::move(onRead)) {}

  VersionSource& Old() override { return m_versions->Old(); }
  VersionSource& New() override { return m_versions->New(); }
  std::unique_ptr<VersionFiles> OpenFiles() const override {
    return std::make_unique<Files>(m_versions->OpenFiles(), m_onRead);
  }
  std::string Label(VersionSide side) const override { return m_versions->Label(side); }
  TopFolderError CannotOpen(VersionSide side) const override {
    return m_versions->CannotOpen(side);
  }

 private:
  class Files final : public VersionFiles {
   public:
    Files(std::unique_ptr<VersionFiles> files, const std::function<void()>& onRead)
        : m_files(std::move(files)), m_onRead(onRead) {}
    FileResult Measure(const CatalogueEntry& entry, PairWorkspace& workspace) override {
      return m_files->Measure(entry, workspace);
    }
    bool ReadText(VersionSide side, const std::string& name, ByteBuffer& bytes) override {
      m_onRead();
      return m_files->ReadText(side, name, bytes);
    }

   private:
    std::unique_ptr<VersionFiles> m_files;
    const std::function<void()>& m_onRead;
  };

  std::unique_ptr<VersionPair> m_versions;
  std::function<void()> m_onRead;
};

class RenameProgressTest : public ::testing::Test {
 protected:
  // One file in both versions (first in the catalogue), one of each version alone, and one
  // renamed: the search reads four files, the catalogue lists five entries.
  void SetUp() override {
    Write("old/a.c", kTool);
    Write("new/a.c", kTool + "int more;\n");
    Write("old/gone.c", kUnrelatedOld);
    Write("new/fresh.c", kUnrelatedNew);
    Write("old/util.c", kUtil);
    Write("new/helpers.c", kUtilEdited);
  }

  void Write(const std::string& path, const std::string& content) {
    m_dir.Write(path, content);
    m_bytes += content.size();
  }

  // A run of the folders with renames at 50 percent on one worker, each entry measured
  // through `hook`.
  RunRequest Request(testing::MeasureHook hook) const {
    RunRequest request;
    request.versions = testing::MakeHookedFolderPair(
        (m_dir.path() / "old").string(), (m_dir.path() / "new").string(), std::move(hook));
    request.renamePercent = 50;
    request.jobs = 1;
    return request;
  }

  ScopedTempDir m_dir;
  std::uint64_t m_bytes = 0;  // of all files
};

// The search's reads come first on the same scale as the catalogue's entries: the total
// (4 files searched + 5 entries listed) stays, the count never goes back and reaches it, and
// the bytes of every file are counted once, those the search measured included.
TEST_F(RenameProgressTest, SearchAndRunShareOneScale) {
  std::vector<std::tuple<std::size_t, std::size_t, std::uint64_t>> reports;
  std::size_t reportsBeforeMeasuring = 0;
  RunRequest request = Request([&](const CatalogueEntry&, const auto& measure) {
    if (reportsBeforeMeasuring == 0) reportsBeforeMeasuring = reports.size();
    return measure();
  });
  request.byteProgress = [&](std::size_t done, std::size_t total, std::uint64_t bytes) {
    reports.emplace_back(done, total, bytes);
  };
  const RunResult run = RunMeasurement(request);
  ASSERT_EQ(Names(run),
            (std::vector<std::string>{"|a.c", "+|fresh.c", "-|gone.c", "|util.c => helpers.c"}));
  ASSERT_FALSE(reports.empty());
  for (const auto& [done, total, bytes] : reports) EXPECT_EQ(total, 9u);
  for (std::size_t i = 1; i < reports.size(); ++i) {
    EXPECT_GT(std::get<0>(reports[i]), std::get<0>(reports[i - 1]));
    EXPECT_GE(std::get<2>(reports[i]), std::get<2>(reports[i - 1]));
  }
  EXPECT_EQ(std::get<0>(reports.back()), 9u);
  EXPECT_EQ(std::get<2>(reports.back()), m_bytes);
  // The search reported before the first entry was measured.
  ASSERT_GT(reportsBeforeMeasuring, 0u);
  EXPECT_LE(std::get<0>(reports[reportsBeforeMeasuring - 1]), 4u);
}

// A cancel during the search stops it before the next file and leaves nothing measured; a
// cancel after it keeps what was measured, as for any run.
TEST_F(RenameProgressTest, CancelDuringTheSearchStopsItAndKeepsNothing) {
  for (int i = 0; i < 20; ++i) {
    Write("old/old" + std::to_string(i) + ".c", "int old" + std::to_string(i) + ";\n");
    Write("new/new" + std::to_string(i) + ".c", "int new" + std::to_string(i) + ";\n");
  }
  std::atomic<bool> cancel{false};
  std::atomic<int> reads{0};
  bool measured = false;
  RunRequest request = Request([&](const CatalogueEntry&, const auto& measure) {
    measured = true;
    return measure();
  });
  request.versions = std::make_unique<ReadHookedPair>(std::move(request.versions), [&] {
    if (++reads == 5) cancel = true;
  });
  request.cancel = &cancel;
  const RunResult run = RunMeasurement(request);
  EXPECT_EQ(run.status, RunStatus::kCancelled);
  EXPECT_TRUE(run.rows.empty());
  EXPECT_EQ(reads, 5);
  EXPECT_FALSE(measured);

  cancel = false;
  RunRequest after = Request([&](const CatalogueEntry&, const auto& measure) {
    cancel = true;  // while the first entry, a.c, is measured
    return measure();
  });
  after.cancel = &cancel;
  const RunResult kept = RunMeasurement(after);
  EXPECT_EQ(kept.status, RunStatus::kCancelled);
  EXPECT_EQ(Names(kept), std::vector<std::string>{"|a.c"});
}

}  // namespace
}  // namespace quintrel
