#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "engine/source_text.h"
#include "engine/statement_units.h"
#include "engine/unit_tokens.h"

namespace quintrel {

// Reads the bytes of one text through the statement counter's mode tables (what opens and
// closes a literal or a comment, which bytes are marks, where the count ends), turning what
// it reads in code into tokens and units, appended to the list as they end.
class UnitReader {
 public:
  static constexpr std::size_t kNoFreshLine = std::numeric_limits<std::size_t>::max();

  UnitReader(const SourceText& text, UnitList& list, UnitHash hash);

  // How far the list had grown at some point of the reading.
  struct ListMark {
    std::size_t units;
    std::size_t bytes;
    std::int64_t marks;
  };

  // Reads on to the first line start at or after `from` (a position already reached counts)
  // where nothing read so far bears on what follows: code, no directive, no token waiting
  // for its unit. From there the units depend on the bytes that follow alone, and no byte
  // after it has been looked at. Returns that position, or kNoFreshLine when the reading
  // ended first or went past `until` without finding one.
  std::size_t ReadToFreshLine(std::size_t from, std::size_t until = kNoFreshLine);
  // Reads the rest of the text and ends the units still open.
  void Finish();

  // While on, units are not kept: only their marks are added to the list's.
  void CountOnly(bool on);

  ListMark Mark() const { return ListMark{m_list.units.size(), m_list.bytes.size(), m_list.marks}; }
  // Goes back (or on) to the fresh line start `at`, as if the list had been read up to `mark`
  // and then the bytes before `at` skipped: what was added to the list after `mark` is
  // taken back.
  void RestartAt(std::size_t at, const ListMark& mark);

 private:
  bool Step();
  std::string_view Piece(std::size_t at, std::size_t size) const {
    return std::string_view(reinterpret_cast<const char*>(m_bytes) + at, size);
  }
  UnitBuilder& Current() { return m_inDirective ? m_directive : m_code; }
  bool AtFreshLine() const {
    return m_pos == m_lineStart && !m_inDirective && m_run.empty() && m_code.Empty();
  }
  void ReadPlain();
  void FlushRun();
  void Layout();
  void AddToken(TokenKind kind, std::string_view bytes, std::int64_t marks);
  void LineEnd();
  bool ReadPaired(unsigned char byte);
  bool ReadLiteral(unsigned char quote);
  bool ReadSlash();
  bool SkipLineComment();
  bool SkipBlockComment();
  bool ReadBackslash();
  void FinishUnit(UnitBuilder& unit);

  const unsigned char* const m_bytes;
  const std::size_t m_size;
  UnitList& m_list;
  const UnitHash m_hash;
  const bool m_hasEndMarker;
  std::size_t m_pos = 0;
  std::size_t m_lineStart = 0;  // where the last line end that was not a splice left off
  bool m_ended = false;         // the text or the count has ended
  bool m_countOnly = false;
  UnitBuilder m_code;
  UnitBuilder m_directive;
  bool m_inDirective = false;
  bool m_atLineStart = true;  // no token yet on this logical line
  bool m_touching = false;    // no layout since the last token
  std::string m_run;          // code bytes not yet cut into tokens
  std::string m_literal;
};

}  // namespace quintrel
