#pragma once

// The statement counter's mode machine, run a block of 64 bytes at a time. Each block is
// classified into masks once; the masks say where each mode (code, a literal, a comment)
// ends, so the machine jumps from stop to stop with bit operations instead of reading
// bytes. The marks it passes in code are credited from masks too, per run of lines
// with the same flag. `Kernel` classifies blocks and counts bits (statement_blocks.h).
// With `kPerLine` the marks are instead added up per line, whatever the flags.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/statement_blocks.h"
#include "engine/statement_counter.h"

namespace quintrel {

// Runs of one byte value taken in pairs from the start of each run, as the counter reads
// backslashes, "::" and "##": the first, third, ... byte of a run leads and takes the byte after
// it along. Runs may go on across blocks.
class RunPairs {
 public:
  struct Block {
    std::uint64_t leaders;
    std::uint64_t taken;  // the byte after each leader
  };

  Block Next(std::uint64_t run) {
    if ((run | m_firstTaken) == 0) return Block{0, 0};  // most blocks: no such byte
    constexpr std::uint64_t kEven = 0x5555555555555555ull;
    const std::uint64_t starts = run & ~(run << 1);
    const std::uint64_t evenStarts = starts & kEven & ~m_firstTaken;
    // Adding a run's start bit clears the whole run, so this keeps the runs that start on
    // an even bit; their leaders are on even bits, the others' on odd bits.
    const std::uint64_t fromEven = run & ~(run + evenStarts);
    const std::uint64_t leaders = (fromEven & kEven) | (run & ~fromEven & ~kEven);
    const std::uint64_t taken = (leaders << 1) | m_firstTaken;
    m_firstTaken = leaders >> 63;
    return Block{leaders, taken};
  }

 private:
  std::uint64_t m_firstTaken = 0;  // 1 when the last block ended on a leader
};

// For each mode, the bytes of a block that end it; and the marks code would credit.
struct BlockStops {
  std::uint64_t byMode[5];  // indexed by ScanMode
  std::uint64_t marks;
  std::uint64_t end;          // kEndMarker that ends the count when read in code
  std::uint64_t doubleQuote;  // opens a literal when read in code
  std::uint64_t singleQuote;
  std::uint64_t lineComment;   // "//" opens a line comment when read in code (at the first '/')
  std::uint64_t blockComment;  // "/*"
  std::uint64_t commentOpen;   // either of them: two bytes are read
  std::uint64_t starSlash;     // "*/" (at the '*'): the block comment ends after the '/'
};

enum ScanMode : unsigned char {
  kInCode,
  kInDoubleQuoted,
  kInSingleQuoted,
  kInLineComment,
  kInBlockComment,
};

template <typename Kernel, bool kPerLine = false>
class StatementScanner {
 public:
  // Credits the marks to the flags of `lines`.
  explicit StatementScanner(const LineTable& lines) requires(!kPerLine)
      : m_lines(lines), m_lineCount(lines.size()), m_perLine(nullptr) {
    StartRun();
  }

  // Adds the marks up in `perLine`, one count for each of `lineCount` lines.
  StatementScanner(std::size_t lineCount, std::int32_t* perLine) requires kPerLine
      : m_lines(NoTable()),
        m_lineCount(lineCount),
        m_perLine(perLine) {}

  // Scans the 64 bytes at `block`, of which one more byte can be read (kEndMarker past
  // the text). False once the count has ended.
  bool Scan(const unsigned char* block) {
    if (m_skip == 0 && QuietBlock(block)) return true;
    const ByteClasses classes = Kernel::Classify(block);
    const BlockStops stops = Stops(classes, block[kMaskBlock]);
    std::uint64_t code = 0;
    const bool goesOn = Walk(stops, code);
    Credit(stops.marks & code, classes.newline);
    return goesOn;
  }

  StatementCounts Counts() const {
    auto clamp = [](std::int64_t n) {
      return static_cast<std::int32_t>(
          std::min<std::int64_t>(n, std::numeric_limits<std::int32_t>::max()));
    };
    return StatementCounts{clamp(m_counts[1]), clamp(m_counts[0])};
  }

 private:
  static constexpr std::size_t kNoRunEnd = std::numeric_limits<std::size_t>::max();
  // How far one look at the line table reads ahead, so that a count the end marker stops
  // early never walks a long table.
  static constexpr std::size_t kRunLookAhead = 4096;

  // Most blocks of code hold none of the bytes that need a look at their neighbours or
  // change the mode, and most blocks of a long comment do not end it: those take a few
  // masks instead of the whole classification. Only from the start of a block.
  bool QuietBlock(const unsigned char* block) {
    if (m_mode == kInCode) {
      // A backslash or ':' '#' ending the last block takes this block's first byte along,
      // which changes nothing unless the byte is loud.
      const QuietCode quiet = Kernel::ClassifyQuietCode(block);
      if (quiet.loud != 0) return false;
      Credit(quiet.marks, quiet.newlines);
    } else {
      if (m_mode != kInBlockComment) return false;
      const QuietComment quiet = Kernel::ClassifyQuietComment(block);
      if (quiet.stops != 0) return false;
      Credit(0, quiet.newlines);
    }
    // No run of pairs goes on into the next block: none is in this one, or it ends inside
    // the comment (which ends on "*/" or kEndMarker), where pairs mean nothing.
    m_backslashes = m_colons = m_hashes = RunPairs{};
    return true;
  }

