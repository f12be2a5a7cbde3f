#include "compare/listing/path_pattern.h"

#include <vector>

namespace quintrel {

namespace {

constexpr char kSeparator = '/';

// Matches a set starting just after its '['; sets `end` past its ']'. False with end == npos
// when the set is not closed.
bool MatchesSet(std::string_view pattern, std::size_t start, unsigned char byte, std::size_t& end) {
  std::size_t pos = start;
  const bool negated = pos < pattern.size() && (pattern[pos] == '!' || pattern[pos] == '^');
  if (negated) ++pos;
  bool found = false;
  for (bool first = true; pos < pattern.size() && (first || pattern[pos] != ']'); first = false) {
    unsigned char low = static_cast<unsigned char>(pattern[pos]);
    if (low == '\\' && pos + 1 < pattern.size()) low = static_cast<unsigned char>(pattern[++pos]);
    unsigned char high = low;
    if (pos + 2 < pattern.size() && pattern[pos + 1] == '-' && pattern[pos + 2] != ']') {
      high = static_cast<unsigned char>(pattern[pos + 2]);
      pos += 2;
    }
    found = found || (low <= byte && byte <= high);
    ++pos;
  }
  if (pos >= pattern.size()) {
    end = std::string_view::npos;
    return false;
  }
  end = pos + 1;
  return found != negated;
}

// One part against one part: the classic wildcard walk, going back to the last '*' on a
// mismatch.
bool MatchesPart(std::string_view pattern, std::string_view text) {
  std::size_t p = 0;
  std::size_t t = 0;
  std::size_t starP = std::string_view::npos;
  std::size_t starT = 0;
  while (t < text.size()) {
    bool advanced = false;
    if (p < pattern.size()) {
      const char c = pattern[p];
      if (c == '*') {
        starP = p++;
        starT = t;
        continue;
      }
      std::size_t next = p + 1;
      bool matches = false;
      if (c == '?') {
        matches = true;
      } else if (c == '[') {
        std::size_t end = 0;
        matches = MatchesSet(pattern, p + 1, static_cast<unsigned char>(text[t]), end);
        if (end == std::string_view::npos) {
          matches = text[t] == '[';  // no set: a plain '['
        } else {
          next = end;
        }
      } else if (c == '\\' && p + 1 < pattern.size()) {
        matches = text[t] == pattern[p + 1];
        next = p + 2;
      } else {
        matches = text[t] == c;
      }
      if (matches) {
        p = next;
        ++t;
        advanced = true;
      }
    }
    if (!advanced) {
      if (starP == std::string_view::npos) return false;
      p = starP + 1;
      t = ++starT;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string_view> Parts(std::string_view path) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = path.find(kSeparator, start);
    parts.push_back(path.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// Whole paths part by part, from the last parts back: matched[p][t] tells whether the
// pattern's parts from p on match the path's parts from t on. A "**" part matches none, or
// one more part and is tried again; as the last part after others it matches one or more. Quadratic
// at worst, however many "**" a pattern holds.
bool MatchesParts(const std::vector<std::string_view>& pattern,
                  const std::vector<std::string_view>& path) {
  const std::size_t width = path.size() + 1;
  std::vector<char> matched((pattern.size() + 1) * width, 0);
  const auto at = [&](std::size_t p, std::size_t t) -> char& { return matched[p * width + t]; };
  at(pattern.size(), path.size()) = 1;
  for (std::size_t p = pattern.size(); p-- > 0;) {
    for (std::size_t t = path.size() + 1; t-- > 0;) {
      if (pattern[p] == "**" && p + 1 == pattern.size() && p > 0) {
        at(p, t) = t < path.size();  // a trailing "/**": whatever is inside, not the folder
      } else if (pattern[p] == "**") {
        at(p, t) = at(p + 1, t) || (t < path.size() && at(p, t + 1));
      } else {
        at(p, t) = t < path.size() && at(p + 1, t + 1) && MatchesPart(pattern[p], path[t]);
      }
    }
  }
  return at(0, 0) != 0;
}

}  // namespace

bool MatchesPathPattern(std::string_view pattern, std::string_view path) {
  return MatchesParts(Parts(pattern), Parts(path));
}

bool IsExcludedByPatterns(const std::vector<std::string>& patterns, std::string_view path) {
  const std::size_t slash = path.rfind(kSeparator);
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  for (const std::string& pattern : patterns) {
    if (MatchesPathPattern(pattern, path) || MatchesPathPattern(pattern, name)) return true;
  }
  return false;
}

void DropExcludedEntries(std::vector<std::string>& names, const std::vector<std::string>& patterns,
                         const std::string& folder) {
  if (patterns.empty()) return;
  std::erase_if(names, [&](const std::string& name) {
    return IsExcludedByPatterns(patterns, folder.empty() ? name : folder + kSeparator + name);
  });
}

}  // namespace quintrel
