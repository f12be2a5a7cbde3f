#include <iconv.h>
#include <langinfo.h>

#include <cctype>

#include "cli/display_width.h"
#include "cli/terminal_encoding.h"

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
  while (!utf8.empty()) {
    char32_t codePoint = 0;
    std::size_t length = DecodeUtf8(utf8, codePoint);
    visit(utf8.substr(0, length == 0 ? 1 : length), length != 0);
    utf8.remove_prefix(length == 0 ? 1 : length);
  }
}

}  // namespace

std::string TerminalCodeset() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset != nullptr ? codeset : "";
}

// One iconv descriptor from UTF-8. A character set iconv does not know leaves the handle
// unusable, and then only ASCII passes.
struct TerminalEncoder::Converter {
  iconv_t handle = reinterpret_cast<iconv_t>(-1);

  bool Usable() const { return handle != reinterpret_cast<iconv_t>(-1); }

  // Appends the encoded form of one valid UTF-8 character; false when it has none.
  bool Convert(std::string_view character, std::string& out) const {
    if (!Usable()) {
      if (static_cast<unsigned char>(character[0]) >= 0x80) return false;
      out.append(character);
      return true;
    }
    char buffer[32];
    char* in = const_cast<char*>(character.data());
    std::size_t inLeft = character.size();
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(handle, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0) {
      iconv(handle, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
      return false;
    }
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    return true;
  }
};

TerminalEncoder::TerminalEncoder(const std::string& codeset) {
  if (IsUtf8Name(codeset)) return;
  m_converter = std::make_unique<Converter>();
  if (!codeset.empty()) m_converter->handle = iconv_open(codeset.c_str(), "UTF-8");
}

TerminalEncoder::~TerminalEncoder() {
  if (m_converter && m_converter->Usable()) iconv_close(m_converter->handle);
}

std::string TerminalEncoder::Encode(std::string_view utf8) const {
  std::string result;
  result.reserve(utf8.size());
  ForEachCharacter(utf8, [&](std::string_view character, bool valid) {
    if (!valid) {
      result += '?';
    } else if (!m_converter) {
      result.append(character);
    } else if (!m_converter->Convert(character, result)) {
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
    if (valid && (!m_converter || m_converter->Convert(character, scratch))) {
      result.append(character);
    } else {
      result += '?';
    }
  });
  return result;
}

}  // namespace quintrel
