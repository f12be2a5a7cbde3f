#include "compare/text/utf8.h"

namespace quintrel {

namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

Utf8Char DecodeUtf8Char(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return {lead, 1, true};
  std::size_t length = 0;
  std::uint32_t codePoint = 0;
  std::uint32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, codePoint = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, codePoint = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, codePoint = lead & 0x07, minimum = 0x10000;
  } else {
    return {};
  }
  if (text.size() - pos < length) return {};
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(byte)) return {};
    codePoint = (codePoint << 6) | (byte & 0x3F);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) return {};
  return {codePoint, length, true};
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = DecodeUtf8Char(text, pos);
    if (!c.valid) return false;
    pos += c.length;
  }
  return true;
}

std::string ValidUtf8(std::string_view text, bool* changed) {
  constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD
  std::string valid;
  valid.reserve(text.size());
  bool replaced = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = DecodeUtf8Char(text, pos);
    if (c.valid) {
      valid.append(text, pos, c.length);
    } else {
      valid.append(kReplacementCharacter);
      replaced = true;
    }
    pos += c.length;
  }
  if (changed != nullptr) *changed = replaced;
  return valid;
}

}  // namespace quintrel
