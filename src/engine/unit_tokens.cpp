#include "engine/unit_tokens.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace quintrel {

namespace {

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

bool IsOctalDigit(unsigned char c) {
  return c >= '0' && c <= '7';
}

bool IsHexDigit(unsigned char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Bytes from 0x80 on belong to words: they are the bytes of multibyte characters.
constexpr std::array<bool, 256> kWordByte = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[c] = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '_' || c == '$' || c >= 0x80;
  }
  return table;
}();

bool IsWordByte(unsigned char c) {
  return kWordByte[c];
}

// A preprocessing number: a digit or '.' digit, then word bytes, dots, and a sign right
// after an exponent letter.
std::size_t NumberLength(const char* at, const char* end) {
  const char* last = at + 1;
  while (last < end) {
    const auto c = static_cast<unsigned char>(*last);
    if (!IsWordByte(c) && c != '.') {
      const auto before = static_cast<unsigned char>(last[-1]);
      const bool sign = (c == '+' || c == '-') &&
                        (before == 'e' || before == 'E' || before == 'p' || before == 'P');
      if (!sign) break;
    }
    ++last;
  }
  return static_cast<std::size_t>(last - at);
}

// Longest match among the punctuators that hold none of the bytes the statement counter
// acts on (those are tokens of their own: ; { } : # and the pairs it reads).
std::size_t PunctuatorLength(const char* at, const char* end) {
  auto byte = [&](std::ptrdiff_t i) -> unsigned char {
    return i < end - at ? static_cast<unsigned char>(at[i]) : 0;
  };
  const unsigned char b = byte(1);
  const unsigned char c = byte(2);
  switch (static_cast<unsigned char>(*at)) {
    case '-':
      if (b == '>') return c == '*' ? 3 : 2;
      return b == '-' || b == '=' ? 2 : 1;
    case '+':
      return b == '+' || b == '=' ? 2 : 1;
    case '<':
      if (b == '<') return c == '=' ? 3 : 2;
      if (b == '=') return c == '>' ? 3 : 2;
      return b == '%' ? 2 : 1;
    case '%':
      return b == '=' || b == '>' ? 2 : 1;
    case '&':
      return b == '&' || b == '=' ? 2 : 1;
    case '|':
      return b == '|' || b == '=' ? 2 : 1;
    case '.':
      if (b == '.' && c == '.') return 3;
      return b == '*' ? 2 : 1;
    case '>':
    case '=':
    case '!':
    case '*':
    case '/':
    case '^':
      return b == '=' ? 2 : 1;
    default:
      return 1;
  }
}

// A word other than these before a literal is a name of its own, as in "%" PRIx64 written
// without blanks, so a formatter may set it apart.
bool IsEncodingPrefix(std::string_view word) {
  static constexpr std::string_view kPrefixes[] = {"L",  "u",  "U",  "u8", "R",
                                                   "LR", "uR", "UR", "u8R"};
  return std::find(std::begin(kPrefixes), std::end(kPrefixes), word) != std::end(kPrefixes);
}

std::string_view ContentOf(std::string_view string) {
  return string.substr(1, string.size() - 2);
}

// Cuts the token at `at`, a number, a word or a punctuator, and its kind, and writes it to `out` as
// it reads: tokens are short, and a byte loop beats a call to copy them.
TokenKind CutToken(const char*& at, const char* end, char*& out) {
  const auto c = static_cast<unsigned char>(*at);
  TokenKind kind = TokenKind::kWord;
  if (IsDigit(c) || (c == '.' && end - at > 1 && IsDigit(static_cast<unsigned char>(at[1])))) {
    const std::size_t length = NumberLength(at, end);
    for (std::size_t i = 0; i < length; ++i) *out++ = *at++;
  } else if (IsWordByte(c)) {
    *out++ = *at++;
    while (at < end && IsWordByte(static_cast<unsigned char>(*at))) *out++ = *at++;
  } else {
    kind = TokenKind::kOther;
    const std::size_t length = PunctuatorLength(at, end);
    *out++ = *at++;
    if (length > 1) *out++ = *at++;
    if (length > 2) *out++ = *at++;
  }
  *out++ = '\n';
  return kind;
}

}  // namespace

void UnitBuilder::Clear() {
  m_bytes.clear();
  m_last = Record{};
  m_beforeLast = Record{};
  m_count = 0;
  m_marks = 0;
}

void UnitBuilder::Add(TokenKind kind, std::string_view bytes, bool touching, std::int64_t marks) {
  m_marks += marks;
  if (m_countOnly) {
    ++m_count;
    return;
  }
  const bool literal = kind == TokenKind::kString || kind == TokenKind::kLiteral;
  if (literal && touching && m_count > 0 && m_last.kind == TokenKind::kWord &&
      IsEncodingPrefix(
          std::string_view(m_bytes).substr(m_last.start, m_bytes.size() - 1 - m_last.start))) {
    GluePrefix(kind, bytes);
    return;
  }
  if (kind == TokenKind::kString && m_count > 0 && m_last.kind == TokenKind::kString &&
      m_last.prefixSize == 0) {
    JoinString(m_last, ContentOf(bytes));
    return;
  }
  Append(kind, bytes);
}

