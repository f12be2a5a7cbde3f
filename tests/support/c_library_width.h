#pragma once

#include <optional>

namespace quintrel::testing {

// The number of cells the C library's wcwidth gives a code point in its UTF-8 locale, -1
// for one it does not know; std::nullopt on a system whose C library has no wcwidth (or no
// UTF-8 locale), where the test then skips, saying so.
std::optional<int> CLibraryWidth(char32_t codePoint);

}  // namespace quintrel::testing
