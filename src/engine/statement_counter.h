#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/source_text.h"

namespace quintrel {

struct StatementCounts {
  std::int32_t matched = 0;    // marks on lines flagged 1
  std::int32_t unmatched = 0;  // marks on lines flagged 0 or beyond the line table
};

// Counts the statement marks (';', '{', ':' but not "::", '#' but not "##") outside
// comments and literals, crediting each to its line's match flag. kEndMarker in code ends
// the count.
StatementCounts CountStatements(const SourceText& text);

// The marks CountStatements credits, per line: `perLine` gets one count for each entry of
// the text's line table (which only gives the number of lines here; its flags do not
// matter). Whatever the flags, CountStatements credits the sum over lines flagged 1 as
// matched and the rest as unmatched. Returns the marks past the table's last line (none
// unless the table is shorter than the text).
std::int64_t CountStatementsPerLine(const SourceText& text, std::vector<std::int32_t>& perLine);

// The same for a text of `lines` lines, without its line table.
std::int64_t CountStatementsPerLine(const ByteBuffer& bytes, std::size_t lines,
                                    std::vector<std::int32_t>& perLine);

// The marks of the text from byte `from` on, read as code from a fresh start: right for a
// line start that the counter reaches in code, whatever came before.
std::int64_t CountStatementsFrom(const SourceText& text, std::size_t from);

}  // namespace quintrel
