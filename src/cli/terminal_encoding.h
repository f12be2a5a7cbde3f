#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quintrel {

class CharsetConverter;

// The character set of the terminal as the user's locale names it ("UTF-8", "EUC-JP",
// "ANSI_X3.4-1968", ...). Call setlocale(LC_ALL, "") first. The platform implementation
// lives in one file.
std::string TerminalCodeset();

// Converts the program's UTF-8 texts to the terminal's character set. A character the
// character set cannot represent, or a byte that is not valid UTF-8, becomes '?'. An
// unknown character set falls back to ASCII.
class TerminalEncoder {
 public:
  explicit TerminalEncoder(const std::string& codeset);
  ~TerminalEncoder();
  TerminalEncoder(const TerminalEncoder&) = delete;
  TerminalEncoder& operator=(const TerminalEncoder&) = delete;

  // The text in the terminal's character set.
  std::string Encode(std::string_view utf8) const;

  // The text still in UTF-8, with every character that Encode would replace already
  // replaced by '?', so its display width is the width the terminal will show.
  std::string Fit(std::string_view utf8) const;

 private:
  // Appends the encoded form of one valid UTF-8 character; false when it has none.
  bool Convert(std::string_view character, std::string& out) const;

  std::unique_ptr<CharsetConverter> m_converter;  // null: the terminal takes UTF-8 as is
};

}  // namespace quintrel
