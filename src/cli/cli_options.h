#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compare/run/run_request.h"

namespace quintrel {

struct CliOptions {
  // OLD and NEW exactly as given (folders, may be empty; with --git revisions, PATH and -C),
  // -r, --ext, --exclude-dir, --exclude, --renames and --jobs.
  RunOptions run;
  std::optional<std::string> csvPath;       // "-" is standard output
  std::optional<std::string> jsonPath;      // "-" is standard output; not both with csvPath
  std::optional<std::string> markdownPath;  // "-" is standard output; one report there at most
  bool byFolder = false;                    // the table of folder sums after the file table
  bool byExtension = false;                 // the table of sums per extension after those
  std::optional<std::int64_t> failOver;     // exit 3 when added + deleted exceeds it
  bool quiet = false;                       // no progress line
  bool help = false;
  bool version = false;
};

struct CliParse {
  CliOptions options;
  std::string error;  // empty when the arguments are usable

  bool ok() const { return error.empty(); }
};

// Parses the arguments after the program name. --help and --version make the folders
// optional; otherwise exactly two folders are required (with --git two revisions and an
// optional folder; -C only with --git, each relative to the one before, as in git). "--" ends the
// options, so folder names may start with '-'.
CliParse ParseCliOptions(const std::vector<std::string>& args);

// The one-line synopsis shown with usage errors, and the full --help text.
std::string UsageLine();
std::string HelpText();

}  // namespace quintrel
