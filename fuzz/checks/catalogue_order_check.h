#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check_report.h"
#include "compare/listing/name_order.h"
#include "compare/text/code_page.h"

namespace quintrel::fuzz {

// What the key of one piece of a name must be: one key below 0x10000 for a character with a
// code page 932 form, 0x10000 plus the code point for a valid character without one, 0x200000
// plus the byte for every byte of an invalid sequence. An opaque piece (a raw byte, or a lead
// byte cut short) may join its neighbours into another character, so its key is not checked
// and the name's key is not checked piece by piece.
enum class PieceKind { kCp932, kNoForm, kInvalid, kOpaque };

struct NamePiece {
  std::string bytes;
  PieceKind kind = PieceKind::kOpaque;
  std::uint32_t codePoint = 0;  // for kNoForm
};

using PiecedName = std::vector<NamePiece>;

inline std::string Utf8Of(std::uint32_t codePoint) {
  std::string out;
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | codePoint >> 6);
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | codePoint >> 12);
    out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | codePoint >> 18);
    out += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  return out;
}

// ASCII and full-width Latin letters with their case swapped; other pieces stay.
inline NamePiece SwapLetterCase(NamePiece piece) {
  std::string& b = piece.bytes;
  if (b.size() == 1 && ((b[0] >= 'a' && b[0] <= 'z') || (b[0] >= 'A' && b[0] <= 'Z'))) {
    b[0] = static_cast<char>(b[0] ^ 0x20);
  } else if (b.size() == 3 && b.compare(0, 2, "\xEF\xBC") == 0 && b[2] >= '\xA1' &&
             b[2] <= '\xBA') {
    b = Utf8Of(0xFF41 + static_cast<unsigned char>(b[2]) - 0xA1);
  } else if (b.size() == 3 && b.compare(0, 2, "\xEF\xBD") == 0 && b[2] >= '\x81' &&
             b[2] <= '\x9A') {
    b = Utf8Of(0xFF21 + static_cast<unsigned char>(b[2]) - 0x81);
  }
  return piece;
}

