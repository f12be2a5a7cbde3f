#include "compare/reports/csv_report.h"

#include <cinttypes>
#include <cstdio>

#include "compare/reports/local_clock.h"
#include "compare/text/code_page.h"

namespace quintrel {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// The report is code page 932 text; its fixed words are spelled here in those bytes.
constexpr std::string_view kOldFolderWord =
    "\x8B\x8C\x83\x74\x83\x48\x83\x8B\x83\x5F";  // 旧フォルダ
constexpr std::string_view kNewFolderWord =
    "\x90\x56\x83\x74\x83\x48\x83\x8B\x83\x5F";  // 新フォルダ
constexpr std::string_view kFileNameWord =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC";                // ファイル名
constexpr std::string_view kAddedWord = "\x92\xC7\x89\xC1";    // 追加
constexpr std::string_view kDeletedWord = "\x8D\xED\x8F\x9C";  // 削除

std::string TimeStamp(const std::tm& time) {
  const int year = ((time.tm_year + 1900) % 100 + 100) % 100;
  char text[64];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", time.tm_mon + 1, time.tm_mday,
                year, time.tm_hour, time.tm_min, time.tm_sec);
  return text;
}

std::string Decimal(std::int64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "%" PRId64, value);
  return text;
}

void AppendLine(std::string& out, std::initializer_list<std::string_view> fields) {
  bool first = true;
  for (std::string_view field : fields) {
    if (!first) out.push_back(',');
    out.append(field);
    first = false;
  }
  out.append(kLineEnd);
}

}  // namespace

std::vector<RowTexts> ReportRows(const std::vector<ResultRow>& rows) {
  std::vector<RowTexts> texts;
  texts.reserve(rows.size());
  for (const ResultRow& row : rows) {
    texts.push_back({RowMarker(row.flags), row.name, Decimal(row.result.added),
                     Decimal(row.result.deleted), Decimal(row.result.loc)});
  }
  return texts;
}

std::string FormatCsvReport(const RunResult& run, const Summary& totals, const std::tm& localTime) {
  std::string out;
  AppendLine(out, {TimeStamp(localTime)});
  AppendLine(out, {kOldFolderWord, Utf8ToCp932Lossy(run.oldLabel)});
  AppendLine(out, {kNewFolderWord, Utf8ToCp932Lossy(run.newLabel)});
  out.append(kLineEnd);
  AppendLine(out, {"", kFileNameWord, kAddedWord, kDeletedWord, "LOC"});
  for (const ResultRow& row : run.rows) {
    AppendLine(out, {RowMarker(row.flags), Utf8ToCp932Lossy(row.name), Decimal(row.result.added),
                     Decimal(row.result.deleted), Decimal(row.result.loc)});
  }
  AppendLine(out, {"Total", Utf8ToCp932Lossy(totals.fileCountText), Decimal(totals.totals.added),
                   Decimal(totals.totals.deleted), Decimal(totals.totals.loc)});
  return out;
}

WriteOutcome SaveCsvReport(const std::string& path, const RunResult& run, const Summary& totals) {
  return WriteFileAtomically(path, FormatCsvReport(run, totals, LocalTimeNow()));
}

}  // namespace quintrel
