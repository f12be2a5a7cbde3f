#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quintrel {

// Terminal cells taken by one code point: 2 for East Asian wide and full-width characters,
// 0 for combining marks and zero-width characters, 1 otherwise (half-width katakana too).
int CodePointWidth(char32_t codePoint);

// Terminal cells taken by UTF-8 text; a byte that is not valid UTF-8 counts one cell.
std::size_t DisplayWidth(std::string_view utf8);

// The text with every control character (C0, DEL, C1) and invalid byte replaced by '?', so
// a file name cannot move the cursor or send escape sequences to the terminal.
std::string ReplaceControlCharacters(std::string_view utf8);

}  // namespace quintrel
