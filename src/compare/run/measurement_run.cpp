#include "compare/run/measurement_run.h"

#include <algorithm>
#include <exception>
#include <new>
#include <optional>

#include "compare/listing/folder_tree.h"
#include "compare/listing/path_pattern.h"
#include "compare/renames/known_results.h"
#include "compare/renames/rename_join.h"
#include "compare/run/parallel_work.h"
#include "engine/file_pair.h"

namespace quintrel {

namespace {

// Memory beyond twice the largest pair: what the pairs being measured may book together,
// and what the workers may keep between pairs (shared among them). With what the rest of
// the program holds (a catalogue of a hundred thousand files takes about 15 MiB), a run's
// peak stays within twice its largest pair plus 64 MiB whatever the number of workers.
constexpr std::size_t kInFlightAllowance = std::size_t{40} << 20;
constexpr std::size_t kKeptBytes = std::size_t{8} << 20;

void ReportProgress(const RunRequest& request, std::size_t done, std::size_t total,
                    std::uint64_t bytesRead) {
  if (request.progress) request.progress(done, total);
  if (request.byteProgress) request.byteProgress(done, total, bytesRead);
}

// Where the catalogue's measurement stands in the run's progress: after the rename search,
// which read its files (each one step) and joined renames (the old file's entry leaves the
// catalogue: one step done), the steps and bytes before the catalogue's first entry, and
// all the steps of the run.
struct ProgressScale {
  std::size_t doneBefore = 0;
  std::uint64_t bytesBefore = 0;
  std::size_t total = 0;  // 0: the catalogue's size
};

// The measurement of the catalogue's entries: each worker has the versions' files and
// buffers of its own, and writes only the results of the entries it claims.
class CatalogueMeasurement {
 public:
  CatalogueMeasurement(const FileCatalogue& catalogue, const RunRequest& request,
                       const VersionPair& versions, const ProgressScale& scale)
      : m_catalogue(catalogue),
        m_request(request),
        m_versions(versions),
        m_scale(scale),
        m_results(catalogue.size()) {}

  WorkOutcome Run() {
    ParallelWork work;
    work.items = m_catalogue.size();
    work.jobs = m_request.jobs;
    work.cancel = m_request.cancel;
    const std::size_t workers = WorkerCount(work.jobs, work.items);
    work.newWorker = [this, workers] { return NewWorker(workers); };
    // Asked for only when reported: a report per file wakes the waiting thread once each.
    if (m_request.progress || m_request.byteProgress) {
      work.progress = [this](std::size_t done) { Report(done); };
    }
    return RunParallel(work);
  }

  const FileResult& Result(std::size_t index) const { return m_results[index]; }

 private:
  ItemWork NewWorker(std::size_t workers) {
    auto files = std::shared_ptr<VersionFiles>(m_versions.OpenFiles());
    auto workspace = std::make_shared<PairWorkspace>();
    workspace->budget = &m_budget;
    workspace->keptBytes = kKeptBytes / workers;
    workspace->pairing = m_request.pairing;
    return [this, files, workspace](std::size_t index) {
      workspace->loadedBytes = 0;
      m_results[index] = files->Measure(m_catalogue[index], *workspace);
      m_bytesRead.fetch_add(workspace->loadedBytes, std::memory_order_relaxed);
    };
  }

  void Report(std::size_t measured) const {
    const std::size_t done = m_scale.doneBefore + measured;
    const std::size_t total = m_scale.total != 0 ? m_scale.total : m_catalogue.size();
    ReportProgress(m_request, done, total,
                   m_scale.bytesBefore + m_bytesRead.load(std::memory_order_relaxed));
  }

