#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "compare/reports/report_file.h"
#include "compare/results/result_row.h"
#include "compare/results/totals.h"

namespace quintrel {

// What the report shows, all texts in UTF-8 as the window shows them.
struct ReportContent {
  std::string oldFolderText;
  std::string newFolderText;
  std::vector<RowTexts> rows;
  std::string fileCountText;
  Totals totals;
};

// The report's rows for result rows in the order given.
std::vector<RowTexts> ReportRows(const std::vector<ResultRow>& rows);

// The whole report as code page 932 bytes with CR LF line ends; `localTime` is the stamp.
std::string FormatCsvReport(const ReportContent& content, const std::tm& localTime);

// Formats the report with the local time of now and writes it atomically.
WriteOutcome SaveCsvReport(const std::string& path, const ReportContent& content);

}  // namespace quintrel
