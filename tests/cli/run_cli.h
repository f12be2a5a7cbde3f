#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quintrel::testing {

struct CliOutcome {
  int exitStatus = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
  std::int64_t peakBytes = -1;  // the program's peak resident memory; -1 when unknown
};

// Runs the built quintrel-cli with `args` and the locale `locale` (LC_ALL), capturing both
// output streams. Standard output goes to `stdoutPath` instead when it is not empty.
// Why the program cannot be run with `locale` here, or empty when it can. On Windows the
// locale is the console's output code page, which needs a console to be set: a process
// without one writes UTF-8 only.
std::string LocaleSkipReason(const std::string& locale);

CliOutcome RunQuintrelCli(const std::vector<std::string>& args,
                          const std::string& locale = "C.UTF-8",
                          const std::string& stdoutPath = "");

}  // namespace quintrel::testing
