#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "compare/reports/report_file.h"
#include "compare/results/result_row.h"
#include "compare/results/totals.h"
#include "compare/run/measurement_run.h"

namespace quintrel {

// The report's rows for result rows in the order given.
std::vector<RowTexts> ReportRows(const std::vector<ResultRow>& rows);

// The report of the run's versions and rows, in the order the rows stand, as code page 932
// bytes with CR LF line ends. The total line shows `totals`: the run's summary, or the sums
// of the rows a user selected. `localTime` is the stamp.
std::string FormatCsvReport(const RunResult& run, const Summary& totals, const std::tm& localTime);

// Formats the report with the local time of now and writes it atomically.
WriteOutcome SaveCsvReport(const std::string& path, const RunResult& run, const Summary& totals);

}  // namespace quintrel
