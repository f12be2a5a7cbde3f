#include "compare/text/code_page.h"

#include "compare/text/charset_converter.h"
#include "compare/text/cp932_char.h"
#include "compare/text/utf8.h"

namespace quintrel {

namespace {

constexpr std::uint32_t kFullWidthUpperA = 0x8260;  // 'Ａ'
constexpr std::uint32_t kFullWidthUpperZ = 0x8279;  // 'Ｚ'
constexpr std::uint32_t kFullWidthCaseShift = 0x8281 - kFullWidthUpperA;

// Converters keep shift state, so each thread has its own.
CharsetConverter& ToCp932() {
  thread_local CharsetConverter converter("CP932", "UTF-8");
  return converter;
}

CharsetConverter& FromCp932() {
  thread_local CharsetConverter converter("UTF-8", "CP932");
  return converter;
}

std::optional<std::string> ConvertWhole(CharsetConverter& converter, std::string_view text) {
  if (!converter.Usable()) return std::nullopt;
  std::string out;
  if (converter.Convert(text, out) != CharsetConverter::kComplete) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  return ConvertWhole(ToCp932(), utf8);
}

std::string Utf8ToCp932Lossy(std::string_view utf8) {
  CharsetConverter& converter = ToCp932();
  std::string out;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t stop =
        converter.Usable() ? converter.Convert(utf8.substr(pos), out) : std::size_t{0};
    if (stop == CharsetConverter::kComplete) break;
    pos += stop;
    const Utf8Char skipped = DecodeUtf8Char(utf8, pos);
    const bool ascii = skipped.valid && skipped.codePoint < 0x80;
    out.push_back(ascii && !converter.Usable() ? static_cast<char>(skipped.codePoint) : '?');
    pos += skipped.length;
  }
  return out;
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  return ConvertWhole(FromCp932(), cp932);
}

bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::uint32_t NextFoldedCp932Char(std::string_view cp932, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(cp932[pos++]);
  if (IsCp932LeadByte(lead) && pos < cp932.size()) {
    const auto trail = static_cast<unsigned char>(cp932[pos++]);
    const std::uint32_t value = lead * 256u + trail;
    const bool upper = value >= kFullWidthUpperA && value <= kFullWidthUpperZ;
    return upper ? value + kFullWidthCaseShift : value;
  }
  if (lead >= 'A' && lead <= 'Z') return lead + ('a' - 'A');
  return lead;
}

int CompareCp932NoCase(std::string_view a, std::string_view b) {
  std::size_t posA = 0;
  std::size_t posB = 0;
  while (posA < a.size() && posB < b.size()) {
    const std::uint32_t charA = NextFoldedCp932Char(a, posA);
    const std::uint32_t charB = NextFoldedCp932Char(b, posB);
    if (charA != charB) return charA < charB ? -1 : 1;
  }
  const bool endA = posA == a.size();
  const bool endB = posB == b.size();
  if (endA && endB) return 0;
  return endA ? -1 : 1;
}

}  // namespace quintrel
