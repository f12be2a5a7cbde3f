#include "cli/cli_options.h"

#include <charconv>
#include <string_view>

#include "compare/run/option_texts.h"

namespace quintrel {
namespace {

constexpr unsigned kMaxJobs = 1024;

// An option as "--name" or "--name=value".
struct OptionArg {
  std::string_view name;
  std::optional<std::string_view> value;
};

OptionArg SplitOption(std::string_view arg) {
  std::size_t equals = arg.find('=');
  if (equals == std::string_view::npos) return {arg, std::nullopt};
  return {arg.substr(0, equals), arg.substr(equals + 1)};
}

std::optional<std::int64_t> ParseLimit(std::string_view text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < 0) return std::nullopt;
  return value;
}

std::optional<unsigned> ParseJobs(std::string_view text) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value == 0 || value > kMaxJobs) {
    return std::nullopt;
  }
  return value;
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : m_args(args) {}

  CliParse Run() {
    std::vector<std::string> folders;
    bool optionsEnded = false;
    for (m_index = 0; m_index < m_args.size() && m_result.ok(); ++m_index) {
      const std::string& arg = m_args[m_index];
      if (optionsEnded || arg == "-" || arg.size() < 2 || arg[0] != '-') {
        folders.push_back(arg);
      } else if (arg == "--") {
        optionsEnded = true;
      } else {
        ParseOption(arg);
      }
    }
    if (m_result.ok()) CheckFolders(folders);
    if (m_result.ok()) CheckReports();
    return m_result;
  }

 private:
  void ParseOption(std::string_view arg) {
    auto [name, value] = SplitOption(arg);
    CliOptions& options = m_result.options;
    if (name == "--help" || name == "-h") {
      if (!RefuseValue(name, value)) options.help = true;
    } else if (name == "--version") {
      if (!RefuseValue(name, value)) options.version = true;
    } else if (name == "--csv") {
      if (options.csvPath) return Fail("--csv given more than once");
      if (auto path = TakeValue(name, value)) options.csvPath = std::string(*path);
    } else if (name == "--json") {
      if (options.jsonPath) return Fail("--json given more than once");
      if (auto path = TakeValue(name, value)) options.jsonPath = std::string(*path);
    } else if (name == "--markdown") {
      if (options.markdownPath) return Fail("--markdown given more than once");
      if (auto path = TakeValue(name, value)) options.markdownPath = std::string(*path);
    } else if (name == "--by-ext") {
      if (!RefuseValue(name, value)) options.byExtension = true;
    } else if (name == "--fail-over") {
      if (options.failOver) return Fail("--fail-over given more than once");
      std::optional<std::string_view> text = TakeValue(name, value);
      if (!text) return;
      options.failOver = ParseLimit(*text);
      if (!options.failOver)
        return Fail("--fail-over needs a whole number of statements, 0 or more");
    } else if (name == "--git") {
      if (!RefuseValue(name, value)) options.run.git = true;
    } else if (name == "-C") {
      if (auto folder = TakeValue(name, value)) AddStartFolder(*folder);
    } else if (name == "--renames") {
      // The percent only after '=': a following argument is a folder.
      if (!value) {
        options.run.renamePercent = kDefaultRenamePercent;
      } else if (std::optional<int> percent = ParseRenamePercent(*value)) {
        options.run.renamePercent = *percent;
      } else {
        Fail(RenamePercentError("--renames"));
      }
    } else if (name == "--by-folder") {
      if (!RefuseValue(name, value)) options.byFolder = true;
    } else if (name == "--ignore-format" || name == "-w") {
      if (!RefuseValue(name, value)) options.run.ignoreFormat = true;
    } else if (name == "--quiet" || name == "-q") {
      if (!RefuseValue(name, value)) options.quiet = true;
    } else if (name == "--jobs" || name == "-j") {
      std::optional<std::string_view> text = TakeValue(name, value);
      if (!text) return;
      std::optional<unsigned> jobs = ParseJobs(*text);
      if (!jobs) return Fail("--jobs needs a whole number from 1 to " + std::to_string(kMaxJobs));
      options.run.jobs = *jobs;
    } else if (!ParseScanOption(name, value)) {
      Fail("unknown option '" + std::string(arg) + "'");
    }
  }

  // The options that choose the files: false when `name` is none of them.
  bool ParseScanOption(std::string_view name, std::optional<std::string_view> value) {
    ScanOptions& scan = m_result.options.run.scan;
    if (name == "--recursive" || name == "-r") {
      if (!RefuseValue(name, value)) scan.recursive = true;
    } else if (name == "--ext") {
      if (m_extGiven) Fail("--ext given more than once");
      m_extGiven = true;
      std::optional<std::string_view> list = TakeValue(name, value);
      if (!list) return true;
      auto extensions = ParseExtensionList(*list);
      if (!extensions)
        Fail(ExtensionListError("--ext"));
      else
        scan.extensions = std::move(*extensions);
    } else if (name == "--exclude-dir") {
      std::optional<std::string_view> folder = TakeValue(name, value);
      if (!folder) return true;
      if (!IsExcludableFolderName(*folder)) {
        Fail(ExcludedFolderError("--exclude-dir"));
      } else {
        scan.excludedFolders.emplace_back(*folder);
      }
    } else if (name == "--exclude") {
      std::optional<std::string_view> pattern = TakeValue(name, value);
      if (!pattern) return true;
      if (pattern->empty()) {
        Fail("--exclude needs a pattern, such as 'moc_*.cpp' or 'third_party/**'");
      } else {
        scan.excludePatterns.emplace_back(*pattern);
      }
    } else {
      return false;
    }
    return true;
  }

  // The option's value: after '=' or the next argument.
  std::optional<std::string_view> TakeValue(std::string_view name,
                                            std::optional<std::string_view> value) {
    if (value) return value;
    if (m_index + 1 >= m_args.size()) {
      Fail(std::string(name) + " needs a value");
      return std::nullopt;
    }
    return std::string_view(m_args[++m_index]);
  }

  bool RefuseValue(std::string_view name, std::optional<std::string_view> value) {
    if (value) Fail(std::string(name) + " takes no value");
    return value.has_value();
  }

  // Like git's -C: a relative folder starts from the one given before.
  void AddStartFolder(std::string_view folder) {
    std::optional<std::string>& start = m_result.options.run.gitStart;
    if (!start || start->empty() || folder.starts_with('/')) {
      start = std::string(folder);
    } else if (!folder.empty()) {
      *start += '/';
      *start += folder;
    }
  }

  void CheckFolders(std::vector<std::string>& folders) {
    CliOptions& options = m_result.options;
    if (options.help || options.version) return;
    if (options.run.git) return CheckRevisions(folders);
    if (options.run.gitStart) return Fail("-C is used with --git only");
    if (folders.size() != 2) {
      return Fail(folders.size() < 2 ? "two folders are needed: OLD and NEW"
                                     : "too many arguments: only OLD and NEW are expected");
    }
    options.run.oldVersion = std::move(folders[0]);
    options.run.newVersion = std::move(folders[1]);
  }

  void CheckRevisions(std::vector<std::string>& arguments) {
    CliOptions& options = m_result.options;
    if (arguments.size() < 2) return Fail("--git needs two revisions: OLD_REV and NEW_REV");
    if (arguments.size() > 3) {
      return Fail("too many arguments: only OLD_REV, NEW_REV and PATH are expected");
    }
    options.run.oldVersion = std::move(arguments[0]);
    options.run.newVersion = std::move(arguments[1]);
    if (arguments.size() == 3) options.run.gitPath = std::move(arguments[2]);
  }

  // Standard output holds one report at most.
  void CheckReports() {
    const CliOptions& options = m_result.options;
    if (options.csvPath == "-" && options.jsonPath == "-") {
      Fail("--csv and --json cannot both write to standard output");
    } else if (options.markdownPath == "-" && (options.csvPath == "-" || options.jsonPath == "-")) {
      Fail(std::string(options.csvPath == "-" ? "--csv" : "--json") +
           " and --markdown cannot both write to standard output");
    }
  }

  void Fail(std::string message) {
    if (m_result.ok()) m_result.error = std::move(message);
  }

  const std::vector<std::string>& m_args;
  std::size_t m_index = 0;
  CliParse m_result;
  bool m_extGiven = false;
};

}  // namespace

