#include "cli/cli_app.h"

#include <exception>
#include <new>

#include "cli/cli_options.h"
#include "cli/display_width.h"
#include "cli/result_table.h"
#include "cli/terminal_encoding.h"
#include "compare/csv_report.h"
#include "compare/local_clock.h"
#include "compare/measurement_run.h"

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
         const MeasureFunction& measure)
      : m_encoder(codeset), m_out(out), m_err(err), m_measure(measure) {}

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
      Error(std::string(kProgram) + ": " + parse.error + "\n" + UsageLine() + "Try '" + kProgram +
            " --help' for more information.\n");
      return kExitUsage;
    }
    if (parse.options.help) return Print(HelpText());
    if (parse.options.version) return Print(std::string(kProgram) + " " + QUINTREL_VERSION + "\n");
    return Measure(parse.options);
  }

  int Measure(const CliOptions& options) {
    RunResult run = MeasureFiles(options);
    m_step = "writing the results";
    if (run.status == RunStatus::kOldFolderError) {
      return FolderError("旧ﾌｫﾙﾀﾞを開けません", options.oldFolder);
    }
    if (run.status == RunStatus::kNewFolderError) {
      return FolderError("新ﾌｫﾙﾀﾞを開けません", options.newFolder);
    }
    ReportContent content{options.oldFolder, options.newFolder, ReportRows(run.rows),
                          run.summary.fileCountText, run.summary.totals};
    if (!options.csvPath) return Print(TableText(content));
    if (*options.csvPath == kStdoutPath) return PrintRaw(FormatCsvReport(content, LocalTimeNow()));
    WriteOutcome outcome = SaveCsvReport(*options.csvPath, content);
    if (!outcome.ok()) {
      Error(std::string(kProgram) + ": cannot write the report '" +
            ReplaceControlCharacters(*options.csvPath) + "': " + outcome.detail + "\n");
      return kExitFailure;
    }
    return Print(TableText(content));
  }

  // RunMeasurement; when the measurement of a file throws, the step names that file.
  RunResult MeasureFiles(const CliOptions& options) {
    std::string failedFile;
    RunRequest request;
    request.oldFolderText = options.oldFolder;
    request.newFolderText = options.newFolder;
    request.jobs = options.jobs;
    request.scan = options.scan;
    request.measure = m_measure;
    request.failedEntry = &failedFile;
    m_step = "measuring";
    try {
      return RunMeasurement(request);
    } catch (...) {
      if (!failedFile.empty()) m_step += " '" + ReplaceControlCharacters(failedFile) + "'";
      throw;
    }
  }

  std::string TableText(const ReportContent& content) const {
    std::vector<TableRow> lines{FitRow(ResultTableHeading())};
    for (const TableRow& row : content.rows) lines.push_back(FitRow(row));
    const Totals& totals = content.totals;
    lines.push_back(FitRow({"Total", content.fileCountText, std::to_string(totals.added),
                            std::to_string(totals.deleted), std::to_string(totals.loc)}));
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

  int FolderError(const std::string& message, const std::string& folder) {
    Error(message + ": " + ReplaceControlCharacters(folder) + "\n");
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
  const MeasureFunction& m_measure;
  std::string m_step = "reading the options";  // what the program is doing, for messages
};

}  // namespace

int RunCli(const std::vector<std::string>& args, const std::string& codeset, std::ostream& out,
           std::ostream& err, const MeasureFunction& measure) {
  try {
    return CliApp(codeset, out, err, measure).Run(args);
  } catch (...) {
    // Not even the message about a failure could be made: memory is that short.
    err << kProgram << ": memory ran out\n";
    return kExitFailure;
  }
}

}  // namespace quintrel
