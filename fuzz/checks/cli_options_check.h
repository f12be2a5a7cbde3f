#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "check_report.h"
#include "cli/cli_app.h"
#include "cli/cli_options.h"
#include "pair_folders.h"
#include "split_input.h"

namespace quintrel::fuzz {

constexpr const char* kProgramPrefix = "quintrel-cli: ";
constexpr std::size_t kMaxArgs = 64;

struct CliOutcome {
  int status = 0;
  std::string out;
  std::string err;
};

// The program on `args`. Revisions are never opened: every repository is missing, so --git
// ends before anything is read.
inline CliOutcome RunProgram(const std::vector<std::string>& args) {
  VersionOpeners openers;
  openers.git = [](const GitRevisions&, const std::vector<std::string>&) {
    GitOpening opening;
    opening.status = GitOpenStatus::kNotARepository;
    return opening;
  };
  std::ostringstream out;
  std::ostringstream err;
  CliOutcome outcome;
  outcome.status = RunCli(args, "UTF-8", out, err, {}, openers);
  outcome.out = out.str();
  outcome.err = err.str();
  return outcome;
}

// C0 controls, DEL, and C1 controls (U+0080 to U+009F, C2 80 to C2 9F in UTF-8).
inline bool HoldsControlCharacter(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 || byte == 0x7F) return true;
    if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F &&
        static_cast<unsigned char>(text[i + 1]) >= 0x80) {
      return true;
    }
  }
  return false;
}

// One message: a single line naming the program, without control characters.
inline CheckReport CheckOneLineMessage(const std::string& err) {
  if (!err.starts_with(kProgramPrefix)) return "the message does not name the program";
  if (err.back() != '\n') return "the message does not end its line";
  if (HoldsControlCharacter(std::string_view(err).substr(0, err.size() - 1))) {
    return "the message holds a line end or another control character";
  }
  return {};
}

// A usage error: status 2, nothing on standard output, and on standard error one message
// line followed by the usage and the pointer to --help.
inline CheckReport CheckUsageError(const std::vector<std::string>& args) {
  const CliOutcome outcome = RunProgram(args);
  if (outcome.status != kExitUsage) return Describe("a usage error ended with ", outcome.status);
  if (!outcome.out.empty()) return "a usage error wrote to standard output";
  const std::string usage = UsageLine() + "Try 'quintrel-cli --help' for more information.\n";
  const std::string& err = outcome.err;
  if (err.size() <= usage.size() || !err.ends_with(usage)) return "no usage after the message";
  return CheckOneLineMessage(err.substr(0, err.size() - usage.size()));
}

// The options written out again, one argument per option value and the folders after "--".
inline std::vector<std::string> CanonicalArgs(const CliOptions& options) {
  std::vector<std::string> args;
  if (options.csvPath) args.push_back("--csv=" + *options.csvPath);
  if (options.jsonPath) args.push_back("--json=" + *options.jsonPath);
  if (options.markdownPath) args.push_back("--markdown=" + *options.markdownPath);
  if (options.byFolder) args.push_back("--by-folder");
  if (options.byExtension) args.push_back("--by-ext");
  if (options.failOver) args.push_back("--fail-over=" + std::to_string(*options.failOver));
  if (options.quiet) args.push_back("-q");
  if (options.run.jobs != 0) args.push_back("--jobs=" + std::to_string(options.run.jobs));
  if (options.run.renamePercent != 0)
    args.push_back("--renames=" + std::to_string(options.run.renamePercent));
  if (options.run.scan.recursive) args.push_back("-r");
  if (options.run.ignoreFormat) args.push_back("-w");
  std::string extensions;
  for (const std::string& extension : options.run.scan.extensions) {
    extensions += (extensions.empty() ? "" : ",") + extension;
  }
  args.push_back("--ext=" + extensions);
  for (const std::string& folder : options.run.scan.excludedFolders) {
    args.push_back("--exclude-dir=" + folder);
  }
  for (const std::string& pattern : options.run.scan.excludePatterns) {
    args.push_back("--exclude=" + pattern);
  }
  if (options.run.git) args.push_back("--git");
  if (options.run.gitStart) args.push_back("-C=" + *options.run.gitStart);
  args.insert(args.end(), {"--", options.run.oldVersion, options.run.newVersion});
  if (options.run.git) args.push_back(options.run.gitPath);
  return args;
}

inline bool SameOptions(const CliOptions& a, const CliOptions& b) {
  return a.run.oldVersion == b.run.oldVersion && a.run.newVersion == b.run.newVersion &&
         a.run.git == b.run.git && a.run.gitPath == b.run.gitPath &&
         a.run.gitStart == b.run.gitStart && a.csvPath == b.csvPath && a.jsonPath == b.jsonPath &&
         a.markdownPath == b.markdownPath && a.byFolder == b.byFolder &&
         a.byExtension == b.byExtension && a.failOver == b.failOver && a.quiet == b.quiet &&
         a.run.jobs == b.run.jobs && a.run.renamePercent == b.run.renamePercent &&
         a.run.ignoreFormat == b.run.ignoreFormat && a.run.scan.recursive == b.run.scan.recursive &&
         a.run.scan.extensions == b.run.scan.extensions &&
         a.run.scan.excludedFolders == b.run.scan.excludedFolders &&
         a.run.scan.excludePatterns == b.run.scan.excludePatterns && a.help == b.help &&
         a.version == b.version;
}

