#include "cli/terminal_encoding.h"

#include <algorithm>
#include <cctype>

#include "compare/text/charset_converter.h"
#include "compare/text/utf8.h"

namespace quintrel {
namespace {

bool IsUtf8Name(const std::string& codeset) {
  std::string folded;
  for (char c : codeset) {
    if (c != '-' && c != '_')
      folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return folded == "utf8";
}

// Calls `visit(character, valid)` for each UTF-8 character of the text, and for each byte
// that does not start a valid sequence (valid false).
template <typename Visit>
void ForEachCharacter(std::string_view utf8, Visit visit) {
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8Char c = DecodeUtf8Char(utf8, pos);
    visit(utf8.substr(pos, c.length), c.valid);
    pos += c.length;
  }
}

}  // namespace

TerminalEncoder::TerminalEncoder(const std::string& codeset) {
  if (IsUtf8Name(codeset)) return;
  m_converter = std::make_unique<CharsetConverter>(codeset.c_str(), "UTF-8");
}

TerminalEncoder::~TerminalEncoder() = default;

bool TerminalEncoder::Convert(std::string_view character, std::string& out) const {
  if (!m_converter->Usable()) {
    if (static_cast<unsigned char>(character[0]) >= 0x80) return false;
    out.append(character);
    return true;
  }
  const std::size_t before = out.size();
  if (m_converter->Convert(character, out) == CharsetConverter::kComplete) return true;
  out.resize(before);
  return false;
}

std::string TerminalEncoder::Encode(std::string_view utf8) const {
  // Plain ASCII is written as it is where no conversion is needed, as most lines are.
  if (!m_converter && std::all_of(utf8.begin(), utf8.end(), [](char byte) {
        return static_cast<unsigned char>(byte) < 0x80;
      })) {
    return std::string(utf8);
  }
  std::string result;
  result.reserve(utf8.size());
  ForEachCharacter(utf8, [&](std::string_view character, bool valid) {
    if (!valid) {
      result += '?';
    } else if (!m_converter) {
      result.append(character);
    } else if (!Convert(character, result)) {
      result += '?';
    }
  });
  return result;
}

std::string TerminalEncoder::Fit(std::string_view utf8) const {
  std::string result;
  std::string scratch;
  result.reserve(utf8.size());
  ForEachCharacter(utf8, [&](std::string_view character, bool valid) {
    if (valid && (!m_converter || Convert(character, scratch))) {
      result.append(character);
    } else {
      result += '?';
    }
  });
  return result;
}

}  // namespace quintrel
