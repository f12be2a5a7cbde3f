#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "check_report.h"
#include "compare/listing/scan_options.h"
#include "compare/reports/json_report.h"
#include "compare/results/result_row.h"
#include "compare/results/totals.h"
#include "compare/run/measurement_run.h"
#include "engine/file_pair.h"

namespace quintrel::fuzz {

// Reads the pieces of a report from the input; past its end every byte is 0.
class ReportInput {
 public:
  ReportInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  bool AtEnd() const { return m_at >= m_size; }
  std::uint8_t Next() { return m_at < m_size ? m_data[m_at++] : 0; }
  std::int32_t Next32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(Next()) << (8 * i);
    std::int32_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
  }

  // Up to 7 raw bytes (none of them '/').
  std::string Bytes(std::size_t atLeast) {
    const std::size_t length = atLeast + Next() % 8;
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) {
      const char byte = static_cast<char>(Next());
      bytes += byte == '/' ? '%' : byte;
    }
    return bytes;
  }

  // A row's path: up to three folders (mostly from a few names, so that rows share them),
  // then a file name of raw bytes.
  std::string Path() {
    static constexpr std::string_view kFolders[] = {"src",      "a",    "A",
                                                    "\xC3\xA9", "\xFF", "k\xE3\x81"};
    std::string path;
    const std::uint8_t shape = Next();
    for (int level = 0; level < shape % 4; ++level) {
      const std::uint8_t which = Next();
      path += which < 0xC0 ? std::string(kFolders[which % std::size(kFolders)]) : Bytes(1);
      path += '/';
    }
    return path + Bytes(1);
  }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
};

// A row to report, and the new name that a rename's row shows.
struct ReportedRow {
  ResultRow row;
  std::string shownNewName;
};

inline std::vector<ReportedRow> MakeRows(ReportInput& input) {
  std::vector<ReportedRow> rows;
  while (!input.AtEnd()) {
    ReportedRow reported;
    ResultRow& row = reported.row;
    const std::uint8_t kind = input.Next();
    row.flags = 1 + kind % 3;
    reported.shownNewName = input.Path();
    row.name = reported.shownNewName;
    if (row.flags == (kInOld | kInNew) && (kind & 0x80)) {
      row.renamedFrom = input.Path();
      row.name = row.renamedFrom + std::string(kRenameArrow) + reported.shownNewName;
    }
    row.result.added = (kind & 0x40) ? input.Next32() : input.Next();
    row.result.deleted = (kind & 0x40) ? input.Next32() : input.Next();
    row.result.loc = (kind & 0x40) ? input.Next32() : input.Next();
    rows.push_back(std::move(reported));
  }
  return rows;
}

// How the run measured, as its result carries it.
struct RunSettings {
  ScanOptions scan;
  int renamePercent = 0;
  bool ignoreFormat = false;
};

inline RunSettings MakeSettings(ReportInput& input) {
  RunSettings settings;
  const std::uint8_t flags = input.Next();
  settings.scan.recursive = flags & 1;
  settings.ignoreFormat = flags & 2;
  settings.renamePercent = (flags & 4) ? 1 + input.Next() % 100 : 0;
  settings.scan.extensions.clear();
  for (int i = 0; i < (flags >> 3 & 3); ++i) settings.scan.extensions.push_back(input.Bytes(1));
  for (int i = 0; i < (flags >> 5 & 3); ++i)
    settings.scan.excludedFolders.push_back(input.Bytes(1));
  return settings;
}

// The length of the valid UTF-8 sequence at `pos`, or 0: no overlong forms, no surrogates,
// nothing above U+10FFFF.
inline std::size_t ValidSequenceAt(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t at) {
    return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u;
  };
  const unsigned lead = byte(pos);
  std::size_t length = 0;
  unsigned low = 0x80;
  unsigned high = 0xBF;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (length == 0) return 0;
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  if (byte(pos + 1) < low || byte(pos + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF) return 0;
  }
  return length;
}

// The text with each byte outside a valid sequence replaced by U+FFFD; nullopt when valid.
inline std::optional<std::string> ReplacedIfInvalid(std::string_view text) {
  std::string replaced;
  bool changed = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = ValidSequenceAt(text, pos);
    if (length == 0) {
      replaced += "\xEF\xBF\xBD";
      changed = true;
      ++pos;
    } else {
      replaced.append(text.substr(pos, length));
      pos += length;
    }
  }
  if (!changed) return std::nullopt;
  return replaced;
}

inline std::optional<std::string> DecodeLowerHex(const std::string& hex) {
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]);
    const int low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

using ReadJson = nlohmann::json;

