#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quintrel {

// Conversions between the UTF-8 used by file names and texts on this system and Shift-JIS
// as Windows writes it (code page 932), through the system's CharsetConverter.

// std::nullopt when the input is not valid UTF-8 or a character has no code page 932 form.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// As Utf8ToCp932, but a character without a code page 932 form (or an invalid byte)
// becomes '?', as Windows' own conversion does.
std::string Utf8ToCp932Lossy(std::string_view utf8);

// std::nullopt when the input is not valid code page 932 text.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// True for a lead byte of a double-byte character of code page 932.
bool IsCp932LeadByte(unsigned char byte);

// Case-insensitive multibyte comparison of two code page 932 strings, as the Windows
// runtime's _mbsicmp does under that code page: ASCII letters and full-width Latin letters
// fold to lower case, characters compare by value (a double-byte character as
// lead * 256 + trail, so after every single byte). Returns -1, 0 or 1.
int CompareCp932NoCase(std::string_view a, std::string_view b);

}  // namespace quintrel