  BlockStops Stops(const ByteClasses& c, unsigned char following) {
    const auto next = [following](std::uint64_t mask, unsigned char byte) {
      return (mask >> 1) | (std::uint64_t{following == byte} << 63);
    };
    const RunPairs::Block escapes = m_backslashes.Next(c.backslash);
    const RunPairs::Block colons = m_colons.Next(c.colon);
    const RunPairs::Block hashes = m_hashes.Next(c.hash);
    const std::uint64_t nextEnd = next(c.end, kEndMarker);
    const std::uint64_t nextSlash = next(c.slash, '/');
    const std::uint64_t unescaped = ~escapes.taken;

    BlockStops s;
    // A ':' or '#' left over from its pairs counts unless kEndMarker follows, which it takes.
    s.marks = c.mark | (colons.leaders & ~next(c.colon, ':') & ~nextEnd) |
              (hashes.leaders & ~next(c.hash, '#') & ~nextEnd);
    s.end = c.end & ~colons.taken & ~hashes.taken;
    s.doubleQuote = c.doubleQuote & unescaped;
    s.singleQuote = c.singleQuote & unescaped;
    s.lineComment = c.slash & nextSlash & unescaped;
    s.blockComment = c.slash & next(c.star, '*') & unescaped;
    s.commentOpen = s.lineComment | s.blockComment;
    s.starSlash = c.star & nextSlash;
    const std::uint64_t lineEnd = c.newline & unescaped;

    s.byMode[kInCode] = s.doubleQuote | s.singleQuote | s.commentOpen | s.end;
    s.byMode[kInDoubleQuoted] = s.doubleQuote | lineEnd | c.end;
    s.byMode[kInSingleQuoted] = s.singleQuote | lineEnd | c.end;
    s.byMode[kInLineComment] = c.newline | c.end;
    s.byMode[kInBlockComment] = s.starSlash | c.end;
    return s;
  }

  // Follows the modes from stop to stop through the block, adding the bytes read in code
  // to `code`. Code and the other modes alternate, one stop each; the stops that end the
  // opened mode are picked from masks rather than by branches, which the processor could
  // not foresee. False when the count ends in the block.
  bool Walk(const BlockStops& s, std::uint64_t& code) {
    bool inCode = m_mode == kInCode;
    std::uint64_t closers = s.byMode[m_mode];
    std::uint64_t opener = 0;  // the stop in code that opened the current mode
    std::uint64_t live = ~std::uint64_t{0} << m_skip;  // the bytes not read yet
    std::uint64_t twoBytes = 0;  // the last stop taken, if its second byte goes with it
    for (;; inCode = !inCode) {
      if (inCode) {
        const std::uint64_t stops = s.byMode[kInCode] & live;
        const std::uint64_t first = stops & (~stops + 1);
        code |= live & (first - 1);  // up to the first stop, or all when there is none
        if (stops == 0) break;
        if (first & s.end) return false;
        opener = first;
        closers = Closers(s, first);
        twoBytes = first & s.commentOpen;
        live = After(first, twoBytes);
      } else {
        const std::uint64_t stops = closers & live;
        if (stops == 0) break;
        const std::uint64_t first = stops & (~stops + 1);
        twoBytes = first & s.starSlash;  // the '/' of "*/"
        live = After(first, twoBytes);
      }
    }
    m_skip = twoBytes >> 63;  // the second byte is the next block's first
    if (inCode) {
      m_mode = kInCode;
    } else if (opener != 0) {
      m_mode = Opened(s, opener);
    }  // else still in the mode the block started in
    return true;
  }

  // The bytes after the stop `first` (none past the block), and after the byte that
  // follows it too when `twoBytes` holds it.
  static std::uint64_t After(std::uint64_t first, std::uint64_t twoBytes) {
    return (~(first << 1) + 1) ^ (twoBytes << 1);
  }

  // The stops that end the mode opened at the stop `first` in code.
  static std::uint64_t Closers(const BlockStops& s, std::uint64_t first) {
    auto when = [first](std::uint64_t openers, std::uint64_t closers) {
      return closers & (std::uint64_t{0} - ((openers & first) != 0));
    };
    return when(s.doubleQuote, s.byMode[kInDoubleQuoted]) |
           when(s.singleQuote, s.byMode[kInSingleQuoted]) |
           when(s.lineComment, s.byMode[kInLineComment]) |
           when(s.blockComment, s.byMode[kInBlockComment]);
  }

  static ScanMode Opened(const BlockStops& s, std::uint64_t first) {
    if (s.doubleQuote & first) return kInDoubleQuoted;
    if (s.singleQuote & first) return kInSingleQuoted;
    return s.lineComment & first ? kInLineComment : kInBlockComment;
  }

