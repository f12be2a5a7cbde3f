#pragma once

#include <optional>
#include <string>
#include <vector>

#include "compare/scan_options.h"

namespace quintrel {

struct CliOptions {
  std::string oldFolder;  // exactly as given; may be empty
  std::string newFolder;
  std::optional<std::string> csvPath;  // "-" is standard output
  unsigned jobs = 0;                   // 0: one worker per core
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
// optional; otherwise exactly two folders are required. "--" ends the options, so folder
// names may start with '-'.
CliParse ParseCliOptions(const std::vector<std::string>& args);

// The one-line synopsis shown with usage errors, and the full --help text.
std::string UsageLine();
std::string HelpText();

}  // namespace quintrel
