#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace quintrel {

class CharsetConverter;

// The character set of the terminal as the user's locale names it ("UTF-8", "EUC-JP",
// "ANSI_X3.4-1968", ...); on Windows "UTF-8" when both standard streams are consoles or
// there is no console, and otherwise the console's output code page ("CP850", ...), as
// native Windows tools write redirected output. Call setlocale(LC_ALL, "") first. The platform
// implementation lives in one file.
std::string TerminalCodeset();

// The program's standard output and standard error, taking bytes in TerminalCodeset(). On
// POSIX systems these are std::cout and std::cerr; on Windows a console receives the text
// in UTF-16 (WriteConsoleW), so that it shows every character, and a redirected stream the
// bytes as they are (no line end translation).
class StandardStreams {
 public:
  StandardStreams();
  ~StandardStreams();
  StandardStreams(const StandardStreams&) = delete;
  StandardStreams& operator=(const StandardStreams&) = delete;

  std::ostream& Out();
  std::ostream& Err();

 private:
  struct Consoles;
  std::unique_ptr<Consoles> m_consoles;  // the Windows consoles' streams, when there are any
};

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