CliParse ParseCliOptions(const std::vector<std::string>& args) {
  return Parser(args).Run();
}

std::string UsageLine() {
  return "Usage: quintrel-cli [-r] [-w] [--ext LIST] [--exclude-dir NAME] [--exclude PATTERN]\n"
         "         [--renames[=PERCENT]] [--csv FILE] [--json FILE] [--markdown FILE]\n"
         "         [--by-folder] [--by-ext] [--fail-over N] [--jobs N] [-q] OLD NEW\n"
         "       quintrel-cli [OPTIONS] [-C DIR] --git OLD_REV NEW_REV [PATH]\n"
         "       quintrel-cli -h | --help | --version\n";
}

std::string HelpText() {
  return UsageLine() +
         "\n"
         "Measures how many statements of the C and C++ sources (*.c, *.h, *.cpp) directly in\n"
         "folder OLD (with -r, anywhere below it) were added and deleted to make folder NEW,\n"
         "and how many NEW holds (LOC). A statement is a ';', '{', ':' or '#' outside\n"
         "comments and literals; a line that only moved counts as neither added nor deleted.\n"
         "An empty folder text (\"\") counts as an empty folder.\n"
         "\n"
         "With --git, measures folder PATH (default '.') as it stands in revisions OLD_REV and\n"
         "NEW_REV of the git repository that holds the current directory, read straight from\n"
         "the repository without checking anything out.\n"
         "\n"
         "Options:\n"
         "  --csv FILE   also write the table as a CSV report (Shift-JIS, CR LF) to FILE;\n"
         "               with FILE '-' the report goes to standard output instead of the table\n"
         "  --json FILE  also write the results as a JSON report (UTF-8) to FILE; with FILE\n"
         "               '-' it goes to standard output instead of the table (not both\n"
         "               --csv - and --json -)\n"
         "  --markdown FILE\n"
         "               also write the results as a GitHub-flavoured Markdown report (UTF-8)\n"
         "               to FILE, for a pull request or a CI job summary; with FILE '-' it\n"
         "               goes to standard output instead of the table (one report there)\n"
         "  --by-folder  after the table, the sums of each folder that holds files\n"
         "               (also in the JSON and Markdown reports)\n"
         "  --by-ext     after those, the sums of each extension (.c, .h, ...; letter case\n"
         "               folded; a renamed file under its new name's), also in the reports\n"
         "  --fail-over N\n"
         "               exit with status 3 when more than N statements were added and\n"
         "               deleted in all (the table and reports are written first): a gate\n"
         "               for CI\n"
         "  -q, --quiet  no progress line on standard error (shown only on a terminal)\n"
         "  --jobs N     measure with N threads (default: one per core)\n"
         "  -r, --recursive\n"
         "               measure whole trees: the files of every subfolder too, paired by\n"
         "               their paths (row names like 'kernel/fork.c'); links to folders are\n"
         "               not entered, and .git, .hg and .svn folders are skipped\n"
         "  --ext LIST   the extensions to measure, without dots, comma-separated, letter case\n"
         "               counting (default: c,h,cpp)\n"
         "  --exclude-dir NAME\n"
         "               with -r, skip the folders named NAME at any depth (repeatable)\n"
         "  --exclude PATTERN\n"
         "               skip the files and folders whose path below OLD or NEW, or whose\n"
         "               name, matches the shell pattern (*, ?, [...]; ** for any number of\n"
         "               folders), e.g. 'moc_*.cpp', '*.pb.*', 'third_party/**' (repeatable)\n"
         "  -w, --ignore-format\n"
         "               measure code, not layout: statements pair by their tokens, so blanks,\n"
         "               line breaks, comments and line splices change nothing (LOC stays)\n"
         "  --renames[=PERCENT]\n"
         "               a file only in OLD and a file only in NEW whose lines are at least\n"
         "               PERCENT similar (default 50) are measured as one renamed file,\n"
         "               shown as 'OLD_NAME => NEW_NAME' (with -r: across the whole tree)\n"
         "  --git        OLD and NEW are revisions of a git repository (tags, branches,\n"
         "               HEAD~3, ids), followed by the folder PATH to measure in both;\n"
         "               symbolic links and submodules are skipped\n"
         "  -C DIR       with --git, look for the repository from DIR instead of the current\n"
         "               directory; PATH is relative to DIR\n"
         "  -h, --help   show this text\n"
         "  --version    show the version\n"
         "\n"
         "Exit status: 0 success, 1 a folder cannot be opened (with --git: no repository,\n"
         "an unknown revision or PATH no folder in a revision), the report cannot be\n"
         "written or the measuring failed (out of memory, say), 2 bad usage, 3 more\n"
         "statements changed than --fail-over allows.\n";
}

}  // namespace quintrel
