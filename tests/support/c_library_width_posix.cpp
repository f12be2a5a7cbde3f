#include <clocale>
#include <cwchar>
#include <string>

#include "support/c_library_width.h"

namespace quintrel::testing {

std::optional<std::vector<int>> CLibraryWidths(char32_t first, char32_t last) {
  const char* previous = std::setlocale(LC_CTYPE, nullptr);
  const std::string saved = previous != nullptr ? previous : "C";
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) return std::nullopt;
  std::vector<int> widths;
  for (char32_t cp = first; cp <= last; ++cp) widths.push_back(wcwidth(static_cast<wchar_t>(cp)));
  std::setlocale(LC_CTYPE, saved.c_str());
  return widths;
}

}  // namespace quintrel::testing
