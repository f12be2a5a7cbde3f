#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "compare/result_row.h"
#include "compare/totals.h"

namespace quintrel {

// What the report shows, all texts in UTF-8 as the window shows them.
struct ReportContent {
  std::string oldFolderText;
  std::string newFolderText;
  std::vector<RowTexts> rows;
  std::string fileCountText;
  Totals totals;
};

// The report's rows for result rows in the order given.
std::vector<RowTexts> ReportRows(const std::vector<ResultRow>& rows);

// The whole report as code page 932 bytes with CR LF line ends; `localTime` is the stamp.
std::string FormatCsvReport(const ReportContent& content, const std::tm& localTime);

enum class WriteFailure { kNone, kCannotCreate, kWriteFailed };

struct WriteOutcome {
  WriteFailure failure = WriteFailure::kNone;
  std::string detail;  // the system's reason, for messages; without the path

  bool ok() const { return failure == WriteFailure::kNone; }
};

// Writes `bytes` to a temporary file beside `path`, flushes it and renames it over `path`,
// so `path` holds either its earlier content or all of `bytes`. An existing `path` that is
// not writable is left alone and reported as kCannotCreate.
WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes);

// Writes a report the user named on a command line: an existing target that is neither a
// regular file nor a folder (a character device such as /dev/stdout or /dev/null, a FIFO,
// a process substitution) is opened and written as it is; a path that names one of the
// process's descriptors (/dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N) is written
// through that descriptor, whatever it is open on; anything else is written with
// WriteFileAtomically, so folders stay refused.
WriteOutcome WriteReportFile(const std::string& path, std::string_view bytes);

// Formats the report with the local time of now and writes it atomically.
WriteOutcome SaveCsvReport(const std::string& path, const ReportContent& content);

}  // namespace quintrel
