#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "check_report.h"
#include "compare/renames/line_profile.h"
#include "compare/renames/rename_search.h"
#include "engine/source_text.h"

namespace quintrel::fuzz {

// A file of a search: its text, and whether it exists at all.
struct SearchFile {
  bool present = false;
  std::string text;
};

// Cuts the input into the files only in the old version and only in the new one. Byte 0 gives
// the percent, bytes 1 and 2 the number of files. Each file starts with a byte: 0 mod 8 absent,
// 1 a copy of the file before with its first line changed, otherwise up to 15 lines (one
// byte each, most from a few short contents so that lines repeat), 2 without a final newline.
class SearchInput {
 public:
  SearchInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {
    percent = 1 + Next() % 100;
    const std::size_t oldCount = Next() % 41;
    const std::size_t newCount = Next() % 41;
    oldFiles = Files(oldCount);
    newFiles = Files(newCount);
  }

  int percent = 0;
  std::vector<SearchFile> oldFiles;
  std::vector<SearchFile> newFiles;

 private:
  std::uint8_t Next() { return m_at < m_size ? m_data[m_at++] : 0; }

  static std::string Line(std::uint8_t choice) {
    static constexpr std::string_view kCommon[] = {"", "}", "a", "b", "int x;", "{", " a", "ab"};
    if (choice < 0xC0) return std::string(kCommon[choice % std::size(kCommon)]);
    return "x" + std::to_string(choice & 0x3F);
  }

  std::vector<SearchFile> Files(std::size_t count) {
    std::vector<SearchFile> files;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t head = Next();
      SearchFile file;
      if (head % 8 == 1 && !files.empty()) {
        file = files.back();
        const std::size_t end = file.text.find('\n');
        file.text.replace(0, end == std::string::npos ? file.text.size() : end, Line(Next()));
        file.present = true;
      } else if (head % 8 != 0) {
        file.present = true;
        const std::size_t lines = head >> 4;
        for (std::size_t line = 0; line < lines; ++line) {
          file.text += Line(Next());
          if (line + 1 < lines || head % 8 != 2) file.text += '\n';
        }
      }
      files.push_back(std::move(file));
    }
    return files;
  }

  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
};

// A file as measuring loads it (its line table holds the empty line after a final newline);
// an absent file holds no lines.
inline SourceText LoadLikeMeasuring(const SearchFile& file) {
  SourceText text;
  if (!file.present) return text;
  text.bytes.assign(file.text.begin(), file.text.end());
  BuildLineTable(text.bytes, text.lines);
  return text;
}

// The lines of a file, split plainly.
inline std::vector<std::string> PlainLines(const SearchFile& file) {
  std::vector<std::string> lines;
  if (!file.present || file.text.empty()) return lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = file.text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(file.text.substr(start));
      break;
    }
    lines.push_back(file.text.substr(start, end - start));
    start = end + 1;
    if (start == file.text.size()) break;
  }
  return lines;
}

// Each old line in turn takes the earliest free new line with the same content.
inline std::size_t GreedyPairedCount(const std::vector<std::string>& oldLines,
                                     const std::vector<std::string>& newLines) {
  std::vector<char> taken(newLines.size(), 0);
  std::size_t paired = 0;
  for (const std::string& line : oldLines) {
    for (std::size_t k = 0; k < newLines.size(); ++k) {
      if (taken[k] || newLines[k] != line) continue;
      taken[k] = 1;
      ++paired;
      break;
    }
  }
  return paired;
}

// Every old file measured against every new one; the pairs that reach the percent chosen from
// the most similar down (ties: lower old index, then lower new index), each file once.
inline std::vector<RenamePair> ReferenceRenames(const SearchInput& input) {
  std::vector<std::vector<std::string>> oldLines;
  std::vector<std::vector<std::string>> newLines;
  for (const SearchFile& file : input.oldFiles) oldLines.push_back(PlainLines(file));
  for (const SearchFile& file : input.newFiles) newLines.push_back(PlainLines(file));
  std::vector<std::tuple<std::size_t, std::size_t, std::size_t>> qualifying;  // -percent order
  for (std::size_t i = 0; i < oldLines.size(); ++i) {
    for (std::size_t j = 0; j < newLines.size(); ++j) {
      const std::size_t larger = std::max(oldLines[i].size(), newLines[j].size());
      if (oldLines[i].empty() || newLines[j].empty()) continue;
      const std::size_t similarity = GreedyPairedCount(oldLines[i], newLines[j]) * 100 / larger;
      if (similarity >= static_cast<std::size_t>(input.percent)) {
        qualifying.emplace_back(100 - similarity, i, j);
      }
    }
  }
  std::sort(qualifying.begin(), qualifying.end());
  std::vector<char> oldUsed(oldLines.size(), 0);
  std::vector<char> newUsed(newLines.size(), 0);
  std::vector<RenamePair> chosen;
  for (const auto& [inverse, i, j] : qualifying) {
    if (oldUsed[i] || newUsed[j]) continue;
    oldUsed[i] = newUsed[j] = 1;
    chosen.push_back({i, j});
  }
  return chosen;
}

