#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quintrel {

// One character read from UTF-8 text. An invalid or truncated sequence, an overlong form or
// a surrogate yields valid == false and length 1, so a reader always moves forward.
struct Utf8Char {
  std::uint32_t codePoint = 0;
  std::size_t length = 1;
  bool valid = false;
};

Utf8Char DecodeUtf8Char(std::string_view text, std::size_t pos);

// Whether every byte of `text` belongs to a valid UTF-8 sequence.
bool IsValidUtf8(std::string_view text);

// The text with each byte that is not part of a valid UTF-8 sequence replaced by U+FFFD;
// sets `*changed` (when given) to whether one was.
std::string ValidUtf8(std::string_view text, bool* changed = nullptr);

}  // namespace quintrel