// `object[key]` gives the text back: the text itself when valid UTF-8; otherwise the text with
// each invalid byte as U+FFFD, and `key`_bytes the exact bytes in lowercase hex. `keys`
// collects the keys used, so that no others go unnoticed.
inline CheckReport CheckText(const ReadJson& object, const std::string& key,
                             const std::string& text, std::set<std::string>& keys) {
  const std::string bytesKey = key + "_bytes";
  keys.insert(key);
  if (!object.contains(key) || !object[key].is_string()) return "no text " + key;
  const std::optional<std::string> replaced = ReplacedIfInvalid(text);
  if (!replaced) {
    if (object.contains(bytesKey)) return bytesKey + " for a valid text";
    if (object[key].get<std::string>() != text) return key + " differs from a valid text";
    return {};
  }
  keys.insert(bytesKey);
  if (object[key].get<std::string>() != *replaced) return key + " is not the replaced text";
  if (!object.contains(bytesKey) || !object[bytesKey].is_string()) return "no " + bytesKey;
  if (DecodeLowerHex(object[bytesKey].get<std::string>()) != text) {
    return bytesKey + " does not give the exact bytes";
  }
  return {};
}

inline CheckReport CheckKeys(const ReadJson& object, const std::set<std::string>& keys) {
  for (const auto& item : object.items()) {
    if (!keys.contains(item.key())) return "unexpected key " + item.key();
  }
  return {};
}

inline CheckReport CheckNumber(const ReadJson& object, const std::string& key,
                               std::int64_t expected, std::set<std::string>& keys) {
  keys.insert(key);
  if (!object.contains(key) || !object[key].is_number_integer()) return "no number " + key;
  if (object[key].get<std::int64_t>() != expected) {
    return Describe(key, " is ", object[key].get<std::int64_t>(), ", expected ", expected);
  }
  return {};
}

// Sums of a set of rows, counted plainly.
struct PlainSums {
  std::int64_t rows = 0;
  std::int64_t plus = 0;
  std::int64_t minus = 0;
  std::int64_t added = 0;
  std::int64_t deleted = 0;
  std::int64_t loc = 0;

  void Add(const ResultRow& row) {
    ++rows;
    plus += row.flags == kInNew;
    minus += row.flags == kInOld;
    added += row.result.added;
    deleted += row.result.deleted;
    loc += row.result.loc;
  }
};

inline CheckReport CheckSums(const ReadJson& object, const PlainSums& sums,
                             std::set<std::string>& keys) {
  const std::pair<const char*, std::int64_t> expected[] = {
      {"files", sums.rows - sums.minus}, {"new_files", sums.plus},
      {"deleted_files", sums.minus},     {"added", sums.added},
      {"deleted", sums.deleted},         {"loc", sums.loc}};
  for (const auto& [key, value] : expected) {
    if (CheckReport report = CheckNumber(object, key, value, keys); !report.empty()) return report;
  }
  return CheckKeys(object, keys);
}

inline CheckReport CheckFileEntry(const ReadJson& entry, const ReportedRow& reported) {
  static constexpr const char* kMarkers[] = {"", "-", "+", ""};
  const ResultRow& row = reported.row;
  if (!entry.is_object()) return "no object";
  std::set<std::string> keys = {"marker"};
  if (entry.value("marker", std::string("?")) != kMarkers[row.flags]) return "wrong marker";
  if (CheckReport report = CheckText(entry, "name", row.name, keys); !report.empty()) return report;
  for (const auto& [key, value] : {std::pair<const char*, std::int64_t>{"added", row.result.added},
                                   {"deleted", row.result.deleted},
                                   {"loc", row.result.loc}}) {
    if (CheckReport report = CheckNumber(entry, key, value, keys); !report.empty()) return report;
  }
  if (!row.renamedFrom.empty()) {
    if (CheckReport report = CheckText(entry, "old_name", row.renamedFrom, keys); !report.empty())
      return report;
    if (CheckReport report = CheckText(entry, "new_name", reported.shownNewName, keys);
        !report.empty())
      return report;
  }
  return CheckKeys(entry, keys);
}

// Texts that only name options: each as itself, or with its invalid bytes as U+FFFD.
inline CheckReport CheckTextList(const ReadJson& list, const std::vector<std::string>& texts) {
  if (!list.is_array() || list.size() != texts.size()) return "a list of the wrong length";
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::optional<std::string> replaced = ReplacedIfInvalid(texts[i]);
    if (!list[i].is_string() || list[i].get<std::string>() != replaced.value_or(texts[i])) {
      return Describe("text ", i, " of a list differs");
    }
  }
  return {};
}