inline std::string ShowPairs(const std::vector<RenamePair>& pairs) {
  std::string shown;
  for (const RenamePair& pair : pairs) {
    shown += Describe("(", pair.oldIndex, ",", pair.newIndex, ")");
  }
  return shown.empty() ? "none" : shown;
}

// The search over the profiles with one way of measuring a pair: its choice must be the
// plain search's, and the measure is asked about present files only.
template <typename Measure>
CheckReport CheckSearch(const char* what, const SearchInput& input,
                        const std::vector<LineProfile>& oldProfiles,
                        const std::vector<LineProfile>& newProfiles, Measure measure) {
  std::size_t calls = 0;
  bool askedForAbsent = false;
  const PairedLinesFunction pairedLines = [&](std::size_t oldIndex, std::size_t newIndex) {
    ++calls;
    if (oldIndex >= oldProfiles.size() || newIndex >= newProfiles.size() ||
        oldProfiles[oldIndex].lineCount == 0 || newProfiles[newIndex].lineCount == 0) {
      askedForAbsent = true;
      return std::size_t{0};
    }
    return measure(oldIndex, newIndex);
  };
  RenameSearchStats stats;
  const std::vector<RenamePair> found =
      FindRenames(oldProfiles, newProfiles, input.percent, pairedLines, &stats);
  if (askedForAbsent) return Describe(what, ": asked about an absent or empty file");
  if (stats.exactComparisons != calls) {
    return Describe(what, ": counted ", stats.exactComparisons, " comparisons for ", calls);
  }
  const std::vector<RenamePair> expected = ReferenceRenames(input);
  if (found != expected) {
    return Describe(what, ": at ", input.percent, "% found ", ShowPairs(found), ", expected ",
                    ShowPairs(expected));
  }
  return {};
}

// FindRenames on the measured profiles the rename step makes picks exactly the pairs of the
// plain search over every pair, in the same order: with exact pairing of the two texts as
// the measure, and with the pairing the profiles tell (the texts paired when they cannot),
// which must also equal the plain pairing count wherever the profiles tell it.
inline CheckReport CheckRenameSearch(const std::uint8_t* data, std::size_t size) {
  const SearchInput input(data, size);
  std::vector<SourceText> oldTexts;
  std::vector<SourceText> newTexts;
  std::vector<LineProfile> oldProfiles;
  std::vector<LineProfile> newProfiles;
  LineProfiler profiler;
  for (const SearchFile& file : input.oldFiles) {
    oldTexts.push_back(LoadLikeMeasuring(file));
    oldProfiles.push_back(file.present ? profiler.ProfileLoaded(oldTexts.back()) : LineProfile{});
  }
  for (const SearchFile& file : input.newFiles) {
    newTexts.push_back(LoadLikeMeasuring(file));
    newProfiles.push_back(file.present ? profiler.ProfileLoaded(newTexts.back()) : LineProfile{});
  }

  LineIndexMemory memory;
  const auto exact = [&](std::size_t oldIndex, std::size_t newIndex) {
    SourceText oldText = oldTexts[oldIndex];  // pairing turns the line tables into flags
    SourceText newText = newTexts[newIndex];
    return CountPairedNewLines(oldText, newText, memory);
  };
  if (CheckReport report = CheckSearch("exact pairing", input, oldProfiles, newProfiles, exact);
      !report.empty()) {
    return report;
  }
  bool profilesWrong = false;
  const auto fromProfiles = [&](std::size_t oldIndex, std::size_t newIndex) {
    const std::optional<std::size_t> paired =
        PairedNewLines(oldProfiles[oldIndex], newProfiles[newIndex]);
    if (!paired) return exact(oldIndex, newIndex);
    const std::size_t plain = GreedyPairedCount(PlainLines(input.oldFiles[oldIndex]),
                                                PlainLines(input.newFiles[newIndex]));
    if (*paired != plain) profilesWrong = true;
    return *paired;
  };
  if (CheckReport report =
          CheckSearch("pairing from profiles", input, oldProfiles, newProfiles, fromProfiles);
      !report.empty()) {
    return report;
  }
  if (profilesWrong) return "the profiles paired two files unlike the plain pairing";
  return {};
}

}  // namespace quintrel::fuzz
