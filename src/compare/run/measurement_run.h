#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compare/listing/scan_options.h"
#include "compare/results/totals.h"
#include "compare/sources/version_source.h"
#include "engine/file_pair.h"

namespace quintrel {

// Called on the thread that runs RunMeasurement, with the steps done so far and the number
// of steps, which stays: one per catalogue entry, and with a rename search first one per file
// it reads (the old file of each rename found then counts as done). Never goes back, ends at
// the total when the run completes; not called more often than the steps complete.
using ProgressCallback = std::function<void(std::size_t done, std::size_t total)>;

// Called like ProgressCallback, with the bytes of the files read so far besides (both
// versions of each measured file, after text-mode reading; each file the search read once).
using ByteProgressCallback =
    std::function<void(std::size_t done, std::size_t total, std::uint64_t bytesRead)>;

// One run: the versions to compare and how. BuildRunRequest makes one from what the user
// asked; the caller adds the progress reports and the cancel flag.
struct RunRequest {
  std::unique_ptr<VersionPair> versions;  // two folders or two revisions; never null
  ScanOptions scan;                       // its extensions are those the versions were opened with
  // When 1 to 100: files of one version only whose contents are at least this similar (in
  // percent) are measured as one renamed file (JoinRenames). 0: names alone pair files.
  int renamePercent = 0;
  PairingRule pairing = PairingRule::kLines;
  unsigned jobs = 0;  // worker threads; 0 = one per core
  ProgressCallback progress;
  ByteProgressCallback byteProgress;          // may be set with or instead of `progress`
  const std::atomic<bool>* cancel = nullptr;  // set from any thread to stop the run
};

enum class RunStatus { kCompleted, kCancelled, kOldFolderError, kNewFolderError, kFailed };

// Why a run failed: an exception thrown while listing, searching renames, measuring or
// reporting progress.
struct RunFailure {
  enum class Cause { kNone, kOutOfMemory, kError, kUnknown };
  Cause cause = Cause::kNone;
  std::string what;   // the exception's own text; empty for kUnknown
  std::string entry;  // the name of the entry whose measurement threw; empty elsewhere
};

struct RunResult {
  RunStatus status = RunStatus::kCompleted;
  std::vector<ResultRow> rows;  // catalogue order; after a cancel, the files before the
                                // first one not measured (none during a rename search);
                                // none after an error
  Summary summary;              // of `rows`
  std::string oldLabel;         // how reports name the versions (VersionPair::Label)
  std::string newLabel;
  // How the run measured, as asked: for reports that say so.
  ScanOptions scan;
  int renamePercent = 0;
  PairingRule pairing = PairingRule::kLines;
  TopFolderError folderError;  // with kOldFolderError or kNewFolderError
  RunFailure failure;          // with kFailed
};

// Lists both versions and measures every catalogue entry in parallel. On a folder error or
// a failure nothing is kept: `rows` is empty. Does not throw but for lack of memory for the
// result itself.
RunResult RunMeasurement(const RunRequest& request);

}  // namespace quintrel
