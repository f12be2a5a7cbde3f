// Character sets on Windows are code pages, converted through UTF-16 by the system's own
// tables, so that names and texts read exactly as other Windows programs show them.

#include <windows.h>

#include <cctype>
#include <charconv>

#include "compare/text/charset_converter.h"
#include "compare/text/utf8.h"

namespace quintrel {

namespace {

// "UTF-8", "CP932", "windows-1252", "SHIFT_JIS", "ANSI_X3.4-1968", ... as a code page; 0 for
// a name that names none.
UINT CodePageOf(const char* name) {
  std::string folded;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c != '-' && *c != '_')
      folded += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  }
  if (folded == "utf8") return CP_UTF8;
  if (folded == "shiftjis" || folded == "sjis") return 932;
  if (folded == "ascii" || folded == "usascii" || folded == "ansix3.41968") return 20127;
  if (folded == "eucjp") return 20932;
  if (folded.starts_with("iso8859")) {
    unsigned part = 0;
    const char* end = folded.data() + folded.size();
    const auto [ptr, ec] = std::from_chars(folded.data() + 7, end, part);
    if (ec == std::errc() && ptr == end && part >= 1 && part <= 16) return 28590 + part;
  }
  for (std::string_view prefix : {"cp", "windows", "ibm"}) {
    if (!folded.starts_with(prefix)) continue;
    unsigned number = 0;
    const char* end = folded.data() + folded.size();
    const auto [ptr, ec] = std::from_chars(folded.data() + prefix.size(), end, number);
    if (ec == std::errc() && ptr == end) return number;
  }
  return 0;
}

// The length of the character at `pos` in code page `codePage`; 0 when it is cut off or
// (in UTF-8) invalid.
std::size_t CharacterLength(UINT codePage, std::string_view text, std::size_t pos) {
  if (codePage == CP_UTF8) {
    const Utf8Char c = DecodeUtf8Char(text, pos);
    return c.valid ? c.length : 0;
  }
  const auto byte = static_cast<BYTE>(text[pos]);
  const std::size_t length = ::IsDBCSLeadByteEx(codePage, byte) ? 2 : 1;
  return pos + length <= text.size() ? length : 0;
}

bool ToUtf16(UINT codePage, std::string_view text, std::wstring& wide) {
  const int size = static_cast<int>(text.size());
  const int length =
      ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0) return false;
  wide.resize(static_cast<std::size_t>(length));
  return ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(),
                               length) == length;
}

// Appends the text in `codePage`; false (appending nothing) when a character has no form
// there. No "best fit" look-alikes: a character converts exactly or not at all.
bool FromUtf16(UINT codePage, std::wstring_view wide, std::string& out) {
  const int size = static_cast<int>(wide.size());
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* checkDefault = utf8 ? nullptr : &usedDefault;
  const int length =
      ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, checkDefault);
  if (length <= 0 || usedDefault) return false;
  const std::size_t before = out.size();
  out.resize(before + static_cast<std::size_t>(length));
  ::WideCharToMultiByte(codePage, flags, wide.data(), size, out.data() + before, length, nullptr,
                        nullptr);
  return true;
}

}  // namespace

struct CharsetConverter::State {
  UINT to;
  UINT from;
  std::wstring wide;  // reused from call to call
};

CharsetConverter::CharsetConverter(const char* to, const char* from) {
  const UINT toPage = CodePageOf(to);
  const UINT fromPage = CodePageOf(from);
  if (toPage == 0 || fromPage == 0 || !::IsValidCodePage(toPage) || !::IsValidCodePage(fromPage)) {
    return;
  }
  m_state = std::make_unique<State>(State{toPage, fromPage, {}});
}

CharsetConverter::~CharsetConverter() = default;

std::size_t CharsetConverter::Convert(std::string_view input, std::string& out) {
  if (input.empty()) return kComplete;
  State& state = *m_state;
  if (ToUtf16(state.from, input, state.wide) && FromUtf16(state.to, state.wide, out)) {
    return kComplete;
  }
  // Something does not convert: one character at a time, to find where it stops.
  for (std::size_t pos = 0; pos < input.size();) {
    const std::size_t length = CharacterLength(state.from, input, pos);
    if (length == 0 || !ToUtf16(state.from, input.substr(pos, length), state.wide) ||
        !FromUtf16(state.to, state.wide, out)) {
      return pos;
    }
    pos += length;
  }
  return kComplete;
}

}  // namespace quintrel
