#include "cli/cli_app.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <optional>

#include "cli/cli_options.h"
#include "cli/display_width.h"
#include "cli/progress_line.h"
#include "cli/result_table.h"
#include "cli/terminal_encoding.h"
#include "compare/reports/csv_report.h"
#include "compare/reports/json_report.h"
#include "compare/reports/local_clock.h"
#include "compare/reports/markdown_report.h"
#include "compare/results/extension_sums.h"
#include "compare/results/folder_sums.h"
#include "compare/run/run_request.h"

#ifndef QUINTREL_VERSION
#error "QUINTREL_VERSION must be defined by the build"
#endif

namespace quintrel {
namespace {

constexpr const char* kProgram = "quintrel-cli";
constexpr const char* kStdoutPath = "-";

class CliApp {
 public:
  CliApp(const std::string& codeset, std::ostream& out, std::ostream& err,
         const CliTerminal& terminal, const VersionOpeners& openers)
      : m_encoder(codeset), m_out(out), m_err(err), m_terminal(terminal), m_openers(openers) {}

  // Runs the program; a failure that leaves the run as an exception (memory running out on a
  // huge file, say) ends it with a message and kExitFailure, before any report is written.
  int Run(const std::vector<std::string>& args) {
    try {
      return RunSteps(args);
    } catch (const std::bad_alloc&) {
      return Failed("memory ran out while " + m_step);
    } catch (const std::exception& error) {
      return Failed("error while " + m_step + ": " + ReplaceControlCharacters(error.what()));
    } catch (...) {
      return Failed("unknown error while " + m_step);
    }
  }

 private:
  int RunSteps(const std::vector<std::string>& args) {
    CliParse parse = ParseCliOptions(args);
    if (!parse.ok()) {
      // The message may quote an argument, which may hold anything.
      Error(std::string(kProgram) + ": " + ReplaceControlCharacters(parse.error) + "\n" +
            UsageLine() + "Try '" + kProgram + " --help' for more information.\n");
      return kExitUsage;
    }
    if (parse.options.help) return Print(HelpText());
    if (parse.options.version) return Print(std::string(kProgram) + " " + QUINTREL_VERSION + "\n");
    return Measure(parse.options);
  }

  int Measure(const CliOptions& options) {
    VersionOpeners openers = m_openers;
    if (options.run.git) {
      m_step = "opening the repository";
      std::string error;
      if (!openers.git) openers.git = LoadGitSupport(error);
      if (!openers.git) return Failed("the git support cannot be loaded: " + error);
    }
    RunStart start = BuildRunRequest(options.run, openers);
    if (!start.ok()) return GitError(start.status, options.run);
    const RunResult run = MeasureFiles(options, start.request);
    m_step = "writing the results";
    switch (run.status) {
      case RunStatus::kOldFolderError:
      case RunStatus::kNewFolderError:
        return TopFolderFailed(run.folderError);
      case RunStatus::kFailed:
        return RunFailed(run.failure);
      case RunStatus::kCompleted:
      case RunStatus::kCancelled:
        break;
    }
    return WriteResults(options, run);
  }

  int WriteResults(const CliOptions& options, const RunResult& run) {
    const int written = WriteReportsAndTable(options, run);
    if (written != kExitSuccess || !options.failOver) return written;
    return CheckLimit(run.summary.totals, *options.failOver);
  }

  int WriteReportsAndTable(const CliOptions& options, const RunResult& run) {
    std::optional<std::string> reportToStdout;  // a report given as "-" replaces the table
    if (options.csvPath) {
      std::string csv = FormatCsvReport(run, run.summary, LocalTimeNow());
      if (!HandOver(*options.csvPath, std::move(csv), reportToStdout)) return kExitFailure;
    }
    if (options.jsonPath) {
      std::string json = FormatJsonReport(run, options.byFolder, options.byExtension);
      if (!HandOver(*options.jsonPath, std::move(json), reportToStdout)) return kExitFailure;
    }
    if (options.markdownPath) {
      std::string markdown = FormatMarkdownReport(run, {options.byFolder, options.byExtension});
      if (!HandOver(*options.markdownPath, std::move(markdown), reportToStdout)) {
        return kExitFailure;
      }
    }
    if (reportToStdout) return PrintRaw(*reportToStdout);
    std::string table = TableText(run);
    if (options.byFolder) table += "\n" + FolderTableText(SumFolders(run.rows));
    if (options.byExtension) table += "\n" + ExtensionTableText(SumExtensions(run.rows));
    return Print(table);
  }

  // The CI gate: the statements changed over all rows against the limit.
  int CheckLimit(const Totals& totals, std::int64_t limit) {
    const std::int64_t changed = totals.added + totals.deleted;
    if (changed <= limit) return kExitSuccess;
    Error(std::string(kProgram) + ": " + std::to_string(changed) +
          " statements changed, more than the limit of " + std::to_string(limit) + "\n");
    return kExitOverLimit;
  }

  // Keeps a report for standard output, or writes it to its file; false after a failure,
  // which has been reported.
  bool HandOver(const std::string& path, std::string report,
                std::optional<std::string>& reportToStdout) {
    if (path == kStdoutPath) {
      reportToStdout = std::move(report);
      return true;
    }
    const WriteOutcome outcome = WriteReportFile(path, report);
    if (outcome.ok()) return true;
    Error(std::string(kProgram) + ": cannot write the report '" + ReplaceControlCharacters(path) +
          "': " + outcome.detail + "\n");
    return false;
  }

