#include "compare/run/measurement_run.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "compare/listing/folder_listing.h"
#include "compare/listing/folder_tree.h"
#include "compare/renames/rename_join.h"
#include "compare/sources/folder_pair.h"
#include "compare/sources/version_source.h"
#include "engine/file_pair.h"

namespace quintrel {

namespace {

// What the workers share with the thread that waits for them. Each worker claims entries by
// index; `measured[i]` and `results[i]` are written only by the claiming worker and read
// only after every worker has been joined.
class RunState {
 public:
  static constexpr std::size_t kNoEntry = static_cast<std::size_t>(-1);

  RunState(const FileCatalogue& catalogue, const RunRequest& request, const RunResult& run,
           const VersionPair& versions, std::size_t workers)
      : m_catalogue(catalogue),
        m_request(request),
        m_run(run),
        m_versions(versions),
        m_keptBytes(kKeptBytes / std::max<std::size_t>(workers, 1)),
        m_results(catalogue.size()),
        m_measured(catalogue.size(), 0) {}

  void Work() {
    PairWorkspace workspace;  // this worker's buffers, reused from file to file
    workspace.budget = &m_budget;
    workspace.keptBytes = m_keptBytes;
    std::unique_ptr<PairMeasurer> measurer;
    try {
      measurer = m_versions.NewMeasurer();
    } catch (...) {
      RecordFailure();
    }
    while (measurer && !ShouldStop()) {
      const std::size_t index = m_next.fetch_add(1);
      if (index >= m_catalogue.size()) break;
      if (!MeasureOne(index, *measurer, workspace)) break;
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_finishedWorkers;
    m_changed.notify_one();
  }

  // Waits on the calling thread until `workers` workers have finished, reporting progress.
  void WaitForWorkers(std::size_t workers) {
    std::size_t reported = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
      m_changed.wait(lock, [&] { return m_done != reported || m_finishedWorkers == workers; });
      const std::size_t done = m_done;
      const std::uint64_t bytes = m_bytesRead;
      const bool finished = m_finishedWorkers == workers;
      if (done != reported && (m_request.progress || m_request.byteProgress)) {
        lock.unlock();
        ReportProgress(done, bytes);
        lock.lock();
      }
      reported = done;
      if (finished) return;
    }
  }

  // The number of entries measured before the first one that was not.
  std::size_t MeasuredPrefix() const {
    std::size_t count = 0;
    while (count < m_measured.size() && m_measured[count]) ++count;
    return count;
  }

  const FileResult& Result(std::size_t index) const { return m_results[index]; }

  void RethrowFailure() const {
    if (!m_failure) return;
    if (m_request.failedEntry && m_failedEntry != kNoEntry) {
      *m_request.failedEntry = m_catalogue[m_failedEntry].name;
    }
    std::rethrow_exception(m_failure);
  }

 private:
  bool ShouldStop() const {
    const bool cancelled = m_request.cancel && m_request.cancel->load(std::memory_order_acquire);
    return cancelled || m_failed.load(std::memory_order_acquire);
  }

  // Stops the workers and keeps the first exception, and the entry that threw it (if one
  // did), for RethrowFailure.
  void RecordFailure(std::size_t entry = kNoEntry) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_failure) {
      m_failure = std::current_exception();
      m_failedEntry = entry;
    }
    m_failed.store(true, std::memory_order_release);
  }

  // A throwing progress report ends the run like a throwing measurement: the exception may
  // only leave once every worker has been joined.
  void ReportProgress(std::size_t done, std::uint64_t bytes) {
    if (m_failed.load(std::memory_order_acquire)) return;
    try {
      if (m_request.progress) m_request.progress(done, m_catalogue.size());
      if (m_request.byteProgress) m_request.byteProgress(done, m_catalogue.size(), bytes);
    } catch (...) {
      RecordFailure();
    }
  }

  FileResult Measure(const CatalogueEntry& entry, PairMeasurer& measurer,
                     PairWorkspace& workspace) const {
    workspace.loadedBytes = 0;
    if (m_request.measure) return m_request.measure(m_run.oldFolder, m_run.newFolder, entry);
    return measurer.Measure(entry, workspace);
  }

  bool MeasureOne(std::size_t index, PairMeasurer& measurer, PairWorkspace& workspace) {
    try {
      m_results[index] = Measure(m_catalogue[index], measurer, workspace);
    } catch (...) {
      RecordFailure(index);
      return false;
    }
    m_measured[index] = 1;
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_done;
    m_bytesRead += workspace.loadedBytes;
    // Without progress reports the waiting thread needs waking only when a worker ends:
    // waking it for every file costs a context switch each on a tree of small files.
    if (m_request.progress || m_request.byteProgress) m_changed.notify_one();
    return true;
  }

