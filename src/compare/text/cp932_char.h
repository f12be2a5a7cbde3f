#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quintrel {

// Reads the code page 932 character at `pos` of `cp932` (which must be inside it), advances
// `pos` past it and returns its value folded to lower case: a single byte as itself, a
// double-byte character as lead * 256 + trail. A lead byte that ends the text has no trail
// and counts as a single character of its own value.
std::uint32_t NextFoldedCp932Char(std::string_view cp932, std::size_t& pos);

}  // namespace quintrel
