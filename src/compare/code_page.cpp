#include "compare/code_page.h"

#include "compare/cp932_char.h"

namespace quintrel {

namespace {

constexpr std::uint32_t kFullWidthUpperA = 0x8260;  // 'Ａ'
constexpr std::uint32_t kFullWidthUpperZ = 0x8279;  // 'Ｚ'
constexpr std::uint32_t kFullWidthCaseShift = 0x8281 - kFullWidthUpperA;

}  // namespace

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
