#include "compare/listing/name_order.h"

#include <algorithm>

#include "compare/text/code_page.h"
#include "compare/text/cp932_char.h"
#include "compare/text/utf8.h"

namespace quintrel {

namespace {

// Keys of characters with a code page 932 form stay below 0x10000 (lead * 256 + trail).
constexpr std::uint32_t kNoCp932FormBase = 0x10000;   // + code point
constexpr std::uint32_t kInvalidByteBase = 0x200000;  // + byte value

std::uint32_t KeyOfCharacter(std::string_view utf8Char, std::uint32_t codePoint) {
  if (codePoint < 0x80) {  // ASCII is the same in code page 932
    std::size_t pos = 0;
    return NextFoldedCp932Char(utf8Char, pos);
  }
  const std::optional<std::string> cp932 = Utf8ToCp932(utf8Char);
  if (!cp932 || cp932->empty()) return kNoCp932FormBase + codePoint;
  std::size_t pos = 0;
  return NextFoldedCp932Char(*cp932, pos);
}

template <typename T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// The key of a name whose characters all have a code page 932 form.
NameSortKey KeyOfCp932(std::string_view cp932) {
  NameSortKey key;
  key.reserve(cp932.size());
  for (std::size_t pos = 0; pos < cp932.size();) key.push_back(NextFoldedCp932Char(cp932, pos));
  return key;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

NameSortKey MakeNameSortKey(std::string_view utf8Name) {
  // Most names convert whole; only the others are taken apart character by character.
  if (IsAscii(utf8Name)) return KeyOfCp932(utf8Name);
  if (const std::optional<std::string> cp932 = Utf8ToCp932(utf8Name)) return KeyOfCp932(*cp932);
  NameSortKey key;
  key.reserve(utf8Name.size());
  std::size_t pos = 0;
  while (pos < utf8Name.size()) {
    const Utf8Char c = DecodeUtf8Char(utf8Name, pos);
    if (c.valid) {
      key.push_back(KeyOfCharacter(utf8Name.substr(pos, c.length), c.codePoint));
    } else {
      key.push_back(kInvalidByteBase + static_cast<unsigned char>(utf8Name[pos]));
    }
    pos += c.length;
  }
  return key;
}

int CompareCatalogueNames(std::string_view a, std::string_view b) {
  const int byKey = Sign(MakeNameSortKey(a), MakeNameSortKey(b));
  return byKey != 0 ? byKey : Sign(a, b);
}

std::string FoldLetterCase(std::string_view utf8Name) {
  std::string folded(utf8Name);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    char& c = folded[i];
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
      continue;
    }
    // U+FF21..U+FF3A (EF BC A1..BA) lower to U+FF41..U+FF5A (EF BD 81..9A). 0xEF never
    // continues a UTF-8 sequence, so a match here is always a whole character.
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(folded[at]); };
    if (byte(i) == 0xEF && i + 2 < folded.size() && byte(i + 1) == 0xBC && byte(i + 2) >= 0xA1 &&
        byte(i + 2) <= 0xBA) {
      folded[i + 1] = static_cast<char>(0xBD);
      folded[i + 2] = static_cast<char>(byte(i + 2) - 0xA1 + 0x81);
      i += 2;
    }
  }
  return folded;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FoldLetterCase(a) == FoldLetterCase(b);
}

}  // namespace quintrel