inline CheckReport CheckOptions(const ReadJson& report, const RunSettings& settings) {
  if (!report.contains("options") || !report["options"].is_object()) return "no object";
  const ReadJson& options = report["options"];
  if (CheckReport check =
          CheckKeys(options, {"recursive", "ext", "exclude_dirs", "renames", "ignore_format"});
      !check.empty()) {
    return check;
  }
  if (options.value("recursive", !settings.scan.recursive) != settings.scan.recursive) {
    return "recursive";
  }
  if (options.value("ignore_format", !settings.ignoreFormat) != settings.ignoreFormat) {
    return "ignore_format";
  }
  const ReadJson expectedRenames =
      settings.renamePercent > 0 ? ReadJson(settings.renamePercent) : ReadJson(nullptr);
  if (!options.contains("renames") || options["renames"] != expectedRenames) return "renames";
  if (!options.contains("ext") || !options.contains("exclude_dirs")) return "no lists";
  if (CheckReport check = CheckTextList(options["ext"], settings.scan.extensions); !check.empty())
    return "ext: " + check;
  return CheckTextList(options["exclude_dirs"], settings.scan.excludedFolders);
}

// Every folder on a row's new path, outermost first, in the order their first rows stand,
// with the sums of all rows below it.
inline std::vector<std::pair<std::string, PlainSums>> PlainFolderSums(
    const std::vector<ReportedRow>& rows) {
  std::vector<std::pair<std::string, PlainSums>> folders;
  std::map<std::string, std::size_t> indexByName;
  for (const ReportedRow& reported : rows) {
    const std::string& path = reported.shownNewName;
    for (std::size_t end = 0; (end = path.find('/', end)) != std::string::npos; ++end) {
      const std::string folder = path.substr(0, end);
      if (!indexByName.contains(folder)) {
        indexByName[folder] = folders.size();
        folders.push_back({folder, {}});
      }
      folders[indexByName[folder]].second.Add(reported.row);
    }
  }
  return folders;
}

inline CheckReport CheckFolders(const ReadJson& report, const std::vector<ReportedRow>& rows) {
  if (!report.contains("folders") || !report["folders"].is_array()) return "no folders";
  const auto expected = PlainFolderSums(rows);
  const ReadJson& folders = report["folders"];
  if (folders.size() != expected.size()) {
    return Describe(folders.size(), " folders, expected ", expected.size());
  }
  for (std::size_t i = 0; i < expected.size(); ++i) {
    std::set<std::string> keys;
    if (!folders[i].is_object()) return Describe("folder ", i, " is no object");
    if (CheckReport check = CheckText(folders[i], "name", expected[i].first, keys); !check.empty())
      return Describe("folder ", i, ": ", check);
    if (CheckReport check = CheckSums(folders[i], expected[i].second, keys); !check.empty())
      return Describe("folder ", i, ": ", check);
  }
  return {};
}

// The JSON report of random rows (names of any bytes, renames, any counts) read back: every
// row, the total and every folder sum as counted plainly here, and every text recoverable
// byte for byte.
inline CheckReport CheckJsonReport(const std::uint8_t* data, std::size_t size) {
  ReportInput input(data, size);
  const bool withFolders = input.Next() & 1;
  const std::string oldText = input.Bytes(0);
  const std::string newText = input.Bytes(0);
  const RunSettings settings = MakeSettings(input);
  const std::vector<ReportedRow> rows = MakeRows(input);
  // The result as a run leaves it: its rows, their summary and the versions' labels.
  RunResult run;
  for (const ReportedRow& reported : rows) run.rows.push_back(reported.row);
  run.summary = SummarizeRows(run.rows);
  run.oldLabel = oldText;
  run.newLabel = newText;
  run.scan = settings.scan;
  run.renamePercent = settings.renamePercent;
  run.pairing = settings.ignoreFormat ? PairingRule::kStatementUnits : PairingRule::kLines;

  const std::string text = FormatJsonReport(run, withFolders);
  if (text.empty() || text.back() != '\n') return "the report does not end in a newline";
  const ReadJson report = ReadJson::parse(text, nullptr, /*allow_exceptions=*/false);
  if (report.is_discarded() || !report.is_object()) return "the report is no JSON object";

  std::set<std::string> keys = {"options", "files", "total"};
  if (withFolders) keys.insert("folders");
  if (CheckReport check = CheckText(report, "old", oldText, keys); !check.empty()) return check;
  if (CheckReport check = CheckText(report, "new", newText, keys); !check.empty()) return check;
  if (CheckReport check = CheckKeys(report, keys); !check.empty()) return check;
  if (CheckReport check = CheckOptions(report, settings); !check.empty()) {
    return "options: " + check;
  }
  if (!report["files"].is_array() || report["files"].size() != rows.size()) {
    return "the files do not match the rows";
  }
  PlainSums total;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (CheckReport check = CheckFileEntry(report["files"][i], rows[i]); !check.empty()) {
      return Describe("file ", i, ": ", check);
    }
    total.Add(rows[i].row);
  }
  std::set<std::string> totalKeys;
  if (!report["total"].is_object()) return "no total";
  if (CheckReport check = CheckSums(report["total"], total, totalKeys); !check.empty()) {
    return "total: " + check;
  }
  return withFolders ? CheckFolders(report, rows) : CheckReport{};
}

}  // namespace quintrel::fuzz