  // Memory beyond twice the largest pair: what the pairs being measured may book together,
  // and what the workers may keep between pairs (shared among them). With what the rest of
  // the program holds (a catalogue of a hundred thousand files takes about 15 MiB), a run's
  // peak stays within twice its largest pair plus 64 MiB whatever the number of workers.
  static constexpr std::size_t kInFlightAllowance = std::size_t{40} << 20;
  static constexpr std::size_t kKeptBytes = std::size_t{8} << 20;

  const FileCatalogue& m_catalogue;
  const RunRequest& m_request;
  const RunResult& m_run;
  const VersionPair& m_versions;
  MemoryBudget m_budget{kInFlightAllowance};
  const std::size_t m_keptBytes;
  std::vector<FileResult> m_results;
  std::vector<char> m_measured;
  std::atomic<std::size_t> m_next{0};
  std::atomic<bool> m_failed{false};

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::size_t m_done = 0;
  std::uint64_t m_bytesRead = 0;
  std::size_t m_finishedWorkers = 0;
  std::exception_ptr m_failure;
  std::size_t m_failedEntry = kNoEntry;
};

std::size_t WorkerCount(unsigned jobs, std::size_t entries) {
  std::size_t count = jobs != 0 ? jobs : std::thread::hardware_concurrency();
  if (count == 0) count = 1;
  return std::min(count, entries);
}

// Measures the catalogue on worker threads; returns the number of entries measured in order
// from the first. An exception thrown by a measurement is passed on after every worker ends.
std::size_t MeasureCatalogue(const FileCatalogue& catalogue, const RunRequest& request,
                             const VersionPair& versions, RunResult& run) {
  const std::size_t wanted = WorkerCount(request.jobs, catalogue.size());
  RunState state(catalogue, request, run, versions, wanted);
  std::vector<std::thread> workers;
  for (std::size_t i = 0; i < wanted; ++i) {
    try {
      workers.emplace_back([&state] { state.Work(); });
    } catch (const std::system_error&) {
      if (workers.empty()) throw;
      break;  // run on the threads that did start
    }
  }
  state.WaitForWorkers(workers.size());
  for (std::thread& worker : workers) worker.join();
  state.RethrowFailure();

  const std::size_t measured = state.MeasuredPrefix();
  for (std::size_t i = 0; i < measured; ++i) {
    const CatalogueEntry& entry = catalogue[i];
    run.rows.push_back({entry.flags, entry.name, state.Result(i), entry.oldName, entry.newName,
                        entry.renamedFrom});
  }
  return measured;
}

// Lists the top folders themselves into `catalogue`; kCompleted when both could be opened.
RunStatus ScanFlat(VersionPair& versions, FileCatalogue& catalogue) {
  if (!versions.Old().OpenTop()) return RunStatus::kOldFolderError;
  if (!versions.New().OpenTop()) return RunStatus::kNewFolderError;
  catalogue = BuildCatalogue(versions.Old().ListTop(), versions.New().ListTop());
  return RunStatus::kCompleted;
}

RunStatus ScanBoth(VersionPair& versions, const ScanOptions& options, FileCatalogue& catalogue) {
  if (!options.recursive) return ScanFlat(versions, catalogue);
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

}  // namespace

RunResult RunMeasurement(const RunRequest& request) {
  RunResult run;
  std::unique_ptr<VersionPair> folders;
  VersionPair* versions = request.versions;
  if (versions == nullptr) {
    run.oldFolder = ResolveFolderText(request.oldFolderText);
    run.newFolder = ResolveFolderText(request.newFolderText);
    folders = MakeFolderPair(run.oldFolder, run.newFolder, request.scan.extensions);
    versions = folders.get();
  }

  FileCatalogue catalogue;
  run.status = ScanBoth(*versions, request.scan, catalogue);
  std::unique_ptr<VersionPair> renamed;  // what the search measured is not read again
  if (run.status == RunStatus::kCompleted && request.renamePercent > 0) {
    renamed = WithKnownResults(
        *versions, JoinRenames(catalogue, *versions, request.renamePercent, request.jobs));
    versions = renamed.get();
  }
  if (run.status == RunStatus::kCompleted) {
    const std::size_t measured = MeasureCatalogue(catalogue, request, *versions, run);
    run.status = measured == catalogue.size() ? RunStatus::kCompleted : RunStatus::kCancelled;
  }
  run.summary = SummarizeRows(run.rows);
  return run;
}

}  // namespace quintrel
