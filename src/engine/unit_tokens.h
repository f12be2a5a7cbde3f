#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quintrel {

// What a token is for gluing and joining. A literal glues to an encoding prefix (L, u, U,
// u8, and those with R) that touches it; a string is a double-quoted literal closed by its
// quote, which joins the next string of the same prefix.
enum class TokenKind : unsigned char { kWord, kString, kLiteral, kOther };

// Where an escape sequence at the end of a string's content could still go on: a
// following byte that would extend it must not be joined to it (`"\x1" "2"` is not
// `"\x12"`).
enum class OpenEscape : unsigned char { kNone, kHex, kOctal };

// The tokens of one unit being read, serialized as its identity: each token's bytes and
// a '\n', which no token holds. Literals are kept byte for byte; adjacent strings are
// joined into one.
class UnitBuilder {
 public:
  // `touching`: no layout between this token and the one before.
  void Add(TokenKind kind, std::string_view bytes, bool touching, std::int64_t marks);
  // A run of code bytes (no layout, literal, comment or byte the statement counter acts on)
  // cut into words, numbers and punctuators by the C and C++ rules, longest match first.
  // A '>' never takes a second '>': "> >" closing two template lists is the same code as
  // ">>". Whether the run touches the token before it changes nothing: only a literal glues.
  void AddRun(std::string_view run);

  // While on, tokens are only counted, with their marks: for reading whose units are not
  // wanted, only where they end and what they hold. Bytes() is then empty.
  void CountOnly(bool on) { m_countOnly = on; }

  std::string_view Bytes() const { return m_bytes; }
  std::int64_t Marks() const { return m_marks; }
  bool Empty() const { return m_count == 0; }
  void Clear();

 private:
  struct Record {
    std::size_t start = 0;
    TokenKind kind = TokenKind::kOther;
    std::size_t prefixSize = 0;  // strings: the encoding prefix before the quote
    OpenEscape escape = OpenEscape::kNone;
  };

  void Append(TokenKind kind, std::string_view bytes);
  void GluePrefix(TokenKind kind, std::string_view literal);
  void JoinString(Record& string, std::string_view content);
  void DropSeparator() { m_bytes.pop_back(); }
  void Put(std::string_view bytes) { m_bytes.append(bytes); }
  static void ScanEscapes(std::string_view content, Record& record);

  std::string m_bytes;
  Record m_last;
  Record m_beforeLast;
  std::size_t m_count = 0;
  std::int64_t m_marks = 0;
  bool m_countOnly = false;
};

}  // namespace quintrel
