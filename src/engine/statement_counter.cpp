#include "engine/statement_counter.h"

#include <algorithm>
#include <array>
#include <limits>

#include "engine/byte_mask.h"

namespace quintrel {

namespace {

// Byte classes, so that each mode can skip the bytes it ignores in a tight loop.
enum ByteClass : unsigned char {
  kActsInCode = 1,          // ; { # : " ' / \ newline 0xFF
  kActsInLiteral = 2,       // " ' \ newline 0xFF (which quote closes is checked apart)
  kActsInLineComment = 4,   // newline 0xFF
  kActsInBlockComment = 8,  // * newline 0xFF
};

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> classes{};
  for (unsigned char c : {';', '{', '#', ':', '"', '\'', '/', '\\'}) classes[c] |= kActsInCode;
  for (unsigned char c : {'"', '\'', '\\'}) classes[c] |= kActsInLiteral;
  classes['*'] |= kActsInBlockComment;
  for (unsigned char c : {static_cast<unsigned char>('\n'), kEndMarker}) {
    classes[c] |= kActsInCode | kActsInLiteral | kActsInLineComment | kActsInBlockComment;
  }
  return classes;
}

constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

enum class Mode { kCode, kLiteral, kLineComment, kBlockComment, kFinished };

// One pass over the bytes. Reading a byte advances `m_at`; putting it back steps `m_at`
// back by one, so it is acted on when read again.
class Scanner {
 public:
  explicit Scanner(const SourceText& text)
      : m_begin(text.bytes.data()),
        m_at(m_begin),
        m_end(m_begin + text.bytes.size()),
        m_lines(text.lines) {
    UpdateLineFlag();
  }

  void Run() {
    Mode mode = Mode::kCode;
    while (mode != Mode::kFinished) {
      switch (mode) {
        case Mode::kCode:
          mode = Code();
          break;
        case Mode::kLiteral:
          mode = Literal();
          break;
        case Mode::kLineComment:
          mode = LineComment();
          break;
        case Mode::kBlockComment:
          mode = BlockComment();
          break;
        case Mode::kFinished:
          break;
      }
    }
  }

  StatementCounts Counts() const {
    auto clamp = [](std::int64_t n) {
      return static_cast<std::int32_t>(
          std::min<std::int64_t>(n, std::numeric_limits<std::int32_t>::max()));
    };
    return StatementCounts{clamp(m_counts[1]), clamp(m_counts[0])};
  }

 private:
  // Skips the bytes of the current mode that do nothing; false at the end of the text.
  bool SkipTo(unsigned char classBit) {
    while (m_at < m_end && !(kClasses[*m_at] & classBit)) ++m_at;
    return m_at < m_end;
  }

  bool AtEnd() const { return m_at == m_end; }

  void NewLine() {
    ++m_line;
    UpdateLineFlag();
  }

  void UpdateLineFlag() { m_lineMatched = m_line < m_lines.size() && m_lines[m_line] != 0; }

  void Credit(std::int64_t count = 1) { m_counts[m_lineMatched ? 1 : 0] += count; }

  // In code, most bytes that matter are ';', '{' and newlines, which need no look at their
  // neighbours. Skim credits those a block at a time from masks, and stops on any other byte
  // that code acts on, or where less than a block is left (read byte by byte from there).
  void Skim() {
    for (;;) {
      const auto offset = static_cast<std::size_t>(m_at - m_begin) % kMaskBlock;
      const unsigned char* block = m_at - offset;
      if (static_cast<std::size_t>(m_end - block) < kMaskBlock) return;
      if (block != m_block.start) LoadBlock(block);
      const std::uint64_t live = ~std::uint64_t{0} << offset;
      const std::uint64_t special = m_block.special & live;
      const std::size_t stop = special != 0 ? LowestBit(special) : kMaskBlock;
      const std::uint64_t before =
          stop < kMaskBlock ? (std::uint64_t{1} << stop) - 1 : ~std::uint64_t{0};
      CreditRun(m_block.marks & live & before, m_block.newlines & live & before);
      m_at = block + stop;
      if (stop < kMaskBlock) return;
    }
  }

  // Moves to the next byte equal to one of `stops`, a block at a time while a whole block
  // is left; SkipTo reads the rest.
  template <typename... Stops>
  void SkimTo(Stops... stops) {
    while (static_cast<std::size_t>(m_end - m_at) >= kMaskBlock) {
      if (const std::uint64_t hits = ByteBlock(m_at).EqualAny(stops...); hits != 0) {
        m_at += LowestBit(hits);
        return;
      }
      m_at += kMaskBlock;
    }
  }

  void LoadBlock(const unsigned char* block) {
    const ByteBlock bytes(block);
    m_block.start = block;
    m_block.marks = bytes.EqualAny(';', '{');
    m_block.newlines = bytes.EqualAny('\n');
    m_block.special = bytes.EqualAny('#', ':', '"', '\'', '/', '\\', kEndMarker);
  }

