#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check_report.h"
#include "compare/listing/path_pattern.h"
#include "split_input.h"

namespace quintrel::fuzz {

// A plain reference for one part: the textbook table over '*', '?' and ordinary bytes (no
// sets, no escapes), used only on patterns that hold nothing else. matches[i][j]: the
// pattern from i on matches the text from j on.
inline bool ReferencePartMatch(std::string_view pattern, std::string_view text) {
  const std::size_t width = text.size() + 1;
  std::vector<char> matches((pattern.size() + 1) * width, 0);
  matches[pattern.size() * width + text.size()] = 1;
  for (std::size_t i = pattern.size(); i-- > 0;) {
    for (std::size_t j = text.size() + 1; j-- > 0;) {
      char& cell = matches[i * width + j];
      if (pattern[i] == '*') {
        cell = matches[(i + 1) * width + j] || (j < text.size() && matches[i * width + j + 1]);
      } else {
        cell = j < text.size() && (pattern[i] == '?' || pattern[i] == text[j]) &&
               matches[(i + 1) * width + j + 1];
      }
    }
  }
  return matches[0] != 0;
}

// The same over whole paths, part against part, for patterns without "**", sets or escapes.
inline bool ReferencePathMatch(std::string_view pattern, std::string_view path) {
  for (;;) {
    const std::size_t p = pattern.find('/');
    const std::size_t t = path.find('/');
    if (!ReferencePartMatch(pattern.substr(0, p), path.substr(0, t))) return false;
    if (p == std::string_view::npos || t == std::string_view::npos) {
      return p == std::string_view::npos && t == std::string_view::npos;
    }
    pattern.remove_prefix(p + 1);
    path.remove_prefix(t + 1);
  }
}

// Every byte escaped: the pattern that matches exactly `path`.
inline std::string Escaped(std::string_view path) {
  std::string pattern;
  for (char c : path) {
    if (c != '/') pattern += '\\';
    pattern += c;
  }
  return pattern;
}

// A pattern and a path cut from the input at its first 0 byte. The matcher must agree with
// the reference where the reference applies; an escaped path matches itself exactly; and a
// leading "**/" stands for any number of folders before a match, none included.
inline CheckReport CheckPathPattern(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> pieces = SplitPieces(ToView(data, size), '\0', 2);
  const std::string_view pattern = pieces[0];
  const std::string_view path = pieces.size() > 1 ? pieces[1] : std::string_view();
  const bool matches = MatchesPathPattern(pattern, path);
  const bool plain = pattern.find_first_of("[\\") == std::string_view::npos &&
                     pattern.find("**") == std::string_view::npos;
  if (plain && matches != ReferencePathMatch(pattern, path)) {
    return Describe("pattern '", pattern, "' against '", path, "': ", matches,
                    " but the reference ", !matches);
  }
  if (!MatchesPathPattern(Escaped(path), path))
    return Describe("escaped '", path, "' misses itself");
  if (!path.empty() && MatchesPathPattern(Escaped(path), std::string(path) + "x")) {
    return Describe("escaped '", path, "' matches more than itself");
  }
  const std::string deeper = "**/" + std::string(pattern);
  if (matches && (!MatchesPathPattern(deeper, path) ||
                  !MatchesPathPattern(deeper, "a/b/" + std::string(path)))) {
    return Describe("'", deeper, "' misses what '", pattern, "' matches below folders: '", path,
                    "'");
  }
  return {};
}

}  // namespace quintrel::fuzz
