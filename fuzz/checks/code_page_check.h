#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "check_report.h"
#include "compare/listing/name_order.h"
#include "compare/text/code_page.h"
#include "split_input.h"

namespace quintrel::fuzz {

using Comparison = int (*)(std::string_view, std::string_view);

// A comparison that sorts: results -1, 0 or 1, reflexive, antisymmetric, and transitive on
// every ordering of the three texts (with ties carried through).
inline CheckReport CheckStrictWeakOrder(const char* name, Comparison compare,
                                        const std::array<std::string_view, 3>& texts) {
  int results[3][3];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      results[i][j] = compare(texts[i], texts[j]);
      if (results[i][j] < -1 || results[i][j] > 1) {
        return Describe(name, " returned ", results[i][j]);
      }
    }
    if (results[i][i] != 0) return Describe(name, " finds text ", i, " unequal to itself");
  }
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      if (results[i][j] != -results[j][i]) {
        return Describe(name, " is not antisymmetric on texts ", i, " and ", j);
      }
      for (int k = 0; k < 3; ++k) {
        const int first = results[i][j];
        const int second = results[j][k];
        if (first > 0 || second > 0) continue;
        const int expected = first < 0 || second < 0 ? -1 : 0;
        if (results[i][k] != expected) {
          return Describe(name, " is not transitive on texts ", i, ", ", j, ", ", k);
        }
      }
    }
  }
  return {};
}

// The text with every single-byte lower-case letter raised; the bytes of double-byte
// characters (whose trail may look like a letter) are left alone.
inline std::string RaiseSingleByteLetters(std::string_view cp932) {
  std::string raised(cp932);
  for (std::size_t pos = 0; pos < raised.size(); ++pos) {
    const auto byte = static_cast<unsigned char>(raised[pos]);
    if (IsCp932LeadByte(byte)) {
      ++pos;
    } else if (byte >= 'a' && byte <= 'z') {
      raised[pos] = static_cast<char>(byte - 'a' + 'A');
    }
  }
  return raised;
}

inline CheckReport CheckCp932Comparison(const std::array<std::string_view, 3>& texts) {
  if (CheckReport report = CheckStrictWeakOrder("CompareCp932NoCase", CompareCp932NoCase, texts);
      !report.empty()) {
    return report;
  }
  for (std::string_view text : texts) {
    if (CompareCp932NoCase(text, RaiseSingleByteLetters(text)) != 0) {
      return "raising single-byte letters changed the comparison";
    }
  }
  // A text sorts before any longer text it begins, even when its last byte is a lead byte
  // that the longer text pairs with a trail.
  const std::string longer = std::string(texts[0]) + std::string(texts[1]);
  const int expected = texts[1].empty() ? 0 : -1;
  if (CompareCp932NoCase(texts[0], longer) != expected) {
    return "a text does not sort before its extension";
  }
  return {};
}

// Converting to code page 932 and back may land on another character that has the same
// code (several characters share one), but converting that again gives the same bytes.
inline CheckReport CheckConversions(std::string_view utf8, std::string_view cp932) {
  if (const std::optional<std::string> encoded = Utf8ToCp932(utf8)) {
    if (Utf8ToCp932Lossy(utf8) != *encoded) return "the lossy conversion differs on valid text";
    const std::optional<std::string> decoded = Cp932ToUtf8(*encoded);
    if (!decoded) return "converted text does not convert back";
    if (Utf8ToCp932(*decoded) != encoded) return "converting back and forth is not stable";
  }
  if (const std::optional<std::string> decoded = Cp932ToUtf8(cp932)) {
    const std::optional<std::string> encoded = Utf8ToCp932(*decoded);
    if (!encoded) return "decoded code page 932 text does not convert again";
    if (Cp932ToUtf8(*encoded) != decoded) return "decoding re-encoded text is not stable";
  }
  return {};
}

// The catalogue order is total (0 only for identical names), agrees with the code page
// comparison wherever that decides, and gives names equal but for letter case equal keys,
// so the rows of one merged file never sort apart.
inline CheckReport CheckCatalogueOrder(const std::array<std::string_view, 3>& names) {
  if (CheckReport report =
          CheckStrictWeakOrder("CompareCatalogueNames", CompareCatalogueNames, names);
      !report.empty()) {
    return report;
  }
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const std::string_view a = names[i];
      const std::string_view b = names[j];
      if ((CompareCatalogueNames(a, b) == 0) != (a == b)) {
        return Describe("names ", i, " and ", j, " compare equal but differ, or the reverse");
      }
      if (EqualIgnoringCase(a, b) != (FoldLetterCase(a) == FoldLetterCase(b))) {
        return Describe("EqualIgnoringCase and FoldLetterCase disagree on names ", i, ", ", j);
      }
      if (EqualIgnoringCase(a, b) && MakeNameSortKey(a) != MakeNameSortKey(b)) {
        return Describe("names ", i, " and ", j, " equal but for case have different keys");
      }
      const std::optional<std::string> codeA = Utf8ToCp932(a);
      const std::optional<std::string> codeB = Utf8ToCp932(b);
      if (!codeA || !codeB) continue;
      const int byCodePage = CompareCp932NoCase(*codeA, *codeB);
      if (byCodePage != 0 && CompareCatalogueNames(a, b) != byCodePage) {
        return Describe("names ", i, " and ", j, " sort against the code page order");
      }
    }
  }
  return {};
}

// Three texts separated by NUL bytes, taken both as code page 932 and as UTF-8.
inline CheckReport CheckCodePage(const std::uint8_t* data, std::size_t size) {
  const auto pieces = SplitPieces(ToView(data, size), '\0', 3);
  const std::array<std::string_view, 3> texts = {pieces[0], pieces[1], pieces[2]};
  if (CheckReport report = CheckCp932Comparison(texts); !report.empty()) return report;
  for (std::string_view text : texts) {
    if (CheckReport report = CheckConversions(text, text); !report.empty()) return report;
  }
  return CheckCatalogueOrder(texts);
}

}  // namespace quintrel::fuzz