  int GitError(GitOpenStatus status, const RunOptions& options) {
    switch (status) {
      case GitOpenStatus::kNotARepository:
        return Failed("not a git repository (nor any parent folder): " +
                      ReplaceControlCharacters(options.gitStart.value_or(".")));
      case GitOpenStatus::kUnknownOldRevision:
        return Failed("unknown old revision '" + ReplaceControlCharacters(options.oldVersion) +
                      "'");
      case GitOpenStatus::kUnknownNewRevision:
        return Failed("unknown new revision '" + ReplaceControlCharacters(options.newVersion) +
                      "'");
      case GitOpenStatus::kOpened:
        break;
    }
    return kExitSuccess;
  }

  int TopFolderFailed(const TopFolderError& error) {
    const std::string prefix = error.fromProgram ? std::string(kProgram) + ": " : "";
    Error(prefix + ReplaceControlCharacters(error.message) + "\n");
    return kExitFailure;
  }

  // A failure that ended the run: memory running out on a huge file, say. The message names
  // the file whose measurement failed, when one did.
  int RunFailed(const RunFailure& failure) {
    std::string step = "measuring";
    if (!failure.entry.empty()) step += " '" + ReplaceControlCharacters(failure.entry) + "'";
    switch (failure.cause) {
      case RunFailure::Cause::kOutOfMemory:
        return Failed("memory ran out while " + step);
      case RunFailure::Cause::kError:
        return Failed("error while " + step + ": " + ReplaceControlCharacters(failure.what));
      case RunFailure::Cause::kUnknown:
      case RunFailure::Cause::kNone:
        break;
    }
    return Failed("unknown error while " + step);
  }

  RunResult MeasureFiles(const CliOptions& options, RunRequest& request) {
    // Cleared when the run ends, before any result or message is written.
    const bool showsProgress = ShowsProgress(m_terminal.errIsTerminal, options.quiet);
    ProgressLine progress(showsProgress, m_err, m_terminal.clock);
    // Asked for only when shown: a report per file wakes the waiting thread once per file.
    if (showsProgress) {
      request.byteProgress = [&progress](std::size_t done, std::size_t total,
                                         std::uint64_t bytesRead) {
        progress.Update(done, total, bytesRead);
      };
    }
    m_step = "measuring";
    return RunMeasurement(request);
  }

  std::string TableText(const RunResult& run) const {
    std::vector<TableRow> lines{FitRow(ResultTableHeading())};
    for (const TableRow& row : ReportRows(run.rows)) lines.push_back(FitRow(row));
    const Totals& totals = run.summary.totals;
    lines.push_back(FitRow({"Total", run.summary.fileCountText, std::to_string(totals.added),
                            std::to_string(totals.deleted), std::to_string(totals.loc)}));
    return FormatResultTable(lines);
  }

  std::string FolderTableText(const std::vector<FolderSum>& folders) const {
    std::vector<TableRow> lines{FitRow(FolderTableHeading())};
    for (const FolderSum& folder : folders) lines.push_back(FitRow(FolderSumTexts(folder)));
    return FormatResultTable(lines);
  }

  std::string ExtensionTableText(const std::vector<ExtensionSum>& sums) const {
    std::vector<TableRow> lines{FitRow(ExtensionTableHeading())};
    for (const ExtensionSum& sum : sums) {
      lines.push_back(FitRow(SumLineTexts(sum.name, sum.counts, sum.totals)));
    }
    return FormatResultTable(lines);
  }

  TableRow FitRow(const TableRow& row) const {
    TableRow fitted;
    for (std::size_t i = 0; i < row.size(); ++i) {
      fitted[i] = m_encoder.Fit(ReplaceControlCharacters(row[i]));
    }
    return fitted;
  }

  int Failed(const std::string& what) {
    Error(std::string(kProgram) + ": " + what + "\n");
    return kExitFailure;
  }

  int Print(const std::string& utf8) { return PrintRaw(m_encoder.Encode(utf8)); }

  int PrintRaw(const std::string& bytes) {
    m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    m_out.flush();
    if (m_out) return kExitSuccess;
    Error(std::string(kProgram) + ": cannot write to standard output\n");
    return kExitFailure;
  }

  void Error(const std::string& utf8) {
    m_err << m_encoder.Encode(utf8);
    m_err.flush();
  }

  TerminalEncoder m_encoder;
  std::ostream& m_out;
  std::ostream& m_err;
  const CliTerminal& m_terminal;
  const VersionOpeners& m_openers;
  std::string m_step = "reading the options";  // what the program is doing, for messages
};

}  // namespace

int RunCli(const std::vector<std::string>& args, const std::string& codeset, std::ostream& out,
           std::ostream& err, const CliTerminal& terminal, const VersionOpeners& openers) {
  try {
    return CliApp(codeset, out, err, terminal, openers).Run(args);
  } catch (...) {
    // Not even the message about a failure could be made: memory is that short.
    err << kProgram << ": memory ran out\n";
    return kExitFailure;
  }
}

}  // namespace quintrel
