#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/git_support.h"
#include "compare/run/run_request.h"

namespace quintrel {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a folder cannot be opened, an output cannot be
                                        // written, or the measuring failed
inline constexpr int kExitUsage = 2;
inline constexpr int kExitOverLimit = 3;  // more statements changed than --fail-over allows

// What the program knows of where its messages go: whether standard error is a terminal
// (only then a progress line is written), and the clock that times the run (the steady
// clock when empty; a seam for tests).
struct CliTerminal {
  bool errIsTerminal = false;
  std::function<std::chrono::steady_clock::time_point()> clock;
};

// The whole command-line program after the locale is set: parses `args` (without the
// program name), measures, and writes the table (or the CSV or JSON report given as "-") to
// `out` and messages to `err`, both in the terminal character set `codeset`. Returns the
// exit status. `openers` open the versions: a seam for tests; when their git opener is empty,
// the git module is loaded for --git.
int RunCli(const std::vector<std::string>& args, const std::string& codeset, std::ostream& out,
           std::ostream& err, const CliTerminal& terminal = {}, const VersionOpeners& openers = {});

}  // namespace quintrel
