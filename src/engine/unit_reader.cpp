#include "engine/unit_reader.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quintrel {

namespace {

// What a byte read in code does; kPlain bytes gather into runs that are cut into tokens.
enum ByteClass : unsigned char {
  kPlain,
  kBlank,
  kNewline,
  kMark,        // ';' '{'
  kCloseBrace,  // ends a unit without being a mark
  kPaired,      // ':' '#': a second one, or kEndMarker, is taken along
  kQuote,
  kSlash,
  kBackslash,
  kEndByte,
};

constexpr std::array<unsigned char, 256> kClassOf = [] {
  std::array<unsigned char, 256> table{};
  for (unsigned char blank : {' ', '\t', '\r', '\v', '\f'}) table[blank] = kBlank;
  table['\n'] = kNewline;
  table[';'] = kMark;
  table['{'] = kMark;
  table['}'] = kCloseBrace;
  table[':'] = kPaired;
  table['#'] = kPaired;
  table['"'] = kQuote;
  table['\''] = kQuote;
  table['/'] = kSlash;
  table['\\'] = kBackslash;
  table[kEndMarker] = kEndByte;
  return table;
}();

}  // namespace

UnitReader::UnitReader(const SourceText& text, UnitList& list, UnitHash hash)
    : m_bytes(text.bytes.data()),
      m_size(text.bytes.size()),
      m_list(list),
      m_hash(hash),
      // Comments are skipped by searching for their end, where no 0xFF can end them first.
      m_hasEndMarker(m_size != 0 && std::memchr(m_bytes, kEndMarker, m_size) != nullptr) {}

std::size_t UnitReader::ReadToFreshLine(std::size_t from, std::size_t until) {
  while (!m_ended && m_pos <= until) {
    if (m_pos >= from && AtFreshLine()) return m_pos;
    m_ended = m_pos == m_size || !Step();
  }
  return kNoFreshLine;
}

void UnitReader::RestartAt(std::size_t at, const ListMark& mark) {
  m_list.units.resize(mark.units);
  m_list.bytes.resize(mark.bytes);
  m_list.marks = mark.marks;
  m_pos = at;
  m_lineStart = at;
  m_ended = false;
  m_code.Clear();
  m_directive.Clear();
  m_inDirective = false;
  m_atLineStart = true;
  m_touching = false;
  m_run.clear();
}

void UnitReader::Finish() {
  while (!m_ended) m_ended = m_pos == m_size || !Step();
  FlushRun();
  if (m_inDirective) FinishUnit(m_directive);
  FinishUnit(m_code);
}

// Reads from the byte at m_pos in code. False once the count has ended.
bool UnitReader::Step() {
  const unsigned char byte = m_bytes[m_pos];
  switch (kClassOf[byte]) {
    case kPlain:
      ReadPlain();
      return true;
    case kBlank:
      Layout();
      while (++m_pos < m_size && kClassOf[m_bytes[m_pos]] == kBlank) {
      }
      return true;
    case kNewline:
      Layout();
      ++m_pos;
      LineEnd();
      return true;
    case kMark:
    case kCloseBrace:
      ++m_pos;
      AddToken(TokenKind::kOther, Piece(m_pos - 1, 1), byte == '}' ? 0 : 1);
      if (!m_inDirective) FinishUnit(m_code);
      return true;
    case kPaired:
      return ReadPaired(byte);
    case kQuote:
      return ReadLiteral(byte);
    case kSlash:
      return ReadSlash();
    case kBackslash:
      return ReadBackslash();
    default:
      return false;  // kEndMarker ends the count
  }
}

// Most runs are cut into tokens where they stand; only a run that a splice continues is
// gathered first.
void UnitReader::ReadPlain() {
  const std::size_t start = m_pos;
  while (++m_pos < m_size && kClassOf[m_bytes[m_pos]] == kPlain) {
  }
  m_atLineStart = false;
  const bool spliced = m_pos + 1 < m_size && m_bytes[m_pos] == '\\' && m_bytes[m_pos + 1] == '\n';
  if (m_run.empty() && !spliced) {
    Current().AddRun(Piece(start, m_pos - start));
    m_touching = true;
    return;
  }
  m_run.append(Piece(start, m_pos - start));
}

void UnitReader::FlushRun() {
  if (m_run.empty()) return;
  Current().AddRun(m_run);
  m_run.clear();
  m_touching = true;
}

void UnitReader::Layout() {
  FlushRun();
  m_touching = false;
}

void UnitReader::AddToken(TokenKind kind, std::string_view bytes, std::int64_t marks) {
  FlushRun();
  Current().Add(kind, bytes, m_touching, marks);
  m_touching = true;
  m_atLineStart = false;
}

// A line end that is not removed as a splice ends a directive.
void UnitReader::LineEnd() {
  if (m_inDirective) {
    FinishUnit(m_directive);
    m_inDirective = false;
  }
  m_atLineStart = true;
  m_lineStart = m_pos;
}

// ':' or '#': "::" and "##" are tokens without a mark, and so is either byte with the
// kEndMarker it takes along; a lone one is a mark, except as the text's last byte.
bool UnitReader::ReadPaired(unsigned char byte) {
  if (byte == '#' && m_atLineStart && !m_inDirective) {
    FlushRun();
    m_inDirective = true;
  }
  ++m_pos;
  if (m_pos == m_size) {
    const char cut[2] = {static_cast<char>(byte), '\0'};  // no other token holds a NUL here
    AddToken(TokenKind::kOther, std::string_view(cut, 2), 0);
    return false;
  }
  const unsigned char next = m_bytes[m_pos];
  if (next == byte || next == kEndMarker) {
    ++m_pos;
    AddToken(TokenKind::kOther, Piece(m_pos - 2, 2), 0);
    return true;
  }
  AddToken(TokenKind::kOther, Piece(m_pos - 1, 1), 1);
  if (byte == ':' && !m_inDirective) FinishUnit(m_code);
  return true;
}