  const FileCatalogue& m_catalogue;
  const RunRequest& m_request;
  const VersionPair& m_versions;
  const ProgressScale m_scale;
  MemoryBudget m_budget{kInFlightAllowance};
  std::vector<FileResult> m_results;
  std::atomic<std::uint64_t> m_bytesRead{0};
};

// Lists the top folders themselves into `catalogue`; kCompleted when both could be opened.
RunStatus ScanFlat(VersionPair& versions, const ScanOptions& options, FileCatalogue& catalogue) {
  if (!versions.Old().OpenTop()) return RunStatus::kOldFolderError;
  if (!versions.New().OpenTop()) return RunStatus::kNewFolderError;
  std::vector<std::string> oldNames = versions.Old().ListTop();
  std::vector<std::string> newNames = versions.New().ListTop();
  DropExcludedEntries(oldNames, options.excludePatterns, {});
  DropExcludedEntries(newNames, options.excludePatterns, {});
  catalogue = BuildCatalogue(oldNames, newNames);
  return RunStatus::kCompleted;
}

RunStatus ScanBoth(VersionPair& versions, const ScanOptions& options, FileCatalogue& catalogue) {
  if (!options.recursive) return ScanFlat(versions, options, catalogue);
  TreeScan scan = ScanTrees(versions.Old(), versions.New(), options);
  switch (scan.status) {
    case TreeScanStatus::kOldCannotOpen:
      return RunStatus::kOldFolderError;
    case TreeScanStatus::kNewCannotOpen:
      return RunStatus::kNewFolderError;
    case TreeScanStatus::kListed:
      break;
  }
  catalogue = std::move(scan.catalogue);
  return RunStatus::kCompleted;
}

RunFailure FailureOf(const std::exception_ptr& error) {
  RunFailure failure;
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc& outOfMemory) {
    failure = {RunFailure::Cause::kOutOfMemory, outOfMemory.what(), {}};
  } catch (const std::exception& other) {
    failure = {RunFailure::Cause::kError, other.what(), {}};
  } catch (...) {
    failure.cause = RunFailure::Cause::kUnknown;
  }
  return failure;
}

// Measures the catalogue into `run.rows`: the entries measured in order from the first.
void MeasureCatalogue(const FileCatalogue& catalogue, const RunRequest& request,
                      const VersionPair& versions, RunResult& run,
                      const ProgressScale& scale = {}) {
  CatalogueMeasurement measurement(catalogue, request, versions, scale);
  const WorkOutcome outcome = measurement.Run();
  if (outcome.failure) {
    run.status = RunStatus::kFailed;
    run.failure = FailureOf(outcome.failure);
    if (outcome.failedItem != WorkOutcome::kNoItem) {
      run.failure.entry = catalogue[outcome.failedItem].name;
    }
    return;
  }
  const std::size_t measured = outcome.DonePrefix();
  run.rows.reserve(measured);
  for (std::size_t i = 0; i < measured; ++i) {
    const CatalogueEntry& entry = catalogue[i];
    run.rows.push_back({entry.flags, entry.name, measurement.Result(i), entry.oldName,
                        entry.newName, entry.renamedFrom});
  }
  run.status = measured == catalogue.size() ? RunStatus::kCompleted : RunStatus::kCancelled;
}

// The rename search, then the catalogue it leaves, on one scale of progress: each file the
// search reads is a step, then each entry of the catalogue as listed. A cancel during the
// search leaves nothing measured.
void SearchThenMeasure(FileCatalogue& catalogue, const RunRequest& request, RunResult& run) {
  VersionPair& versions = *request.versions;
  const std::size_t searched = SearchedFileCount(catalogue);
  const std::size_t listed = catalogue.size();
  ProgressScale scale{searched, 0, searched + listed};
  RenameSearchOptions options;
  options.jobs = request.jobs;
  options.pairing = request.pairing;
  options.control.cancel = request.cancel;
  if (request.progress || request.byteProgress) {
    options.control.progress = [&](std::size_t filesRead, std::uint64_t bytesRead) {
      scale.bytesBefore = bytesRead;
      ReportProgress(request, filesRead, scale.total, bytesRead);
    };
  }
  std::optional<KnownResults> known =
      JoinRenames(catalogue, versions, request.renamePercent, options);
  if (!known) {
    run.status = RunStatus::kCancelled;
    return;
  }
  scale.doneBefore += listed - catalogue.size();  // the old entries of the renames
  // The search measures as lines pair; its results stand only for runs that pair lines.
  if (request.pairing != PairingRule::kLines) {
    return MeasureCatalogue(catalogue, request, versions, run, scale);
  }
  // What the rename search measured on the way is not read again.
  const std::unique_ptr<VersionPair> renamed = WithKnownResults(versions, std::move(*known));
  MeasureCatalogue(catalogue, request, *renamed, run, scale);
}

void ListAndMeasure(const RunRequest& request, RunResult& run) {
  VersionPair& versions = *request.versions;
  FileCatalogue catalogue;
  run.status = ScanBoth(versions, request.scan, catalogue);
  if (run.status == RunStatus::kOldFolderError) {
    run.folderError = versions.CannotOpen(VersionSide::kOld);
    return;
  }
  if (run.status == RunStatus::kNewFolderError) {
    run.folderError = versions.CannotOpen(VersionSide::kNew);
    return;
  }
  if (request.renamePercent == 0) return MeasureCatalogue(catalogue, request, versions, run);
  SearchThenMeasure(catalogue, request, run);
}

}  // namespace

RunResult RunMeasurement(const RunRequest& request) {
  RunResult run;
  run.oldLabel = request.versions->Label(VersionSide::kOld);
  run.newLabel = request.versions->Label(VersionSide::kNew);
  run.scan = request.scan;
  run.renamePercent = request.renamePercent;
  run.pairing = request.pairing;
  try {
    ListAndMeasure(request, run);
  } catch (...) {
    run.status = RunStatus::kFailed;
    run.failure = FailureOf(std::current_exception());
  }
  if (run.status == RunStatus::kFailed) run.rows.clear();
  run.summary = SummarizeRows(run.rows);
  return run;
}

}  // namespace quintrel
