#include "support/c_library_width.h"

namespace quintrel::testing {

std::optional<std::vector<int>> CLibraryWidths(char32_t, char32_t) {
  return std::nullopt;  // the Windows C runtime has no wcwidth
}

}  // namespace quintrel::testing
