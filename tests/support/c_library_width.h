#pragma once

#include <optional>
#include <vector>

namespace quintrel::testing {

// The number of cells the C library's wcwidth gives each code point from `first` to `last`
// in its UTF-8 locale, -1 for one it does not know; std::nullopt on a system whose C library
// has no wcwidth (or no UTF-8 locale), where the test then skips, saying so.
std::optional<std::vector<int>> CLibraryWidths(char32_t first, char32_t last);

}  // namespace quintrel::testing