void UnitBuilder::Append(TokenKind kind, std::string_view bytes) {
  m_beforeLast = m_last;
  m_last = Record{};
  m_last.start = m_bytes.size();
  m_last.kind = kind;
  Put(bytes);
  m_bytes.push_back('\n');
  if (kind == TokenKind::kString) ScanEscapes(ContentOf(bytes), m_last);
  ++m_count;
}

// The last token is an encoding prefix that the literal touches: it becomes part of it. A
// string whose prefix equals that of the string before it (with only layout between)
// joins it instead.
void UnitBuilder::GluePrefix(TokenKind kind, std::string_view literal) {
  const std::size_t wordSize = m_bytes.size() - 1 - m_last.start;
  const char* word = m_bytes.data() + m_last.start;
  if (kind == TokenKind::kString && m_count >= 2 && m_beforeLast.kind == TokenKind::kString &&
      m_beforeLast.prefixSize == wordSize &&
      std::memcmp(m_bytes.data() + m_beforeLast.start, word, wordSize) == 0) {
    m_bytes.resize(m_last.start);
    m_last = m_beforeLast;
    m_beforeLast = Record{};
    --m_count;
    JoinString(m_last, ContentOf(literal));
    return;
  }
  DropSeparator();
  Put(literal);
  m_bytes.push_back('\n');
  m_last.kind = kind;
  if (kind == TokenKind::kString) {
    m_last.prefixSize = wordSize;
    ScanEscapes(ContentOf(literal), m_last);
  }
}

// `string` is the last token. Its content and `content` become one; where an escape at its
// end would take the first byte of `content` along, the two stay apart as `""`, which no
// single string holds.
void UnitBuilder::JoinString(Record& string, std::string_view content) {
  m_bytes.resize(m_bytes.size() - 2);  // the closing quote and the separator
  if (!content.empty()) {
    const auto first = static_cast<unsigned char>(content.front());
    const bool extends = (string.escape == OpenEscape::kHex && IsHexDigit(first)) ||
                         (string.escape == OpenEscape::kOctal && IsOctalDigit(first));
    if (extends) Put("\"\"");
    Put(content);
    ScanEscapes(content, string);
  }
  Put("\"\n");
}

void UnitBuilder::ScanEscapes(std::string_view content, Record& record) {
  record.escape = OpenEscape::kNone;
  const std::size_t size = content.size();
  for (std::size_t at = 0; at < size;) {
    if (content[at] != '\\' || at + 1 == size) {
      ++at;
      continue;
    }
    const auto kind = static_cast<unsigned char>(content[at + 1]);
    std::size_t limit = 0;  // digits the escape may take
    bool hex = true;
    std::size_t first = at + 2;
    if (kind == 'x') {
      limit = std::numeric_limits<std::size_t>::max();
    } else if (kind == 'u' || kind == 'U') {
      limit = kind == 'u' ? 4 : 8;
    } else if (IsOctalDigit(kind)) {
      limit = 3;
      hex = false;
      first = at + 1;
    } else {
      at += 2;
      continue;
    }
    std::size_t end = first;
    while (end < size && end - first < limit &&
           (hex ? IsHexDigit(static_cast<unsigned char>(content[end]))
                : IsOctalDigit(static_cast<unsigned char>(content[end])))) {
      ++end;
    }
    if (end == size && end - first < limit) {
      record.escape = hex ? OpenEscape::kHex : OpenEscape::kOctal;
    }
    at = std::max(end, at + 2);
  }
}

// No token of a run is a literal, so none glues to or joins the token before it: the run's
// tokens go straight into the bytes (room for the worst case, a one-byte token per byte, is
// made once), and only the last two are remembered, as the tokens a literal may glue to or
// join.
void UnitBuilder::AddRun(std::string_view run) {
  if (m_countOnly) {
    m_count += run.empty() ? 0 : 1;
    return;
  }
  const char* at = run.data();
  const char* const end = at + run.size();
  const std::size_t base = m_bytes.size();
  m_bytes.resize(base + 2 * run.size());
  char* const outStart = m_bytes.data();
  char* out = outStart + base;
  char* lastStart = out;
  char* beforeLastStart = out;
  TokenKind lastKind = TokenKind::kOther;
  TokenKind beforeLastKind = TokenKind::kOther;
  std::size_t count = 0;
  while (at < end) {
    beforeLastStart = lastStart;
    beforeLastKind = lastKind;
    lastStart = out;
    lastKind = CutToken(at, end, out);
    ++count;
  }
  m_bytes.resize(static_cast<std::size_t>(out - outStart));
  if (count == 0) return;
  if (count > 1) {
    m_beforeLast = Record{};
    m_beforeLast.start = static_cast<std::size_t>(beforeLastStart - outStart);
    m_beforeLast.kind = beforeLastKind;
  } else {
    m_beforeLast = m_last;
  }
  m_last = Record{};
  m_last.start = static_cast<std::size_t>(lastStart - outStart);
  m_last.kind = lastKind;
  m_count += count;
}

}  // namespace quintrel
