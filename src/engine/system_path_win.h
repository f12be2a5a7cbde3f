#pragma once

#include <string>
#include <string_view>

namespace quintrel {

// The program's paths and texts are UTF-8; the Windows calls that take names take UTF-16.
// These conversions are shared by every Windows file of the program.

// Invalid UTF-8 bytes become U+FFFD.
std::wstring WidenUtf8(std::string_view utf8);

// Unpaired surrogates become U+FFFD.
std::string NarrowToUtf8(std::wstring_view wide);

// The path as CreateFileW and FindFirstFileExW take it. A path too long for the system's
// plain form becomes absolute, with backslashes only (the prefix turns off the system's own
// normalisation), and gets "\\?\" (or "\\?\UNC\" for \\server\share) in front.
std::wstring SystemPath(const std::string& path);

}  // namespace quintrel