// Builds names from the input, one byte choosing each piece: the low three bits its kind,
// the rest (and at times the next byte) which one. A zero byte ends a name.
class NameGenerator {
 public:
  NameGenerator(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  std::vector<PiecedName> Names(std::size_t maxNames) {
    std::vector<PiecedName> names(1);
    while (m_at < m_size) {
      const std::uint8_t op = Next();
      if (op == 0) {
        if (names.size() == maxNames) break;
        names.emplace_back();
      } else {
        AddPiece(op, names);
      }
    }
    if (names.size() < 2) names.emplace_back();
    return names;
  }

 private:
  std::uint8_t Next() { return m_at < m_size ? m_data[m_at++] : 0; }

  static NamePiece Character(std::uint32_t codePoint, PieceKind kind) {
    return {Utf8Of(codePoint), kind, codePoint};
  }

  // A character that code page 932 writes on one system and not on another (the wave dash,
  // the yen sign and the overline are mapped one way by iconv and not by Windows): the
  // system's own converter says which it is.
  static NamePiece FormedCharacter(std::uint32_t codePoint) {
    const bool formed = Utf8ToCp932(Utf8Of(codePoint)).has_value();
    return Character(codePoint, formed ? PieceKind::kCp932 : PieceKind::kNoForm);
  }

  void AddPiece(std::uint8_t op, std::vector<PiecedName>& names) {
    static constexpr std::string_view kAsciiOthers = " -._~!#$%&'()+,;=@[]^`{}0123456789/\\";
    static constexpr std::uint32_t kWithForm[] = {
        0x4E00, 0x6F22, 0x301C, 0xFF5E, 0x00A5, 0x203E, 0x2460, 0x2160, 0xFFE2, 0x2235,
        0x9AD9, 0x7E8A, 0x2225, 0xFF0D, 0xFF3C, 0x0391, 0x03B1, 0x042F, 0x044F, 0x3000};
    static constexpr std::uint32_t kWithoutForm[] = {0x00E9,   0x00C9, 0x20AC, 0x1F600,
                                                     0x10FFFF, 0x0100, 0xFFFD, 0x2603};
    static constexpr std::string_view kInvalid[] = {
        "\xFF", "\xFE", "\xC0\x80", "\xC1\xBF", "\xED\xA0\x80", "\xF5\x80\x80\x80", "\x80", "\xBF"};
    static constexpr std::string_view kCutShort[] = {"\xE3\x81", "\xF0\x9F\x98", "\xC3", "\xEF"};
    PiecedName& name = names.back();
    const unsigned arg = op >> 3;
    switch (op & 7) {
      case 0:
      case 1: {
        const std::uint8_t which = Next();
        const char letter = static_cast<char>((which & 0x80 ? 'A' : 'a') + which % 26);
        name.push_back({std::string(1, letter), PieceKind::kCp932});
        break;
      }
      case 2:
        name.push_back(
            {std::string(1, kAsciiOthers[arg % kAsciiOthers.size()]), PieceKind::kCp932});
        break;
      case 3: {
        const std::uint8_t which = Next();
        name.push_back(Character((which & 0x80 ? 0xFF21 : 0xFF41) + which % 26, PieceKind::kCp932));
        break;
      }
      case 4: {
        const std::uint8_t which = Next();
        static constexpr std::uint32_t kKanaStart[] = {0x3041, 0x30A1, 0xFF61};
        static constexpr std::uint32_t kKanaCount[] = {83, 86, 63};
        name.push_back(
            Character(kKanaStart[arg % 3] + which % kKanaCount[arg % 3], PieceKind::kCp932));
        break;
      }
      case 5:
        if (arg & 1) {
          name.push_back(FormedCharacter(kWithForm[(arg >> 1) % std::size(kWithForm)]));
        } else {
          name.push_back(
              Character(kWithoutForm[(arg >> 1) % std::size(kWithoutForm)], PieceKind::kNoForm));
        }
        break;
      case 6:
        name.push_back({std::string(kInvalid[arg % std::size(kInvalid)]), PieceKind::kInvalid});
        break;
      default:
        AddSpecial(arg, names, kCutShort[(arg >> 2) % std::size(kCutShort)]);
        break;
    }
  }

  // Copies of the name before (as it is, or with letter case swapped), a raw byte, or a lead
  // byte cut short.
  void AddSpecial(unsigned arg, std::vector<PiecedName>& names, std::string_view cutShort) {
    PiecedName& name = names.back();
    PiecedName previous = names.size() > 1 ? names[names.size() - 2] : PiecedName{};
    // Copies could double a name each time; a bounded length keeps every input quick.
    if (name.size() + previous.size() > kMaxPieces) previous.clear();
    switch (arg % 4) {
      case 0:
        for (const NamePiece& piece : previous) name.push_back(SwapLetterCase(piece));
        break;
      case 1:
        name.insert(name.end(), previous.begin(), previous.end());
        break;
      case 2:
        name.push_back({std::string(1, static_cast<char>(Next())), PieceKind::kOpaque});
        break;
      default:
        name.push_back({std::string(cutShort), PieceKind::kOpaque});
        break;
    }
  }

  static constexpr std::size_t kMaxPieces = 64;

  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
};

inline std::string Joined(const PiecedName& name) {
  std::string bytes;
  for (const NamePiece& piece : name) bytes += piece.bytes;
  return bytes;
}

inline CheckReport CheckPieceKey(const NamePiece& piece) {
  const NameSortKey key = MakeNameSortKey(piece.bytes);
  switch (piece.kind) {
    case PieceKind::kCp932:
      if (key.size() != 1 || key[0] >= 0x10000) {
        return Describe("a character with a code page 932 form has key ", Join(key));
      }
      break;
    case PieceKind::kNoForm:
      if (key != NameSortKey{0x10000 + piece.codePoint}) {
        return Describe("U+", std::hex, piece.codePoint, " without a code page 932 form has key ",
                        Join(key));
      }
      break;
    case PieceKind::kInvalid:
      if (key.size() != piece.bytes.size()) return "an invalid byte did not give one key";
      for (std::size_t i = 0; i < key.size(); ++i) {
        if (key[i] != 0x200000u + static_cast<unsigned char>(piece.bytes[i])) {
          return Describe("an invalid byte has key ", key[i]);
        }
      }
      break;
    case PieceKind::kOpaque:
      break;
  }
  return {};
}

// A name's key is its pieces' keys one after another, when each piece stands alone.
inline CheckReport CheckNameKey(const PiecedName& name) {
  NameSortKey expected;
  for (const NamePiece& piece : name) {
    if (piece.kind == PieceKind::kOpaque) return {};
    if (CheckReport report = CheckPieceKey(piece); !report.empty()) return report;
    const NameSortKey key = MakeNameSortKey(piece.bytes);
    expected.insert(expected.end(), key.begin(), key.end());
  }
  if (MakeNameSortKey(Joined(name)) != expected) {
    return "a name's key is not its pieces' keys in turn";
  }
  return {};
}

inline int KeySign(const NameSortKey& a, const NameSortKey& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Every pair: results -1/0/1, antisymmetric, 0 exactly for identical bytes, the sign of the
// keys wherever the keys differ, and equal keys for names equal but for letter case.
inline CheckReport CheckPair(std::string_view a, std::string_view b, int result) {
  if (result < -1 || result > 1) return Describe("CompareCatalogueNames returned ", result);
  if (CompareCatalogueNames(b, a) != -result) return "CompareCatalogueNames is not antisymmetric";
  if ((result == 0) != (a == b)) return "names compare equal exactly when their bytes are not";
  const int byKey = KeySign(MakeNameSortKey(a), MakeNameSortKey(b));
  if (byKey != 0 && byKey != result) return "CompareCatalogueNames disagrees with the keys";
  if (EqualIgnoringCase(a, b) && byKey != 0) {
    return "names equal but for letter case have different keys";
  }
  return {};
}

// Names built from mixed pieces (ASCII in both cases, full-width letters, kana, characters
// with and without a code page 932 form, invalid bytes, copies of the name before): the keys
// follow the pieces, and CompareCatalogueNames is a total order on them, transitive over
// every three.
inline CheckReport CheckCatalogueOrderNames(const std::uint8_t* data, std::size_t size) {
  const std::vector<PiecedName> pieced = NameGenerator(data, size).Names(6);
  std::vector<std::string> names;
  for (const PiecedName& name : pieced) {
    if (CheckReport report = CheckNameKey(name); !report.empty()) return report;
    names.push_back(Joined(name));
  }
  const std::size_t n = names.size();
  std::vector<int> results(n * n);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) {
      results[i * n + j] = CompareCatalogueNames(names[i], names[j]);
      if (CheckReport report = CheckPair(names[i], names[j], results[i * n + j]); !report.empty()) {
        return Describe("names ", i, " and ", j, ": ", report);
      }
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) {
      for (std::size_t k = 0; k < n; ++k) {
        if (results[i * n + j] < 0 && results[j * n + k] < 0 && results[i * n + k] >= 0) {
          return Describe("not transitive on names ", i, ", ", j, ", ", k);
        }
      }
    }
  }
  return {};
}

}  // namespace quintrel::fuzz
