#pragma once

#include <optional>
#include <string>
#include <vector>

#include "compare/listing/scan_options.h"

namespace quintrel {

struct CliOptions {
  std::string oldFolder;  // exactly as given; may be empty. With --git: the revisions
  std::string newFolder;
  bool git = false;                     // OLD and NEW are revisions of a git repository
  std::string gitPath = ".";            // with --git: the folder measured, as given
  std::optional<std::string> gitStart;  // -C: where the repository is looked for
  std::optional<std::string> csvPath;   // "-" is standard output
  std::optional<std::string> jsonPath;  // "-" is standard output; not both with csvPath
  bool byFolder = false;                // the table of folder sums after the file table
  bool quiet = false;                   // no progress line
  unsigned jobs = 0;                    // 0: one worker per core
  int renamePercent = 0;                // --renames[=PERCENT]; 0: no rename search
  bool help = false;
  bool version = false;
  ScanOptions scan;  // -r, --ext, --exclude-dir
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
