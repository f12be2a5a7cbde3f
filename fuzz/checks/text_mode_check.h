#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "check_report.h"
#include "engine/source_text.h"

namespace quintrel::fuzz {

// Text-mode reading done the plain way, one byte at a time: the data end at the first
// Ctrl-Z, and a CR is dropped exactly when an LF follows it.
inline ByteBuffer ReferenceTextMode(const ByteBuffer& raw) {
  ByteBuffer out;
  for (std::size_t i = 0; i < raw.size() && raw[i] != 0x1A; ++i) {
    const bool crBeforeLf = raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n';
    if (!crBeforeLf) out.push_back(raw[i]);
  }
  return out;
}

// A line table of offsets: 0 first, then the offset after every '\n' of `bytes`, in order.
inline CheckReport CheckLineOffsets(const ByteBuffer& bytes, const LineTable& lines) {
  const auto newlines = std::count(bytes.begin(), bytes.end(), '\n');
  if (lines.size() != static_cast<std::size_t>(newlines) + 1) {
    return Describe("line table has ", lines.size(), " entries for ", newlines, " newlines");
  }
  if (lines[0] != 0) return Describe("first line starts at ", lines[0]);
  for (std::size_t k = 1; k < lines.size(); ++k) {
    const std::int32_t start = lines[k];
    if (start <= lines[k - 1]) return Describe("line ", k, " does not start after line ", k - 1);
    if (start > static_cast<std::int64_t>(bytes.size())) {
      return Describe("line ", k, " starts at ", start, " beyond ", bytes.size(), " bytes");
    }
    if (bytes[start - 1] != '\n') return Describe("line ", k, " does not follow a newline");
  }
  return {};
}

// TranslateTextMode matches the plain translation, and BuildLineTable yields exact offsets
// both for translated text and for raw bytes (CRs, Ctrl-Z, 0xFF and NUL included).
inline CheckReport CheckTextMode(const std::uint8_t* data, std::size_t size) {
  const ByteBuffer raw = ToBytes(data, size);
  ByteBuffer translated = raw;
  TranslateTextMode(translated);
  if (translated != ReferenceTextMode(raw)) {
    return Describe("translation of ", raw.size(), " bytes gave ", translated.size(),
                    " bytes that differ from the byte-by-byte translation");
  }
  if (std::find(translated.begin(), translated.end(), 0x1A) != translated.end()) {
    return "a Ctrl-Z byte survived the translation";
  }

  LineTable lines = {7, 7, 7};  // the table is emptied first
  BuildLineTable(translated, lines);
  if (CheckReport report = CheckLineOffsets(translated, lines); !report.empty()) {
    return "translated text: " + report;
  }
  BuildLineTable(raw, lines);
  if (CheckReport report = CheckLineOffsets(raw, lines); !report.empty()) {
    return "raw bytes: " + report;
  }
  return {};
}

}  // namespace quintrel::fuzz
