#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace quintrel {

// Converts text from one character set to another, named as the system's converter knows
// them ("UTF-8", "CP932", the terminal's character set). A converter keeps shift state from
// call to call and is not thread-safe: each thread needs its own. The platform
// implementation lives in one file.
class CharsetConverter {
 public:
  static constexpr std::size_t kComplete = std::string_view::npos;

  CharsetConverter(const char* to, const char* from);
  ~CharsetConverter();
  CharsetConverter(const CharsetConverter&) = delete;
  CharsetConverter& operator=(const CharsetConverter&) = delete;

  // False when the system cannot convert between the two character sets (or a name is
  // empty).
  bool Usable() const { return m_state != nullptr; }

  // Appends the conversion of `input` to `out` and returns kComplete. When a character
  // cannot be converted (or is cut off at the end), appends what comes before it, returns
  // its offset and resets the shift state. Must be Usable().
  std::size_t Convert(std::string_view input, std::string& out);

 private:
  struct State;
  std::unique_ptr<State> m_state;  // null when not usable
};

}  // namespace quintrel
