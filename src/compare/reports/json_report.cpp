#include "compare/reports/json_report.h"

#include "compare/results/extension_sums.h"

#include <nlohmann/json.hpp>

#include "compare/listing/catalogue.h"
#include "compare/text/utf8.h"

namespace quintrel {

namespace {

// Keys stay in the order they are added, the order the report documents.
using Json = nlohmann::ordered_json;

// Sets `object[key]` to the text, and `object[key + "_bytes"]` to its bytes when the text
// is not valid UTF-8, so that the exact name can always be recovered.
void PutText(Json& object, const std::string& key, const std::string& text) {
  bool changed = false;
  object[key] = ValidUtf8(text, &changed);
  if (changed) object[key + "_bytes"] = HexBytes(text);
}

void PutSums(Json& object, const FileCounts& counts, const Totals& totals) {
  object["files"] = counts.files();
  object["new_files"] = counts.plusRows;
  object["deleted_files"] = counts.minusRows;
  object["added"] = totals.added;
  object["deleted"] = totals.deleted;
  object["loc"] = totals.loc;
}

Json FileEntry(const ResultRow& row) {
  Json entry = Json::object();
  entry["marker"] = RowMarker(row.flags);
  PutText(entry, "name", row.name);
  entry["added"] = row.result.added;
  entry["deleted"] = row.result.deleted;
  entry["loc"] = row.result.loc;
  // A rename's row names both files; a script need not split the name.
  if (!row.renamedFrom.empty()) {
    PutText(entry, "old_name", row.renamedFrom);
    PutText(entry, "new_name", std::string(ShownNewName(row)));
  }
  return entry;
}

// Texts that only name options: each invalid byte as U+FFFD, without a "_bytes" companion.
Json TextList(const std::vector<std::string>& texts) {
  Json list = Json::array();
  for (const std::string& text : texts) list.push_back(ValidUtf8(text));
  return list;
}

// How the run measured, so that a report can be read without its command line.
Json OptionsEntry(const RunResult& run) {
  Json options = Json::object();
  options["recursive"] = run.scan.recursive;
  options["ext"] = TextList(run.scan.extensions);
  options["exclude_dirs"] = TextList(run.scan.excludedFolders);
  // Only where patterns were given, so that reports of runs without them stay as they were.
  if (!run.scan.excludePatterns.empty()) options["exclude"] = TextList(run.scan.excludePatterns);
  options["renames"] = run.renamePercent > 0 ? Json(run.renamePercent) : Json(nullptr);
  options["ignore_format"] = run.pairing == PairingRule::kStatementUnits;
  return options;
}

template <typename Sum>
Json SumEntry(const Sum& sum) {
  Json entry = Json::object();
  PutText(entry, "name", sum.name);
  PutSums(entry, sum.counts, sum.totals);
  return entry;
}

}  // namespace

std::string HexBytes(const std::string& bytes) {
  constexpr const char* kDigits = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    hex.push_back(kDigits[value >> 4]);
    hex.push_back(kDigits[value & 0x0F]);
  }
  return hex;
}

std::string FormatJsonReport(const RunResult& run, bool withFolders, bool withExtensions) {
  Json report = Json::object();
  PutText(report, "old", run.oldLabel);
  PutText(report, "new", run.newLabel);
  report["options"] = OptionsEntry(run);
  Json files = Json::array();
  for (const ResultRow& row : run.rows) files.push_back(FileEntry(row));
  report["files"] = std::move(files);
  Json total = Json::object();
  PutSums(total, run.summary.counts, run.summary.totals);
  report["total"] = std::move(total);
  if (withFolders) {
    Json folders = Json::array();
    for (const FolderSum& folder : SumFolders(run.rows)) folders.push_back(SumEntry(folder));
    report["folders"] = std::move(folders);
  }
  if (withExtensions) {
    Json extensions = Json::array();
    for (const ExtensionSum& sum : SumExtensions(run.rows)) extensions.push_back(SumEntry(sum));
    report["extensions"] = std::move(extensions);
  }
  return report.dump(2) + '\n';
}

WriteOutcome SaveJsonReport(const std::string& path, const RunResult& run, bool withFolders) {
  return WriteFileAtomically(path, FormatJsonReport(run, withFolders));
}

}  // namespace quintrel