// A literal runs to its closing quote or kEndMarker (both kept), or up to a line end or
// the end of the text; a backslash takes the next byte along, and a backslash-newline
// is removed.
bool UnitReader::ReadLiteral(unsigned char quote) {
  m_literal.assign(1, static_cast<char>(quote));
  ++m_pos;
  bool closed = false;
  bool lineEnd = false;
  bool goesOn = true;
  for (;;) {
    if (m_pos == m_size) {
      goesOn = false;
      break;
    }
    const unsigned char byte = m_bytes[m_pos++];
    if (byte == quote || byte == kEndMarker) {
      m_literal.push_back(static_cast<char>(byte));
      closed = byte == quote;
      break;
    }
    if (byte == '\n') {
      lineEnd = true;
      break;
    }
    if (byte != '\\') {
      m_literal.push_back(static_cast<char>(byte));
      continue;
    }
    if (m_pos == m_size) {
      m_literal.push_back('\\');
      goesOn = false;
      break;
    }
    const unsigned char escaped = m_bytes[m_pos++];
    if (escaped == '\n') continue;
    m_literal.push_back('\\');
    m_literal.push_back(static_cast<char>(escaped));
    if (escaped == kEndMarker) break;
  }
  AddToken(closed && quote == '"' ? TokenKind::kString : TokenKind::kLiteral, m_literal, 0);
  if (lineEnd) {
    Layout();
    LineEnd();
  }
  return goesOn;
}

bool UnitReader::ReadSlash() {
  ++m_pos;
  const int next = m_pos < m_size ? m_bytes[m_pos] : kEndMarker;
  if (next == '/' || next == '*') {
    ++m_pos;
    Layout();
    return next == '/' ? SkipLineComment() : SkipBlockComment();
  }
  m_run.push_back('/');
  m_atLineStart = false;
  return next != kEndMarker;
}

bool UnitReader::SkipLineComment() {
  if (!m_hasEndMarker) {
    const void* end = std::memchr(m_bytes + m_pos, '\n', m_size - m_pos);
    if (end == nullptr) return false;
    m_pos = static_cast<std::size_t>(static_cast<const unsigned char*>(end) - m_bytes) + 1;
    LineEnd();
    return true;
  }
  while (m_pos < m_size) {
    const unsigned char byte = m_bytes[m_pos++];
    if (byte == kEndMarker) return true;
    if (byte == '\n') {
      LineEnd();
      return true;
    }
  }
  return false;
}

// A line end inside a block comment is layout within the logical line, as for the
// compiler, which reads the whole comment as one space.
bool UnitReader::SkipBlockComment() {
  while (!m_hasEndMarker) {
    const void* star = std::memchr(m_bytes + m_pos, '*', m_size - m_pos);
    if (star == nullptr) return false;
    m_pos = static_cast<std::size_t>(static_cast<const unsigned char*>(star) - m_bytes) + 1;
    if (m_pos == m_size) return false;
    if (m_bytes[m_pos] == '/') {
      ++m_pos;
      return true;
    }
  }
  while (m_pos < m_size) {
    const unsigned char byte = m_bytes[m_pos++];
    if (byte == kEndMarker) return true;
    if (byte != '*') continue;
    if (m_pos == m_size) return false;
    if (m_bytes[m_pos] == '/' || m_bytes[m_pos] == kEndMarker) {
      ++m_pos;
      return true;
    }
  }
  return false;
}

// A backslash before a quote, slash or backslash takes it along as a token that opens
// nothing; before a line end it is a splice, removed; before anything else it is a token
// of its own and the next byte is read as code.
bool UnitReader::ReadBackslash() {
  ++m_pos;
  const int next = m_pos < m_size ? m_bytes[m_pos] : kEndMarker;
  if (next == '\n') {
    ++m_pos;
    return true;
  }
  if (next == '"' || next == '\'' || next == '/' || next == '\\') {
    ++m_pos;
    AddToken(TokenKind::kOther, Piece(m_pos - 2, 2), 0);
    return true;
  }
  AddToken(TokenKind::kOther, "\\", 0);
  return next != kEndMarker;
}

void UnitReader::CountOnly(bool on) {
  m_countOnly = on;
  m_code.CountOnly(on);
  m_directive.CountOnly(on);
}

void UnitReader::FinishUnit(UnitBuilder& unit) {
  const std::int64_t marks = unit.Marks();
  if (m_countOnly) {
    m_list.marks += marks;
  } else if (marks > 0) {
    const std::string_view bytes = unit.Bytes();
    const std::uint64_t hash =
        m_hash != nullptr
            ? m_hash(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())
            : XXH3_64bits(bytes.data(), bytes.size());
    const std::size_t offset = m_list.bytes.size();
    m_list.units.push_back(StatementUnit{hash, offset, bytes.size(), marks});
    m_list.bytes.resize(offset + bytes.size());
    std::memcpy(m_list.bytes.data() + offset, bytes.data(), bytes.size());
    m_list.marks += marks;
  }
  unit.Clear();
}

}  // namespace quintrel