  // Credits the marks of a run of code line by line.
  void CreditRun(std::uint64_t marks, std::uint64_t newlines) {
    while (newlines != 0) {
      const std::uint64_t throughLine = newlines ^ (newlines - 1);  // up to the first newline
      Credit(CountBits(marks & throughLine));
      marks &= ~throughLine;
      newlines &= newlines - 1;
      NewLine();
    }
    Credit(CountBits(marks));
  }

  // After '#' or ':': a doubled mark or 0xFF counts nothing, anything else credits one
  // mark and is read again.
  Mode Mark(unsigned char mark) {
    if (AtEnd()) return Mode::kFinished;
    unsigned char next = *m_at;
    if (next == mark || next == kEndMarker) {
      ++m_at;
    } else {
      Credit();
    }
    return Mode::kCode;
  }

  Mode Code() {
    for (;;) {
      Skim();
      if (!SkipTo(kActsInCode)) return Mode::kFinished;
      unsigned char byte = *m_at++;
      switch (byte) {
        case kEndMarker:
          return Mode::kFinished;
        case '\n':
          NewLine();
          break;
        case ';':
        case '{':
          Credit();
          break;
        case '#':
        case ':':
          if (Mark(byte) == Mode::kFinished) return Mode::kFinished;
          break;
        case '"':
        case '\'':
          m_quote = byte;
          return Mode::kLiteral;
        case '/':
          return Slash();
        case '\\':
          if (!Backslash()) return Mode::kFinished;
          break;
      }
    }
  }

  Mode Slash() {
    if (AtEnd() || *m_at == kEndMarker) return Mode::kFinished;
    unsigned char next = *m_at;
    if (next == '/' || next == '*') {
      ++m_at;
      return next == '/' ? Mode::kLineComment : Mode::kBlockComment;
    }
    return Mode::kCode;  // the byte is read again in code mode
  }

  // In code: the byte after a backslash may still count as a mark or a newline, but
  // opens no literal or comment and escapes nothing further. False when the count ends.
  bool Backslash() {
    if (AtEnd() || *m_at == kEndMarker) return false;
    unsigned char next = *m_at;
    bool inert = next == '"' || next == '\'' || next == '/' || next == '\\';
    if (inert) ++m_at;  // otherwise it is read again, with the same effect as handling it here
    return true;
  }

  Mode Literal() {
    for (;;) {
      SkimTo('"', '\'', '\\', '\n', kEndMarker);
      if (!SkipTo(kActsInLiteral)) return Mode::kFinished;
      unsigned char byte = *m_at++;
      if (byte == m_quote || byte == kEndMarker) return Mode::kCode;
      if (byte == '\n') {
        NewLine();
        return Mode::kCode;  // a newline ends a literal left open
      }
      if (byte != '\\') continue;  // the other quote
      if (AtEnd()) return Mode::kFinished;
      unsigned char escaped = *m_at++;
      if (escaped == kEndMarker) return Mode::kCode;
      if (escaped == '\n') NewLine();
    }
  }

  Mode LineComment() {
    SkimTo('\n', kEndMarker);
    if (!SkipTo(kActsInLineComment)) return Mode::kFinished;
    if (*m_at++ == '\n') NewLine();
    return Mode::kCode;
  }

  Mode BlockComment() {
    for (;;) {
      SkimTo('*', '\n', kEndMarker);
      if (!SkipTo(kActsInBlockComment)) return Mode::kFinished;
      unsigned char byte = *m_at++;
      if (byte == kEndMarker) return Mode::kCode;
      if (byte == '\n') {
        NewLine();
        continue;
      }
      // '*': a following '/' or 0xFF closes; anything else is read again, so "**/" closes.
      if (AtEnd()) return Mode::kFinished;
      if (*m_at == '/' || *m_at == kEndMarker) {
        ++m_at;
        return Mode::kCode;
      }
    }
  }

  // Masks of the block Skim last looked at.
  struct Block {
    const unsigned char* start = nullptr;
    std::uint64_t marks = 0;     // ';' '{'
    std::uint64_t newlines = 0;  // '\n'
    std::uint64_t special = 0;   // the other bytes code acts on
  };

  const unsigned char* const m_begin;
  const unsigned char* m_at;
  const unsigned char* const m_end;
  Block m_block;
  const LineTable& m_lines;
  std::size_t m_line = 0;
  bool m_lineMatched = false;
  unsigned char m_quote = 0;
  std::int64_t m_counts[2] = {0, 0};  // [0] unmatched, [1] matched
};

}  // namespace

StatementCounts CountStatements(const SourceText& text) {
  Scanner scanner(text);
  scanner.Run();
  return scanner.Counts();
}

}  // namespace quintrel
