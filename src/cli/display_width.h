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

// Decodes the UTF-8 sequence at the front of `utf8` into `codePoint` and returns its byte
// length, or 0 when the bytes there are not a valid sequence (overlong forms, surrogates
// and truncated sequences included). `utf8` must not be empty.
std::size_t DecodeUtf8(std::string_view utf8, char32_t& codePoint);

}  // namespace quintrel
