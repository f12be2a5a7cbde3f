#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "compare/measurement_run.h"

namespace quintrel {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a folder cannot be opened, an output cannot be
                                        // written, or the measuring failed
inline constexpr int kExitUsage = 2;

// The whole command-line program after the locale is set: parses `args` (without the
// program name), measures, and writes the table (or the CSV report for "--csv -") to `out`
// and messages to `err`, both in the terminal character set `codeset`. Returns the exit
// status. `measure`, when set, replaces the measurement of each file: a seam for tests.
int RunCli(const std::vector<std::string>& args, const std::string& codeset, std::ostream& out,
           std::ostream& err, const MeasureFunction& measure = {});

}  // namespace quintrel
