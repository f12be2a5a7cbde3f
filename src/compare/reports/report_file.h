#pragma once

#include <string>
#include <string_view>

namespace quintrel {

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

}  // namespace quintrel