  // Credits `marks` to the flags of their lines; `newlines` moves the line on.
  void Credit(std::uint64_t marks, std::uint64_t newlines) {
    if constexpr (kPerLine) {
      CreditLines(marks, newlines);
      return;
    }
    while (m_line + static_cast<std::size_t>(Kernel::Count(newlines)) >= m_runEnd) {
      for (std::size_t n = m_runEnd - m_line; n > 1; --n) newlines &= newlines - 1;
      const std::uint64_t throughRun = newlines ^ (newlines - 1);  // up to the run's last '\n'
      m_counts[m_flag] += Kernel::Count(marks & throughRun);
      marks &= ~throughRun;
      newlines &= ~throughRun;
      m_line = m_runEnd;
      StartRun();
    }
    m_counts[m_flag] += Kernel::Count(marks);
    m_line += static_cast<std::size_t>(Kernel::Count(newlines));
  }

  // Credits `marks` to their lines one by one (beyond the table: to the unmatched count). A
  // mark's line is told by the line ends before it, so the loop runs once per mark, not per
  // line, and takes no branch on what a line holds.
  void CreditLines(std::uint64_t marks, std::uint64_t newlines) {
    const std::size_t size = m_lineCount;
    for (; marks != 0; marks &= marks - 1) {
      const std::uint64_t before = (marks & (~marks + 1)) - 1;
      const std::size_t line = m_line + static_cast<std::size_t>(Kernel::Count(newlines & before));
      if (line < size)
        ++m_perLine[line];
      else
        ++m_counts[0];
    }
    m_line += static_cast<std::size_t>(Kernel::Count(newlines));
  }

  // Finds the lines from m_line on that share its flag (beyond the table: 0 for good).
  void StartRun() {
    const std::size_t size = m_lines.size();
    if (m_line >= size) {
      m_flag = 0;
      m_runEnd = kNoRunEnd;
      return;
    }
    const bool matched = m_lines[m_line] != 0;
    const std::size_t limit = std::min(size, m_line + kRunLookAhead);
    std::size_t end = m_line + 1;
    // Whole chunks first, in a loop the compiler can turn into vector compares.
    constexpr std::size_t kChunk = 16;
    for (; end + kChunk <= limit; end += kChunk) {
      bool differs = false;
      for (std::size_t i = 0; i < kChunk; ++i) differs |= (m_lines[end + i] != 0) != matched;
      if (differs) break;
    }
    while (end < limit && (m_lines[end] != 0) == matched) ++end;
    m_flag = matched ? 1 : 0;
    m_runEnd = end == size && !matched ? kNoRunEnd : end;
  }

  static const LineTable& NoTable() {
    static const LineTable kEmpty;
    return kEmpty;
  }

  const LineTable& m_lines;  // the flags; none with kPerLine
  const std::size_t m_lineCount;
  std::int32_t* const m_perLine;  // with kPerLine: one count per line
  RunPairs m_backslashes;
  RunPairs m_colons;
  RunPairs m_hashes;
  ScanMode m_mode = kInCode;
  std::size_t m_skip = 0;  // bytes at the start of the next block already read
  std::size_t m_line = 0;
  std::size_t m_runEnd = 0;  // first line after m_line's flag run
  int m_flag = 0;
  std::int64_t m_counts[2] = {0, 0};  // [0] unmatched, [1] matched
};

// Scans a text from byte `from` on (0: the whole text), read as code from a fresh start.
// Every block but the last is read in place, with the byte after it; the last (1 to 64
// bytes) is read from a copy padded with kEndMarker, which ends every mode and the count
// exactly as the end of the text does.
template <typename Scanner>
StatementCounts ScanBlocks(const ByteBuffer& text, Scanner& scanner, std::size_t from = 0) {
  const unsigned char* const bytes = text.data();
  const std::size_t size = text.size();
  std::size_t at = from;
  for (; at + kMaskBlock < size; at += kMaskBlock) {
    if (!scanner.Scan(bytes + at)) return scanner.Counts();
  }
  if (at < size) {
    unsigned char last[2 * kMaskBlock];
    std::memset(last, kEndMarker, sizeof last);
    std::memcpy(last, bytes + at, size - at);
    scanner.Scan(last);
  }
  return scanner.Counts();
}

// Counts a text from byte `from` on under the flags of its line table.
template <typename Kernel>
StatementCounts CountBlocks(const SourceText& text, std::size_t from = 0) {
  StatementScanner<Kernel> scanner(text.lines);
  return ScanBlocks(text.bytes, scanner, from);
}

// Counts a whole text into `perLine`, `lineCount` entries; the marks past them go to the
// unmatched count.
template <typename Kernel>
StatementCounts CountBlocksPerLine(const ByteBuffer& bytes, std::size_t lineCount,
                                   std::int32_t* perLine) {
  StatementScanner<Kernel, true> scanner(lineCount, perLine);
  return ScanBlocks(bytes, scanner);
}

}  // namespace quintrel
