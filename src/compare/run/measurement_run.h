#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "compare/listing/catalogue.h"
#include "compare/listing/scan_options.h"
#include "compare/results/totals.h"

namespace quintrel {

// Called on the thread that runs RunMeasurement, with the number of files measured so far
// and the number in the catalogue. Not called more often than the files complete.
using ProgressCallback = std::function<void(std::size_t done, std::size_t total)>;

// Called like ProgressCallback, with the bytes of the files read so far besides (both
// versions of each measured file, after text-mode reading; 0 for a `measure` seam).
using ByteProgressCallback =
    std::function<void(std::size_t done, std::size_t total, std::uint64_t bytesRead)>;

// Measures one catalogue entry given the resolved folders. A seam for tests; the default is
// MeasureFilePair.
using MeasureFunction = std::function<FileResult(
    const std::string& oldFolder, const std::string& newFolder, const CatalogueEntry& entry)>;

class VersionPair;

struct RunRequest {
  std::string oldFolderText;  // as typed; resolved against the current directory once
  std::string newFolderText;
  // When set, the versions to compare instead of the two folders (a repository's
  // revisions, say); the folder texts are then not used.
  VersionPair* versions = nullptr;
  ScanOptions scan;
  // When 1 to 100: files of one version only whose contents are at least this similar (in
  // percent) are measured as one renamed file (JoinRenames). 0: names alone pair files.
  int renamePercent = 0;
  unsigned jobs = 0;  // worker threads; 0 = one per core
  ProgressCallback progress;
  ByteProgressCallback byteProgress;          // may be set with or instead of `progress`
  const std::atomic<bool>* cancel = nullptr;  // set from any thread to stop the run
  MeasureFunction measure;
  // When set, receives the name of the entry whose measurement threw, before the exception
  // leaves RunMeasurement, so that a message can name the file.
  std::string* failedEntry = nullptr;
};

enum class RunStatus { kCompleted, kCancelled, kOldFolderError, kNewFolderError };

struct RunResult {
  RunStatus status = RunStatus::kCompleted;
  std::vector<ResultRow> rows;  // catalogue order; after a cancel, the files before the
                                // first one not measured
  Summary summary;              // of `rows`
  std::string oldFolder;        // the resolved folders (empty with `versions`)
  std::string newFolder;
};

// Scans both folders and measures every catalogue entry in parallel. On a folder error
// nothing is measured and `rows` is empty. An exception thrown by a measurement or a progress
// report is passed on once every worker has ended.
RunResult RunMeasurement(const RunRequest& request);

}  // namespace quintrel
