#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quintrel {

// The catalogue order of file names written in UTF-8: the names compare as their code page
// 932 forms do under CompareCp932NoCase. A character without a code page 932 form (or a
// byte that is not valid UTF-8) sorts after every character that has one, by its code
// point (bytes after code points). Names that compare equal so far are ordered by their
// bytes, so the order is total and two distinct names never compare equal.
using NameSortKey = std::vector<std::uint32_t>;

NameSortKey MakeNameSortKey(std::string_view utf8Name);

// -1, 0 or 1 in catalogue order; 0 only for identical names.
int CompareCatalogueNames(std::string_view a, std::string_view b);

// True when the names differ at most in the letter case of ASCII and full-width Latin
// letters.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The name with ASCII and full-width Latin capitals lowered: two names are EqualIgnoringCase
// exactly when these are equal, so it serves as a key for grouping names.
std::string FoldLetterCase(std::string_view utf8Name);

}  // namespace quintrel
