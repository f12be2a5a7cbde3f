#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quintrel {

// Whether a shell pattern matches a path of '/'-separated parts, byte for byte: '*' matches
// any bytes within a part, '?' one byte, "[...]" one byte of a set ("[a-z]", "[!0-9]" or
// "[^0-9]" for its complement; a ']' first in the set is one of it), '\' takes the next byte
// as it is, and a part that is "**" matches any number of whole parts, none included, but
// for a last "/**", which matches what is inside a folder, not the folder itself. No
// wildcard matches a '/'. A '[' without its ']' is an ordinary byte.
bool MatchesPathPattern(std::string_view pattern, std::string_view path);

// Whether an entry is excluded by one of `patterns`: a pattern matching its path below the
// top folder, or its name alone.
bool IsExcludedByPatterns(const std::vector<std::string>& patterns, std::string_view path);

// Drops from `names`, the entries of the folder at `folder` below the top folder (empty for
// the top folder itself), those that `patterns` exclude.
void DropExcludedEntries(std::vector<std::string>& names, const std::vector<std::string>& patterns,
                         const std::string& folder);

}  // namespace quintrel