// What parsed options that ask for a run must look like.
inline CheckReport CheckConsistent(const CliOptions& options,
                                   const std::vector<std::string>& args) {
  const auto given = [&](const std::string& text) {
    return std::find(args.begin(), args.end(), text) != args.end();
  };
  if (!given(options.run.oldVersion) || !given(options.run.newVersion))
    return "a folder was not given";
  if (options.run.gitPath != "." && !given(options.run.gitPath)) return "a path was not given";
  if (!options.run.git && (options.run.gitStart || options.run.gitPath != "."))
    return "git options without --git";
  if (options.run.jobs > 1024) return Describe("jobs ", options.run.jobs);
  if (options.run.renamePercent < 0 || options.run.renamePercent > 100)
    return "percent out of range";
  const int toStdout =
      (options.csvPath == "-") + (options.jsonPath == "-") + (options.markdownPath == "-");
  if (toStdout > 1) return "two reports to standard output";
  if (options.failOver && *options.failOver < 0) return "a negative limit";
  for (const std::string& pattern : options.run.scan.excludePatterns) {
    if (pattern.empty()) return "an empty exclusion pattern";
  }
  if (options.run.scan.extensions.empty()) return "no extensions";
  for (const std::string& extension : options.run.scan.extensions) {
    if (extension.empty() || extension.find_first_of(".,") != std::string::npos) {
      return "an extension that is empty or holds a dot or comma";
    }
  }
  for (const std::string& folder : options.run.scan.excludedFolders) {
    if (folder.empty() || folder.find('/') != std::string::npos) return "a bad excluded folder";
  }
  if (!SameOptions(ParseCliOptions(CanonicalArgs(options)).options, options)) {
    return "the options written out again parse differently";
  }
  return {};
}

// The run itself on harmless stand-ins: two empty folders, and report files inside the
// temporary folder (standard output stays standard output). --git keeps its revisions, which
// are never opened.
inline CheckReport CheckRun(CliOptions options) {
  PairFolders& folders = SharedPairFolders();
  if (!folders.usable()) return "no temporary folder";
  const std::string csvFile = folders.PathBeside("report.csv");
  const std::string jsonFile = folders.PathBeside("report.json");
  const std::string markdownFile = folders.PathBeside("report.md");
  if (options.csvPath && *options.csvPath != "-") options.csvPath = csvFile;
  if (options.jsonPath && *options.jsonPath != "-") options.jsonPath = jsonFile;
  if (options.markdownPath && *options.markdownPath != "-") options.markdownPath = markdownFile;
  if (!options.run.git) {
    options.run.oldVersion = folders.Folder("old");
    options.run.newVersion = folders.Folder("new");
  }
  const CliOutcome outcome = RunProgram(CanonicalArgs(options));
  std::error_code ignored;
  const bool csvWritten = std::filesystem::remove(csvFile, ignored);
  const bool jsonWritten = std::filesystem::remove(jsonFile, ignored);
  const bool markdownWritten = std::filesystem::remove(markdownFile, ignored);
  if (options.run.git) {
    if (outcome.status != kExitFailure) return "a missing repository did not fail the run";
    if (!outcome.out.empty()) return "a failed run wrote to standard output";
    return CheckOneLineMessage(outcome.err);
  }
  if (outcome.status != kExitSuccess) {
    return Describe("a run on two empty folders ended with ", outcome.status, ": ", outcome.err);
  }
  if (!outcome.err.empty()) return "a run on two empty folders wrote to standard error";
  if (outcome.out.empty()) return "a run on two empty folders wrote nothing";
  // Two empty folders change nothing, so no limit is passed.
  if (csvWritten != (options.csvPath == csvFile) || jsonWritten != (options.jsonPath == jsonFile) ||
      markdownWritten != (options.markdownPath == markdownFile)) {
    return "the report files written are not the ones asked for";
  }
  return {};
}

// Any argument list (the input split at NUL bytes) ends in a usage error, help or the version,
// or parsed options that are consistent and run.
inline CheckReport CheckCliOptions(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args;
  std::string_view rest = ToView(data, size);
  while (size > 0 && args.size() < kMaxArgs) {
    const std::size_t at = rest.find('\0');
    args.emplace_back(rest.substr(0, at));
    if (at == std::string_view::npos) break;
    rest.remove_prefix(at + 1);
  }
  const CliParse parse = ParseCliOptions(args);
  if (!parse.ok()) return CheckUsageError(args);
  if (parse.options.help || parse.options.version) {
    const CliOutcome outcome = RunProgram(args);
    const bool textRight = parse.options.help
                               ? outcome.out == HelpText()
                               : outcome.out.starts_with("quintrel-cli ") &&
                                     outcome.out.find('\n') == outcome.out.size() - 1;
    if (outcome.status != kExitSuccess || !textRight || !outcome.err.empty()) {
      return "help or the version did not end in its text alone";
    }
    return {};
  }
  if (CheckReport report = CheckConsistent(parse.options, args); !report.empty()) return report;
  return CheckRun(parse.options);
}

}  // namespace quintrel::fuzz
