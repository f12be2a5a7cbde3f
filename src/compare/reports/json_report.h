#pragma once

#include <string>
#include <vector>

#include "compare/reports/report_file.h"
#include "compare/results/folder_sums.h"
#include "compare/results/result_row.h"
#include "compare/run/measurement_run.h"

namespace quintrel {

// The report of the run's rows (in the order they stand) as UTF-8 JSON text ending in a
// newline; the version labels and names are the bytes the run holds (UTF-8 where valid):
//   {"old": TEXT, "new": TEXT,
//    "options": {"recursive", "ext", "exclude_dirs", ["exclude",] "renames" (null or the
//                percent), "ignore_format"},
//    "files": [{"marker", "name", "added", "deleted", "loc"}...],
//    "total": {"files", "new_files", "deleted_files", "added", "deleted", "loc"},
//    "folders": [{"name", then the keys of "total"}...],
//    "extensions": [{"name", then the keys of "total"}...]}
// "exclude" (the exclusion patterns) only when there are some; "folders", the sums of
// SumFolders(rows), only `withFolders`; "extensions", of SumExtensions(rows), only
// `withExtensions`.
// A text that is not valid UTF-8 is written with each invalid byte as U+FFFD, and its exact
// bytes as lowercase hex in a companion key named with "_bytes" ("name_bytes", "old_bytes",
// "new_bytes"), which is present only then.
std::string FormatJsonReport(const RunResult& run, bool withFolders, bool withExtensions = false);

// Formats the report and writes it atomically (WriteFileAtomically).
WriteOutcome SaveJsonReport(const std::string& path, const RunResult& run, bool withFolders);

// Lowercase hex of every byte, two digits each; the companion "_bytes" value.
std::string HexBytes(const std::string& bytes);

}  // namespace quintrel
