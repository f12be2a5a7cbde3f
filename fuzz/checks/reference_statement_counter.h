#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/large_block.h"

namespace quintrel::fuzz {

// The statement marks of each line, found by following the mode tables byte by byte: read a
// byte, put it back by stepping back one, no skipping ahead. Slow and plain on purpose, as
// the yardstick for the counter that skips whole runs of bytes.
class ReferenceStatementCounter {
 public:
  explicit ReferenceStatementCounter(const ByteBuffer& bytes) : m_bytes(bytes) {}

  // Marks per line index; lines after the last mark are left out.
  std::vector<std::int64_t> MarksPerLine() {
    Mode mode = Mode::kCode;
    while (mode != Mode::kFinished) mode = Step(mode);
    return m_marks;
  }

 private:
  static constexpr int kEnd = -1;
  static constexpr int kEndMarker = 0xFF;

  enum class Mode { kCode, kLiteral, kLineComment, kBlockComment, kFinished };

  int Read() { return m_pos < m_bytes.size() ? m_bytes[m_pos++] : kEnd; }
  void PutBack() { --m_pos; }
  void NewLine() { ++m_line; }
  void Credit() {
    if (m_marks.size() <= m_line) m_marks.resize(m_line + 1, 0);
    ++m_marks[m_line];
  }

  Mode Step(Mode mode) {
    switch (mode) {
      case Mode::kCode:
        return Code();
      case Mode::kLiteral:
        return Literal();
      case Mode::kLineComment:
        return LineComment();
      case Mode::kBlockComment:
        return BlockComment();
      case Mode::kFinished:
        break;
    }
    return Mode::kFinished;
  }

  // The rows of the code table that a byte after a backslash still obeys.
  Mode MarkOrNewline(int byte) {
    if (byte == '\n') {
      NewLine();
    } else if (byte == ';' || byte == '{') {
      Credit();
    } else if (byte == '#' || byte == ':') {
      const int next = Read();
      if (next == kEnd) return Mode::kFinished;
      if (next != kEndMarker && next != byte) {
        Credit();
        PutBack();
      }
    }
    return Mode::kCode;
  }

  Mode Code() {
    const int byte = Read();
    if (byte == kEnd || byte == kEndMarker) return Mode::kFinished;
    if (byte == '"' || byte == '\'') {
      m_quote = byte;
      return Mode::kLiteral;
    }
    if (byte == '/') {
      const int next = Read();
      if (next == kEnd || next == kEndMarker) return Mode::kFinished;
      if (next == '/') return Mode::kLineComment;
      if (next == '*') return Mode::kBlockComment;
      PutBack();
      return Mode::kCode;
    }
    if (byte == '\\') {
      const int next = Read();
      if (next == kEnd || next == kEndMarker) return Mode::kFinished;
      return MarkOrNewline(next);
    }
    return MarkOrNewline(byte);
  }

  Mode Literal() {
    const int byte = Read();
    if (byte == kEnd) return Mode::kFinished;
    if (byte == m_quote || byte == kEndMarker) return Mode::kCode;
    if (byte == '\n') {
      NewLine();
      return Mode::kCode;
    }
    if (byte == '\\') {
      const int next = Read();
      if (next == kEnd) return Mode::kFinished;
      if (next == kEndMarker) return Mode::kCode;
      if (next == '\n') NewLine();
    }
    return Mode::kLiteral;
  }

  Mode LineComment() {
    const int byte = Read();
    if (byte == kEnd) return Mode::kFinished;
    if (byte == kEndMarker) return Mode::kCode;
    if (byte == '\n') {
      NewLine();
      return Mode::kCode;
    }
    return Mode::kLineComment;
  }

  Mode BlockComment() {
    const int byte = Read();
    if (byte == kEnd) return Mode::kFinished;
    if (byte == kEndMarker) return Mode::kCode;
    if (byte == '\n') NewLine();
    if (byte == '*') {
      const int next = Read();
      if (next == kEnd) return Mode::kFinished;
      if (next == '/' || next == kEndMarker) return Mode::kCode;
      PutBack();
    }
    return Mode::kBlockComment;
  }

  const ByteBuffer& m_bytes;
  std::size_t m_pos = 0;
  std::size_t m_line = 0;
  int m_quote = 0;
  std::vector<std::int64_t> m_marks;
};

}  // namespace quintrel::fuzz
