#include <clocale>
#include <cwchar>
#include <string>

#include "support/c_library_width.h"

namespace quintrel::testing {

std::optional<int> CLibraryWidth(char32_t codePoint) {
  const char* previous = std::setlocale(LC_CTYPE, nullptr);
  const std::string saved = previous != nullptr ? previous : "C";
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) return std::nullopt;
  const int width = wcwidth(static_cast<wchar_t>(codePoint));
  std::setlocale(LC_CTYPE, saved.c_str());
  return width;
}

}  // namespace quintrel::testing
